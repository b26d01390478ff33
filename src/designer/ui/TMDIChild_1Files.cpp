// The designer window's files: opening a template or a workbook, saving as a template or an
// Excel copy, and saving for a run.
#include "designer/ui/TMDIChild_1.h"

#include "components/format/FileType.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"
#include "designer/DesignerCommands.h"
#include "designer/DesignerFile.h"
#include "designer/DesignerMessages.h"
#include "designer/TemplateMessages.h"
#include "shell/AppSettings.h"
#include "shell/ChildRegistry.h"
#include "shell/ShellHost.h"

#include <QDir>
#include <QFileInfo>

namespace fc {

namespace {

QString q(const std::string& windows) { return cp1251::toQString(windows); }
std::string win(const QString& s) { return cp1251::fromQString(s); }

const char kExtMark[] = " [ext]";

} // namespace

QString TMDIChild_1::offeredName() const {
    const QFileInfo info(templatePath());
    // A workbook becomes a template of its own name.
    return foreignFile_ ? info.completeBaseName() + QStringLiteral(".rpt") : info.fileName();
}

QString TMDIChild_1::templatePath() const {
    QString c = windowTitle();
    if (c.endsWith(QLatin1String(kExtMark))) {
        c.chop(static_cast<int>(sizeof(kExtMark)) - 1);
    }
    return c.trimmed();
}

bool TMDIChild_1::loadTemplate(const QString& path) {
    closeEditor();
    TemplateReadOptions options;
    options.measurer = &view_->measurer();
    options.prototypes = &host_.prototypes();
    restoring_ = true;
    TemplateLoadResult r = openDesignerFile(path, book_, prompter_, options);
    restoring_ = false;
    if (!r.opened) {
        TemplateFile::newTemplate(book_);
    }
    applyNewSheetDefaults();
    kept_ = std::move(r.keptBlocks);
    const bool workbook = designerFileKind(path) != DesignerFileKind::Template;
    foreignFile_ = !r.opened || workbook;
    if (r.opened) {
        // The layout read is the layout the next save writes: an ext template stays ext.
        format_ = {!workbook &&
                       (r.layout == TemplateLayout::Ext || r.layout == TemplateLayout::Turbo),
                   !workbook && r.layout == TemplateLayout::Turbo};
    }
    setCaption(win(path) + (format_.extended && r.opened ? kExtMark : ""));
    resetHistory();
    host_.designerFormatChanged(*this);
    return r.opened;
}

bool TMDIChild_1::refuseTurboSheets() {
    if (format_.extended && book_.numSheets() > 1) {
        prompter_.message(designermsg::saveCaption(), designermsg::turboManySheets(),
                          Prompter::Icon::Error);
        return true;
    }
    return false;
}

void TMDIChild_1::saveAs() {
    if (refuseTurboSheets()) {
        return;
    }
    closeEditor();
    const QFileInfo info(templatePath());
    QString dir = info.absolutePath();
    if (!host_.settings().lastOpenedDir.empty() && info.fileName() == templatePath()) {
        dir = q(host_.settings().lastOpenedDir);
    }
    const SaveChoice c = chooseSaveFile(dir, offeredName(), false);
    if (c.path.isEmpty()) {
        return;
    }
    runAfterSaving_ = false;
    const QString path = c.filter == 1 ? designercmd::withXlsExtension(c.path)
                                       : designercmd::withRptExtension(c.path);
    // Only a directory that took the file is remembered.
    if (c.filter == 1 ? saveExcel(path) : saveTemplate(path)) {
        host_.settings().lastOpenedDir =
            win(QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
    }
}

bool TMDIChild_1::saveExcel(const QString& path) {
    // Refused before the sheets are prepared: a save that cannot succeed changes nothing.
    if (!TemplateFile::canReplace(path)) {
        prompter_.error(templatemsg::saveError());
        return false;
    }
    // Records waiting in an object column are no part of the workbook file, but the
    // template keeps them.
    std::vector<designercmd::WaitingRecords> waiting;
    for (int n = 1; n <= book_.numSheets(); ++n) {
        Sheet& s = book_.sheet(n);
        waiting.push_back(designercmd::takeWaitingRecords(s));
        designercmd::clearRightOfForm(s);
        // The undo history's values are no part of the workbook the user sees.
        s.clear({1, UndoHistory::kStateCol, 8, UndoHistory::kStateCol}, ClearWhat::All);
    }
    std::string error;
    const bool written = writeWorkbookFile(path, kFileExcel97, book_, error);
    for (int n = 1; n <= book_.numSheets(); ++n) {
        designercmd::putWaitingRecords(book_.sheet(n), waiting[static_cast<std::size_t>(n - 1)]);
    }
    if (!written) {
        prompter_.error(error.empty() ? templatemsg::saveError() : error);
        return false;
    }
    return true;
}

bool TMDIChild_1::saveTemplate(const QString& path) {
    const TemplateFormat format = !format_.extended ? TemplateFormat::Table
                                  : format_.turbo   ? TemplateFormat::Turbo
                                                    : TemplateFormat::Ext;
    flushHistory();
    restoring_ = true;
    const bool ok = TemplateFile::save(path, book_, format, prompter_, &kept_);
    restoring_ = false;
    if (!ok) {
        return false;
    }
    foreignFile_ = false;
    setCaption(win(path) + (format_.extended ? kExtMark : ""));
    host_.settings().currentFileName = win(QDir::toNativeSeparators(path));
    history_.markSaved();
    if (runAfterSaving_) {
        runSaved(path);
    }
    return true;
}

void TMDIChild_1::runSaved(const QString& path) {
    ScriptedPrompter quiet; // the reading's own messages give way to the one below
    TemplateReadOptions options;
    options.measurer = &view_->measurer();
    options.prototypes = &host_.prototypes();
    // Read into a scratch workbook first: a reading that went wrong must not replace the
    // designer's own workbook, which holds everything that was saved.
    Workbook back;
    const TemplateLoadResult r = TemplateFile::load(path, back, quiet, options);
    if (!r.opened) {
        prompter_.error(designermsg::cannotOpen());
        return;
    }
    if (r.whole()) {
        restoring_ = true;
        book_.swapContents(back);
        restoring_ = false;
    } else {
        prompter_.error(designermsg::runReadError());
    }
    applyNewSheetDefaults();
    setCaption(win(path) + (format_.extended ? kExtMark : ""));
    resetHistory();
    // The report window finds the template as the current file name's directory + the
    // report name + ".rpt", so the request names it without directory and extension.
    host_.settings().currentFileName = win(QDir::toNativeSeparators(path));
    const QString name = QFileInfo(path).completeBaseName();
    host_.runReport("G " + win(name), host_.children().handleOf(this));
}

void TMDIChild_1::saveAndRun() {
    if (refuseTurboSheets()) {
        return;
    }
    view_->endEditing();
    closeEditor();
    QString path = templatePath();
    // A workbook (or a file that could not be read) is saved as a template beside it, never
    // over it.
    if (TemplateFile::isNewTemplateName(path) || foreignFile_) {
        const QFileInfo info(path);
        const SaveChoice c = chooseSaveFile(info.absolutePath(), offeredName(), true);
        if (c.path.isEmpty()) {
            return;
        }
        path = designercmd::withRptExtension(c.path);
    }
    runAfterSaving_ = true;
    saveTemplate(path);
    runAfterSaving_ = false;
}

} // namespace fc
