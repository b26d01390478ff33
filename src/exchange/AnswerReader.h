#pragma once

#include "exchange/RequestName.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace fc {

class AppSettings;
class ReportHost;
class ReportRun;
class Workbook;
struct ResultContext;

// State all report windows share: set by drill-down and by opening further reports, read when
// an answer arrives. Texts are Windows-1251.
struct SharedRunState {
    std::string pendingForm;    // a report to open after a save
    std::string pendingProgram; // a command line to start after a save
    bool editChild = false;     // this window edits one row of the window that opened it
    std::string columnMap;      // "p:q;p:q": source column of this sheet, target of the owner's
    bool multiChoice = false;
    std::string currentValue; // the chosen argument value(s), several joined by "|"
    std::string upperCaption, lowerCaption;
};

// A question control to build in the question panel (or the single question controls).
struct QuestionForm {
    enum class Control {
        Choice,      // "Q-M": drop-down list and ListBox2
        Suggestions, // "Q-S"/"Q-R" with "im": editable combo box and ComboBox1
        Edit,        // "Q-S": edit and Edit1
        Number,      // "Q-R": edit of a fixed-point number
        Argument,    // "Q-A": owner-drawn combo box of the argument's values
        FreeText,    // "Q-A" of a single word: a free-text question
    };
    Control control = Control::Edit;
    std::string kind;               // "Q-M", "Q-S", "Q-R", "Q-A"
    std::string caption;            // the label above the control (and Label1 or Label3)
    std::vector<std::string> items; // as shown, top first
    int selected = -1;
    int widthChars = 0; // width as that many "A"; 0: widthPx
    int widthPx = 0;
    std::optional<int> maxLength;
    bool password = false;
    std::string text;     // initial text of an edit or suggestions combo box
    std::string argument; // "Q-A": the argument field
    bool multiChoice = false;
    int listHeight = 0; // ListBox2 height for "Q-M"
};

// A value list to show in Listbox1 or, with multi-choice, the check list RListBox1.
struct ValueListForm {
    bool checkList = false;
    std::string upper, lower; // Label2 and Label4
    std::vector<std::string> items;
    std::vector<std::string> keys;
    std::vector<bool> checked;
    std::vector<std::string> hiddenKeys; // TMP_LB
    int selected = -1;
    bool confirmEnabled = false; // Button1
    int longestLine = 0;
};

// What Finishing asks of the window after a result was read.
struct ResultFinish {
    bool recalcNotice = false;
    std::string statusMessage;
};

// The report window's side of reading an answer: panels, controls and the sheet's menu.
class AnswerWindow {
public:
    virtual ~AnswerWindow() = default;
    // The normal pointer again (the sheet's saved mouse pointer).
    virtual void restorePointer() = 0;
    // Panel5 shown, Panel1 hidden, "Только выделенные стpоки" unchecked, the sheet focused.
    virtual void showResultPanel() = 0;
    virtual void hideSavingPanel() = 0; // Panel12
    // The sheet's pop-up menu keeps its own items and gets these after them.
    virtual void setServerMenuItems(const std::vector<std::string>& items) = 0;
    // Panel1 shown (unless the report hides its question panel); the question list
    // position starts again.
    virtual void showQuestionPanel() = 0;
    virtual bool questionPanelVisible() const = 0;
    // The remembered answer for the next control of the question panel ("m3", "sTEXT", ...),
    // empty when none.
    virtual std::string rememberedAnswer() const { return {}; }
    virtual void showQuestion(const QuestionForm& form) = 0;
    // Listbox1 shown and focused while the argument's values are asked for.
    virtual void showArgumentList() {}
    virtual void showValueList(const ValueListForm& form) = 0;
    // Progress back to 0, argument bar, status painting, resize and scroll bars.
    virtual void finishResult(const ResultFinish& finish) = 0;
    // The sheet filter (Filtr) after a result was read; filterAgain only when a filter is in
    // force (a table-format result, which the filter does not otherwise follow).
    virtual void applyFilter() {}
    virtual void filterAgain() {}
    // The argument with the report's default put in (DEFARG).
    virtual std::string defaultArgument(const std::string& argument) { return argument; }
    // The window this edit child came from: its sheet and whether it has a save instruction;
    // nullptr when there is none.
    virtual Workbook* ownerBook() { return nullptr; }
    virtual bool ownerSaves() const { return false; }
    // The template path the window was opened with (its caption without additions).
    virtual std::string templatePath() const = 0;
};

// `GetOtvet`: one answer of a report window, classified by the request name and the status
// line and acted on. The answer is in ctx.answer; it is emptied on every path.
class AnswerReader {
public:
    AnswerReader(ResultContext& ctx, AppSettings& settings, ReportRun& run, ReportHost& host,
                 AnswerWindow& window, SharedRunState& shared, NameSource names = randomNames());

    void GetOtvet();

    // The stamp of the last refresh check answer.
    const std::string& refreshStamp() const { return stamp_; }
    void setRefreshStamp(std::string stamp) { stamp_ = std::move(stamp); }
    // The version text of the last turbo answer.
    const std::string& templateVersion() const { return version_; }
    // The after-save action a save sets: 0 none, 1 re-run, 2 restart.
    int afterSaveAction = 0;
    // How long "OK" + file waits for the file, in steps of 100 ms after the first try.
    int fileWaitTries = 10;
    // How long it waits at most for a file that keeps changing (30 s).
    static constexpr int kGrowingTries = 300;
    std::string answerPath() const { return path_; }
    // When the last main answer was read; whether its result is in the turbo format.
    std::chrono::system_clock::time_point answerTime{};
    bool turbo = false;

private:
    enum class After { Save, Resave, Rerun };

    void templateDownload(const std::string& status);
    void popupMenu(const std::string& status);
    void refreshCheck(const std::string& status);
    void resave();
    void save(std::string status);
    void afterSave(After variant);
    void copyBack();
    void mainAnswer(const std::string& status);
    void extResult(const std::string& status);
    void requestTemplate(const std::string& fileName);
    void finishing();
    // Closes the window when the result was an error line in row 1; true when it did.
    bool closeAfterError();
    void question();
    void valueList();
    void freeBuffer();
    // read_table over the answer; the buffer is freed whether or not the reader gives up.
    void readTable();
    void failed(const std::string& message);
    std::string newName();

    ResultContext& ctx_;
    AppSettings& settings_;
    ReportRun& run_;
    ReportHost& host_;
    AnswerWindow& window_;
    SharedRunState& shared_;
    NameSource names_;
    std::string path_;
    std::string stamp_;
    std::string version_;
    std::string templateFile_;
    std::string savedContext_;
};

} // namespace fc
