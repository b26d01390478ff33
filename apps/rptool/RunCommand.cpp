// rptool run [--start DIR] [--server DIR] [--timeout S] [--answer VALUE ...] [--as KIND] REQUEST
// [--out FILE]: a report run through the exchange directory without a window. Questions take the
// --answer values in order; the result is printed as text or saved by the extension of --out.
#include "AnswerDocument.h"
#include "ExchangeCommands.h"
#include "ResultOptions.h"
#include "RunArguments.h"

#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerCache.h"
#include "exchange/AnswerReader.h"
#include "exchange/OutsideFiles.h"
#include "exchange/OutsideWorld.h"
#include "exchange/ReportHost.h"
#include "exchange/ReportRun.h"
#include "exchange/ReportSettings.h"
#include "exchange/RequestName.h"
#include "exchange/ResultContext.h"
#include "results/Filter.h"
#include "results/Marks.h"
#include "results/ReportArguments.h"
#include "results/ResultSession.h"
#include "shell/AppSettings.h"
#include "shell/SettingsFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <thread>

namespace {

constexpr int kExitResult = 0, kExitError = 1, kExitTimeout = 2, kExitQuestion = 3;

std::string u8(std::string_view cp1251) { return fc::cp1251::toUtf8(cp1251); }

void say(const std::string& utf8) { std::fprintf(stderr, "%s\n", utf8.c_str()); }

// Prints every box on stderr and changes nothing unasked (questions are answered No). An
// "E-" error is kept: the run ends with it.
class RunPrompter : public fc::Prompter {
public:
    Answer ask(std::string_view caption, std::string_view text, Buttons buttons, Icon) override {
        shown.emplace_back(caption, text);
        say(u8(caption) + " " + u8(text));
        if (fc::text::startsWith(text, "E-") && error.empty()) {
            error = std::string(text);
        }
        switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::OkCancel: return Answer::Cancel;
        default: return Answer::No;
        }
    }
    std::vector<std::pair<std::string, std::string>> shown;
    std::string error;
};

// Programs an answer names are listed, and started only when asked to (--run-programs).
class ListingWorld : public fc::OutsideWorld {
public:
    bool run(const std::string& commandLine) override {
        say("program: " + u8(commandLine));
        if (!runPrograms) {
            return false;
        }
        QStringList parts = QProcess::splitCommand(fc::cp1251::toQString(commandLine));
        return !parts.isEmpty() && QProcess::startDetached(parts.takeFirst(), parts);
    }
    bool runPrograms = false;
    bool open(const std::string& path) override {
        say("open: " + u8(path));
        return false;
    }
};

// The window of a headless run: everything it shows is kept for the loop below.
class Headless : public fc::ReportHost, public fc::AnswerWindow, public fc::StatusPanel {
public:
    // ReportHost
    long long handle() const override { return 1; }
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& text) override { caption_ = text; }
    void setBusy(bool) override {}
    void closeWindow() override { closed = true; }
    void setTimer(fc::ReportTimer t, bool on, int) override {
        if (t == fc::ReportTimer::Offline) {
            offline = on;
        }
    }
    void answerArrived(std::string buffer) override {
        // As the window: the answer of a chosen argument settles its button.
        if (session) {
            session->arguments().pending = false;
        }
        arrived = std::move(buffer);
    }
    std::string statusText() const override { return status_; }
    void setStatusText(const std::string& text) override { status_ = text; }
    // A report opened from this one (a drill-down) runs once this result is done.
    long long openReport(bool) override {
        say("opens: " + u8(fc::codepage::toWindows(settings->nextReport)));
        opened.push_back(settings->nextReport);
        settings->nextReport.clear();
        return 0;
    }
    bool activateWindow(long long) override { return false; }
    void returnTo(long long, bool, bool) override {}
    void lookupDefaultArgument(const std::string& reportName) override {
        fc::args::DEFARG(*settings, reportName);
    }
    // A fresh local copy of a ";cache=" report answers without a request.
    bool takeFromCache(const std::string& line) override {
        if (!fc::LoadFromCache(*book, line, settings->reportState(), settings->startDir,
                               settings->serverDir)) {
            return false;
        }
        say("from the cache: " +
            u8(fc::cache::localPath(settings->startDir,
                                    fc::cache::localKey(line, settings->reportState()))));
        run->setContext(settings->requestPrefix() + line);
        run->setRequestName(run->nameBase());
        cached = true;
        return true;
    }

    // AnswerWindow
    void restorePointer() override {}
    void showResultPanel() override {
        if (session) {
            fc::newAnswer(*session);
        }
    }
    void hideSavingPanel() override {}
    void setServerMenuItems(const std::vector<std::string>& items) override {
        menu = items;
        menuShown = true;
    }
    void showQuestionPanel() override {}
    bool questionPanelVisible() const override { return !run->questionPanelHidden(); }
    void showQuestion(const fc::QuestionForm& f) override { question = f; }
    void showValueList(const fc::ValueListForm& f) override { list = f; }
    std::string defaultArgument(const std::string& argument) override {
        fc::args::DEFARG(*settings, argument);
        return argument;
    }
    void finishResult(const fc::ResultFinish& f) override {
        finished = true;
        if (session) {
            fc::takeFilterList(*session);
        }
        if (!f.statusMessage.empty()) {
            say(u8(f.statusMessage));
        }
    }
    std::string templatePath() const override { return templ; }
    void applyFilter() override {
        if (session) {
            fc::filterAfterAnswer(*session, true);
        }
    }
    void filterAgain() override {
        if (session) {
            fc::filterAfterAnswer(*session, false);
        }
    }

    fc::AppSettings* settings = nullptr;
    fc::ResultSession* session = nullptr; // the result commands' state, once there is one
    fc::ReportRun* run = nullptr;
    fc::Workbook* book = nullptr;
    bool cached = false; // the result was read from the cache
    std::string templ;
    bool closed = false, offline = false, finished = false, menuShown = false;
    std::optional<std::string> arrived;
    std::optional<fc::QuestionForm> question;
    std::optional<fc::ValueListForm> list;
    std::vector<std::string> menu;
    std::vector<std::string> opened; // request lines, "R " + code page 866

private:
    std::string caption_, status_;
};

int usage() {
    std::fputs("usage: rptool run [--start DIR] [--server DIR] [--timeout S] [--answer VALUE ...] "
               "[--as save|resave|pop|auto [--stamp TEXT]] [--arg KEY ...] REQUEST "
               "[RESULT OPTIONS]\n",
               stderr);
    std::fputs(rptool::resultOptionsUsage(), stderr);
    return 2;
}

// The value a question gets from `given`: a choice takes an item's number (the item text
// may be given instead).
std::string valueFor(const fc::QuestionForm& q, const std::string& given) {
    if (q.control == fc::QuestionForm::Control::Choice) {
        for (std::size_t i = 0; i < q.items.size(); ++i) {
            if (fc::text::trim(q.items[i]) == fc::text::trim(given)) {
                return std::to_string(i + 1);
            }
        }
    }
    return given;
}

void printQuestion(const fc::QuestionForm& q) {
    std::string text = "question " + q.kind + ": " + u8(q.caption);
    for (std::size_t i = 0; i < q.items.size(); ++i) {
        text += "\n  " + std::to_string(i + 1) + ". " + u8(q.items[i]);
    }
    if (!q.text.empty()) {
        text += "\n  [" + u8(q.text) + "]";
    }
    std::printf("%s\n", text.c_str());
}

void printList(const fc::ValueListForm& l) {
    std::string text = "list:" + u8(l.upper) + u8(l.lower);
    for (std::size_t i = 0; i < l.items.size(); ++i) {
        text += std::string("\n  ") + (l.checkList ? (l.checked[i] ? "[x] " : "[ ] ") : "") +
                u8(l.items[i]);
    }
    std::printf("%s\n", text.c_str());
}

// The used part of the first sheet without its hidden columns, one line a row, cells
// between " | ".
void printSheet(const fc::Workbook& book) {
    const fc::Sheet& s = book.sheet(1);
    int lastCol = 0, lastRow = 0;
    for (int r = 1; r <= s.maxRow() && r <= 2000; ++r) {
        for (int c = 1; c <= s.maxCol() && c <= 60; ++c) {
            if (!fc::text::trimView(s.text(r, c)).empty()) {
                lastCol = std::max(lastCol, c);
                lastRow = r;
            }
        }
    }
    for (int r = 1; r <= lastRow; ++r) {
        if (s.rowHidden(r)) {
            continue; // as the window shows it: rows a filter hid are not printed
        }
        std::string line;
        bool first = true;
        for (int c = 1; c <= lastCol; ++c) {
            if (!s.colHidden(c)) {
                line += (first ? "" : " | ") + u8(fc::text::trim(s.text(r, c)));
                first = false;
            }
        }
        std::printf("%s\n", fc::text::trimRight(line).c_str());
    }
}

} // namespace

int rptool::run(int argc, char** argv) {
    std::string start = QDir::currentPath().toStdString(), kind, requestText, stamp, server;
    double timeout = 30;
    std::deque<std::string> answers;
    std::deque<std::string> argumentKeys; // --arg: clicks on the argument bar, in order
    std::vector<ResultOption> resultOptions;
    for (int i = 0; i < argc; ++i) {
        const std::string a = argv[i];
        const bool more = i + 1 < argc;
        if (a == "--start" && more) {
            start = argv[++i];
        } else if (a == "--timeout" && more) {
            char* end = nullptr;
            timeout = std::strtod(argv[++i], &end);
            if (!end || *end != '\0' || timeout < 0) {
                return usage();
            }
        } else if (a == "--answer" && more) {
            answers.push_back(fc::cp1251::fromUtf8(argv[++i]));
        } else if (a == "--arg" && more) {
            argumentKeys.push_back(argv[++i]);
        } else if (a == "--server" && more) {
            server = fc::cp1251::fromUtf8(argv[++i]);
        } else if (a == "--stamp" && more) {
            stamp = fc::cp1251::fromUtf8(argv[++i]);
        } else if (a == "--as" && more) {
            kind = argv[++i];
            if (kind != "save" && kind != "resave" && kind != "pop" && kind != "auto") {
                return usage();
            }
        } else if (takeResultOption(argc, argv, i, resultOptions)) {
            continue;
        } else if (a.rfind("--", 0) != 0) {
            requestText += (requestText.empty() ? "" : " ") + a;
        } else {
            return usage();
        }
    }
    if (requestText.empty()) {
        return usage();
    }

    fc::AppSettings settings;
    const std::string startDir = fc::cp1251::fromUtf8(start);
    fc::settings::load(settings, startDir);
    settings.startDir = startDir;
    if (!server.empty()) {
        settings.serverDir = server;
    }
    if (settings.serverDir.empty()) {
        say("no server directory: run rptool connect in " + start + " first");
        return kExitError;
    }

    // A template file is sent with its text ("G"); anything else names a report ("R").
    const QFileInfo asFile(QString::fromStdString(requestText));
    Headless window;
    std::string pending;
    if (asFile.isFile() && asFile.suffix().compare("rpt", Qt::CaseInsensitive) == 0) {
        settings.currentFileName = fc::cp1251::fromQString(asFile.absoluteFilePath());
        pending = "G " + fc::cp1251::fromQString(asFile.completeBaseName());
        window.templ = settings.currentFileName;
    } else {
        settings.currentFileName = fc::files::join(startDir, "Noname");
        pending = "R " + fc::codepage::toDos(fc::cp1251::fromUtf8(requestText));
    }
    settings.nextReport = pending;

    fc::Workbook book;
    fc::ReportSettings reportSettings;
    reportSettings.caption = settings.currentFileName;
    RunPrompter prompter;
    ListingWorld world;
    fc::AnswerBuffer answer;
    fc::OutsideFiles files(prompter, startDir);
    fc::ResultContext ctx{book,  reportSettings, answer,   prompter,          world,
                          files, nullptr,        startDir, settings.serverDir};
    // A request of a kind ("pop", "save", ...) goes out under a name with that prefix.
    bool first = true;
    fc::NameSource names = [&kind, &first] {
        std::string name = fc::RandomFileName();
        if (first && !kind.empty()) {
            name = kind + name.substr(0, name.size() - std::min(kind.size(), name.size()));
        }
        first = false;
        return name;
    };
    fc::ReportRun run(settings, book, prompter, window, names);
    window.settings = &settings;
    window.run = &run;
    window.book = &book;
    fc::SharedRunState shared;
    fc::AnswerReader reader(ctx, settings, run, window, window, shared);
    reader.setRefreshStamp(stamp); // the stamp a refresh check compares with

    if (!run.create()) {
        return kExitError;
    }

    const auto begin = std::chrono::steady_clock::now();
    std::string lastStatus;
    std::string lastName;
    auto timedOut = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count() >=
               timeout;
    };
    // One tick of the window's timers; true when an answer arrived and was read.
    auto tick = [&] {
        if (window.cached) {
            // Read from the cache: the result stands as if it had just come.
            window.cached = false;
            window.question.reset();
            window.list.reset();
            window.menuShown = false;
            window.finished = true;
            return true;
        }
        if (window.offline) {
            run.offlineTick();
        } else if (run.answerPending()) {
            run.answerTick();
        }
        if (!window.arrived) {
            return false;
        }
        answer = fc::AnswerBuffer(std::move(*window.arrived));
        window.arrived.reset();
        lastStatus = answer.statusLine();
        lastName = run.requestName();
        window.question.reset();
        window.list.reset();
        window.finished = window.menuShown = false;
        reader.GetOtvet();
        return true;
    };
    auto sleep = [] {
        std::this_thread::sleep_for(std::chrono::milliseconds(fc::ReportRun::kAnswerInterval));
    };

    fc::ResultSession session(book, reportSettings, prompter, window, &run);
    window.session = &session;
    session.actions().shared = &shared;
    for (const ResultOption& o : resultOptions) {
        world.runPrograms = world.runPrograms || o.name == "--run-programs";
    }
    ResultTarget target{session, {}, {}};
    target.settings = &settings;
    // A request written by a result option (the data save, a drill-down) is answered and read
    // before the next option runs, as the window would wait for it.
    target.awaitAnswer = [&] {
        while (!timedOut()) {
            if (tick()) {
                return true;
            }
            if (window.closed || !run.answerPending()) {
                return true;
            }
            sleep();
        }
        say("no answer within " + std::to_string(static_cast<int>(timeout)) + " s (" +
            u8(run.requestName()) + ".out)");
        return false;
    };
    target.document = [&] {
        AnswerDocument doc;
        doc.answer = lastName + ".out";
        doc.status = lastStatus;
        const fc::answers::ResultOptions o = fc::answers::parseResultOptions(lastStatus);
        doc.format = o.ext ? (o.turbo ? "turbo" : "ext") : "table";
        if (o.ext) {
            doc.templatePath = o.templateName;
        }
        doc.window = &reportSettings;
        doc.messages = prompter.shown;
        doc.workbook = &book;
        doc.resultState = true;
        doc.statusText = window.statusText();
        doc.markedRecords = session.view.marks.count;
        doc.quickSum = session.view.quickSum.shown;
        return doc;
    };

    while (true) {
        const std::size_t seenMessages = prompter.shown.size();
        if (tick()) {
            if (window.question) {
                if (answers.empty()) {
                    printQuestion(*window.question);
                    return kExitQuestion;
                }
                const std::string value = valueFor(*window.question, answers.front());
                answers.pop_front();
                if (window.questionPanelVisible()) {
                    answerInPanel(session, settings, *window.question, value);
                } else {
                    run.stepAnswer(value);
                }
            } else if (window.list) {
                if (answers.empty()) {
                    printList(*window.list);
                    return kExitQuestion;
                }
                run.stepAnswer(answers.front());
                answers.pop_front();
            } else if (window.finished) {
                // Each --arg is a click on its button; the report runs again and is read.
                ArgumentStep step = ArgumentStep::Ready;
                while (step == ArgumentStep::Ready && !argumentKeys.empty()) {
                    step = chooseArgument(session, settings, window, world, reportSettings,
                                          argumentKeys.front());
                    argumentKeys.pop_front();
                }
                if (step == ArgumentStep::Failed) {
                    return kExitError;
                }
                if (step == ArgumentStep::Waiting) {
                    continue;
                }
                const int rc = applyResultOptions(target, resultOptions);
                files.closeAll();
                if (rc) {
                    return rc;
                }
                if (!target.wroteOutput) {
                    printSheet(book);
                    if (!window.statusText().empty()) {
                        std::printf("status: %s\n", u8(window.statusText()).c_str());
                    }
                }
                // Reports opened by the result options run after it, as their windows would.
                for (const std::string& line : window.opened) {
                    const std::string request = u8(fc::codepage::toWindows(line.substr(2)));
                    std::printf("\n-- %s\n", request.c_str());
                    std::fflush(stdout);
                    const std::string serverDir = u8(settings.serverDir);
                    const std::string seconds = std::to_string(timeout);
                    std::vector<std::string> args = {"--start",   start,   "--server", serverDir,
                                                     "--timeout", seconds, request};
                    std::vector<char*> argv2;
                    for (std::string& a : args) {
                        argv2.push_back(a.data());
                    }
                    if (const int rc = rptool::run(static_cast<int>(argv2.size()), argv2.data())) {
                        return rc;
                    }
                }
                return kExitResult;
            } else if (window.menuShown) {
                for (const std::string& item : window.menu) {
                    std::printf("%s\n", u8(item).c_str());
                }
                return kExitResult;
            }
            if (!prompter.error.empty()) {
                return kExitError;
            }
            if (window.closed || !run.answerPending()) {
                if (prompter.shown.size() > seenMessages || !kind.empty()) {
                    std::printf("%s\n", u8(fc::codepage::toWindows(lastStatus)).c_str());
                }
                return kExitResult;
            }
            continue;
        }
        if (window.closed) {
            return prompter.error.empty() ? kExitResult : kExitError;
        }
        if (timedOut()) {
            say("no answer within " + std::to_string(static_cast<int>(timeout)) + " s (" +
                u8(run.requestName()) + ".out)");
            return kExitTimeout;
        }
        sleep();
    }
}
