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
#include "shell/ReportChild.h"

#include <QElapsedTimer>
#include <QWidget>

#include <memory>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QTimer;

namespace fc {

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
    // The answer timer's tick, also for tests that do not wait for the timer.
    void pollAnswer();
    // The sheet's pop-up menu `PopupMenu1`; the items the server sent follow the window's
    // nine own ones.
    QMenu* sheetMenu() const { return menu_; }
    static constexpr int kOwnMenuItems = 9;
    // The double-click action of (row, col), as a double click, Enter or a button runs it.
    void runCellAction(int row, int col);

    // ---- ReportChild
    std::string componentName() const override { return "MDIChild1"; }
    bool noSave() const override;
    bool noPrint() const override;
    void activateChild() override;
    long long popupHandle() const override { return run_.popupHandle(); }
    void reportKey(int code) override;
    void setOnlyMarkedRows(bool on) override;
    void clearRowMarks() override {}
    void sortRows(SortOrder) override {}
    void rerun() override { run_.ReRun(); }
    void restart() override { run_.Restart(); }
    void sendMail() override {}
    void pageSetup() override {}
    bool hasModifiedMark() const override;
    void clearModifiedMark() override;
    void startDataSave() override { saveData(""); }
    void showNormalWindow() override;

    // ---- ReportHost
    long long handle() const override;
    std::string caption() const override;
    void setCaption(const std::string& text) override;
    void setBusy(bool busy) override;
    void closeWindow() override;
    void setTimer(ReportTimer timer, bool on, int intervalMs) override;
    void answerArrived(std::string buffer) override;
    void requestStarting(bool automatic) override;
    void endEdit() override;
    void saveData(const std::string& command) override;
    void activated() override;
    void prepareRestart() override;
    void hideQuestionControls() override;
    std::string statusText() const override;
    void setStatusText(const std::string& text) override;
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
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class World;
    class SearchKeys;

    void buildWidgets();
    // Places a question control in the panel after the ones already there, its caption label
    // (navy) 5 pixels right of its left edge and 16 above its top.
    void place_cbox(QWidget* control, const std::string& caption);
    void submitInput(QWidget* input);
    void chooseListItem(QListWidgetItem* item);
    void confirmCheckList();
    void clearQuestionControls();
    // "<<": takes back the last answer and its input.
    void stepBack();
    void FormResize();
    void setPanel2Visible(bool on);
    QWidget* subWindowOrSelf();
    TMDIChild1* windowOf(long long handle) const;

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
    int ownMenuItems_ = 0;
    QLineEdit* Edit2_ = nullptr; // the overlay editor
    CellRef overlayCell_{0, 0};
    bool typingStart_ = false; // the in-cell editor opens for a typed key
    QTimer* KeyTimer_ = nullptr;
    SearchKeys* searchKeys_ = nullptr;
    std::vector<QWidget*> inputs_; // the question controls, in panel order
    std::vector<QLabel*> inputLabels_;
    std::vector<QuestionForm> inputForms_;
    QTimer* answerTimer_;
    QTimer* autoTimer_;
    QTimer* offlineTimer_;
    QElapsedTimer waiting_;
    BusyCursor busy_;
    bool closing_ = false;
    bool activationHooked_ = false;
};

} // namespace fc
