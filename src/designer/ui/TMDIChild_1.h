#pragma once

#include "components/model/Workbook.h"
#include "designer/ObjectWatch.h"
#include "designer/StatementColour.h"
#include "designer/TemplateFile.h"
#include "designer/UndoHistory.h"
#include "language/Checker.h"
#include "shell/DesignerChild.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QAction;
class QMenu;
class QPrinter;

namespace fc {

class CellFormatDialog;
class PageSetupDialog;
class PrintPreviewDialog;
class ColsRowsDialog;
class DesignerObjects;
class FormulaLineEditor;
class PrototypeListDialog;
class Prompter;
class SearchDialog;
class ShellHost;
class SheetView;
class WorkbookDesignerDialog;
struct SheetKeyEvent;

// The designer window: a template's workbook in a sheet view, the formula line editor over
// it, and the designer commands the main window sends as function keys.
class TMDIChild_1 : public QWidget, public DesignerChild, private WorkbookListener {
    Q_OBJECT
public:
    // Opens the host's current file name ("Noname.rpt": a new template).
    TMDIChild_1(ShellHost& host, Prompter& prompter, QWidget* parent = nullptr);
    ~TMDIChild_1() override;

    // ---- DesignerChild
    std::string componentName() const override;
    void activateChild() override;
    void designerKey(int key, Qt::KeyboardModifiers modifiers) override;
    void printPreview() override;
    Workbook& workbook() override { return book_; }
    void refreshSheetProperties() override;
    void focusSheet() override;
    void insertPicture() override;
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    FormatSwitch formatSwitch() const override { return format_; }
    void setFormatSwitch(FormatSwitch f) override { format_ = f; }
    bool hasUnsavedChanges() const override;
    bool formulaEditorHasFocus() const override;
    void commitFormulaEditor() override;
    void showErrorAt(int fileLine, int position) override;

    // Loads a file into the window (its name becomes the caption): a ".xls" or ".vts"
    // workbook, or a template, whose layout sets the window's format switch.
    bool loadTemplate(const QString& path);
    // The template's file name, without the " [ext]" mark.
    QString templatePath() const;
    // The name the save dialog offers: the template's, or for a file that was not read as a
    // template (a workbook) its name with ".rpt".
    QString offeredName() const;

    // ---- parts, for the owner and for tests
    SheetView* view() const { return view_; }
    FormulaLineEditor* editor() const { return editor_; }
    DesignerObjects* objects() const { return objects_; }
    const UndoHistory& history() const { return history_; }
    bool editorOpen() const { return editRow_ != 0; }
    // The turbo variant's mode: the editor edits cells where they are.
    bool turbo() const { return format_.turbo; }
    int editRow() const { return editRow_; }
    int editCol() const { return editCol_; }
    // Takes the snapshot a modification asked for now instead of after the event.
    void flushHistory();
    // Opens the formula line editor on a cell (the statement column for a statement row).
    void openEditor(int row, int col, int caret = -1);
    // Leaves the editor: its text goes into the cell.
    void closeEditor();
    // "Спpавочник служебных инструкций": the chosen instruction goes in front of the editor's
    // text (the editor opens on the active row's statement when it is closed).
    void showReference();
    // A prototype line chosen in the prototype list: a new row at the selection with the line.
    void insertPrototypeLine(const std::string& windowsLine);

    // How the dialogs run; tests answer them here.
    struct SaveChoice {
        QString path;   // empty: cancelled
        int filter = 0; // 0 templates, 1 Excel
    };
    std::function<SaveChoice(const QString& directory, const QString& name, bool templatesOnly)>
        chooseSaveFile;
    std::function<bool(SearchDialog&)> runSearchDialog;
    std::function<bool(ColsRowsDialog&)> runColsRowsDialog;
    std::function<std::optional<QFont>(const QFont& start)> chooseFont;
    std::function<bool(CellFormatDialog&)> runCellFormatDialog;
    std::function<bool(WorkbookDesignerDialog&)> runWorkbookDesigner;
    std::function<bool(PageSetupDialog&)> runPageSetupDialog;
    // F10: the print dialog on the printer the pages go to.
    std::function<bool(QPrinter&)> runPrintDialog;
    // The preview; Accepted prints.
    std::function<bool(PrintPreviewDialog&)> runPrintPreview;
    std::function<void(QWidget& dialog)> showDialog; // modeless dialogs (prototypes, reference)

protected:
    void closeEvent(QCloseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    // WorkbookListener
    void cellsChanged(int sheet, const CellRange& range) override;
    void layoutChanged() override;
    void viewChanged() override;

    void noteModification();
    void objectsMaybeChanged();
    void resetHistory();
    void updateUndoItems();
    void applyNewSheetDefaults();

    // commands
    void saveAs();
    void saveAndRun();
    bool saveTemplate(const QString& path);
    bool saveExcel(const QString& path);
    void runSaved(const QString& path);
    bool refuseTurboSheets();
    void formatCommand();
    void colsRowsCommand();
    void applyColsRows();
    void defaultFontCommand();
    void printCommand();
    void searchCommand();
    void searchAgain();
    void runSearch(const std::optional<std::string>& replacement);
    void deleteRowOrCol();
    void insertRowOrCol();
    void undo();
    void redo();
    void pageSetupCommand();
    void fixHeights(bool fix);
    void updateFixCheck();
    void prototypesCommand();
    void workbookDesignerCommand();
    void deleteCurrentRow();
    void jumpToFileLine(int line);

    // sheet events
    void onSheetKeyDown(SheetKeyEvent* e);
    void onDblClick(int row, int col, bool* consumed);
    void onStartEdit(QString* text, bool* cancel);
    void sheetContextMenu(const QPoint& pos);
    void cutCells();
    void pasteCells();

    // the formula line editor
    bool editorKey(QKeyEvent* e);
    void placeEditor();
    void editorTextChanged();
    void showCaretPosition();
    void moveEditor(int move);
    void editorContextMenu(const QPoint& pos);

    ShellHost& host_;
    Prompter& prompter_;
    Workbook book_;
    SheetView* view_ = nullptr;
    FormulaLineEditor* editor_ = nullptr;
    DesignerObjects* objects_ = nullptr;
    StatementColourer colourer_;
    Checker checker_;
    UndoHistory history_;
    ObjectWatch objectWatch_;
    KeptObjectBlocks kept_;
    bool restoring_ = false;
    bool snapshotPending_ = false;
    FormatSwitch format_;
    // The caption names a file that was not read as a template (a workbook, or a file that
    // could not be opened): saving never goes over it without asking for a name.
    bool foreignFile_ = false;
    bool runAfterSaving_ = false;

    int editSheet_ = 0;
    int editRow_ = 0;
    int editCol_ = 0;
    int openLength_ = 0;
    bool spanning_ = false; // the editor spans the sheet over column 1
    bool follow_ = false;
    QString lastSearch_;
    QString lastReplacement_;
    bool lastReplacing_ = false;
    int altNumber_ = -1;

    ColsRowsDialog* colsRows_ = nullptr;
    QPointer<PrototypeListDialog> prototypeList_;
    QAction* fixHeightAction_ = nullptr;
    bool followsActivation_ = false;
};

} // namespace fc
