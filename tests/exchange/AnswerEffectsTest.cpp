// What an answer's instructions do to the result and to the run, and when an answer file that
// the server may still be writing is taken.
#include "AnswerFixture.h"
#include "FakeReportHost.h"

#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "exchange/AnswerWatch.h"
#include "exchange/ReportRun.h"
#include "exchange/ResultRows.h"
#include "exchange/StandInServer.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace fc {
namespace {

using test::AnswerFixture;
using test::dos;
using test::u8;

const std::string S(1, '\xFA');

void readTableLines(AnswerFixture& fx, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines) {
        bytes += dos(l) + "\r\n";
    }
    fx.setAnswer(bytes);
    read_table(fx.ctx, "x.out");
}

// A companion workbook of three form rows (row 2 formats column 3 as money) with a list box
// "Счета" that placement records put into the result.
std::string writeForm(AnswerFixture& fx) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(4);
    s.setMaxRow(3);
    Style money;
    money.numberFormat = "0.00";
    s.setStyle(2, 3, money);
    DrawnObject box;
    box.kind = ObjectKind::ListBox;
    box.text = w("Счета");
    box.x1 = 1;
    box.x2 = 3;
    box.y1 = 0;
    box.y2 = 1;
    box.inputRange = "A1:A3";
    s.addObject(box);
    std::string error;
    const std::string path = fx.path("T.vts");
    EXPECT_TRUE(writeWorkbookFile(path, kFileNative, book, error)) << error;
    return path;
}

// ---- the readers

TEST(AnswerEffects, ReRunsOfAResultWithObjectsKeepOneCopyOfEach) {
    AnswerFixture fx;
    const std::string form = writeForm(fx);
    const std::string answer = ";table ;ext=T.vts\r\n" + dos("1|первая") +
                               "\r\n;OBJ=1|3|0|1|1|10|[\r\n" +
                               dos(";LISTBOX[Счета]\r\n301\r\n361\r\n;ENDLIST\r\n2|вторая\t5\r\n");
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        fx.setAnswer(answer);
        read_table_ex(fx.ctx, form);
        const Sheet& s = fx.book.sheet(1);
        ASSERT_EQ(s.objects().size(), 1u);
        // The placed list box takes the answer's lines; the form on disk keeps its own.
        EXPECT_EQ(s.objects()[0].items, (std::vector<std::string>{"301", "361"}));
        EXPECT_EQ(s.objects()[0].inputRange, "");
        EXPECT_EQ(s.number(2, 3), 5);
    }
    Workbook onDisk;
    std::string error;
    ASSERT_NE(readWorkbookFile(form, onDisk, error), 0) << error;
    ASSERT_EQ(onDisk.sheet(1).objects().size(), 1u);
    EXPECT_TRUE(onDisk.sheet(1).objects()[0].items.empty());
    EXPECT_EQ(onDisk.sheet(1).objects()[0].inputRange, "A1:A3");

    // A table answer after it shows none of the turbo result's objects.
    readTableLines(fx, {";table", "x"});
    EXPECT_TRUE(fx.book.sheet(1).objects().empty());
}

TEST(AnswerEffects, TurboRowNumbersWithBlanksInFrontStillNameTheirFormRow) {
    for (const char* line : {"2  *\tb\t7", " 2 *\tb\t7", "  2*\tb\t7"}) {
        SCOPED_TRACE(line);
        AnswerFixture fx;
        const std::string form = writeForm(fx);
        fx.setAnswer(";table ;ext=T.vts ;turbo\r\n1  *\ta\t1\r\n" + std::string(line) + "\r\n");
        read_table_ex(fx.ctx, form);
        const Sheet& s = fx.book.sheet(1);
        ASSERT_EQ(s.maxRow(), 2);
        EXPECT_EQ(s.style(2, 3).numberFormat, "0.00");
        EXPECT_EQ(s.text(2, 3), "7.00");
    }
}

TEST(AnswerEffects, AnErrorBeforeAnyRowClosesTheWindowInEveryFormat) {
    struct Case {
        const char* name;
        std::string status;
        std::string body;
        bool closes;
    } cases[] = {
        {"ext, first line", ";table ;ext=T.vts", dos("E-Нет данных\r\n"), true},
        {"ext, after a row", ";table ;ext=T.vts", dos("1|a\r\nE-Нет данных\r\n"), false},
        {"turbo, the only row", ";table ;ext=T.vts ;turbo", dos("E-Нет данных\r\n"), true},
        {"turbo, after rows", ";table ;ext=T.vts ;turbo", dos("1  *\ta\r\nE-конец\r\n"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnswerFixture fx;
        const std::string form = writeForm(fx);
        fx.setAnswer(c.status + "\r\n" + c.body);
        read_table_ex(fx.ctx, form);
        EXPECT_EQ(fx.settings.closeWindow, c.closes);
        EXPECT_NE(fx.messages().find("E-"), std::string::npos);
    }
    AnswerFixture fx;
    readTableLines(fx, {";table", "E-Нет данных"});
    EXPECT_TRUE(fx.settings.closeWindow);
}

TEST(AnswerEffects, ASubtitleGoesInFrontOfTheWindowsOwnCaptionOnly) {
    AnswerFixture fx;
    fx.settings.caption = fx.settings.fileCaption = "/rep/saldo.rpt";
    readTableLines(fx, {";SP=Сальдо: счет 60", "x"});
    EXPECT_EQ(u8(fx.settings.caption), "Сальдо: счет 60: /rep/saldo.rpt");
    // The next answer (a re-run) finds the caption the first one made.
    readTableLines(fx, {";SP=Сальдо: счет 62", "x"});
    EXPECT_EQ(u8(fx.settings.caption), "Сальдо: счет 62: /rep/saldo.rpt");
}

TEST(AnswerEffects, AColumnFormatCoversTheWholeColumn) {
    AnswerFixture fx;
    readTableLines(fx, {";FORMAT[3]=0.000", "&&", "&03 1.5|0000rb", "&&", "&&", "&03 2|0000rb|0",
                        "&&", "&02x|0000lb"});
    const Sheet& s = fx.book.sheet(1);
    EXPECT_EQ(s.style(1, 3).numberFormat, "0.000");
    EXPECT_EQ(s.style(2, 3).numberFormat, "0.000"); // an empty cell of the column as well
    EXPECT_EQ(s.style(3, 3).numberFormat, "0");     // a cell with a format of its own keeps it
    EXPECT_EQ(s.style(4, 3).numberFormat, "0.000");
    EXPECT_EQ(s.style(4, 2).numberFormat, "General");
}

TEST(AnswerEffects, TheCursorGoesToThePositionTheKeptTextOrTheFirstDataRow) {
    AnswerFixture fx;
    readTableLines(fx, {";FIX=01", "&&", "&02head|0000lb", "&&", "&02a|0000lb", "&&",
                        "&02 b |0000lb", "&&", "&02c|0000lb"});
    Sheet& s = fx.book.sheet(1);
    ReportSettings& st = fx.settings;
    EXPECT_EQ(answers::cursorAfterLoading(s, st), (CellRef{2, 1})); // the first data row
    st.positionKey = "b";
    st.positionKeyCol = 3;
    st.cursorRow = 3;
    EXPECT_EQ(answers::cursorAfterLoading(s, st), (CellRef{3, 3}));
    st.positionSet = true;
    st.positionRow = 4;
    st.positionCol = 0; // unreadable: the first column
    EXPECT_EQ(answers::cursorAfterLoading(s, st), (CellRef{4, 1}));

    // ";POS=" by key, read with the rest of the answer; a key that is not there leaves the
    // kept text to decide.
    AnswerFixture byKey;
    byKey.settings.positionKey = "a";
    readTableLines(byKey, {";POS=\"c\":2", "&&", "&02a|0000lb", "&&", "&02c|0000lb"});
    EXPECT_EQ(answers::cursorAfterLoading(byKey.book.sheet(1), byKey.settings), (CellRef{2, 2}));
    readTableLines(byKey, {";POS=\"z\":2", "&&", "&02a|0000lb", "&&", "&02c|0000lb"});
    EXPECT_EQ(answers::cursorAfterLoading(byKey.book.sheet(1), byKey.settings), (CellRef{1, 1}));
}

// ---- the run

class Run : public ::testing::Test {
protected:
    Run() {
        QDir(tmp.path()).mkpath("server");
        settings.startDir = root();
        settings.serverDir = root() + "/server";
        settings.currentFileName = root() + "/Noname.rpt";
        settings.setUserName("u");
        settings.setPassword("p");
    }
    std::string root() const { return tmp.path().toStdString(); }
    std::string server(const std::string& file) const { return settings.serverDir + "/" + file; }
    ReportRun& start(const std::string& line) {
        settings.nextReport = line;
        run = std::make_unique<ReportRun>(settings, book, prompter, host, [this] {
            return "name" + std::to_string(1000 + ++counter);
        });
        run->create();
        return *run;
    }

    QTemporaryDir tmp;
    AppSettings settings;
    Workbook book;
    ScriptedPrompter prompter;
    test::FakeReportHost host;
    std::unique_ptr<ReportRun> run;
    int counter = 0;
};

TEST_F(Run, TheReportNameFollowsTheCommandLetter) {
    struct Case {
        const char* line;
        const char* name;
    } cases[] = {
        {"R CATALOG 5", "CATALOG"},
        {"G SALES 01", "SALES"},
        {"  r saldo", "SALDO"},
        {"R LOG G 1", "LOG"},
        {"G", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(start(c.line).reportName(), c.name);
    }
    ASSERT_TRUE(files::writeAtomic(root() + "/POSLED.LST", "CATALOG\r\n"));
    EXPECT_TRUE(start("R CATALOG 5").questionPanelHidden());
}

TEST_F(Run, WithoutAServerDirectoryNothingIsWrittenAndTheUserIsToldToConnect) {
    settings.serverDir = "  ";
    const QString cwd = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(tmp.path()));
    start("R SALES");
    QDir::setCurrent(cwd);
    EXPECT_FALSE(run->answerPending());
    EXPECT_FALSE(host.busy);
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), QStringList{});
    EXPECT_EQ(prompter.transcript(), "Внимание:|Каталог обмена с сеpвеpом не задан: сначала "
                                     "выполните \"Подключение к сеpвеpу\" (меню \"!\").\n");
}

TEST_F(Run, ADrillDownThatClosesReturnsToTheReportItOpened) {
    settings.returnWindow = 3; // the window this one came from
    start("R X");
    host.nextHandle = 0;
    run->run_form("CARD 1 ;close");
    EXPECT_EQ(settings.returnWindow, 3); // the new report returns where this one would have
    EXPECT_TRUE(host.closed);

    start("R Y");
    host.nextHandle = 812;
    run->flags().parentRerun = run->flags().modalResult = true;
    run->run_form("CARD 1 ;close");
    ASSERT_TRUE(run->close());
    ASSERT_EQ(host.returns.size(), 1u);
    EXPECT_EQ(host.returns[0].handle, 812);
    EXPECT_FALSE(host.returns[0].rerun); // the report just opened runs already
}

TEST_F(Run, AClosedPopupFreesItsCellAndOpensAgain) {
    start("R X");
    Sheet& s = book.sheet(1);
    run->run_form("CARD ;size=300:200;center:center");
    ASSERT_EQ(run->popupHandle(), 501);
    EXPECT_EQ(s.text(37, 256), "501");
    run->popupClosed();
    EXPECT_EQ(s.text(37, 256), "0");
    run->activate(); // reads the block: no pop-up to bring back
    EXPECT_TRUE(host.activatedWindows.empty());
    host.nextHandle = 502;
    run->run_form("CARD ;size=300:200;center:center");
    EXPECT_EQ(host.opened, (std::vector<bool>{true, true}));
    EXPECT_EQ(run->popupHandle(), 502);

    // A handle left by a pop-up that went without telling finds nothing: opened anew.
    host.nextHandle = 503;
    host.gone.push_back(77);
    s.setText(37, 256, "77");
    run->activate();
    run->run_form("CARD ;size=300:200;center:center");
    EXPECT_EQ(run->popupHandle(), 503);
}

TEST_F(Run, ActivationClearsTheStatusButAWait) {
    start("R X");
    struct Case {
        const char* name;
        std::string before;
        bool onlyMarked;
        std::string after;
    } cases[] = {
        {"cleared", "Фильтp включен [3] по \"Счет\"", false, ""},
        {"waiting", "Ожидание ответа от сеpвеpа... ", false, "Ожидание ответа от сеpвеpа... "},
        {"marked", "x", true, "   Только выделенные стpоки"},
        {"marked once", "   Только выделенные стpоки", true, "   Только выделенные стpоки"},
        {"marked no more", "Ожидание   Только выделенные стpоки", false, "Ожидание"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.status = w(c.before);
        book.sheet(1).setText(28, 256, c.onlyMarked ? "1" : "");
        run->activate();
        EXPECT_EQ(u8(host.status), c.after);
    }
}

// ---- answers the server may still be writing

TEST(AnswerWatchTest, AFileIsWholeOnlyWhenItStoppedChangingAndNobodyHereWritesIt) {
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/a.out";
    AnswerWatch watch;
    EXPECT_EQ(watch.look(path), AnswerWatch::State::Missing);
    ASSERT_TRUE(files::writeDirect(path, "part"));
    EXPECT_EQ(watch.look(path), AnswerWatch::State::Growing); // seen for the first time
    EXPECT_EQ(watch.look(path), AnswerWatch::State::Whole);
    ASSERT_TRUE(files::writeDirect(path, "part and more"));
    EXPECT_EQ(watch.look(path), AnswerWatch::State::Growing);
    EXPECT_EQ(watch.look(path), AnswerWatch::State::Whole);

    // Open for writing here, it is not taken however long it stays the same.
    QFile writer(QString::fromStdString(path));
    ASSERT_TRUE(writer.open(QIODevice::Append));
    EXPECT_TRUE(files::heldForWriting(path));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(watch.look(path), AnswerWatch::State::Growing);
    }
    writer.close();
    QFile reader(QString::fromStdString(path));
    ASSERT_TRUE(reader.open(QIODevice::ReadOnly)); // readers do not count
    EXPECT_FALSE(files::heldForWriting(path));
    EXPECT_EQ(watch.look(path), AnswerWatch::State::Whole);
    EXPECT_FALSE(files::heldForWriting(path + ".none"));

    ASSERT_TRUE(files::remove(path));
    EXPECT_EQ(watch.look(path), AnswerWatch::State::Missing);
}

// The stand-in server writes the answer in place, in ten pieces 0.15 s apart, closing the file
// between them; the run's timer ticks every 200 ms all the while.
TEST_F(Run, AnAnswerWrittenInPiecesIsTakenWhole) {
    QDir(tmp.path()).mkpath("data");
    std::string body = ";table\r\n";
    for (int i = 1; i <= 400; ++i) {
        body += "line " + std::to_string(i) + "\r\n";
    }
    ASSERT_TRUE(files::writeAtomic(root() + "/data/BIG.out", body));
    start("R BIG");
    StandInServer server(settings.serverDir, root() + "/data");
    server.setPieces(10, 150);
    std::atomic<bool> done{false};
    std::thread serving([&] {
        server.pollOnce();
        done = true;
    });
    int ticks = 0;
    while (host.answers.empty() && ticks < 100) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ReportRun::kAnswerInterval));
        run->answerTick();
        ++ticks;
    }
    serving.join();
    ASSERT_EQ(host.answers.size(), 1u);
    EXPECT_TRUE(done);
    EXPECT_GE(ticks, 8);                     // not before the last piece
    EXPECT_EQ(host.answers[0], body + '\0'); // the framing byte is dropped
    EXPECT_EQ(prompter.transcript(), "");
}

} // namespace
} // namespace fc
