#include "shell/CloseSequence.h"

#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "shell/DesignerChild.h"
#include "shell/ReportChild.h"
#include "shell/RootReport.h"

namespace fc {

namespace {

// False when the program must stay open. The root of the pop-up chain is asked first; the
// windows that opened it are asked after it, so that their edits are not dropped unasked.
bool askReport(ReportChild& report, const ChildRegistry& registry, Prompter& prompter) {
    std::vector<ReportChild*> chain = reportChain(report, registry);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        ReportChild& r = **it;
        if (!r.hasModifiedMark()) {
            continue;
        }
        r.showNormalWindow();
        if (prompter.ask(w("Внимание:"), w("Сохpанить изменения в отчете?"),
                         Prompter::Buttons::YesNo,
                         Prompter::Icon::Question) == Prompter::Answer::Yes) {
            r.clearModifiedMark();
            r.startDataSave();
            return false;
        }
    }
    return true;
}

bool askDesigner(DesignerChild& designer, Prompter& prompter) {
    if (designer.formulaEditorHasFocus()) {
        designer.commitFormulaEditor();
    }
    if (!designer.hasUnsavedChanges()) {
        return true;
    }
    designer.activateChild();
    switch (prompter.ask(w("Внимание:"), w("Сохpанить изменения?"), Prompter::Buttons::YesNoCancel,
                         Prompter::Icon::Question)) {
    case Prompter::Answer::Yes:
        designer.designerKey(Qt::Key_F2, Qt::NoModifier);
        // The save dialog may have been cancelled: closing now would lose the edits.
        return !designer.hasUnsavedChanges();
    case Prompter::Answer::No: return true;
    default: return false;
    }
}

} // namespace

bool runCloseSequence(const std::vector<ShellChild*>& children, const ChildRegistry& registry,
                      Prompter& prompter) {
    for (ShellChild* child : children) {
        if (child == nullptr) {
            continue;
        }
        bool goOn = true;
        if (child->kind() == ChildKind::Report) {
            goOn = askReport(*static_cast<ReportChild*>(child), registry, prompter);
        } else if (child->kind() == ChildKind::Designer) {
            goOn = askDesigner(*static_cast<DesignerChild*>(child), prompter);
        }
        if (!goOn) {
            return false;
        }
    }
    return true;
}

} // namespace fc
