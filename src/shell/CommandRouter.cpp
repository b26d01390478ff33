#include "shell/CommandRouter.h"

#include "shell/DesignerChild.h"
#include "shell/ReportChild.h"
#include "shell/RootReport.h"

namespace fc {

int CommandRouter::designerKey(ShellCommand command) {
    switch (command) {
    case ShellCommand::Run: return Qt::Key_F8;
    case ShellCommand::Save: return Qt::Key_F2;
    case ShellCommand::PageSetup: return Qt::Key_F17;
    case ShellCommand::Print: return Qt::Key_F10;
    case ShellCommand::Undo: return Qt::Key_F15;
    case ShellCommand::Redo: return Qt::Key_F16;
    case ShellCommand::ColsRows: return Qt::Key_F6;
    case ShellCommand::InsertRowCol: return Qt::Key_F14;
    case ShellCommand::DeleteRowCol: return Qt::Key_F13;
    case ShellCommand::DefaultFont: return Qt::Key_F9;
    case ShellCommand::CellFormat: return Qt::Key_F5;
    case ShellCommand::Prototypes: return Qt::Key_F4;
    case ShellCommand::Find: return Qt::Key_F11;
    case ShellCommand::FindNext: return Qt::Key_F12;
    default: return 0;
    }
}

namespace {

// Runs a command on a report window; false when report windows do not take it.
bool runOnReport(ShellCommand command, ReportChild& r, bool checked) {
    switch (command) {
    case ShellCommand::Save: r.reportKey(ReportChild::kSaveKey); return true;
    case ShellCommand::Print: r.reportKey(ReportChild::kPrintKey); return true;
    case ShellCommand::PrintPreview: r.printPreview(); return true;
    case ShellCommand::Filter: r.reportKey(ReportChild::kFilterKey); return true;
    case ShellCommand::ExportPdf: r.reportKey(ReportChild::kPdfKey); return true;
    case ShellCommand::PageSetup: r.pageSetup(); return true;
    case ShellCommand::SendMail: r.sendMail(); return true;
    case ShellCommand::OnlyMarkedRows: r.setOnlyMarkedRows(checked); return true;
    case ShellCommand::ClearRowMarks: r.clearRowMarks(); return true;
    case ShellCommand::PeriodRerun: r.rerun(); return true;
    case ShellCommand::SortAscending: r.sortRows(SortOrder::Ascending); return true;
    case ShellCommand::SortDescending: r.sortRows(SortOrder::Descending); return true;
    case ShellCommand::SortDefault: r.sortRows(SortOrder::Default); return true;
    case ShellCommand::Restart: r.restart(); return true;
    default: return false;
    }
}

bool takenByReports(ShellCommand command) {
    switch (command) {
    case ShellCommand::Save:
    case ShellCommand::Print:
    case ShellCommand::PrintPreview:
    case ShellCommand::Filter:
    case ShellCommand::ExportPdf:
    case ShellCommand::PageSetup:
    case ShellCommand::SendMail:
    case ShellCommand::OnlyMarkedRows:
    case ShellCommand::ClearRowMarks:
    case ShellCommand::PeriodRerun:
    case ShellCommand::SortAscending:
    case ShellCommand::SortDescending:
    case ShellCommand::SortDefault:
    case ShellCommand::Restart: return true;
    default: return false;
    }
}

} // namespace

bool CommandRouter::execute(ShellCommand command, ShellChild* active,
                            Qt::KeyboardModifiers modifiers, bool checked) const {
    if (active == nullptr) {
        return false;
    }
    if (active->kind() == ChildKind::Designer) {
        // The preview has no key of the designer's own: it is no command of the form.
        if (command == ShellCommand::PrintPreview) {
            static_cast<DesignerChild*>(active)->printPreview();
            return true;
        }
        int key = designerKey(command);
        if (key == 0) {
            return false;
        }
        // "Пpототипы фактов" is F4 alone: Shift+F4 opens the control's workbook designer.
        if (command == ShellCommand::Prototypes) {
            modifiers &= ~Qt::ShiftModifier;
        }
        static_cast<DesignerChild*>(active)->designerKey(key, modifiers);
        return true;
    }
    if (active->kind() == ChildKind::Report && takenByReports(command)) {
        ReportChild& root = findRootReport(*static_cast<ReportChild*>(active), children_);
        root.activateChild();
        return runOnReport(command, root, checked);
    }
    return false;
}

} // namespace fc
