#pragma once

#include "exchange/AnswerWatch.h"
#include "exchange/ReportHost.h"
#include "exchange/RequestName.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fc {

class AppSettings;
class Prompter;
class Workbook;

// The request side of one report window's life: the first request, polling for the answer,
// re-runs, restarts, step answers, opening further reports and automatic refresh, and the
// hidden state block (column 256 of sheet 1) that follows the window through activation.
// Time is driven from outside: the window's timers call the tick methods while on.
class ReportRun {
public:
    static constexpr int kStateCol = 256;
    static constexpr int kMarkCol = 254;
    static constexpr int kAnswerInterval = 200;
    static constexpr int kAutoInterval = 5000;
    static constexpr int kOfflineDelay = 100;

    ReportRun(AppSettings& settings, Workbook& book, Prompter& prompter, ReportHost& host,
              NameSource names = randomNames());

    // Takes the pending request line (AppSettings::nextReport) and sends the first request.
    // False when the window closes at once (nothing pending, offline answer missing).
    bool create();

    // ---- timers
    void answerTick();
    void autoRefreshTick();
    void offlineTick();

    // ---- commands
    void ReRun();
    void Restart();
    // The user's answer to a server question (Windows-1251), appended to the step context.
    void stepAnswer(std::string_view value);
    // "<<": takes back the last step answer; nothing when none was given.
    void stepBack();
    // Opens another report from this one: "NAME args... [;size=W:H;X:Y] [;close] [;save]".
    void run_form(std::string_view command);
    // The request writers.
    void WriteZapros();
    void WriteZapros1(std::string_view line);

    // ---- activation and closing
    void activate();
    void deactivate();
    // Writes the hidden state block now (deactivation, and before the result is stored in the
    // answer cache, so that the copy carries it).
    void writeStateBlock() { writeBlock(); }
    // False when the window stays open (the user chose to save first).
    bool close();
    // Told by a closed pop-up or by a child that asks for a re-run (key 0x82).
    void popupClosed();
    void rerunFromChild();

    // ---- state the answer side reads and sets
    const std::string& requestName() const { return requestName_; }
    void setRequestName(std::string name) { requestName_ = std::move(name); }
    const std::string& nameBase() const { return nameBase_; }
    void newNameBase();
    const std::string& firstContext() const { return firstContext_; }
    const std::string& stepContext() const { return stepContext_; }
    const std::string& context() const { return context_; }
    void setContext(std::string c) { context_ = std::move(c); }
    const std::string& reportName() const { return reportName_; }
    // The application-wide settings the run writes its requests with.
    const AppSettings& appSettings() const { return settings_; }
    bool questionPanelHidden() const { return questionPanelHidden_; }
    const std::string& geometry() const { return geometry_; }
    bool popup() const { return !geometry_.empty(); }

    struct Flags {
        bool noSave = false, noPrint = false;
        bool keepPosition = false; // ";IND_RERUN"
        bool autoSave = false;     // ";AUTOSAVE"
        bool autoAlways = false;   // ";AUTOALWAYS"
        bool restartClose = false; // ";RESTART_CLOSE": re-run on every activation
        bool noArgs = false;       // ";NO_ARGS"
        bool parentRerun = false;  // ";PARENT_RERUN"
        bool modalResult = false;  // ";MODAL_RESULT"
        bool onlyMarked = false;   // "Только выделенные стpоки"
        bool markLaunchingRow = false;
    };
    Flags& flags() { return flags_; }
    std::string autoRefreshText; // "", "upti" or a request line
    std::string dataSaveText;    // non-empty when edited rows can be sent back
    void setAutoRefresh(bool on, int intervalMs = kAutoInterval);
    bool autoRefreshOn() const { return autoTag_; }
    // A refresh check found nothing new: the refresh timer runs on as it was.
    void resumeAutoRefresh();
    long long popupHandle() const { return popupHandle_; }

    // Column 2 text of the selected row and the selected column, kept by a re-run when the
    // keep-position flag is set; empty when none.
    const std::string& rememberedText() const { return rememberedText_; }
    int rememberedCol() const { return rememberedCol_; }

    bool answerPending() const { return answerTimer_; }

private:
    void writeRun(bool automatic);
    void startAnswerTimer();
    void stopTimer(ReportTimer t);
    void autoRerun();
    bool modifiedMark() const;
    void clearMark();
    // Steps 1 and 2 shared by ReRun and Restart: false when a save was started instead.
    bool settleBeforeRun();
    void writeBlock();
    void readBlock();
    std::string cell(int row) const;
    void setCell(int row, const std::string& text);
    void showRequestFailure();

    AppSettings& settings_;
    Workbook& book_;
    Prompter& prompter_;
    ReportHost& host_;
    NameSource names_;

    std::string firstContext_, stepContext_, context_;
    std::string nameBase_, requestName_;
    std::string reportName_;
    std::string geometry_;
    std::string offlineBuffer_;
    bool created_ = false;
    bool questionPanelHidden_ = false;
    bool answerTimer_ = false;
    bool serverReachable_ = true;
    bool autoTimer_ = false;
    bool autoTag_ = false;
    int autoInterval_ = kAutoInterval;
    std::optional<std::int64_t> uptiSeen_;
    bool uptiKnown_ = false;
    bool skipDeactivation_ = false;
    bool closedByDrillDown_ = false; // ";close": the window goes behind the report it opened
    long long popupHandle_ = 0;
    long long returnTo_ = 0;
    Flags flags_;
    std::string rememberedText_;
    int rememberedCol_ = 0;
    AnswerWatch watch_;
};

} // namespace fc
