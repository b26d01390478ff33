#include "exchange/AnswerReader.h"

#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerCache.h"
#include "exchange/AnswerFormat.h"
#include "exchange/AnswerText.h"
#include "exchange/AnswerWatch.h"
#include "exchange/CopyBack.h"
#include "exchange/OutsideWorld.h"
#include "exchange/Progress.h"
#include "exchange/ReportHost.h"
#include "exchange/ReportRun.h"
#include "exchange/ReportSettings.h"
#include "exchange/Requests.h"
#include "exchange/ResultContext.h"
#include "exchange/ResultRows.h"
#include "exchange/StoredContext.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"
#include "shell/AppSettings.h"

#include <QFile>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <thread>
#include <unordered_set>

namespace fc {

namespace {

constexpr char kSep = request::kSep;
// A question control is never wider than this many characters, whatever length the server
// allows: wider ones would only push the others off the screen.
constexpr int kWidestInput = 250;

std::size_t widest(const std::vector<std::string>& items) {
    std::size_t n = 0;
    for (const std::string& s : items) {
        n = std::max(n, s.size());
    }
    return n;
}

// A number with `decimals` places, as the fixed-point format writes it.
std::string fixedPoint(const std::string& text, int decimals) {
    std::optional<double> v = answer::parseNumber(text);
    if (!v) {
        return text;
    }
    const int places = std::clamp(decimals, 0, 15);
    const int n = std::snprintf(nullptr, 0, "%30.*f", places, *v);
    if (n <= 0) {
        return text;
    }
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(out.data(), out.size(), "%30.*f", places, *v);
    out.resize(static_cast<std::size_t>(n));
    return text::trim(out);
}

} // namespace

AnswerReader::AnswerReader(ResultContext& ctx, AppSettings& settings, ReportRun& run,
                           ReportHost& host, AnswerWindow& window, SharedRunState& shared,
                           NameSource names)
    : ctx_(ctx), settings_(settings), run_(run), host_(host), window_(window), shared_(shared),
      names_(std::move(names)) {}

std::string AnswerReader::newName() { return names_(); }

void AnswerReader::freeBuffer() { ctx_.answer = AnswerBuffer(); }

void AnswerReader::readTable() {
    struct Free {
        AnswerReader& reader;
        ~Free() { reader.freeBuffer(); }
    } free{*this};
    read_table(ctx_, path_);
}

void AnswerReader::failed(const std::string& message) {
    window_.restorePointer();
    freeBuffer();
    ctx_.prompter.error(message);
    window_.hideSavingPanel();
}

void AnswerReader::GetOtvet() {
    std::string status = host_.statusText();
    for (std::size_t p = status.find("..."); p != std::string::npos; p = status.find("...")) {
        status = text::trim(status.substr(p + 3));
    }
    host_.setStatusText(status);

    const std::string name = run_.requestName();
    path_ = answers::answerPath(settings_.serverDir, name);
    const std::string line = ctx_.answer.statusLine();
    try {
        switch (answers::kindOfName(name)) {
        case answers::NameKind::TemplateDownload: templateDownload(line); break;
        case answers::NameKind::PopupMenu: popupMenu(line); break;
        case answers::NameKind::RefreshCheck: refreshCheck(line); break;
        case answers::NameKind::Resave: resave(); break;
        case answers::NameKind::Save: save(line); break;
        case answers::NameKind::Other:
            if (answer::startsWith(line, "Q-")) {
                question();
            } else if (name == run_.nameBase()) {
                mainAnswer(line);
            } else {
                valueList();
            }
            break;
        }
    } catch (const std::exception& e) {
        // A reader that gives up leaves what it read; the window stays usable.
        freeBuffer();
        window_.restorePointer();
        ctx_.prompter.error(e.what());
    }
    freeBuffer();
}

// ---- template download

void AnswerReader::templateDownload(const std::string& status) {
    if (answer::startsWith(status, "E-")) {
        window_.restorePointer();
        freeBuffer();
        ctx_.prompter.warning(w("Искомый шаблон на сеpвеpе не найден !"));
        return;
    }
    const std::string bytes = answers::decodeTemplateDownload(ctx_.answer.content());
    freeBuffer();
    const std::string local = files::join(ctx_.currentDir, templateFile_);
    const std::string target = files::join(files::join(settings_.serverDir, "VTS"), templateFile_);
    if (templateFile_.empty() || !files::writeDirect(local, bytes)) {
        // Run again, the report would find the same old template and fetch it again, forever.
        window_.restorePointer();
        if (!savedContext_.empty()) {
            run_.setContext(savedContext_);
        }
        run_.newNameBase();
        run_.setRequestName(run_.nameBase());
        ctx_.prompter.error(w("Не удалось записать шаблон ") + local);
        window_.hideSavingPanel();
        return;
    }
    files::remove(target);
    if (QFile::copy(files::toNative(local), files::toNative(target))) {
        files::remove(local);
    }
    if (!savedContext_.empty()) {
        run_.setContext(savedContext_);
    }
    run_.newNameBase();
    run_.setRequestName(run_.nameBase());
    run_.ReRun();
}

void AnswerReader::requestTemplate(const std::string& fileName) {
    savedContext_ = run_.context();
    templateFile_ = fileName;
    run_.setContext(settings_.requestPrefix() + "R !UPD_VTS " + kSep + fileName + kSep);
    run_.setRequestName("UVTS" + newName().substr(4, 4));
    run_.WriteZapros();
}

// ---- pop-up menu

void AnswerReader::popupMenu(const std::string& status) {
    window_.restorePointer();
    run_.newNameBase();
    run_.setRequestName(run_.nameBase());
    if (answer::startsWith(status, "E-")) {
        freeBuffer();
        ctx_.prompter.error(codepage::toWindows(status));
        return;
    }
    window_.setServerMenuItems(answers::parsePopupItems(ctx_.answer.content()));
    freeBuffer();
}

// ---- refresh check

void AnswerReader::refreshCheck(const std::string& status) {
    freeBuffer();
    run_.setContext(run_.stepContext());
    run_.newNameBase();
    run_.setRequestName(run_.nameBase());
    const std::string stamp = text::trim(status);
    if (stamp != stamp_) {
        stamp_ = stamp;
        run_.ReRun();
    } else {
        run_.resumeAutoRefresh();
    }
}

// ---- saving

void AnswerReader::resave() {
    run_.newNameBase();
    run_.setRequestName(run_.nameBase());
    if (std::optional<std::string> error = answers::resaveError(ctx_.answer.content())) {
        failed(*error);
        return;
    }
    freeBuffer();
    afterSave(After::Resave);
}

void AnswerReader::save(std::string) {
    run_.newNameBase();
    run_.setRequestName(run_.nameBase());
    const answers::SaveAnswer a = answers::parseSaveAnswer(ctx_.answer.content());
    freeBuffer();
    switch (a.outcome) {
    case answers::SaveAnswer::Outcome::Failed: failed(a.error); return;
    case answers::SaveAnswer::Outcome::WaitForFile: {
        // The server writes the file after its answer; a file that never comes is not waited
        // for longer than about a second, one that is still being written until it has settled.
        const std::string file = files::join(settings_.serverDir, a.waitFile);
        AnswerWatch watch;
        int missing = 0, growing = 0;
        for (;;) {
            const AnswerWatch::State s = watch.look(file);
            if (s == AnswerWatch::State::Whole) {
                break;
            }
            const bool absent = s == AnswerWatch::State::Missing;
            int& tries = absent ? missing : growing;
            if (tries++ >= (absent ? fileWaitTries : kGrowingTries)) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        [[fallthrough]];
    }
    case answers::SaveAnswer::Outcome::Saved:
        window_.hideSavingPanel();
        afterSave(After::Save);
        return;
    case answers::SaveAnswer::Outcome::Rerun: afterSave(After::Rerun); return;
    case answers::SaveAnswer::Outcome::FollowUp:
        run_.setRequestName("resave" + newName().substr(0, 2));
        run_.WriteZapros1(a.followUp);
        return;
    }
}

void AnswerReader::afterSave(After variant) {
    if (!shared_.pendingForm.empty()) {
        window_.restorePointer();
        window_.hideSavingPanel();
        const std::string form = std::move(shared_.pendingForm);
        shared_.pendingForm.clear();
        run_.run_form(form);
        return;
    }
    if (!shared_.pendingProgram.empty()) {
        window_.restorePointer();
        window_.hideSavingPanel();
        std::string handle = std::to_string(host_.handle());
        handle.resize(10, '\0');
        files::writeDirect(files::join(ctx_.currentDir, "fh"), handle);
        const std::string program = std::move(shared_.pendingProgram);
        shared_.pendingProgram.clear();
        ctx_.world.run(program);
        if (shared_.editChild) {
            copyBack();
            host_.closeWindow();
        }
        return;
    }
    if (shared_.editChild) {
        window_.restorePointer();
        if (variant != After::Rerun) {
            copyBack();
        }
        host_.closeWindow();
        return;
    }
    if (variant != After::Save) {
        run_.ReRun();
    } else if (afterSaveAction == 2) {
        run_.Restart();
    } else if (afterSaveAction == 1) {
        run_.ReRun();
    }
}

void AnswerReader::copyBack() {
    Workbook* owner = window_.ownerBook();
    if (!owner) {
        return; // the window closes without copying
    }
    const Sheet& own = ctx_.book.sheet(1);
    Sheet& target = owner->sheet(1);
    copyToOwner(own, own.activeCell(), target, target.activeCell(), shared_.columnMap,
                window_.ownerSaves());
}

// ---- the main answer

void AnswerReader::mainAnswer(const std::string& status) {
    if (answer::startsWithNoCase(status, "close")) {
        freeBuffer();
        host_.closeWindow();
        return;
    }
    window_.showResultPanel();
    // The sheet keeps the request it was produced with (row 3 of the hidden state block).
    ctx_.settings.requestContext = withoutCredentials(run_.context());
    ctx_.book.events().doSelChange = false;
    ctx_.settings.recalcNotice = false;
    ctx_.settings.statusMessage.clear();
    // A keep-position re-run returns to the row it was on.
    ctx_.settings.positionKey = run_.rememberedText();
    ctx_.settings.positionKeyCol = run_.rememberedCol();
    answerTime = std::chrono::system_clock::now();

    if (answer::contains(status, ";table")) {
        ctx_.book.setNumSheets(1);
        ViewOptions v = ctx_.book.view();
        v.showVScrollBar = false;
        v.showHScrollBar = false;
        ctx_.book.setView(v);
        if (!answer::contains(status, ";ext")) {
            turbo = false;
            ctx_.settings.hasObjects = false;
            ctx_.answer.setPos(0);
            readTable();
            window_.hideSavingPanel();
            if (closeAfterError()) {
                return;
            }
            window_.filterAgain();
            finishing();
            return;
        }
        extResult(status);
        return;
    }
    ctx_.answer.setPos(0);
    readTable();
    if (closeAfterError()) {
        return;
    }
    window_.applyFilter();
    finishing();
}

bool AnswerReader::closeAfterError() {
    if (!ctx_.settings.closeWindow) {
        return false;
    }
    // An error line in row 1: the message has been shown, and there is nothing to show.
    window_.restorePointer();
    host_.closeWindow();
    return true;
}

void AnswerReader::extResult(const std::string& status) {
    const answers::ResultOptions o = answers::parseResultOptions(status);
    version_ = o.version;
    const std::string wanted = files::join(files::dirPart(window_.templatePath()), o.templateName);
    std::string found = files::findIgnoringCase(wanted);
    if (o.templateName.empty() || !files::exists(found)) {
        found = files::findIgnoringCase(files::join(ctx_.currentDir, o.templateName));
    }
    if (!o.templateName.empty() && files::exists(found)) {
        turbo = true;
        try {
            read_table_ex(ctx_, found);
        } catch (...) {
            // The turbo reader's own messages have been shown; what it read stays.
        }
        freeBuffer();
        if (ctx_.settings.outdatedTemplate) {
            requestTemplate(files::fileNamePart(found));
            return;
        }
        window_.hideSavingPanel();
        if (closeAfterError()) {
            return;
        }
        // The turbo variant's subtotal formulas stand instead of the filter.
        if (ctx_.settings.runFilter) {
            window_.applyFilter();
        }
        finishing();
        if (!ctx_.settings.windowCache.empty()) {
            // Stored after finishing, so that the copy carries the window's hidden state block
            // with this answer's settings in it.
            storeInCache(ctx_, ctx_.settings.windowCache);
        }
        return;
    }
    freeBuffer();
    window_.restorePointer();
    if (ctx_.prompter.ask(
            w("Внимание:"), w("Не найден шаблон ") + wanted + w(" Попpобовать скачать с сеpвеpа?"),
            Prompter::Buttons::YesNo, Prompter::Icon::Question) == Prompter::Answer::Yes) {
        requestTemplate(cp1251::lower(files::fileNamePart(wanted)));
    }
}

void AnswerReader::finishing() {
    if (ctx_.progress) {
        ctx_.progress->ShowProgress(0);
    }
    ReportSettings& s = ctx_.settings;
    run_.dataSaveText = s.saveInstruction;
    run_.flags().noSave = s.noSave;
    run_.flags().noPrint = s.noPrint;
    run_.flags().keepPosition = s.indexRerun;
    run_.flags().autoSave = s.autoSave;
    run_.flags().autoAlways = s.autoAlways;
    run_.flags().restartClose = s.restartClose;
    run_.flags().noArgs = s.noArgs;
    run_.flags().parentRerun = s.parentRerun;
    run_.flags().modalResult = s.modalResult;
    if (s.autoRerun) {
        run_.autoRefreshText = s.autoRerunText;
    }
    // The reading emptied the sheet's hidden state block: it holds this answer's settings from
    // now on, so that an activation before the next deactivation does not lose them.
    run_.writeStateBlock();
    Sheet& sheet = ctx_.book.sheet(1);
    const CellRef cursor = answers::cursorAfterLoading(sheet, s);
    sheet.setActiveCell(cursor.row, cursor.col);
    window_.finishResult({s.recalcNotice, s.statusMessage});
    ViewOptions v = ctx_.book.view();
    v.showVScrollBar = true;
    v.showHScrollBar = true;
    ctx_.book.setView(v);
    window_.restorePointer();
    run_.setAutoRefresh(s.autoRerun, s.autoRerunMs);
}

// ---- questions

void AnswerReader::question() {
    std::optional<answers::Question> q = answers::parseQuestion(ctx_.answer.content());
    freeBuffer();
    window_.showQuestionPanel();
    shared_.multiChoice = false;
    if (!q) {
        window_.restorePointer();
        return;
    }
    const std::string remembered = window_.rememberedAnswer();
    QuestionForm f;
    f.kind = q->kind;
    if (q->kind == "Q-M") {
        f.control = QuestionForm::Control::Choice;
        std::vector<std::string> items = q->items();
        f.items.assign(items.rbegin(), items.rend());
        std::size_t wide = widest(f.items);
        f.widthChars =
            static_cast<int>(std::min<std::size_t>(wide >= 2 ? wide : 20, kWidestInput)) + 3;
        f.caption = q->title();
        const int def = q->defaultItem();
        f.selected = def >= 0 && def < static_cast<int>(f.items.size()) ? def
                     : f.items.empty()                                  ? -1
                                                                        : 0;
        f.listHeight = static_cast<int>(std::lround(f.items.size() * 17.8));
        if (window_.questionPanelVisible() && answer::startsWith(remembered, "m")) {
            if (std::optional<int> n = answer::parseInt(remembered.substr(1));
                n && *n >= 1 && *n <= static_cast<int>(f.items.size())) {
                f.selected = *n - 1;
            }
        }
    } else if (q->kind == "Q-S" || q->kind == "Q-R") {
        f.caption = q->caption();
        f.maxLength = q->limit();
        if (f.maxLength && *f.maxLength <= 0) {
            f.maxLength.reset(); // no limit; a limit of none would let nothing be typed
        }
        if (q->withSuggestions()) {
            f.control = QuestionForm::Control::Suggestions;
            f.items = q->suggestions();
            f.selected = f.items.empty() ? -1 : 0;
            f.text = f.items.empty() ? std::string() : f.items.front();
            f.widthChars =
                static_cast<int>(std::clamp<std::size_t>(widest(f.items), 50, kWidestInput)) + 3;
            if (answer::startsWith(remembered, "i")) {
                f.text = remembered.substr(1);
            }
        } else {
            f.password = q->hidden();
            f.text = q->initialText();
            if (q->kind == "Q-S") {
                f.control = QuestionForm::Control::Edit;
                if (f.maxLength && *f.maxLength > 0) {
                    f.widthChars = std::min(*f.maxLength, kWidestInput) + 1;
                } else {
                    f.maxLength.reset();
                    f.widthPx = 150;
                }
            } else {
                f.control = QuestionForm::Control::Number;
                f.widthPx = 150;
                f.text = fixedPoint(f.text, f.maxLength.value_or(0));
                f.maxLength.reset();
            }
            if (answer::startsWith(remembered, "s")) {
                f.text = remembered.substr(1);
            }
        }
    } else if (q->kind == "Q-A") {
        shared_.multiChoice = q->multiChoice;
        f.multiChoice = q->multiChoice;
        f.argument = q->fields.empty() ? std::string() : text::trim(q->fields.front());
        f.caption = f.argument;
        if (!window_.questionPanelVisible()) {
            run_.setRequestName(newName());
            // The default lookup changes the request prefix: it goes first.
            const std::string argument = window_.defaultArgument(f.argument);
            run_.setContext(settings_.requestPrefix() + "R " + argument);
            window_.showArgumentList();
            run_.WriteZapros();
            window_.restorePointer();
            return;
        }
        f.widthPx = 250;
        if (f.argument.find(' ') == std::string::npos) {
            f.control = QuestionForm::Control::FreeText;
        } else {
            f.control = QuestionForm::Control::Argument;
            if (answer::startsWith(remembered, "a")) {
                f.items.push_back(remembered.substr(1));
                f.selected = 0;
            }
        }
    } else {
        window_.restorePointer();
        return; // a kind this program does not know: nothing to ask
    }
    window_.showQuestion(f);
    window_.restorePointer();
}

// ---- value lists

void AnswerReader::valueList() {
    const answers::ValueList list = answers::parseValueList(ctx_.answer.content());
    freeBuffer();
    ValueListForm f;
    f.checkList = shared_.multiChoice;
    const std::string prefix = f.checkList ? "   " : " ";
    f.lower = prefix + list.title;
    if (!list.upper.empty()) {
        f.upper = prefix + list.upper;
    }
    shared_.lowerCaption = f.lower;
    shared_.upperCaption = f.upper;
    std::string current = shared_.currentValue;
    if (f.checkList) {
        std::size_t i = 0;
        const std::string all = current + "|";
        for (std::size_t e = all.find('|'); e != std::string::npos; e = all.find('|', i)) {
            std::string part = text::trim(all.substr(i, e - i));
            i = e + 1;
            if (!part.empty()) {
                f.hiddenKeys.push_back(std::move(part));
            }
        }
        current = f.hiddenKeys.empty() ? std::string() : f.hiddenKeys.front();
        shared_.currentValue = current;
    }
    // Lists of many thousand values with as many ticks are usual: look the ticks up by key.
    const std::unordered_set<std::string> ticked(f.hiddenKeys.begin(), f.hiddenKeys.end());
    f.items.reserve(list.items.size());
    f.keys.reserve(list.items.size());
    f.checked.reserve(list.items.size());
    for (const answers::ValueList::Item& item : list.items) {
        if (f.selected < 0 && !current.empty() && item.key == current) {
            f.selected = static_cast<int>(f.items.size());
        }
        const bool tick = ticked.count(item.key) != 0;
        f.items.push_back(item.text);
        f.keys.push_back(item.key);
        f.checked.push_back(tick);
        f.longestLine = std::max(f.longestLine, static_cast<int>(item.text.size()));
    }
    f.confirmEnabled = f.checkList ? !f.hiddenKeys.empty() : !f.items.empty();
    window_.showValueList(f);
    window_.restorePointer();
}

} // namespace fc
