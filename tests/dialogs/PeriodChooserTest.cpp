#include "dialogs/PeriodChooser.h"

#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/Requests.h"
#include "exchange/StandInServer.h"
#include "shell/SettingsFiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace fc {
namespace {

class FakeView : public PeriodView {
public:
    void setYearTimer(bool on) override {
        timer = on;
        timerStarts += on ? 1 : 0;
    }
    void focusMonthList() override { focus = "list"; }
    void focusCalendar() override { focus = "calendar"; }
    bool timer = false;
    int timerStarts = 0;
    std::string focus;
};

std::string utf8(const std::string& s) { return cp1251::toUtf8(s); }

class PeriodTest : public ::testing::Test {
protected:
    PeriodTest() {
        QDir(tmp.path()).mkpath("x");
        QDir(tmp.path()).mkpath("data");
        settings.startDir = root();
        settings.serverDir = root() + "/x";
        settings.setUserName("ivan");
        settings.setPassword("pw");
    }
    std::string root() const { return tmp.path().toStdString(); }

    PeriodChooser& chooser(int year = 2024) {
        int n = 0;
        made = std::make_unique<PeriodChooser>(
            settings, prompter, view, [n]() mutable { return "year000" + std::to_string(++n); },
            year);
        return *made;
    }
    // The stored period: months from the state string, days from the bounds.
    void stored(const Period& bounds, int startMonth, int endMonth) {
        settings.setPeriod(bounds);
        std::string state = settings.reportState();
        state[3] = static_cast<char>(64 + startMonth);
        state[5] = static_cast<char>(64 + endMonth);
        settings.setReportState(state);
    }
    // Runs a script of user actions: "cN" click on month N, "DN" click and double click on
    // it, "kN" the calendar's selection moved to day N, "p" a day pick, "F4", "F5".
    static void run(PeriodChooser& c, const std::string& script) {
        std::istringstream in(script);
        std::string t;
        while (in >> t) {
            const int n = t.size() > 1 ? std::atoi(t.c_str() + 1) : 0;
            if (t == "F4") {
                c.startKey();
            } else if (t == "F5") {
                c.endKey();
            } else if (t[0] == 'c') {
                c.monthClick(n);
            } else if (t[0] == 'D') {
                c.monthClick(n);
                c.monthDoubleClick(n);
            } else if (t[0] == 'k') {
                c.setCalendarDay(n);
            } else if (t == "p") {
                c.dayPick();
            } else {
                ADD_FAILURE() << "bad script token " << t;
            }
        }
    }
    // The lines that are not bare month names, "N:text" joined by "|".
    static std::string markedLines(const PeriodChooser& c) {
        std::string out;
        for (int m = 1; m <= 12; ++m) {
            if (c.monthLine(m) != PeriodChooser::monthName(m)) {
                out += (out.empty() ? "" : "|") + std::to_string(m) + ":" + utf8(c.monthLine(m));
            }
        }
        return out;
    }
    std::string yearIn() const {
        return files::readAll(root() + "/x/year0001.in").value_or("<none>");
    }

    QTemporaryDir tmp;
    AppSettings settings;
    ScriptedPrompter prompter;
    FakeView view;
    std::unique_ptr<PeriodChooser> made;
};

using Mark = PeriodChooser::Mark;

TEST_F(PeriodTest, ActivationShowsTheStoredPeriodAsIfPicked) {
    struct Case {
        const char* name;
        Period bounds;
        int startMonth, endMonth;
        Period shown;
        std::string lines;
        int selected;
    } cases[] = {
        {"defaults",
         {1, 1, 31, 12},
         1,
         12,
         {1, 1, 31, 12},
         "1:Янваpь       1..|12:Декабpь      31",
         12},
        {"one month", {15, 3, 20, 3}, 3, 3, {15, 3, 20, 3}, "3:Маpт         15..20", 3},
        {"months from the state, days from the bounds",
         {10, 1, 20, 2},
         5,
         6,
         {10, 5, 20, 6},
         "5:Май          10..|6:Июнь         20",
         6},
        {"month code 0 is January",
         {2, 1, 9, 3},
         0,
         3,
         {2, 1, 9, 3},
         "1:Янваpь       2..|3:Маpт         9",
         3},
        {"a day the month lacks becomes its last",
         {31, 2, 31, 4},
         2,
         4,
         {29, 2, 30, 4},
         "2:Февpаль      29..|4:Апpель       30",
         4},
        {"an end month before the start is one month",
         {5, 9, 20, 3},
         9,
         3,
         {20, 3, 20, 3},
         "3:Маpт         20..",
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        stored(c.bounds, c.startMonth, c.endMonth);
        PeriodChooser& p = chooser();
        p.activate();
        EXPECT_EQ(p.period(), c.shown);
        EXPECT_EQ(markedLines(p), c.lines);
        EXPECT_EQ(p.selectedMonth(), c.selected);
        EXPECT_EQ(view.focus, "list");
        EXPECT_EQ(settings.period(), c.bounds); // nothing is stored before "Подтвеpдить"
    }
}

TEST_F(PeriodTest, PicksFollowTheSecondClickFlag) {
    struct Case {
        const char* name;
        const char* script;
        Period period;
        std::string lines;
        bool second;
    } cases[] = {
        {"start and end in one month",
         "c3 k15 p k20 p",
         {15, 3, 20, 3},
         "3:Маpт         15..20",
         false},
        {"end in a later month",
         "c3 k15 p c5 k10 p",
         {15, 3, 10, 5},
         "3:Маpт         15..|5:Май          10",
         false},
        {"another pick in the end month moves the end",
         "c3 k15 p c5 k10 p k20 p",
         {15, 3, 20, 5},
         "3:Маpт         15..|5:Май          20",
         false},
        {"a start day waits for its end", "c3 k15 p", {15, 3, 31, 3}, "3:Маpт         15..", true},
        {"an end month before the start starts anew", "c5 k10 p c3", {10, 3, 31, 3}, "", false},
        {"and its next pick is a start day",
         "c5 k10 p c3 k7 p",
         {7, 3, 31, 3},
         "3:Маpт         7..",
         true},
        {"a third pick in one month is a new start",
         "c3 k15 p k20 p k25 p",
         {25, 3, 20, 3},
         "3:Маpт         25..",
         true},
        {"a click after a full period starts anew",
         "c3 k15 p c5 k10 p c7",
         {15, 7, 10, 7},
         "",
         false},
        {"double clicks take the first and the last day",
         "D3 D4",
         {1, 3, 30, 4},
         "3:Маpт         1..|4:Апpель       30",
         false},
        {"a double click in the start month ends it",
         "D3 D3",
         {1, 3, 31, 3},
         "3:Маpт         1..31",
         false},
        {"F4 and F5 in one month",
         "c6 F4 k10 p F5 p",
         {10, 6, 30, 6},
         "6:Июнь         10..30",
         false},
        {"F5 on a later month",
         "c6 F4 k10 p c8 F5 p",
         {10, 6, 31, 8},
         "6:Июнь         10..|8:Август       31",
         false},
        {"a day pick takes the calendar's day as moved",
         "c1 k40 p",
         {31, 1, 31, 1},
         "1:Янваpь       31..",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PeriodChooser& p = chooser();
        p.activate(); // defaults: the flag is false afterwards
        run(p, c.script);
        EXPECT_EQ(p.period(), c.period);
        EXPECT_EQ(markedLines(p), c.lines);
        EXPECT_EQ(p.secondClick(), c.second);
    }
}

TEST_F(PeriodTest, MarksShowTheBarBetweenStartAndEnd) {
    PeriodChooser& p = chooser();
    p.activate();
    run(p, "c3 k15 p c6 k10 p");
    const Mark want[12] = {Mark::None,    Mark::None, Mark::Start, Mark::Between,
                           Mark::Between, Mark::End,  Mark::None,  Mark::None,
                           Mark::None,    Mark::None, Mark::None,  Mark::None};
    for (int m = 1; m <= 12; ++m) {
        EXPECT_EQ(p.mark(m), want[m - 1]) << "month " << m;
    }
    run(p, "c9");
    EXPECT_EQ(p.mark(9), Mark::StartEnd);
    EXPECT_EQ(p.mark(5), Mark::None);
}

TEST_F(PeriodTest, KeysLightTheirLabelAndFocusTheCalendar) {
    PeriodChooser& p = chooser();
    p.activate();
    run(p, "c4 k12");
    p.startKey();
    EXPECT_EQ(p.litKey(), PeriodChooser::Key::Start);
    EXPECT_EQ(view.focus, "calendar");
    EXPECT_EQ(p.calendarDay(), 1); // the month click went to day 1
    p.dayPick();
    EXPECT_EQ(p.litKey(), PeriodChooser::Key::None);
    p.endKey();
    EXPECT_EQ(p.litKey(), PeriodChooser::Key::End);
    EXPECT_EQ(p.calendarDay(), 30);
}

// The calendar's year comes from the server's answer; F5 in February ends on its last day.
TEST_F(PeriodTest, FebruaryEndsByTheCalendarsYear) {
    for (auto [year, last] : {std::pair{2024, 29}, {2023, 28}, {2100, 28}, {2000, 29}}) {
        SCOPED_TRACE(year);
        ASSERT_TRUE(files::writeAtomic(root() + "/data/YEAR.txt", std::to_string(year)));
        PeriodChooser& p = chooser(2024);
        p.activate();
        StandInServer(root() + "/x", root() + "/data").pollOnce();
        p.tick();
        p.tick();
        ASSERT_EQ(p.calendarYear(), year);
        run(p, "c2 F4 p F5 p");
        EXPECT_EQ(p.period(), (Period{1, 2, last, 2}));
        run(p, "D2 D2");
        EXPECT_EQ(p.period(), (Period{1, 2, last, 2}));
    }
}

TEST_F(PeriodTest, ConfirmRefusesAnInvertedPeriod) {
    struct Case {
        const char* name;
        const char* script;
        bool accepted;
    } cases[] = {
        {"15 March to 14 March", "c3 k15 p k14 p", false},
        {"15 March to 15 March", "c3 k15 p k15 p", true},
        {"31 January to 1 February", "c1 k31 p c2 k1 p", true},
        {"a new start after the end", "c3 k10 p k12 p k20 p", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppSettings before = settings;
        prompter.clear();
        PeriodChooser& p = chooser();
        p.activate();
        run(p, c.script);
        EXPECT_EQ(p.confirm(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(prompter.transcript(), "");
            EXPECT_EQ(settings.period(), p.period());
        } else {
            EXPECT_EQ(prompter.transcript(), "Внимание:|Непpавильно задан пеpиод!\n");
            EXPECT_EQ(settings.period(), before.period());
            EXPECT_EQ(settings.requestPrefix(), before.requestPrefix());
        }
        EXPECT_EQ(files::exists(root() + "/klf.opt"), c.accepted);
        files::remove(root() + "/klf.opt");
        settings = before;
    }
}

TEST_F(PeriodTest, ConfirmRewritesTheStateStringAndKlfKeepingItsFirstLines) {
    ASSERT_TRUE(files::writeAtomic(root() + "/klf.opt",
                                   "line one\r\nline two\r\n1\r\n1\r\n31\r\n12\r\n620\r\n"));
    settings::load(settings, root());
    settings.serverDir = root() + "/x";
    settings.setUserName("ivan");
    settings.setPassword("pw");
    // Characters 1-3, 5 and the argument fields (from 9 on) are carried unchanged.
    settings.setReportState(std::string("987A1LA_") + "ARG1        ARG2        ");
    // Another program changed the first two lines since the start.
    ASSERT_TRUE(
        files::writeAtomic(root() + "/klf.opt", "edited one\r\n\r\n1\r\n1\r\n31\r\n12\r\n620\r\n"));
    PeriodChooser& p = chooser();
    p.activate();
    run(p, "c3 k15 p c5 k20 p");
    ASSERT_TRUE(p.confirm());

    const std::string state = std::string("987C1EOT") + "ARG1        ARG2        ";
    EXPECT_EQ(settings.reportState(), state);
    EXPECT_EQ(settings.period(), (Period{15, 3, 20, 5}));
    const std::string sep(1, '\xFA');
    EXPECT_EQ(settings.requestPrefix(), "ivan" + sep + "pw" + sep + state + sep);
    EXPECT_EQ(files::readAll(root() + "/klf.opt").value_or(""),
              "edited one\r\n\r\n15\r\n3\r\n20\r\n5\r\n987\r\n");
    EXPECT_FALSE(files::exists(root() + "/klf.tmp"));

    // Read back at the next start.
    AppSettings next;
    settings::load(next, root());
    EXPECT_EQ(next.period(), settings.period());
    EXPECT_EQ(next.klfLine1, "edited one");
}

TEST_F(PeriodTest, KlfThatCannotBeWrittenIsReportedAndThePeriodHolds) {
    settings.startDir = root() + "/no/such/dir";
    PeriodChooser& p = chooser();
    p.activate();
    run(p, "c3 k15 p k15 p");
    EXPECT_TRUE(p.confirm());
    EXPECT_EQ(settings.period(), (Period{15, 3, 15, 3}));
    EXPECT_EQ(prompter.transcript(),
              "Ошибка:|Не могу создать файл " + root() + "/no/such/dir/klf.opt\n");
}

TEST_F(PeriodTest, YearIsAskedFromTheServerAndPolled) {
    ASSERT_TRUE(files::writeAtomic(root() + "/data/YEAR.txt", "2031\r\n"));
    PeriodChooser& p = chooser(2024);
    p.activate();
    EXPECT_EQ(yearIn(), settings.requestPrefix() + "E YC");
    EXPECT_EQ(yearIn(), request::yearRequest(settings));
    EXPECT_TRUE(view.timer);
    EXPECT_FALSE(p.calendarEnabled());
    EXPECT_TRUE(p.waitingForYear());

    p.tick(); // no answer yet: keep polling
    EXPECT_TRUE(view.timer);
    EXPECT_FALSE(p.calendarEnabled());

    StandInServer(root() + "/x", root() + "/data").pollOnce();
    ASSERT_TRUE(files::exists(root() + "/x/year0001.out"));
    p.tick(); // seen once: the server may still be writing it
    EXPECT_TRUE(p.waitingForYear());
    p.tick();
    EXPECT_FALSE(view.timer);
    EXPECT_FALSE(p.waitingForYear());
    EXPECT_TRUE(p.calendarEnabled());
    EXPECT_EQ(p.yearText(), "2031");
    EXPECT_EQ(p.calendarYear(), 2031);
    EXPECT_FALSE(files::exists(root() + "/x/year0001.out"));
    p.tick(); // stopped: nothing more happens
    EXPECT_EQ(view.timerStarts, 1);
}

TEST_F(PeriodTest, YearAnswerTextIsCutAtTheFirstDot) {
    struct Case {
        const char* name;
        std::string answer; // as the server writes it, DOS code page
        std::string shown;  // UTF-8
        int year;
    } cases[] = {
        {"plain", "2031\r\n", "2031", 2031},
        {"decimals", "2031.00\r\n", "2031", 2031},
        {"blanks round the number", "  2029 .5", "2029 ", 2029},
        {"not a number", codepage::toDos(w("нет года")) + "\r\n", "нет года", 2024},
        {"a number and a word", codepage::toDos(w("2031 г.")), "2031 г", 2024},
        {"a year the calendar cannot show", "99999", "99999", 2024},
        {"empty", "", "", 2024},
        {"long", std::string(1000, '7'), std::string(256, '7'), 2024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PeriodChooser& p = chooser(2024);
        p.activate();
        // The stand-in server adds its framing byte; the answer is trimmed anyway.
        ASSERT_TRUE(files::writeAtomic(root() + "/x/year0001.out", c.answer + "\n"));
        p.tick();
        p.tick();
        EXPECT_EQ(utf8(p.yearText()), c.shown);
        EXPECT_EQ(p.calendarYear(), c.year);
        EXPECT_TRUE(p.calendarEnabled());
        files::remove(root() + "/x/year0001.in");
    }
}

TEST_F(PeriodTest, FirstParameterWithSemicolonSkipsTheYear) {
    struct Case {
        const char* param;
        bool asks;
    } cases[] = {{"", true}, {";", false}, {";nosrv", false}, {"@cache.out", true}, {"x;", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.param);
        settings.commandLineParam = c.param;
        view = FakeView();
        PeriodChooser& p = chooser();
        p.activate();
        EXPECT_EQ(files::exists(root() + "/x/year0001.in"), c.asks);
        EXPECT_EQ(view.timer, c.asks);
        EXPECT_EQ(p.calendarEnabled(), !c.asks);
        files::remove(root() + "/x/year0001.in");
    }
}

TEST_F(PeriodTest, WithoutAServerThePeriodIsStillConfirmed) {
    settings.serverDir = root() + "/missing";
    PeriodChooser& p = chooser();
    p.activate();
    EXPECT_FALSE(view.timer);
    EXPECT_FALSE(p.calendarEnabled());
    EXPECT_FALSE(files::exists(root() + "/missing"));
    p.tick();
    EXPECT_FALSE(p.calendarEnabled());
    run(p, "D4 D6");
    EXPECT_TRUE(p.confirm());
    EXPECT_EQ(settings.period(), (Period{1, 4, 30, 6}));
    EXPECT_EQ(prompter.transcript(), "");
}

// Each showing asks anew, and the year asked for before leaves nothing behind in the server
// directory: the request is taken back, or its late answer removed when it comes.
TEST_F(PeriodTest, EveryShowAsksAgainAndLeavesNothingBehind) {
    ASSERT_TRUE(files::writeAtomic(root() + "/data/YEAR.txt", "2031\r\n"));
    PeriodChooser& p = chooser();
    p.activate();
    p.activate();
    EXPECT_FALSE(files::exists(root() + "/x/year0001.in")); // never taken: taken back
    EXPECT_TRUE(files::exists(root() + "/x/year0002.in"));
    EXPECT_EQ(p.yearRequestName(), "year0002");

    StandInServer server(root() + "/x", root() + "/data");
    ASSERT_EQ(server.pollOnce(), 1); // the server takes the second request...
    p.activate();                    // ...and the dialog is shown a third time
    EXPECT_EQ(p.yearRequestName(), "year0003");
    ASSERT_EQ(server.pollOnce(), 1);
    for (int i = 0; i < 3; ++i) {
        p.tick();
    }
    EXPECT_EQ(p.calendarYear(), 2031);
    EXPECT_FALSE(view.timer);
    EXPECT_EQ(QDir(QString::fromStdString(root() + "/x")).entryList(QDir::Files), QStringList());
}

TEST(MonthListFont, KeepsItsPixelSizeOnOtherScreens) {
    for (auto [dpi, points] : {std::pair{96.0, 10},
                               {120.0, 8},
                               {144.0, 7},
                               {72.0, 13},
                               {192.0, 5},
                               {110.0, 9},
                               {0.0, 10}}) {
        EXPECT_EQ(monthListPointSize(dpi), points) << dpi << " dpi";
    }
}

} // namespace
} // namespace fc
