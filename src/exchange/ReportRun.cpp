#include "exchange/ReportRun.h"

#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/CommandText.h"
#include "exchange/RequestWriter.h"
#include "exchange/Requests.h"
#include "exchange/StoredContext.h"
#include "shell/AppSettings.h"

#include <vector>

namespace fc {

namespace {

constexpr char kSep = request::kSep;
constexpr char kWordSep = static_cast<char>(0xB7);
// Answers are read whole into memory; anything larger is not a report of ours.
constexpr std::uint64_t kAnswerLimit = std::uint64_t(1) << 30;

// Hidden state block rows.
enum Row {
    kFirstContext = 1,
    kStepContext = 2,
    kContext = 3,
    kNameBase = 4,
    kRequestName = 5,
    kState = 26,
    kOnlyMarked = 28,
    kRestartClose = 34,
    kKeepPosition = 35,
    kAutoRefreshText = 36,
    kPopup = 37,
    kNoArgs = 38,
    kDataSave = 39,
    kParentRerun = 40,
    kReturn = 41,
    kModalResult = 42,
};

std::string flag(bool on) { return on ? "1" : ""; }

long long number(const std::string& s) {
    long long v = 0;
    return text::parseInt(s, &v) ? v : 0;
}

bool listsReport(std::string_view list, std::string_view name) {
    std::size_t i = 0;
    while (i <= list.size()) {
        std::size_t e = list.find('\n', i);
        std::string_view line = list.substr(i, e == std::string_view::npos ? e : e - i);
        if (text::equalsNoCase(text::trimView(line), name)) {
            return true;
        }
        if (e == std::string_view::npos) {
            break;
        }
        i = e + 1;
    }
    return false;
}

// Removes `option` (case-insensitive) from `text`; true when it was there.
bool takeOption(std::string& text, std::string_view option) {
    std::size_t p = text::findNoCase(text, option);
    if (p == std::string::npos) {
        return false;
    }
    text.erase(p, option.size());
    return true;
}

} // namespace

ReportRun::ReportRun(AppSettings& settings, Workbook& book, Prompter& prompter, ReportHost& host,
                     NameSource names)
    : settings_(settings), book_(book), prompter_(prompter), host_(host), names_(std::move(names)) {
}

void ReportRun::newNameBase() { nameBase_ = names_(); }

bool ReportRun::create() {
    book_.setDefaultFont("FixedSys", 10);
    flags_.noSave = false;
    flags_.noPrint = false;
    stopTimer(ReportTimer::AutoRefresh);
    host_.setStatusText("");

    const std::string pending = settings_.nextReport;
    settings_.nextReport.clear();
    geometry_ = settings_.pendingGeometry;
    settings_.pendingGeometry.clear();
    returnTo_ = settings_.returnWindow;
    if (text::trimView(pending).empty()) {
        host_.closeWindow();
        return false;
    }
    created_ = true;

    newNameBase();
    settings_.setReportState(settings_.reportState().substr(0, 8));

    // The first character is the command letter ("G" or "R"); the name follows up to the first
    // blank. A "G " inside the arguments ("R CATALOG 5") names nothing.
    std::string name = request::parseCommand(text::trim(pending)).reportName;
    name = name.substr(0, name.find(kSep));
    reportName_ = cp1251::upper(text::trim(name));
    host_.lookupDefaultArgument(reportName_);

    if (std::optional<std::string> list =
            files::readAll(files::join(settings_.startDir, "POSLED.LST"), 1 << 20)) {
        questionPanelHidden_ = listsReport(*list, reportName_);
    }

    // A result taken from the cache belongs to this window's own request line.
    firstContext_ = stepContext_ = context_ = settings_.requestPrefix() + pending;
    requestName_ = nameBase_;
    if (pending.find(";cache=") != std::string::npos && host_.takeFromCache(pending)) {
        return true;
    }

    if (!settings_.offline()) {
        WriteZapros();
        return true;
    }
    // A fresh name, and the window's main one: the cached answer is read as the report's own
    // answer, not as a side answer.
    newNameBase();
    requestName_ = nameBase_;
    const std::string path =
        files::join(files::join(settings_.startDir, "CACHE"), settings_.commandLineParam.substr(1));
    std::optional<std::string> data = files::readAll(path, kAnswerLimit);
    if (!data) {
        prompter_.error(w("Не могу найти ") + path);
        host_.closeWindow();
        return false;
    }
    offlineBuffer_ = std::move(*data); // every byte kept; std::string adds the NUL
    host_.setTimer(ReportTimer::Offline, true, kOfflineDelay);
    return true;
}

void ReportRun::offlineTick() {
    host_.setTimer(ReportTimer::Offline, false, kOfflineDelay);
    host_.answerArrived(std::move(offlineBuffer_));
    offlineBuffer_.clear();
}

void ReportRun::stopTimer(ReportTimer t) {
    if (t == ReportTimer::Answer) {
        answerTimer_ = false;
    } else if (t == ReportTimer::AutoRefresh) {
        autoTimer_ = false;
    }
    host_.setTimer(t, false, t == ReportTimer::AutoRefresh ? autoInterval_ : kAnswerInterval);
}

void ReportRun::startAnswerTimer() {
    answerTimer_ = true;
    watch_.reset();
    host_.setTimer(ReportTimer::Answer, true, kAnswerInterval);
}

void ReportRun::answerTick() {
    if (!answerTimer_) {
        return;
    }
    RequestWriter writer(settings_, prompter_);
    const std::string path = writer.path(requestName_, ".out");
    const AnswerWatch::State state = watch_.look(path);
    if (state == AnswerWatch::State::Missing) {
        // No time-out: the window waits for its answer, and says so when the exchange
        // directory itself is gone (an unplugged network drive comes back).
        const bool reachable = files::exists(settings_.serverDir);
        if (reachable != serverReachable_) {
            serverReachable_ = reachable;
            host_.setStatusText(reachable
                                    ? w("Ожидание ответа от сеpвеpа... ")
                                    : w("Нет доступа к каталогу обмена ") + settings_.serverDir);
        }
        return;
    }
    serverReachable_ = true;
    if (state == AnswerWatch::State::Growing) {
        return; // the server may still be writing it: taken once it has settled
    }
    std::optional<std::string> data = files::readAll(path, kAnswerLimit);
    if (!data) {
        if (!files::exists(path)) {
            return; // taken away between the look and the read: keep polling
        }
        stopTimer(ReportTimer::Answer);
        prompter_.error(w("Ошибка чтения ответа!"));
        host_.closeWindow();
        return;
    }
    stopTimer(ReportTimer::Answer);
    std::string buffer = std::move(*data);
    if (!buffer.empty()) {
        buffer.back() = '\0'; // the server's framing byte
    }
    files::remove(path);
    writer.debug(w("ФАЙЛ-ОТВЕТ: "), requestName_);
    host_.answerArrived(std::move(buffer));
}

void ReportRun::showRequestFailure() {
    host_.setBusy(false);
    const auto [caption, message] = RequestWriter(settings_, prompter_).failureMessage();
    prompter_.message(caption, message,
                      caption == w("Ошибка:") ? Prompter::Icon::Error : Prompter::Icon::Warning);
}

void ReportRun::WriteZapros() { writeRun(text::startsWith(requestName_, "auto")); }

void ReportRun::writeRun(bool automatic) {
    if (!automatic) {
        host_.setBusy(true);
        ViewOptions v = book_.view();
        v.mousePointer = 11;
        book_.setView(v);
    }
    host_.requestStarting(automatic);

    const request::Command cmd = request::parseCommand(request::stripPrefix(context_));
    const std::string templatePath = files::findIgnoringCase(
        files::dirPart(settings_.currentFileName) + cmd.reportName + ".rpt");
    std::optional<std::string> templ;
    if (!cmd.reportName.empty()) {
        templ = files::readAll(templatePath);
    }
    const std::string line = request::commandLine(cmd, templ ? "G" : "R");
    host_.setCaption(settings_.currentFileName);
    context_ = request::runHead(settings_) + line;
    if (!automatic) {
        host_.setStatusText(w("Ожидание ответа от сеpвеpа... ") + host_.statusText());
    }
    RequestWriter writer(settings_, prompter_);
    const std::string content = templ ? context_ + "\r\n" + *templ : context_;
    if (!writer.write(requestName_, content, w("ФАЙЛ-ЗАПРОС: "))) {
        showRequestFailure();
        return;
    }
    startAnswerTimer();
}

void ReportRun::WriteZapros1(std::string_view line) {
    if (text::startsWith(line, "Q-")) {
        ReRun();
        return;
    }
    // The window's request context stays the report's, so a later re-run repeats the report
    // rather than the follow-up.
    host_.requestStarting(false);
    host_.setStatusText(w("Ожидание ответа от сеpвеpа... ") + host_.statusText());
    RequestWriter writer(settings_, prompter_);
    if (!writer.write(requestName_, request::followUp(settings_, line), w("ФАЙЛ-ЗАПРОС1: "))) {
        showRequestFailure();
        return;
    }
    startAnswerTimer();
}

bool ReportRun::modifiedMark() const {
    const Sheet& s = book_.sheet(1);
    return s.maxRow() < kMaxRows && s.text(s.maxRow() + 1, kMarkCol) == "X";
}

void ReportRun::clearMark() {
    Sheet& s = book_.sheet(1);
    if (s.maxRow() < kMaxRows && !s.text(s.maxRow() + 1, kMarkCol).empty()) {
        s.setText(s.maxRow() + 1, kMarkCol, "");
    }
}

bool ReportRun::settleBeforeRun() {
    host_.endEdit();
    rememberedText_.clear();
    rememberedCol_ = 0;
    if (flags_.keepPosition) {
        const Sheet& s = book_.sheet(1);
        rememberedText_ = text::trim(s.text(s.activeCell().row, 2));
        rememberedCol_ = s.activeCell().col;
    }
    if (modifiedMark() && !dataSaveText.empty()) {
        if (flags_.autoSave ||
            prompter_.ask(w("Внимание:"), w("Сохранить изменения?"), Prompter::Buttons::YesNo,
                          Prompter::Icon::Question) == Prompter::Answer::Yes) {
            clearMark();
            host_.saveData("");
            return false;
        }
    }
    clearMark();
    return true;
}

void ReportRun::ReRun() {
    if (!settleBeforeRun()) {
        return;
    }
    context_ = settings_.requestPrefix() + request::stripPrefix(context_);
    WriteZapros();
}

void ReportRun::Restart() {
    if (!settleBeforeRun()) {
        return;
    }
    book_.events().doTopLeftChanged = false;
    host_.prepareRestart();
    if (host_.collectQuestionPanel()) {
        return;
    }
    stepContext_ = firstContext_;
    context_ = settings_.requestPrefix() + request::stripPrefix(firstContext_);
    newNameBase();
    requestName_ = nameBase_;
    WriteZapros();
}

void ReportRun::stepAnswer(std::string_view value) {
    if (!text::endsWith(stepContext_, std::string(1, kSep))) {
        stepContext_ += std::string(" ") + kSep;
    }
    stepContext_ += codepage::toDos(value) + kSep;
    context_ = stepContext_;
    requestName_ = nameBase_;
    WriteZapros();
    host_.hideQuestionControls();
}

void ReportRun::stepBack() {
    const std::string sep(1, kSep);
    // Only what step answers added may go: never the report's own line.
    if (stepContext_.size() <= firstContext_.size() || !text::endsWith(stepContext_, sep) ||
        text::endsWith(stepContext_, std::string(" ") + kSep)) {
        return;
    }
    std::string s = stepContext_.substr(0, stepContext_.size() - 1);
    std::size_t p = s.rfind(kSep);
    if (p == std::string::npos || p + 1 < firstContext_.size()) {
        return;
    }
    stepContext_ = s.substr(0, p + 1);
    context_ = stepContext_;
    requestName_ = nameBase_;
    host_.hideQuestionControls();
    WriteZapros();
}

void ReportRun::run_form(std::string_view command) {
    std::string text(command);
    std::string geometry;
    if (std::size_t p = text::findNoCase(text, ";size="); p != std::string::npos) {
        std::string after = text.substr(p + 6);
        std::size_t semi = after.find(';');
        std::size_t end = after.find(' ', semi == std::string::npos ? 0 : semi);
        geometry = text::trim(after.substr(0, end));
        text = text.substr(0, p) + (end == std::string::npos ? "" : after.substr(end));
    }
    const bool closeAfter = takeOption(text, ";close");
    const bool save = takeOption(text, ";save");
    text = text::trim(text);
    if (closeAfter) {
        book_.events().doSelChange = false;
    }
    if (save) {
        host_.saveData(geometry.empty() ? text : text + " ;size=" + geometry);
        return;
    }

    Sheet& sheet = book_.sheet(1);
    const int row = sheet.activeCell().row;
    if (flags_.markLaunchingRow && sheet.maxCol() >= 2) {
        const std::vector<CellRange> selection = sheet.selection();
        sheet.editStyle({row, 2, row, sheet.maxCol()}, [](Style& st) { st.font.bold = false; });
        if (!selection.empty()) {
            sheet.setSelection(selection.front());
        }
    }

    // "%N" takes the trimmed text of column N of the selected row, up to the first empty one.
    const std::string substituted = *substituteColumns(text, sheet, row, OnEmptyValue::Stop);

    // NAME + " " + each further word followed by 0xB7.
    std::vector<std::string> words;
    for (std::size_t i = 0; i < substituted.size();) {
        std::size_t e = substituted.find(' ', i);
        if (e == std::string::npos) {
            e = substituted.size();
        }
        if (e > i) {
            words.push_back(substituted.substr(i, e - i));
        }
        i = e + 1;
    }
    std::string joined = words.empty() ? std::string() : words.front() + " ";
    for (std::size_t k = 1; k < words.size(); ++k) {
        joined += words[k] + kWordSep;
    }

    deactivate();
    skipDeactivation_ = true;
    setCell(kReturn, std::to_string(settings_.returnWindow));
    // A window that goes once the new one is open hands its own way back on to it.
    settings_.returnWindow = closeAfter && geometry.empty() ? returnTo_ : host_.handle();

    const std::string pending = "R " + codepage::toDos(joined);
    if (!geometry.empty()) {
        // A pop-up closed meanwhile leaves a handle that finds no window: open it anew.
        if (popupHandle_ != 0 && host_.activateWindow(popupHandle_)) {
            return;
        }
        popupHandle_ = 100;
        setCell(kPopup, "100");
        settings_.nextReport = pending;
        settings_.pendingGeometry = geometry;
        popupHandle_ = host_.openReport(true);
        setCell(kPopup, std::to_string(popupHandle_));
    } else {
        settings_.nextReport = pending;
        settings_.pendingGeometry.clear();
        const long long opened = host_.openReport(false);
        if (closeAfter && opened != 0) {
            // Closing returns to the report just opened, which so stays in front.
            returnTo_ = opened;
            closedByDrillDown_ = true;
        }
    }
    if (closeAfter) {
        host_.closeWindow();
    }
}

void ReportRun::popupClosed() {
    popupHandle_ = 0;
    setCell(kPopup, "0");
}

void ReportRun::setAutoRefresh(bool on, int intervalMs) {
    autoTag_ = on;
    autoInterval_ = intervalMs > 0 ? intervalMs : kAutoInterval;
    autoTimer_ = on;
    host_.setTimer(ReportTimer::AutoRefresh, on, autoInterval_);
}

void ReportRun::resumeAutoRefresh() {
    autoTimer_ = autoTag_;
    host_.setTimer(ReportTimer::AutoRefresh, autoTag_, autoInterval_);
}

void ReportRun::autoRerun() {
    newNameBase();
    requestName_ = nameBase_;
    ReRun();
}

void ReportRun::autoRefreshTick() {
    if (!autoTimer_) {
        return;
    }
    if (!RequestWriter(settings_, prompter_).connected()) {
        // Never connected (an offline window): there is nothing to refresh from, and a refresh
        // nobody asked for has nobody to tell.
        stopTimer(ReportTimer::AutoRefresh);
        return;
    }
    if (!flags_.autoAlways) {
        if (!host_.applicationActive() || popupHandle_ != 0 || !host_.isActiveChild()) {
            return;
        }
        stopTimer(ReportTimer::AutoRefresh);
    }
    const std::string what = text::trim(autoRefreshText);
    if (what.empty()) {
        autoRerun();
    } else if (text::equalsNoCase(what, "upti")) {
        std::optional<std::int64_t> stamp =
            files::modifiedMs(files::join(settings_.serverDir, "upti"));
        if (stamp && (!uptiKnown_ || stamp != uptiSeen_)) {
            uptiSeen_ = stamp;
            uptiKnown_ = true;
            autoRerun();
        } else if (!flags_.autoAlways) {
            autoTimer_ = true;
            host_.setTimer(ReportTimer::AutoRefresh, true, autoInterval_);
        }
    } else {
        stepContext_ = context_;
        context_ = settings_.requestPrefix() + what;
        requestName_ = "auto" + names_().substr(4, 4);
        WriteZapros();
    }
}

void ReportRun::rerunFromChild() {
    newNameBase();
    requestName_ = nameBase_;
    activate();
    ReRun();
}

std::string ReportRun::cell(int row) const { return book_.sheet(1).text(row, kStateCol); }

void ReportRun::setCell(int row, const std::string& text) {
    Sheet& s = book_.sheet(1);
    if (s.text(row, kStateCol) != text) {
        s.setText(row, kStateCol, text);
    }
}

void ReportRun::writeBlock() {
    // The sheet is stored and saved with its block: no user name or password in it.
    setCell(kFirstContext, withoutCredentials(firstContext_));
    setCell(kStepContext, withoutCredentials(stepContext_));
    setCell(kContext, withoutCredentials(context_));
    setCell(kNameBase, nameBase_);
    setCell(kRequestName, requestName_);
    setCell(kState, settings_.reportState());
    setCell(kOnlyMarked, flag(flags_.onlyMarked));
    setCell(kRestartClose, flag(flags_.restartClose));
    setCell(kKeepPosition, flag(flags_.keepPosition));
    setCell(kAutoRefreshText, autoRefreshText);
    setCell(kPopup, std::to_string(popupHandle_));
    setCell(kNoArgs, flag(flags_.noArgs));
    setCell(kDataSave, dataSaveText);
    setCell(kParentRerun, flag(flags_.parentRerun));
    setCell(kModalResult, flag(flags_.modalResult));
    host_.writeOwnState();
}

void ReportRun::readBlock() {
    // The contexts live in the window; a sheet that an answer has filled anew since the
    // last deactivation has lost them, and then the window's own copies stay.
    for (auto [row, target] : {std::pair{kFirstContext, &firstContext_},
                               {kStepContext, &stepContext_},
                               {kContext, &context_},
                               {kNameBase, &nameBase_},
                               {kRequestName, &requestName_}}) {
        std::string v = cell(row);
        if (!v.empty()) {
            *target = row <= kContext
                          ? withCredentials(v, settings_.userName(), settings_.password())
                          : v;
        }
    }
    if (std::string state = cell(kState); !state.empty()) {
        settings_.setReportState(state);
    }
    flags_.onlyMarked = cell(kOnlyMarked) == "1";
    flags_.restartClose = cell(kRestartClose) == "1";
    flags_.keepPosition = cell(kKeepPosition) == "1";
    autoRefreshText = cell(kAutoRefreshText);
    popupHandle_ = number(cell(kPopup));
    flags_.noArgs = cell(kNoArgs) == "1";
    dataSaveText = cell(kDataSave);
    flags_.parentRerun = cell(kParentRerun) == "1";
    flags_.modalResult = cell(kModalResult) == "1";
    if (std::string ret = cell(kReturn); !ret.empty()) {
        settings_.returnWindow = number(ret);
    }
}

void ReportRun::activate() {
    host_.setTimeLabelsEnabled(true);
    settings_.currentFileName = host_.fileCaption();
    readBlock();
    // Status panel 1 keeps a wait being shown and nothing else: the filter of the window
    // activated puts its own text there (activated()).
    std::string status = host_.statusText();
    if (status.find(w("Ожидание")) == std::string::npos) {
        status.clear();
    }
    const std::string marked = w("   Только выделенные стpоки");
    if (const std::size_t at = status.find(marked); at != std::string::npos) {
        status.erase(at, marked.size());
    }
    if (flags_.onlyMarked) {
        status += marked;
    }
    host_.setStatusText(status);
    book_.events().doSelChange = true;
    host_.activated();
    if (popupHandle_ != 0 && host_.activateWindow(popupHandle_)) {
        return;
    }
    if (flags_.restartClose) {
        newNameBase();
        requestName_ = nameBase_;
        ReRun();
        return;
    }
    autoTimer_ = autoTag_;
    host_.setTimer(ReportTimer::AutoRefresh, autoTag_, autoInterval_);
}

void ReportRun::deactivate() {
    host_.setTimeLabelsEnabled(false);
    if (skipDeactivation_) {
        skipDeactivation_ = false;
        return;
    }
    writeBlock();
}

bool ReportRun::close() {
    host_.setBusy(false);
    ViewOptions v = book_.view();
    v.mousePointer = 0;
    book_.setView(v);
    if (modifiedMark() && !dataSaveText.empty() &&
        prompter_.ask(w("Внимание:"), w("Сохранить изменения?"), Prompter::Buttons::YesNo,
                      Prompter::Icon::Question) == Prompter::Answer::Yes) {
        clearMark();
        host_.saveData("");
        return false;
    }
    clearMark();
    stopTimer(ReportTimer::Answer);
    stopTimer(ReportTimer::AutoRefresh);
    if (created_) {
        host_.setStatusText("");
    }
    host_.closingCleanup();
    const bool rerun = !closedByDrillDown_ && flags_.parentRerun && flags_.modalResult;
    if (returnTo_ != 0) {
        host_.returnTo(returnTo_, popup(), rerun);
    }
    return true;
}

} // namespace fc
