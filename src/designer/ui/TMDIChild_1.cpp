#include "designer/ui/TMDIChild_1.h"

#include "components/format/FileType.h"
#include "components/platform/Prompter.h"
#include "components/platform/ui/FileDialogFilter.h"
#include "components/text/Cp1251.h"
#include "components/ui/FontMapper.h"
#include "components/ui/PagePainter.h"
#include "components/ui/PageSetupDialog.h"
#include "components/ui/PrintDialogs.h"
#include "components/ui/SheetView.h"
#include "designer/DesignerCommands.h"
#include "designer/DesignerMessages.h"
#include "designer/DesignerSheet.h"
#include "designer/FormulaLine.h"
#include "designer/MergeIndex.h"
#include "designer/RowHeightFitter.h"
#include "designer/TemplateFile.h"
#include "designer/TemplateMessages.h"
#include "designer/TemplateSearch.h"
#include "designer/TemplateText.h"
#include "designer/ui/DesignerDialogs.h"
#include "designer/ui/DesignerObjects.h"
#include "designer/ui/FormulaLineEditor.h"
#include "designer/ui/ServiceReference.h"
#include "designer/ui/WorkbookDialogs.h"
#include "language/ui/PrototypeListDialog.h"
#include "shell/AppSettings.h"
#include "shell/ChildRegistry.h"
#include "shell/ShellHost.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPrinter>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <algorithm>

namespace fc {

namespace fl = formulaline;

namespace {

constexpr int kVkReturn = 13;
constexpr int kVkPageUp = 33;
constexpr int kVkPageDown = 34;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;

QString q(const std::string& windows) { return cp1251::toQString(windows); }
std::string win(const QString& s) { return cp1251::fromQString(s); }

const char kExtMark[] = " [ext]";

} // namespace

TMDIChild_1::TMDIChild_1(ShellHost& host, Prompter& prompter, QWidget* parent)
    : QWidget(parent), host_(host), prompter_(prompter), colourer_(&host.prototypes()),
      checker_(host.prototypes()) {
    setObjectName(QStringLiteral("MDIChild_1"));
    setAttribute(Qt::WA_DeleteOnClose);
    view_ = new SheetView(this);
    view_->setObjectName(QStringLiteral("vbvbn"));
    view_->setWorkbook(&book_);
    view_->setEnterMovesDown(false);
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    editor_ = new FormulaLineEditor(view_->viewport());
    editor_->setObjectName(QStringLiteral("RichEdit1"));
    editor_->setContextMenuPolicy(Qt::CustomContextMenu);
    editor_->keyHandler = [this](QKeyEvent* e) { return editorKey(e); };
    objects_ = new DesignerObjects(*view_, prompter_, this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    chooseSaveFile = [this](const QString& dir, const QString& name, bool templatesOnly) {
        std::string filter = designermsg::saveFilter();
        if (templatesOnly) {
            filter = filter.substr(0, filter.find("|*.rpt") + 6);
        }
        QFileDialog dialog(this, QString(), QDir(dir).filePath(name),
                           dialogFilter(q(filter).toUtf8().toStdString()));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
        SaveChoice c;
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            c.path = dialog.selectedFiles().front();
            c.filter = dialog.nameFilters().indexOf(dialog.selectedNameFilter()) == 1 ? 1 : 0;
        }
        return c;
    };
    runSearchDialog = [](SearchDialog& d) { return d.exec() == QDialog::Accepted; };
    runColsRowsDialog = [](ColsRowsDialog& d) { return d.exec() == QDialog::Accepted; };
    runCellFormatDialog = [](CellFormatDialog& d) { return d.exec() == QDialog::Accepted; };
    runWorkbookDesigner = [](WorkbookDesignerDialog& d) { return d.exec() == QDialog::Accepted; };
    runPageSetupDialog = [](PageSetupDialog& d) { return d.exec() == QDialog::Accepted; };
    runPrintDialog = [this](QPrinter& printer) { return fc::runPrintDialog(printer, this); };
    runPrintPreview = [](PrintPreviewDialog& d) { return d.exec() == QDialog::Accepted; };
    chooseFont = [this](const QFont& start) -> std::optional<QFont> {
        bool ok = false;
        QFont f = QFontDialog::getFont(&ok, start, this);
        return ok ? std::optional<QFont>(f) : std::nullopt;
    };
    showDialog = [](QWidget& d) {
        d.show();
        d.raise();
        d.activateWindow();
    };

    connect(view_, &SheetView::keyDown, this, &TMDIChild_1::onSheetKeyDown);
    connect(view_, &SheetView::dblClick, this, &TMDIChild_1::onDblClick);
    connect(view_, &SheetView::startEdit, this, &TMDIChild_1::onStartEdit);
    connect(view_, &SheetView::click, this, [this](int row, int col) {
        if (row > 0 && col > 0 && book_.mode() == 0 && book_.sheet().selectedObjects().empty()) {
            openEditor(row, col);
        }
    });
    connect(view_, &SheetView::topLeftChanged, this, [this] { placeEditor(); });
    connect(view_, &QWidget::customContextMenuRequested, this, &TMDIChild_1::sheetContextMenu);
    connect(editor_, &QWidget::customContextMenuRequested, this, &TMDIChild_1::editorContextMenu);
    connect(editor_, &QPlainTextEdit::textChanged, this, &TMDIChild_1::editorTextChanged);
    connect(editor_, &QPlainTextEdit::cursorPositionChanged, this, &TMDIChild_1::showCaretPosition);
    connect(editor_, &FormulaLineEditor::left, this, [this] { closeEditor(); });
    view_->installEventFilter(this);
    view_->viewport()->installEventFilter(this);
    editor_->installEventFilter(this);

    book_.addListener(this);
    turbo_ = host_.turboDown();
    const QString path = q(host_.settings().currentFileName);
    if (path.isEmpty() || TemplateFile::isNewTemplateName(path)) {
        TemplateFile::newTemplate(book_);
        applyNewSheetDefaults();
        setCaption(path.isEmpty() ? std::string("Noname.rpt") : win(path));
    } else {
        loadTemplate(path);
    }
    resetHistory();
    resize(640, 400);
}

// The view and the editor listen to the workbook, so they go before it does.
TMDIChild_1::~TMDIChild_1() {
    // The editor loses the focus while the view goes: that is no leaving to store.
    disconnect(editor_, nullptr, this, nullptr);
    editor_->keyHandler = nullptr;
    editRow_ = editCol_ = 0;
    book_.removeListener(this);
    delete view_;
    view_ = nullptr;
}

// ---------------------------------------------------------------- shell interface

std::string TMDIChild_1::componentName() const { return win(objectName()); }

void TMDIChild_1::activateChild() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (sub->mdiArea() != nullptr) {
            sub->mdiArea()->setActiveSubWindow(sub);
        }
    }
    activateWindow();
    updateUndoItems();
}

void TMDIChild_1::refreshSheetProperties() {
    // A sheet the main window has just added has no column widths of its own yet; every sheet
    // of the designer has (the defaults or what its file gave).
    for (int n = 1; n <= book_.numSheets(); ++n) {
        Sheet& s = book_.sheet(n);
        if (!s.colHasOwnWidth(designer::kStatementCol)) {
            designer::applyNewSheetDefaults(s);
        }
    }
    applyNewSheetDefaults();
    view_->viewport()->update();
}

void TMDIChild_1::viewChanged() {
    // Another sheet became current: the editor's text belongs to the sheet it was opened on.
    if (!editorOpen() || restoring_) {
        return;
    }
    if (book_.currentSheet() != editSheet_) {
        closeEditor();
    } else {
        placeEditor(); // the scale or the extent may have changed
    }
}

void TMDIChild_1::focusSheet() { view_->setFocus(); }

void TMDIChild_1::insertPicture() {
    closeEditor();
    objects_->insertPicture();
}

std::string TMDIChild_1::caption() const { return win(windowTitle()); }

void TMDIChild_1::setCaption(const std::string& caption) { setWindowTitle(q(caption)); }

QString TMDIChild_1::templatePath() const {
    QString c = windowTitle();
    if (c.endsWith(QLatin1String(kExtMark))) {
        c.chop(static_cast<int>(sizeof(kExtMark)) - 1);
    }
    return c.trimmed();
}

// A change not yet taken into the history (it is taken after the current event) counts.
bool TMDIChild_1::hasUnsavedChanges() const { return history_.changed() || snapshotPending_; }

// Whenever the editor is open its text may not be in the cell yet, focus or not (a menu or
// the main window may hold the focus while the program is being closed).
bool TMDIChild_1::formulaEditorHasFocus() const { return editorOpen(); }

void TMDIChild_1::commitFormulaEditor() { closeEditor(); }

void TMDIChild_1::showErrorAt(int fileLine, int position) {
    activateChild();
    const int row = fl::rowForFileLine(book_.sheet(), fileLine);
    closeEditor();
    book_.sheet().setSelection({row, 1, row, 1});
    view_->showActiveCell();
    openEditor(row, 1, std::max(position - 1, 0));
}

bool TMDIChild_1::loadTemplate(const QString& path) {
    closeEditor();
    TemplateReadOptions options;
    options.measurer = &view_->measurer();
    options.prototypes = &host_.prototypes();
    restoring_ = true;
    const TemplateLoadResult r = TemplateFile::load(path, book_, prompter_, options);
    restoring_ = false;
    if (!r.opened) {
        TemplateFile::newTemplate(book_);
        applyNewSheetDefaults();
    } else {
        applyNewSheetDefaults();
    }
    const bool extended =
        r.opened && r.layout != TemplateLayout::Table && r.layout != TemplateLayout::Text;
    setCaption(win(path) + (extended ? kExtMark : ""));
    resetHistory();
    return r.opened;
}

// ---------------------------------------------------------------- undo history

void TMDIChild_1::cellsChanged(int, const CellRange&) { noteModification(); }
void TMDIChild_1::layoutChanged() { noteModification(); }

void TMDIChild_1::noteModification() {
    if (restoring_ || snapshotPending_) {
        return;
    }
    snapshotPending_ = true;
    QTimer::singleShot(0, this, [this] { flushHistory(); });
}

void TMDIChild_1::flushHistory() {
    if (!snapshotPending_) {
        return;
    }
    snapshotPending_ = false;
    restoring_ = true;
    history_.record(book_);
    restoring_ = false;
    updateUndoItems();
}

void TMDIChild_1::resetHistory() {
    restoring_ = true;
    history_.reset(book_);
    restoring_ = false;
    snapshotPending_ = false;
    updateUndoItems();
}

void TMDIChild_1::updateUndoItems() {
    host_.setCommandEnabled("Undo1", history_.canUndo());
    host_.setCommandEnabled("ReDo1", history_.canRedo());
}

void TMDIChild_1::undo() {
    closeEditor();
    flushHistory();
    restoring_ = true;
    history_.undo(book_);
    restoring_ = false;
    updateUndoItems();
}

void TMDIChild_1::redo() {
    closeEditor();
    flushHistory();
    restoring_ = true;
    history_.redo(book_);
    restoring_ = false;
    updateUndoItems();
}

void TMDIChild_1::applyNewSheetDefaults() {
    designercmd::applyDesignerView(book_);
    view_->setEnterMovesDown(false);
}

// ---------------------------------------------------------------- commands

void TMDIChild_1::designerKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool shift = modifiers & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_F2: saveAs(); break;
    case Qt::Key_F4:
        if (shift) {
            workbookDesignerCommand();
        } else {
            prototypesCommand();
        }
        break;
    case Qt::Key_F5: formatCommand(); break;
    case Qt::Key_F6: colsRowsCommand(); break;
    case Qt::Key_F7: applyColsRows(); break;
    case Qt::Key_F8: saveAndRun(); break;
    case Qt::Key_F9: defaultFontCommand(); break;
    case Qt::Key_F10: printCommand(); break;
    case Qt::Key_F11: searchCommand(); break;
    case Qt::Key_F12: searchAgain(); break;
    case Qt::Key_F13: deleteRowOrCol(); break;
    case Qt::Key_F14: insertRowOrCol(); break;
    case Qt::Key_F15: undo(); break;
    case Qt::Key_F16: redo(); break;
    case Qt::Key_F17: pageSetupCommand(); break;
    case Qt::Key_F18: fixHeights(true); break;
    case Qt::Key_F19: fixHeights(false); break;
    case Qt::Key_F20: updateFixCheck(); break;
    default: break;
    }
}

bool TMDIChild_1::refuseTurboSheets() {
    if (host_.turboDown() && book_.numSheets() > 1) {
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
    const SaveChoice c = chooseSaveFile(dir, info.fileName(), false);
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
    for (int n = 1; n <= book_.numSheets(); ++n) {
        Sheet& s = book_.sheet(n);
        designercmd::clearRightOfForm(s);
        // The undo history's values are no part of the workbook the user sees.
        s.clear({1, UndoHistory::kStateCol, 8, UndoHistory::kStateCol}, ClearWhat::All);
    }
    std::string error;
    if (!writeWorkbookFile(path, kFileExcel97, book_, error)) {
        prompter_.error(error.empty() ? templatemsg::saveError() : error);
        return false;
    }
    return true;
}

bool TMDIChild_1::saveTemplate(const QString& path) {
    const bool turbo = host_.turboDown();
    flushHistory();
    restoring_ = true;
    const bool ok = TemplateFile::save(
        path, book_, turbo ? TemplateFormat::Turbo : TemplateFormat::Table, prompter_);
    restoring_ = false;
    if (!ok) {
        return false;
    }
    setCaption(win(path) + (turbo ? kExtMark : ""));
    host_.settings().currentFileName = win(QDir::toNativeSeparators(path));
    history_.markSaved();
    if (runAfterSaving_) {
        runSaved(path);
    }
    return true;
}

void TMDIChild_1::runSaved(const QString& path) {
    const bool turboCaption = windowTitle().endsWith(QLatin1String(kExtMark));
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
    setCaption(win(path) + (turboCaption ? kExtMark : ""));
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
    if (TemplateFile::isNewTemplateName(path)) {
        const QFileInfo info(path);
        const SaveChoice c = chooseSaveFile(info.absolutePath(), info.fileName(), true);
        if (c.path.isEmpty()) {
            return;
        }
        path = designercmd::withRptExtension(c.path);
    }
    runAfterSaving_ = true;
    saveTemplate(path);
    runAfterSaving_ = false;
}

void TMDIChild_1::formatCommand() {
    closeEditor();
    if (objects_->formatObject()) {
        return;
    }
    book_.setModified(true);
    CellFormatDialog dialog(book_.sheet(), this);
    if (!runCellFormatDialog(dialog)) {
        return;
    }
    if (!dialog.apply(book_.sheet())) {
        prompter_.error(designermsg::formatFailed());
    }
}

void TMDIChild_1::colsRowsCommand() {
    if (colsRows_ == nullptr) {
        colsRows_ = new ColsRowsDialog(this);
    }
    colsRows_->setCounts(book_.sheet().maxCol(), book_.sheet().maxRow());
    if (runColsRowsDialog(*colsRows_)) {
        designerKey(Qt::Key_F7, Qt::NoModifier);
    }
}

void TMDIChild_1::applyColsRows() {
    if (colsRows_ == nullptr) {
        return;
    }
    closeEditor();
    book_.sheet().setMaxCol(colsRows_->cols());
    book_.sheet().setMaxRow(colsRows_->rows());
    book_.noteLayoutChange();
}

void TMDIChild_1::defaultFontCommand() {
    closeEditor();
    const Font start = designercmd::defaultFontOf(book_);
    QFont qstart = FontMapper::toQFont(start);
    qstart.setFamily(q(start.name));
    qstart.setPointSizeF(start.size);
    const std::optional<QFont> chosen = chooseFont(qstart);
    if (!chosen) {
        return;
    }
    Sheet& s = book_.sheet();
    const std::vector<CellRange> sel = s.selection();
    const CellRef active = s.activeCell();
    const double size = chosen->pointSizeF() > 0 ? chosen->pointSizeF() : start.size;
    designercmd::applyDefaultFont(book_, win(chosen->family()), size);
    s.setSelectionRanges(sel, active);
    // Rows with a height in the height column keep it.
    std::vector<bool> fixed(static_cast<std::size_t>(s.maxRow()) + 1, false);
    for (int r = 1; r <= s.maxRow(); ++r) {
        fixed[static_cast<std::size_t>(r)] = designer::fixedHeight(s, r) > 0;
    }
    fitAutomaticRows(s, s.maxRow(), fixed, MergeIndex(s.merges()), view_->measurer());
}

void TMDIChild_1::printCommand() {
    closeEditor();
    designercmd::prepareForPrint(book_);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(q(caption()));
    if (!runPrintDialog(printer)) {
        return;
    }
    if (printWorkbook(book_, printer, view_->measurer(), caption()) < 0) {
        prompter_.error(w("Ошибка печати ") + win(printer.printerName()));
    }
}

void TMDIChild_1::printPreview() {
    closeEditor();
    designercmd::prepareForPrint(book_);
    PrintPreviewDialog preview(book_, view_->measurer(), caption(), this);
    if (runPrintPreview(preview)) {
        printCommand();
    }
}

void TMDIChild_1::searchCommand() {
    SearchDialog dialog(this);
    dialog.setSearchText(lastSearch_);
    dialog.setReplacing(lastReplacing_, lastReplacement_);
    if (!runSearchDialog(dialog)) {
        return;
    }
    lastSearch_ = dialog.searchText();
    lastReplacing_ = dialog.replacing();
    lastReplacement_ = dialog.replacement();
    if (lastSearch_.trimmed().isEmpty()) {
        return;
    }
    runSearch(lastReplacing_ ? std::optional<std::string>(win(lastReplacement_)) : std::nullopt);
}

void TMDIChild_1::searchAgain() {
    if (lastSearch_.trimmed().isEmpty()) {
        return;
    }
    runSearch(lastReplacing_ ? std::optional<std::string>(win(lastReplacement_)) : std::nullopt);
}

void TMDIChild_1::runSearch(const std::optional<std::string>& replacement) {
    Sheet& s = book_.sheet();
    int row = s.activeCell().row;
    int col = s.activeCell().col + 1;
    int offset = 0;
    if (editorOpen()) {
        row = editRow_;
        col = editCol_;
        offset = editor_->textCursor().selectionEnd();
        closeEditor();
    }
    const templatesearch::Outcome out =
        templatesearch::run(s, win(lastSearch_), replacement, row, col, offset, prompter_,
                            colourer_, [this](const templatesearch::Hit& h) {
                                book_.sheet().setSelection(CellRange::cell(h.row, h.col));
                                view_->showActiveCell();
                            });
    if (out.hit) {
        const templatesearch::Hit h = *out.hit;
        s.setSelection(CellRange::cell(h.row, h.col));
        view_->showActiveCell();
        openEditor(h.row, h.col, h.pos);
        if (editorOpen() && editCol_ == h.col) {
            editor_->selectRange(h.pos, static_cast<int>(lastSearch_.size()));
        }
    }
}

void TMDIChild_1::deleteRowOrCol() {
    closeEditor();
    designercmd::deleteSelectedRowsOrCols(book_.sheet());
}

void TMDIChild_1::insertRowOrCol() {
    closeEditor();
    designercmd::insertRowOrCol(book_.sheet());
}

void TMDIChild_1::pageSetupCommand() {
    closeEditor();
    runPageSetup(book_.sheet(), this, runPageSetupDialog);
}

void TMDIChild_1::fixHeights(bool fix) {
    closeEditor();
    if (fix) {
        designercmd::fixSelectedRowHeights(book_.sheet());
    } else {
        designercmd::unfixSelectedRowHeights(book_.sheet());
    }
}

void TMDIChild_1::updateFixCheck() {
    if (fixHeightAction_ == nullptr) {
        fixHeightAction_ = new QAction(q(designermsg::fixHeightItem()), this);
        fixHeightAction_->setCheckable(true);
    }
    fixHeightAction_->setChecked(designercmd::anySelectedRowFixed(book_.sheet()));
}

void TMDIChild_1::prototypesCommand() {
    if (prototypeList_ == nullptr) {
        prototypeList_ = new PrototypeListDialog(host_.prototypes(), this);
        prototypeList_->setWindowFlag(Qt::Window);
        prototypeList_->setInsertTarget(
            [this](const std::string& line) { insertPrototypeLine(line); });
    }
    prototypeList_->refill();
    showDialog(*prototypeList_);
}

void TMDIChild_1::insertPrototypeLine(const std::string& windowsLine) {
    closeEditor();
    Sheet& s = book_.sheet();
    const int row = s.selectionRange(0).normalized().r1;
    if (s.maxRow() >= kMaxRows) {
        return; // a new row would push the last one out
    }
    s.setMaxRow(s.maxRow() + 1);
    s.insertRows(row, 1);
    s.setText(row, designer::kStatementCol, windowsLine);
    fl::recolour(s, row, colourer_);
    s.setSelection(CellRange::cell(row, 1));
    openEditor(row, 1);
}

void TMDIChild_1::workbookDesignerCommand() {
    closeEditor();
    WorkbookDesignerDialog dialog(book_, this);
    if (runWorkbookDesigner(dialog)) {
        dialog.apply(book_);
    }
}

void TMDIChild_1::deleteCurrentRow() {
    const int row = editorOpen() ? editRow_ : book_.sheet().activeCell().row;
    const int col = editorOpen() ? editCol_ : book_.sheet().activeCell().col;
    if (editorOpen()) {
        editor_->hide();
        editRow_ = editCol_ = 0;
    }
    fl::deleteRow(book_.sheet(), row);
    openEditor(std::min(row, book_.sheet().maxRow()), col, 0);
}

void TMDIChild_1::jumpToFileLine(int line) {
    closeEditor();
    const int row = fl::rowForFileLine(book_.sheet(), line);
    book_.sheet().setSelection(CellRange::cell(row, 1));
    view_->showActiveCell();
    openEditor(row, 1);
    if (editorOpen()) {
        editor_->selectAll();
    }
}

void TMDIChild_1::showReference() {
    auto* ref = new ServiceReferenceDialog(this);
    ref->setAttribute(Qt::WA_DeleteOnClose);
    ref->setInsertTarget([this](const QString& text) {
        if (!editorOpen()) {
            const CellRef a = book_.sheet().activeCell();
            openEditor(a.row, 1, 0);
        }
        if (editorOpen()) {
            editor_->setText(text + editor_->text());
            editor_->setCaret(static_cast<int>(text.size()));
            editor_->setFocus();
        }
    });
    showDialog(*ref);
}

// ---------------------------------------------------------------- sheet events

void TMDIChild_1::onSheetKeyDown(SheetKeyEvent* e) {
    const bool ctrl = e->modifiers & Qt::ControlModifier;
    if (e->qtKey >= Qt::Key_F2 && e->qtKey <= Qt::Key_F20 && e->qtKey != Qt::Key_F3) {
        e->consumed = true;
        designerKey(e->qtKey, e->modifiers);
        return;
    }
    if (ctrl && e->qtKey == Qt::Key_Y) {
        e->consumed = true;
        deleteCurrentRow();
        return;
    }
    if (ctrl && e->qtKey == Qt::Key_D) {
        e->consumed = true;
        objects_->deleteSelection();
        return;
    }
    if (ctrl && e->qtKey == Qt::Key_V) {
        e->consumed = true;
        pasteCells();
        return;
    }
    if (ctrl && e->qtKey == Qt::Key_X) {
        e->consumed = true;
        cutCells();
        return;
    }
    if (e->key == kVkReturn && !ctrl) {
        e->consumed = true;
        const CellRef a = book_.sheet().activeCell();
        openEditor(a.row, a.col);
        return;
    }
    if (follow_ && !(e->modifiers & Qt::ShiftModifier) &&
        (e->key == kVkUp || e->key == kVkDown || e->key == kVkPageUp || e->key == kVkPageDown ||
         e->key == kVkLeft || e->key == kVkRight)) {
        // The view moves the cell first; the editor follows it there.
        QTimer::singleShot(0, this, [this] {
            const CellRef a = book_.sheet().activeCell();
            openEditor(a.row, a.col);
        });
    }
}

void TMDIChild_1::onDblClick(int row, int col, bool* consumed) {
    *consumed = true;
    if (row > 0 && col > 0) {
        openEditor(row, col);
    }
}

void TMDIChild_1::onStartEdit(QString* text, bool* cancel) {
    *cancel = true;
    const CellRef a = book_.sheet().activeCell();
    const QString typed = *text;
    QTimer::singleShot(0, this, [this, a, typed] {
        openEditor(a.row, a.col);
        if (!editorOpen()) {
            return;
        }
        if (editCol_ == a.col) {
            editor_->setText(typed);
        } else {
            // Typed over a form cell of a statement row: the statement is not replaced.
            editor_->setCaret(-1);
            editor_->insertPlainText(typed);
        }
        editor_->setCaret(-1);
    });
}

void TMDIChild_1::sheetContextMenu(const QPoint& pos) {
    closeEditor();
    updateFixCheck();
    QMenu menu(this);
    menu.addAction(q(designermsg::formatItem()), this,
                   [this] { designerKey(Qt::Key_F5, Qt::NoModifier); });
    menu.addAction(fixHeightAction_);
    QObject::disconnect(fixHeightAction_, &QAction::triggered, nullptr, nullptr);
    connect(fixHeightAction_, &QAction::triggered, this, [this](bool checked) {
        designerKey(checked ? Qt::Key_F18 : Qt::Key_F19, Qt::NoModifier);
    });
    menu.addSeparator();
    menu.addAction(q(designermsg::cutItem()), this, [this] { cutCells(); });
    menu.addAction(q(designermsg::copyItem()), this, [this] { view_->copy(); });
    menu.addAction(q(designermsg::pasteItem()), this, [this] { pasteCells(); });
    menu.addAction(q(designermsg::deleteItem()), this, [this] { objects_->deleteSelection(); });
    menu.exec(view_->mapToGlobal(pos));
}

void TMDIChild_1::cutCells() {
    closeEditor();
    Sheet& s = book_.sheet();
    const CellRange sel = s.selectionRange(0).normalized();
    view_->cut();
    if (sel.c1 == 1 && s.selectedObjects().empty()) {
        const int rows = std::min(sel.r2, s.maxRow()) - sel.r1 + 1;
        if (rows > 0) {
            s.deleteRows(sel.r1, rows);
            s.setMaxRow(s.maxRow() - rows);
        }
    }
}

void TMDIChild_1::pasteCells() {
    closeEditor();
    Sheet& s = book_.sheet();
    const CellRange sel = s.selectionRange(0).normalized();
    const QString text = QApplication::clipboard()->text();
    const int lines = designercmd::clipboardLines(text);
    const int extra = designercmd::rowsToInsertForPaste(lines, sel.rows());
    // The block must fit below the selection, rows inserted included.
    if (s.maxRow() + extra > kMaxRows || sel.r1 + lines - 1 > kMaxRows) {
        prompter_.error(designermsg::pasteFailed());
        return;
    }
    if (extra > 0) {
        s.insertRows(sel.r1 + sel.rows(), extra);
        s.setMaxRow(s.maxRow() + extra);
    }
    view_->paste();
}

// ---------------------------------------------------------------- the formula line editor

void TMDIChild_1::openEditor(int row, int col, int caret) {
    Sheet& s = book_.sheet();
    if (row < std::max(s.topRow(), 1) || row > s.maxRow() || col < 1 || col > s.maxCol()) {
        return;
    }
    if (editorOpen()) {
        closeEditor();
    }
    s.setActiveCell(row, col);
    const fl::Target t = fl::target(s, row, col, turbo_);
    editSheet_ = book_.currentSheet();
    editRow_ = t.row;
    editCol_ = t.col;
    if (t.statement && s.leftCol() > 1 && s.fixedCols() == 0) {
        s.setTopLeft(s.topRow(), 1); // the statement column comes into view under the editor
    }
    const QString text = q(fl::cellText(s, t.row, t.col));
    openLength_ = static_cast<int>(text.size());
    if (t.col == designer::kStatementCol) {
        editor_->setColouring(
            [this](const QString& line) { return checkEditorText(checker_, win(line)).spans; });
    } else {
        editor_->setColouring({});
    }
    editor_->blockSignals(true);
    editor_->setText(text);
    editor_->blockSignals(false);
    editor_->setCaret(caret);
    follow_ = true;
    placeEditor();
    if (t.shown) {
        editor_->show();
        editor_->raise();
        editor_->setFocus();
    }
    editorTextChanged();
}

void TMDIChild_1::placeEditor() {
    if (!editorOpen()) {
        return;
    }
    Sheet& s = book_.sheet();
    const Style& st = s.style(editRow_, editCol_);
    Font f = st.font;
    f.name = fl::editorFontName(f.name);
    const QFont font = FontMapper::toQFont(f, book_.view().viewScale);
    editor_->setFont(font);
    QPalette pal = editor_->palette();
    const Color c = f.color == kAutoColor ? rgb(0, 0, 0) : f.color;
    pal.setColor(QPalette::Text, QColor(redOf(c), greenOf(c), blueOf(c)));
    pal.setColor(QPalette::Base, Qt::white);
    editor_->setPalette(pal);
    QTextOption opt = editor_->document()->defaultTextOption();
    opt.setAlignment(st.halign == HAlign::Right    ? Qt::AlignRight
                     : st.halign == HAlign::Center ? Qt::AlignHCenter
                                                   : Qt::AlignLeft);
    editor_->document()->setDefaultTextOption(opt);

    QRect cell = view_->cellRect(editRow_, editCol_);
    const int lineH = QFontMetrics(font).height() + 4;
    QRect r = cell;
    if (editCol_ == designer::kStatementCol && fl::target(s, editRow_, 1, turbo_).statement) {
        // Over column 1 whatever the sheet's scroll: from the row headings across the sheet.
        const int left = view_->sheetLayout().headerWidth();
        r.setLeft(left);
        r.setWidth(std::max(view_->viewport()->width() - left - 20, 40));
    } else {
        const int textW = QFontMetrics(font).horizontalAdvance(editor_->text()) + 12;
        r.setWidth(std::max(cell.width(), textW));
    }
    const int h = std::max(lineH, cell.height());
    int top = cell.top();
    if (h > cell.height()) {
        if (st.valign == VAlign::Center) {
            top = cell.top() - (h - cell.height()) / 2;
        } else if (st.valign == VAlign::Bottom) {
            top = cell.bottom() + 1 - h;
        }
    }
    r.setTop(std::max(top, 0));
    r.setHeight(h);
    editor_->setGeometry(r);
}

void TMDIChild_1::editorTextChanged() {
    if (!editorOpen()) {
        return;
    }
    const QString text = editor_->text();
    if (editCol_ == designer::kStatementCol) {
        host_.setStatusText(1, checkEditorText(checker_, win(text)).status);
    } else if (text.size() > openLength_) {
        openLength_ = static_cast<int>(text.size());
        placeEditor();
    }
    showCaretPosition();
}

void TMDIChild_1::showCaretPosition() {
    if (editorOpen() && editCol_ == designer::kStatementCol) {
        host_.setStatusText(2, designermsg::caretPrefix() + std::to_string(editor_->caret() + 1));
    }
}

void TMDIChild_1::closeEditor() {
    if (!editorOpen()) {
        return;
    }
    const int row = editRow_;
    const int col = editCol_;
    editRow_ = editCol_ = 0;
    const std::string text = win(editor_->text());
    editor_->hide();
    Sheet& s = book_.sheet(editSheet_);
    if (fl::cellText(s, row, col) != text) {
        fl::store(s, row, col, text, colourer_);
    }
    if (&s == &book_.sheet()) {
        s.setActiveCell(row, col);
    }
    host_.setStatusText(2, "");
    if (view_->isVisible()) {
        view_->setFocus();
    }
}

void TMDIChild_1::moveEditor(int move) {
    const auto m = static_cast<fl::Move>(move);
    Sheet& s = book_.sheet();
    const int page = std::max(
        view_->viewport()->height() / std::max(view_->cellRect(editRow_, editCol_).height(), 1), 1);
    const std::optional<fl::Place> p =
        fl::move(m, editRow_, editCol_, editor_->caret(), static_cast<int>(editor_->text().size()),
                 s.maxRow(), s.maxCol(), page);
    if (!p) {
        return;
    }
    closeEditor();
    s.setSelection(CellRange::cell(p->row, p->col));
    view_->showActiveCell();
    openEditor(p->row, p->col, p->caret);
}

bool TMDIChild_1::editorKey(QKeyEvent* e) {
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool statement = editCol_ == designer::kStatementCol;
    const int key = e->key();
    if (key >= Qt::Key_F2 && key <= Qt::Key_F20 && key != Qt::Key_F3) {
        designerKey(key, e->modifiers());
        return true;
    }
    switch (key) {
    case Qt::Key_F1: showReference(); return true;
    case Qt::Key_Escape:
        follow_ = false;
        closeEditor();
        return true;
    case Qt::Key_Tab: editor_->insertPlainText(QStringLiteral("    ")); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        if (!statement) {
            closeEditor();
            return true;
        }
        const int row = editRow_;
        const std::string text = win(editor_->text());
        editRow_ = editCol_ = 0;
        editor_->hide();
        const int next = fl::split(book_.sheet(), row, 1, text, colourer_);
        book_.sheet().setSelection(CellRange::cell(next, 1));
        view_->showActiveCell();
        openEditor(next, 1, 0);
        return true;
    }
    case Qt::Key_Delete: {
        if (!statement || editor_->textCursor().hasSelection() ||
            editor_->caret() < static_cast<int>(editor_->text().size())) {
            return false;
        }
        const int caret = editor_->caret();
        std::optional<std::string> joined =
            fl::joinNext(book_.sheet(), editRow_, win(editor_->text()));
        if (joined) {
            editor_->setText(q(*joined));
            editor_->setCaret(caret);
        }
        return true;
    }
    case Qt::Key_Y:
        if (ctrl) {
            deleteCurrentRow();
            return true;
        }
        return false;
    case Qt::Key_Up: moveEditor(static_cast<int>(fl::Move::Up)); return true;
    case Qt::Key_Down: moveEditor(static_cast<int>(fl::Move::Down)); return true;
    case Qt::Key_PageUp: moveEditor(static_cast<int>(fl::Move::PageUp)); return true;
    case Qt::Key_PageDown: moveEditor(static_cast<int>(fl::Move::PageDown)); return true;
    case Qt::Key_Home:
        if (ctrl) {
            moveEditor(static_cast<int>(fl::Move::CtrlHome));
            return true;
        }
        return false;
    case Qt::Key_End:
        if (ctrl) {
            moveEditor(static_cast<int>(fl::Move::CtrlEnd));
            return true;
        }
        return false;
    case Qt::Key_Right:
    case Qt::Key_Left: {
        if (e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier) ||
            editor_->textCursor().hasSelection()) {
            return false;
        }
        const int caret = editor_->caret();
        const int len = static_cast<int>(editor_->text().size());
        if ((key == Qt::Key_Right && caret < len) || (key == Qt::Key_Left && caret > 0)) {
            return false;
        }
        moveEditor(static_cast<int>(key == Qt::Key_Right ? fl::Move::Right : fl::Move::Left));
        return true;
    }
    default: return false;
    }
}

void TMDIChild_1::editorContextMenu(const QPoint& pos) {
    QMenu menu(this);
    menu.addAction(q(designermsg::cutItem()), editor_, &QPlainTextEdit::cut);
    menu.addAction(q(designermsg::copyItem()), editor_, &QPlainTextEdit::copy);
    menu.addAction(q(designermsg::pasteItem()), editor_, &QPlainTextEdit::paste);
    menu.addSeparator();
    menu.addAction(q(designermsg::tagHelpItem()), this, [this] { showReference(); });
    menu.addAction(QStringLiteral("Close"), this, [this] {
        follow_ = false;
        closeEditor();
    });
    menu.exec(editor_->mapToGlobal(pos));
}

// ---------------------------------------------------------------- window events

bool TMDIChild_1::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::FocusIn) {
        // The main window's menu update enables Undo and Redo for any designer; this window
        // then says what its history allows.
        QTimer::singleShot(0, this, [this] { updateUndoItems(); });
    } else if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        const int key = k->key();
        if ((k->modifiers() & Qt::AltModifier) && key >= Qt::Key_0 && key <= Qt::Key_9) {
            altNumber_ = fl::appendLineDigit(altNumber_, key - Qt::Key_0);
            return true;
        }
    } else if (e->type() == QEvent::KeyRelease) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Alt && altNumber_ >= 0) {
            const int line = altNumber_;
            altNumber_ = -1;
            jumpToFileLine(line);
            return true;
        }
    }
    return QWidget::eventFilter(watched, e);
}

void TMDIChild_1::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    placeEditor();
}

void TMDIChild_1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (followsActivation_ || sub == nullptr || sub->mdiArea() == nullptr) {
        return;
    }
    followsActivation_ = true;
    // The main window's menu update enables Undo and Redo for any designer when the active
    // window changes; once it has run, this window says what its history allows.
    auto later = [this, sub] {
        QTimer::singleShot(0, this, [this, sub] {
            if (sub->mdiArea() != nullptr && sub->mdiArea()->currentSubWindow() == sub) {
                updateUndoItems();
            }
        });
    };
    connect(sub->mdiArea(), &QMdiArea::subWindowActivated, this, later);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, later);
}

void TMDIChild_1::closeEvent(QCloseEvent* e) {
    closeEditor();
    flushHistory();
    if (history_.changed()) {
        switch (prompter_.ask(w("Внимание:"), designermsg::saveChanges(),
                              Prompter::Buttons::YesNoCancel, Prompter::Icon::Question)) {
        case Prompter::Answer::Yes:
            saveAs();
            if (history_.changed()) {
                e->ignore();
                return;
            }
            break;
        case Prompter::Answer::No: break;
        default: e->ignore(); return;
        }
    }
    e->accept();
}

} // namespace fc
