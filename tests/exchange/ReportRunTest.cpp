#include "FakeReportHost.h"

#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/PopupGeometry.h"
#include "exchange/ReportRun.h"
#include "exchange/StoredContext.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace fc {
namespace {

const std::string S(1, '\xFA');

class Lifecycle : public ::testing::Test {
protected:
    Lifecycle() {
        QDir(tmp.path()).mkpath("server");
        QDir(tmp.path()).mkpath("rep");
        settings.startDir = root();
        settings.serverDir = root() + "/server";
        settings.currentFileName = root() + "/rep/Noname.rpt";
        settings.setUserName("u");
        settings.setPassword("p");
    }
    std::string root() const { return tmp.path().toStdString(); }
    std::string server(const std::string& file) const { return settings.serverDir + "/" + file; }
    std::string request(const std::string& name) const {
        return files::readAll(server(name + ".in")).value_or("<none>");
    }
    std::string head() const {
        return "u" + S + "p" + S + settings.reportState() + std::string(24, ' ') +
               "WHO       Noname.rpt" + "VER       7.2       " + S;
    }
    void answer(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(files::writeAtomic(server(name + ".out"), bytes));
    }
    ReportRun& start(const std::string& line) {
        settings.nextReport = line;
        run = std::make_unique<ReportRun>(settings, book, prompter, host, [this] {
            char buf[16];
            std::snprintf(buf, sizeof buf, "name%04d", ++counter);
            return std::string(buf);
        });
        run->create();
        return *run;
    }
    // The .in files in the server directory, oldest name first.
    QStringList requests() const {
        return QDir(tmp.path() + "/server").entryList({"*.in"}, QDir::Files, QDir::Name);
    }

    QTemporaryDir tmp;
    AppSettings settings;
    Workbook book;
    ScriptedPrompter prompter;
    test::FakeReportHost host;
    std::unique_ptr<ReportRun> run;
    int counter = 0;
};

TEST_F(Lifecycle, CreateSendsTheRunRequest) {
    ASSERT_TRUE(files::writeAtomic(root() + "/rep/sales.rpt", "TEMPLATE\r\n"));
    settings.setReportState("620A0LA_ARGS");
    host.status = "old";
    start("G SALES 01");
    EXPECT_EQ(settings.reportState(), "620A0LA_"); // cut to the period
    EXPECT_EQ(run->reportName(), "SALES");
    EXPECT_EQ(request("name0001"), head() + "G SALES 01\r\nTEMPLATE\r\n");
    EXPECT_EQ(run->context(), head() + "G SALES 01");
    EXPECT_EQ(run->firstContext(), settings.requestPrefix() + "G SALES 01");
    EXPECT_TRUE(host.timers[ReportTimer::Answer]);
    EXPECT_EQ(host.intervals[ReportTimer::Answer], 200);
    EXPECT_TRUE(host.busy);
    EXPECT_EQ(book.view().mousePointer, 11);
    EXPECT_EQ(cp1251::toUtf8(host.status), "Ожидание ответа от сеpвеpа... ");
    EXPECT_EQ(host.captionText, settings.currentFileName);
    EXPECT_FALSE(files::exists(server("name0001.req")));
}

TEST_F(Lifecycle, MissingTemplateFallsBackToR) {
    start("G NOSUCH");
    EXPECT_EQ(request("name0001"), head() + "R NOSUCH");
}

TEST_F(Lifecycle, NothingPendingClosesAtOnce) {
    EXPECT_FALSE(start("  ").answerPending());
    EXPECT_TRUE(host.closed);
    EXPECT_TRUE(requests().isEmpty());
}

TEST_F(Lifecycle, UnwritableServerDirectoryIsReported) {
    settings.serverDir = root() + "/missing";
    start("R X");
    EXPECT_FALSE(run->answerPending());
    EXPECT_FALSE(host.busy);
    EXPECT_EQ(prompter.transcript(),
              "Ошибка:|Не могу создать файл запpоса в " + settings.serverDir + "\n");
}

TEST_F(Lifecycle, AnswerTimerReadsTheWholeAnswerOnce) {
    start("R X");
    run->answerTick();
    answer("name0001", "gone");
    QFile::remove(QString::fromStdString(server("name0001.out"))); // vanished between polls
    run->answerTick();
    EXPECT_TRUE(host.answers.empty()); // waits for ever
    EXPECT_TRUE(run->answerPending());
    answer("name0001", std::string("OK;table\nrow\x00tail!", 17));
    settings.debugMessages = true;
    run->answerTick();
    EXPECT_TRUE(host.answers.empty()); // seen once: the server may still be writing it
    run->answerTick();
    ASSERT_EQ(host.answers.size(), 1u);
    EXPECT_EQ(host.answers[0], std::string("OK;table\nrow\x00tail", 16) + '\0');
    EXPECT_FALSE(files::exists(server("name0001.out")));
    EXPECT_FALSE(host.timers[ReportTimer::Answer]);
    EXPECT_EQ(prompter.transcript(), "Констpуктоp форм|ФАЙЛ-ОТВЕТ: name0001\n");
    run->answerTick(); // stopped: nothing more
    EXPECT_EQ(host.answers.size(), 1u);
}

TEST_F(Lifecycle, EmptyAnswerGivesAnEmptyBuffer) {
    start("R X");
    answer("name0001", "");
    run->answerTick();
    run->answerTick();
    ASSERT_EQ(host.answers.size(), 1u);
    EXPECT_EQ(host.answers[0], "");
}

TEST_F(Lifecycle, AnswerThatIsADirectoryIsAReadError) {
    start("R X");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(server("name0001.out"))));
    run->answerTick();
    EXPECT_TRUE(host.answers.empty());
    EXPECT_TRUE(host.closed);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка чтения ответа!\n");
    EXPECT_TRUE(QDir(QString::fromStdString(server("name0001.out"))).exists());
}

TEST_F(Lifecycle, ReRunKeepsStepsAndTakesTheNewPeriod) {
    start("R X");
    run->stepAnswer("\xC0"); // А
    EXPECT_EQ(request("name0001"), head() + "R X " + S + "\x80" + S);
    settings.setPeriod({1, 2, 28, 2});
    QFile::remove(QString::fromStdString(server("name0001.in")));
    run->ReRun();
    EXPECT_EQ(request("name0001"), head() + "R X " + S + "\x80" + S);
    EXPECT_NE(head().find("620B0BA\\"), std::string::npos);
}

TEST_F(Lifecycle, RestartAfterStepsSendsTheFirstRequestUnderANewName) {
    start("R X");
    run->stepAnswer("one");
    run->stepAnswer("two");
    EXPECT_EQ(request("name0001"), head() + "R X " + S + "one" + S + "two" + S);
    run->Restart();
    EXPECT_EQ(run->requestName(), "name0002");
    EXPECT_EQ(request("name0002"), head() + "R X");
    run->stepAnswer("three"); // steps start again from the first context
    EXPECT_EQ(request("name0002"), head() + "R X " + S + "three" + S);
}

TEST_F(Lifecycle, RestartWithQuestionFieldsSendsNothing) {
    start("R X");
    host.questionPanelFields = true;
    run->Restart();
    EXPECT_EQ(requests(), QStringList{"name0001.in"});
}

TEST_F(Lifecycle, StepBackUndoesOneStepAndNeverTheReportLine) {
    start("R X");
    run->stepBack(); // nothing answered yet
    EXPECT_EQ(run->stepContext(), run->firstContext());
    run->stepAnswer("one");
    run->stepAnswer("two");
    run->stepBack();
    EXPECT_EQ(request("name0001"), head() + "R X " + S + "one" + S);
    run->stepBack();
    EXPECT_EQ(run->stepContext(), settings.requestPrefix() + "R X " + S);
    QFile::remove(QString::fromStdString(server("name0001.in")));
    run->stepBack(); // ends with " " + 0xFA: nothing to undo
    EXPECT_TRUE(requests().isEmpty());
}

TEST_F(Lifecycle, StepBackKeepsArgumentsOfALineEndingWithTheSeparator) {
    start("R X a" + S + "b" + S);
    run->stepBack();
    EXPECT_EQ(run->stepContext(), run->firstContext());
    EXPECT_EQ(requests(), QStringList{"name0001.in"});
}

TEST_F(Lifecycle, FollowUpWriterAndTheQRule) {
    start("R X");
    run->setRequestName("resaveab");
    settings.debugMessages = true;
    run->WriteZapros1("S data\nline");
    EXPECT_EQ(prompter.transcript(), "Констpуктоp форм|ФАЙЛ-ЗАПРОС1: resaveab\n");
    settings.debugMessages = false;
    EXPECT_EQ(request("resaveab"), "u" + S + "p" + S + settings.reportState() +
                                       std::string(24, ' ') + "WHO       Noname.rpt" + S +
                                       "S data\nline");
    EXPECT_EQ(run->context(), head() + "R X"); // the report's, for a later re-run
    run->setRequestName("name0009");
    run->WriteZapros1("Q-whatever");
    EXPECT_EQ(request("name0009"), head() + "R X");
}

TEST_F(Lifecycle, ReRunAsksAboutUnsavedRows) {
    start("R X");
    book.sheet(1).setMaxRow(10);
    book.sheet(1).setText(11, 254, "X");
    run->dataSaveText = "save";
    prompter.push(Prompter::Answer::Yes);
    run->ReRun();
    EXPECT_EQ(host.saves, std::vector<std::string>{""});
    EXPECT_EQ(book.sheet(1).text(11, 254), "");

    book.sheet(1).setText(11, 254, "X");
    prompter.push(Prompter::Answer::No);
    QFile::remove(QString::fromStdString(server("name0001.in")));
    run->ReRun();
    EXPECT_EQ(host.saves.size(), 1u);
    EXPECT_EQ(book.sheet(1).text(11, 254), "");
    EXPECT_EQ(requests(), QStringList{"name0001.in"});
    EXPECT_EQ(cp1251::toUtf8(prompter.shown().at(0).text), "Сохранить изменения?");
}

struct AutoCase {
    const char* name;
    std::string refresh;
    bool autoAlways;
    bool appActive;
    std::string wantRequest; // name of the request written, empty for none
    bool timerAfter;
};

class AutoRefresh : public Lifecycle, public ::testing::WithParamInterface<AutoCase> {};

TEST_P(AutoRefresh, Tick) {
    const AutoCase& c = GetParam();
    start("R X");
    QFile::remove(QString::fromStdString(server("name0001.in")));
    run->autoRefreshText = c.refresh;
    run->flags().autoAlways = c.autoAlways;
    host.appActive = c.appActive;
    run->setAutoRefresh(true);
    run->autoRefreshTick();
    QStringList want;
    if (!c.wantRequest.empty()) {
        want << QString::fromStdString(c.wantRequest);
    }
    EXPECT_EQ(requests(), want);
    EXPECT_EQ(host.timers[ReportTimer::AutoRefresh], c.timerAfter);
    if (c.wantRequest.rfind("auto", 0) == 0) {
        EXPECT_EQ(request("auto0002"), head() + "R STAMP");
        EXPECT_EQ(run->stepContext(), head() + "R X"); // kept for the answer side
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AutoRefresh,
    ::testing::Values(AutoCase{"emptyText", "", false, true, "name0002.in", false},
                      AutoCase{"requestLine", "R STAMP", false, true, "auto0002.in", false},
                      AutoCase{"inactiveApp", "", false, false, "", true},
                      AutoCase{"autoAlwaysInactive", "", true, false, "name0002.in", true},
                      AutoCase{"uptiMissing", "upti", false, true, "", true}),
    [](const auto& i) { return i.param.name; });

TEST_F(Lifecycle, UptiRerunsWhenTheStampChanges) {
    start("R X");
    QFile::remove(QString::fromStdString(server("name0001.in")));
    run->autoRefreshText = "upti";
    ASSERT_TRUE(files::writeAtomic(server("upti"), "1"));
    run->setAutoRefresh(true);
    run->autoRefreshTick();
    EXPECT_EQ(requests(), QStringList{"name0002.in"});
    QFile::remove(QString::fromStdString(server("name0002.in")));

    run->setAutoRefresh(true);
    run->autoRefreshTick(); // same stamp: keep waiting
    EXPECT_TRUE(requests().isEmpty());
    EXPECT_TRUE(host.timers[ReportTimer::AutoRefresh]);

    QFile f(QString::fromStdString(server("upti")));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    f.close();
    run->autoRefreshTick();
    EXPECT_EQ(requests(), QStringList{"name0003.in"});
}

TEST_F(Lifecycle, RunFormOpensAPopUpOnce) {
    start("R X");
    Sheet& s = book.sheet(1);
    s.setText(3, 2, " \xC8\xE2\xE0\xED "); // Иван
    s.setText(3, 4, "42");
    s.setActiveCell(3, 2);
    settings.returnWindow = 3;
    run->run_form("CARD %2 %4 x ;size=300:200;center:at ;close");
    EXPECT_EQ(settings.nextReport, "R CARD \x88\xA2\xA0\xAD" + S + "42" + S + "x" + S);
    EXPECT_EQ(settings.pendingGeometry, "300:200;center:at");
    EXPECT_EQ(host.opened, std::vector<bool>{true});
    EXPECT_EQ(run->popupHandle(), 501);
    EXPECT_EQ(s.text(37, 256), "501");
    EXPECT_EQ(s.text(41, 256), "3");
    EXPECT_EQ(settings.returnWindow, 7);
    EXPECT_TRUE(host.closed);

    host.closed = false;
    run->run_form("CARD %2 ;size=300:200;center:at");
    EXPECT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(host.activatedWindows, std::vector<long long>{501});
}

TEST_F(Lifecycle, RunFormSubstitution) {
    start("R X");
    Sheet& s = book.sheet(1);
    s.setText(1, 2, "%2");
    s.setText(1, 3, "v3");
    s.setActiveCell(1, 1);
    struct Case {
        const char* name;
        std::string command;
        std::string pending;
    } cases[] = {
        {"selfReference", "R %2 %3", "R R %2" + S + "v3" + S},
        {"notANumber", "R %x %", "R R %x" + S + "%" + S},
        {"stopsAtEmpty", "R %5 %3", "R R %3" + S},
        {"blanksCollapse", "  R   a   b ", "R R a" + S + "b" + S},
        {"nameOnly", "R", "R R "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        run->run_form(c.command);
        EXPECT_EQ(settings.nextReport, c.pending);
    }
    run->run_form("SAVEIT a ;save ;size=1:2;3:4");
    EXPECT_EQ(host.saves, std::vector<std::string>{"SAVEIT a ;size=1:2;3:4"});
}

TEST_F(Lifecycle, HiddenStateFollowsActivation) {
    start("R X");
    run->autoRefreshText = "upti";
    run->flags().restartClose = false;
    run->deactivate();
    Sheet& s = book.sheet(1);
    // The contexts are kept without the user name and password ("u" and "p").
    EXPECT_EQ(run->firstContext().substr(0, 4), "u" + S + "p" + S);
    EXPECT_EQ(s.text(1, 256), withoutCredentials(run->firstContext()));
    for (int row : {1, 2, 3}) {
        EXPECT_EQ(s.text(row, 256).substr(0, 2), S + S) << row;
    }
    EXPECT_EQ(s.text(4, 256), "name0001");
    EXPECT_EQ(s.text(26, 256), settings.reportState());
    EXPECT_EQ(s.text(36, 256), "upti");

    settings.setReportState("620B0LA_");
    host.captionText = "/x/REP.rpt: extra";
    run->setAutoRefresh(true);
    const std::string first = run->firstContext();
    run->activate();
    EXPECT_EQ(run->firstContext(), first); // the current ones put back
    EXPECT_EQ(settings.reportState(), "620A0LA_");
    EXPECT_EQ(settings.currentFileName, "/x/REP.rpt");
    EXPECT_TRUE(host.timers[ReportTimer::AutoRefresh]);

    s.setText(34, 256, "1"); // ";RESTART_CLOSE"
    QFile::remove(QString::fromStdString(server("name0001.in")));
    run->activate();
    EXPECT_EQ(requests(), QStringList{"name0002.in"});
}

TEST_F(Lifecycle, ClosingAsksAndReturns) {
    settings.returnWindow = 12;
    start("R X");
    book.sheet(1).setMaxRow(5);
    book.sheet(1).setText(6, 254, "X");
    run->dataSaveText = "s";
    prompter.push(Prompter::Answer::Yes);
    EXPECT_FALSE(run->close());
    EXPECT_EQ(host.saves.size(), 1u);
    EXPECT_TRUE(host.returns.empty());

    run->flags().parentRerun = run->flags().modalResult = true;
    EXPECT_TRUE(run->close()); // mark cleared by the save
    ASSERT_EQ(host.returns.size(), 1u);
    EXPECT_EQ(host.returns[0].handle, 12);
    EXPECT_TRUE(host.returns[0].rerun);
    EXPECT_FALSE(host.returns[0].popupClosed);
    EXPECT_FALSE(host.timers[ReportTimer::Answer]);
}

TEST_F(Lifecycle, OfflineReadsTheCacheFile) {
    settings.commandLineParam = "@rep.out";
    QDir(tmp.path()).mkpath("CACHE");
    ASSERT_TRUE(files::writeAtomic(root() + "/CACHE/rep.out", "OK;table\nlast!"));
    start("R X");
    EXPECT_TRUE(requests().isEmpty());
    EXPECT_TRUE(host.timers[ReportTimer::Offline]);
    EXPECT_EQ(run->requestName(), "name0002");
    run->offlineTick();
    ASSERT_EQ(host.answers.size(), 1u);
    EXPECT_EQ(host.answers[0], "OK;table\nlast!");
    EXPECT_TRUE(files::exists(root() + "/CACHE/rep.out"));

    settings.commandLineParam = "@none.out";
    prompter.clear();
    start("R X");
    EXPECT_TRUE(host.closed);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Не могу найти " + root() + "/CACHE/none.out\n");
}

TEST_F(Lifecycle, PosledListHidesTheQuestionPanel) {
    ASSERT_TRUE(files::writeAtomic(root() + "/POSLED.LST", "OTHER\r\n  sales \r\n"));
    EXPECT_TRUE(start("R SALES").questionPanelHidden());
    EXPECT_FALSE(start("R OTHERS").questionPanelHidden());
}

TEST(PopupGeometry, Placement) {
    PopupPlacement where;
    where.opener = QRect(100, 100, 800, 600);
    where.mainWindow = QRect(0, 0, 1000, 800);
    where.statusBarHeight = 20;
    where.cell = QRect(300, 200, 80, 20);
    // The client area is exactly W x H, within the main window above its status bar.
    struct Case {
        const char* name;
        std::string geometry;
        QRect cell;
        QRect want;
    } cases[] = {
        {"numbers", "300:200;10:20", where.cell, QRect(110, 120, 300, 200)},
        {"center", "300:200;center:center x", where.cell, QRect(350, 300, 300, 200)},
        {"besideCell", "300:200;at:at", where.cell, QRect(300, 220, 300, 200)},
        {"flipLeftAndUp", "300:200;at:at", QRect(800, 700, 80, 20), QRect(580, 500, 300, 200)},
        {"narrowed", "900:200;at:10", QRect(500, 100, 80, 20), QRect(500, 110, 498, 200)},
        {"shortened", "300:700;10:at", QRect(300, 300, 80, 20), QRect(110, 320, 300, 460)},
        {"movedIntoTheMainWindow", "300:200;850:650", where.cell, QRect(700, 580, 300, 200)},
        {"notAboveTheMainWindow", "300:200;10:-400", where.cell, QRect(110, 0, 300, 200)},
        {"bad", "300x200;1:2", where.cell, QRect()},
        {"badAnchor", "300:200;left:2", where.cell, QRect()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        where.cell = c.cell;
        EXPECT_EQ(popupGeometry(c.geometry, where), c.want);
    }
}

} // namespace
} // namespace fc
