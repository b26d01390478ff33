#include "designer/ui/TMDIChild_1.h"

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
    // A new template starts with the format buttons as they stand; an opened one with its own.
    const bool turbo = host_.turboDown();
    format_ = {turbo || host_.commandChecked("extd"), turbo};
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
    if (restoring_) {
        return;
    }
    objectsMaybeChanged();
    // Another sheet became current: the editor's text belongs to the sheet it was opened on.
    if (!editorOpen()) {
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

// ---------------------------------------------------------------- undo history

void TMDIChild_1::cellsChanged(int, const CellRange&) { noteModification(); }
void TMDIChild_1::layoutChanged() { noteModification(); }

// Objects are moved, sized and formatted in the view without a layout change being reported.
void TMDIChild_1::objectsMaybeChanged() {
    if (!restoring_ && objectWatch_.changed(book_)) {
        noteModification();
    }
}

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
    objectWatch_.sync(book_);
    updateUndoItems();
}

void TMDIChild_1::resetHistory() {
    restoring_ = true;
    history_.reset(book_);
    restoring_ = false;
    snapshotPending_ = false;
    objectWatch_.sync(book_);
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
    objectWatch_.sync(book_);
    updateUndoItems();
}

void TMDIChild_1::redo() {
    closeEditor();
    flushHistory();
    restoring_ = true;
    history_.redo(book_);
    restoring_ = false;
    objectWatch_.sync(book_);
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
    const std::string refusal =
        designercmd::setExtent(book_.sheet(), colsRows_->cols(), colsRows_->rows());
    if (!refusal.empty()) {
        prompter_.warning(refusal);
        return;
    }
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
        const std::string before = book_.sheet().name();
        dialog.apply(book_);
        // A kept object block belongs to its sheet under the sheet's new name.
        auto k = kept_.find(before);
        if (k != kept_.end() && book_.sheet().name() != before) {
            kept_[book_.sheet().name()] = std::move(k->second);
            kept_.erase(before);
        }
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
