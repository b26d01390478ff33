#pragma once

#include "components/model/Workbook.h"
#include "components/platform/ui/BusyCursor.h"
#include "components/platform/ui/QtPrompter.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerReader.h"
#include "exchange/OutsideFiles.h"
#include "exchange/OutsideWorld.h"
#include "exchange/Progress.h"
#include "exchange/ReportHost.h"
#include "exchange/ReportRun.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"
#include "results/ActionHost.h"
#include "results/ResultSession.h"
#include "results/ui/OutputDialogs.h"
#include "shell/ReportChild.h"

#include <QElapsedTimer>
#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QFrame;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QSplitter;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace fc {

class ArgumentBarWidget;
class QuickSumPanel;
class SheetView;
struct SheetKeyEvent;
class ShellHost;

// The state every report window shares (pending form and program, edit child, current value).
SharedRunState& sharedRunState();

// The report window: the result sheet of one report run, its question panel, value lists and
// save panel. It owns the run (requests and polling) and the answer reader, and is an MDI child
// of the main window or, opened with ";size=", a stay-on-top pop-up of the window that opened
// it. `designerHandle`: the designer that ran the template (0: none), told of error lines.
class TMDIChild1 : public QWidget,
                   public ReportChild,
                   public ReportHost,
                   public AnswerWindow,
                   public StatusPanel,
                   public ActionHost {
    Q_OBJECT
public:
    // `prompter`: the window's message boxes (nullptr: its own, owned by the window).
    TMDIChild1(ShellHost& shell, long long designerHandle, Prompter* prompter = nullptr,
               QWidget* parent = nullptr);
    ~TMDIChild1() override;

    // Takes AppSettings::nextReport and sends the request; false when the window closes.
    bool start();

    Workbook& workbook() { return book_; }
    SheetView* sheetView() const { return view_; }
    ReportRun& run() { return run_; }
    // The result commands' state and code, shared with the command line.
    ResultSession& session() { return session_; }
    AnswerReader& reader() { return reader_; }
    ReportSettings& reportSettings() { return reportSettings_; }
    // Two looks for the answer, as two ticks of the answer timer take one that has settled:
    // for tests that do not wait for the timer.
    void pollAnswer();
    // The sheet's pop-up menu `PopupMenu1`; the items the server sent follow the window's
    // nine own ones.
    QMenu* sheetMenu() const { return menu_; }
    // The dialogs of printing, saving to a workbook, PDF export and page setup.
    OutputDialogs outputDialogs;
    static constexpr int kOwnMenuItems = 9;
    // The double-click action of (row, col), as a double click, Enter or a button runs it.
    void runCellAction(int row, int col);

    // ---- ReportChild
    std::string componentName() const override { return "MDIChild1"; }
    bool noSave() const override;
    bool noPrint() const override;
    bool noCalendar() const override;
    void activateChild() override;
    long long popupHandle() const override { return run_.popupHandle(); }
    void reportKey(int code) override;
    void setOnlyMarkedRows(bool on) override;
    void clearRowMarks() override;
    void sortRows(SortOrder order) override;
    void rerun() override { run_.ReRun(); }
    // "Рестаpт", or a re-run while the status bar's panel reads "Обновить".
    void restart() override;
    void sendMail() override;
    void pageSetup() override;
    void printPreview() override;
    bool hasModifiedMark() const override;
    void clearModifiedMark() override;
    void startDataSave() override { saveData(""); }
    void showNormalWindow() override;

    // ---- ReportHost
    long long handle() const override;
    std::string caption() const override;
    std::string fileCaption() const override;
    void setCaption(const std::string& text) override;
    void setBusy(bool busy) override;
    void closeWindow() override;
    void setTimer(ReportTimer timer, bool on, int intervalMs) override;
    void answerArrived(std::string buffer) override;
    void requestStarting(bool automatic) override;
    void endEdit() override;
    void saveData(const std::string& command) override;
    void activated() override;
    void writeOwnState() override;
    void prepareRestart() override;
    bool collectQuestionPanel() override;
    void hideQuestionControls() override;
    void lookupDefaultArgument(const std::string& reportName) override;
    bool takeFromCache(const std::string& line) override;
    std::string statusText() const override;
    void setStatusText(const std::string& text) override;
    bool applicationActive() const override;
    bool isActiveChild() const override;
    void setTimeLabelsEnabled(bool on) override;
    long long openReport(bool popup) override;
    bool activateWindow(long long handle) override;
    void returnTo(long long handle, bool popupClosed, bool rerun) override;

    // ---- AnswerWindow
    void restorePointer() override;
    void showResultPanel() override;
    void hideSavingPanel() override;
    void setServerMenuItems(const std::vector<std::string>& items) override;
    void showQuestionPanel() override;
    bool questionPanelVisible() const override;
    std::string rememberedAnswer() const override;
    void showQuestion(const QuestionForm& form) override;
    void showArgumentList() override;
    void showValueList(const ValueListForm& form) override;
    void finishResult(const ResultFinish& finish) override;
    std::string defaultArgument(const std::string& argument) override;
    void applyFilter() override;
    void filterAgain() override;
    Workbook* ownerBook() override;
    bool ownerSaves() const override;
    std::string templatePath() const override { return templatePath_; }

    // ---- ActionHost (TMDIChild1Actions.cpp); closeWindow() is the ReportHost's
    bool stopEditing() override;
    void editInCell(int row, int col) override;
    void editOverlay(int row, int col) override;
    void columnKey(int code) override;
    bool writeExportFiles() override;
    void saveAndFollow(const SaveFollowUp& follow) override;
    void openForm(const std::string& command) override;
    bool startProgram(const std::string& commandLine) override;
    Workbook* parentBook() override { return ownerBook(); }
    bool parentSaves() const override { return ownerSaves(); }

protected:
    bool event(QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class World;
    class SearchKeys;

    void buildWidgets();
    // Places question input `i` in the panel after the ones already there (QuestionPanel::place),
    // its caption label (navy) 5 pixels right of its left edge and 16 above its top.
    void place_cbox(std::size_t i, const std::string& caption);
    // Sends the answer of `input` (nullptr: the input last entered).
    void submitInput(QWidget* input);
    void chooseListItem(QListWidgetItem* item);
    void confirmCheckList();
    void clearQuestionControls();
    // "<<": takes back the last answer and its input.
    void stepBack();
    void FormResize();
    void setPanel2Visible(bool on);
    // ---- filter, marks, sorting and the quick sum (TMDIChild1Filter.cpp, TMDIChild1Rows.cpp)
    void buildViewWidgets();
    // F9, key 131, "Фильтp": the list filter while a value list is shown, else the sheet's.
    void openFilter();
    void openSheetFilter();
    void openListFilter();
    // The filter, the marked-rows mode and the sort note of this window come back.
    void activateView();
    void viewChanged();
    void sheetSelectionChanged();
    QWidget* mainWindow() const;
    QWidget* subWindowOrSelf();
    TMDIChild1* windowOf(long long handle) const;
    // The report window the user works in (see TMDIChild1Life.cpp).
    void becomeCurrent();
    void leaveCurrent();
    void windowStateChanged(Qt::WindowStates before, Qt::WindowStates now);
    void closePopupOf(TMDIChild1& owner);
    // Output (TMDIChild1Output.cpp): the keys 129, 130 and 132; false for other keys.
    bool outputKey(int code);
    void saveToWorkbook();
    void printReport();
    void exportPdf();

    // ---- the argument bar and tree (TMDIChild1Arguments.cpp)
    void buildArgumentWidgets();
    // `Arguments`: the bar (or tree) and the `Args` menu built anew from the argument file.
    void Arguments();
    void Res_arg();
    void Arg_ButtonClick(int index);
    void NewItemClick(int index);
    void FPanelClick();
    void treeItemExpanded(QTreeWidgetItem* item);
    void treeItemChosen(QTreeWidgetItem* item);
    // Shift+F1 .. Shift+F24 on the sheet choose arguments 1 to 24.
    bool argumentKey(int key, Qt::KeyboardModifiers mods, bool press);
    // An answer came: a choice no longer waits.
    void argumentSettled();

    // ---- the question panel (TMDIChild1Questions.cpp)
    std::size_t addInput(QWidget* control, const QuestionForm& form);
    void enterInput(std::size_t i);
    bool inputKey(std::size_t i, QKeyEvent* e);
    void syncInput(std::size_t i);
    // The server's list of reports (an argument's combo box): its value list.
    void chooseReportList(std::size_t i);
    // A value chosen in a list opened from the panel goes into its combo box and is sent.
    void returnToPanel(const std::string& item);
    void QA_N2(std::size_t i);
    // A tick in the check list keeps its key in `TMP_LB`; headings take none.
    void checkListTicked(QListWidgetItem* item);
    // Leaving a value list puts "Рестаpт" back into the status bar.
    void watchValueLists();
    void Timer1Timer();

    // ---- cell actions, editing, the pop-up menu and the data save (TMDIChild1Actions.cpp)
    void buildActions();
    void buildPopupMenu();
    void openPopupMenu(QPoint at);
    // ";ALLOWPOP=": the server's items only over their column.
    void gateServerItems();
    void requestServerMenu();
    void serverItemPicked(const std::string& caption);
    void copyCells();
    void pasteCells();
    void deleteCells();
    void sheetKeyDown(SheetKeyEvent* e);
    void sheetKeyPress(SheetKeyEvent* e);
    void sheetKeyUp(SheetKeyEvent* e);
    void cellClicked(int row, int col);
    void editStarting(QString* text, bool* cancel);
    void editEnding(QString* text, bool* cancel);
    void commitOverlay();
    // Escape: an open editor is cancelled, else the window closes.
    void escapePressed();
    // A result was read into the sheet: what the actions kept of the former one goes.
    void resultRead();
    // ---- type-ahead and the Alt search (TMDIChild1Search.cpp)
    void buildSearch();
    void typeAhead(unsigned char c);
    void keyTick();

    ShellHost& shell_;
    long long designerHandle_;
    long long ownerHandle_ = 0; // the window this one was opened from
    std::unique_ptr<QtPrompter> ownPrompter_;
    Prompter& prompter_;
    Workbook book_;
    ReportSettings reportSettings_;
    AnswerBuffer answer_;
    std::unique_ptr<World> world_;
    OutsideFiles files_;
    Progress progress_;
    ResultContext ctx_;
    ReportRun run_;
    AnswerReader reader_;
    ResultSession session_;
    std::string templatePath_;

    SheetView* view_ = nullptr;
    QFrame* Panel1_ = nullptr; // the question panel
    QFrame* singleQuestion_ = nullptr;
    QFrame* Panel5_ = nullptr;  // the sheet panel
    QFrame* Panel2_ = nullptr;  // the save panel
    QLabel* Panel12_ = nullptr; // "saving" notice
    QPushButton* BitBtn3_ = nullptr;
    QListWidget* ListBox2_ = nullptr;
    QComboBox* ComboBox1_ = nullptr;
    QLineEdit* Edit1_ = nullptr;
    std::vector<QLabel*> labels_; // Label1 .. Label6
    QPushButton* but_next_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QFrame* listPanel_ = nullptr;
    QListWidget* Listbox1_ = nullptr;
    QListWidget* RListBox1_ = nullptr;
    QPushButton* Button1_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QMenu* menu_ = nullptr;
    QuickSumPanel* quickSum_ = nullptr;
    QTimer* textTimer_ = nullptr; // prepares the filter's row texts while the window is idle
    int ownMenuItems_ = 0;
    QLineEdit* Edit2_ = nullptr; // the overlay editor
    CellRef overlayCell_{0, 0};
    bool typingStart_ = false; // the in-cell editor opens for a typed key
    QTimer* KeyTimer_ = nullptr;
    SearchKeys* searchKeys_ = nullptr;
    std::vector<QWidget*> inputs_; // the question controls, in panel order
    std::vector<QLabel*> inputLabels_;
    int activeInput_ = -1;            // the input last entered
    int listFromInput_ = -1;          // the panel's combo box whose value list shows
    std::vector<std::string> TMP_LB_; // the keys ticked in the check list
    QTimer* Timer1_ = nullptr;        // the N2 answer
    std::string n2Name_;
    std::size_t n2Input_ = 0;
    ArgumentBarWidget* argBar_ = nullptr;
    QSplitter* Splitter1_ = nullptr;
    QTreeWidget* TreeView1_ = nullptr;
    QMenu* argsMenu_ = nullptr;
    bool treeReentry_ = false;
    QTimer* answerTimer_;
    QTimer* autoTimer_;
    QTimer* offlineTimer_;
    QElapsedTimer waiting_;
    BusyCursor busy_;
    bool closing_ = false;
    bool quietClose_ = false; // closed for another window's sake: the owner stays behind
    bool activationHooked_ = false;
};

} // namespace fc
