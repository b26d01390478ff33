#include "../exchange/FakeReportHost.h"

#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/OutsideWorld.h"
#include "exchange/ReportRun.h"
#include "exchange/ReportSettings.h"
#include "exchange/StoredContext.h"
#include "results/ArgumentState.h"
#include "results/QuestionPanel.h"
#include "results/ReportArguments.h"
#include "results/ResultSession.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

const std::string S(1, '\xFA');
std::string dos(std::string_view utf8) { return codepage::toDos(w(utf8)); }

// The window's default lookup, as the report window and rptool do it.
class ArgumentHost : public test::FakeReportHost {
public:
    explicit ArgumentHost(AppSettings& app) : app_(app) {}
    void lookupDefaultArgument(const std::string& name) override { args::DEFARG(app_, name); }

private:
    AppSettings& app_;
};

class RecordingWorld : public OutsideWorld {
public:
    bool run(const std::string& commandLine) override {
        started.push_back(commandLine);
        return true;
    }
    bool open(const std::string&) override { return true; }
    std::vector<std::string> started;
};

// A report run over a temporary start and server directory, with the session the window and
// rptool keep, and the argument file SALES.ARG in the start directory.
struct Bar : ::testing::Test {
    QTemporaryDir tmp;
    AppSettings app;
    Workbook book;
    ScriptedPrompter prompter;
    ArgumentHost host{app};
    RecordingWorld world;
    ReportSettings rs;
    KeptStatus status;
    std::unique_ptr<ReportRun> run;
    std::unique_ptr<ResultSession> session;
    int counter = 0;

    void SetUp() override {
        QDir(tmp.path()).mkpath("srv");
        app.startDir = tmp.path().toStdString();
        app.serverDir = app.startDir + "/srv";
        app.currentFileName = app.startDir + "/Noname";
        app.setUserName("u");
        app.setPassword("p");
        put("SALES.ARG", dos("01 Январь\r\n02 Февраль *\r\n|НДС С НДС\r\n"
                             "[VREK CARD %3 ;close] Карточка\r\n[prog %2 ;close] Пpогpамма\r\n"
                             "[;save] Сохpанить\r\n"));
    }
    void put(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(files::writeAtomic(app.startDir + "/" + name, bytes));
    }
    void start(const std::string& line) {
        app.nextReport = line;
        run = std::make_unique<ReportRun>(app, book, prompter, host,
                                          [this] { return "name" + std::to_string(++counter); });
        session = std::make_unique<ResultSession>(book, rs, prompter, status, run.get());
        run->create();
    }
    // The argument fields (characters 9-32 of the state) of the request `name`.
    std::string sentFields(const std::string& name) {
        const std::string in = files::readAll(app.serverDir + "/" + name + ".in").value_or("");
        const std::size_t second = in.find('\xFA', in.find('\xFA') + 1);
        return second == std::string::npos ? "<none>" : in.substr(second + 9, 24);
    }
    void build() { args::Arguments(session->arguments(), book.sheet(1), run->context(), app, {}); }
    args::ArgumentChoice click(int i) {
        return args::Arg_ButtonClick(*session, app, host, world, i);
    }
    void answered() { // the answer came: its files are taken, the marker no longer waits
        QDir(QString::fromStdString(app.serverDir)).removeRecursively();
        QDir().mkpath(QString::fromStdString(app.serverDir));
        session->arguments().pending = false;
    }
};

TEST_F(Bar, TheDefaultGoesIntoTheFirstRequest) {
    start("R SALES");
    EXPECT_EQ(sentFields("name1"), "02" + std::string(22, ' '));
    EXPECT_EQ(app.reportState(), "620A0LA_02");
    // No file for the report: nothing changes.
    args::DEFARG(app, "NOFILE 1 2");
    EXPECT_EQ(app.reportState(), "620A0LA_02");
}

TEST_F(Bar, TheBarComesFromTheStoredRequestOrTheWindowsOwn) {
    start("R SALES");
    build();
    ReportArguments& bar = session->arguments();
    EXPECT_TRUE(bar.shown);
    EXPECT_EQ(bar.reportName, "SALES");
    ASSERT_EQ(bar.table.size(), 6u);
    EXPECT_EQ(bar.current, 1);
    EXPECT_EQ(bar.second, -1);
    EXPECT_TRUE(bar.toggleFound);
    // Row 3 of the state block names another report: that one's file is read.
    put("OTHER.arg", "X x\r\n");
    book.sheet(1).setText(3, 256, S + S + "620A0LA_" + S + "R other ;opt" + S + "1");
    build();
    EXPECT_EQ(bar.reportName, "OTHER");
    EXPECT_EQ(bar.table.size(), 1u);
    // ";NO_ARGS" and a report without a file show nothing.
    BarSource none;
    none.noArgs = true;
    args::Arguments(bar, book.sheet(1), run->context(), app, none);
    EXPECT_FALSE(bar.shown);
    book.sheet(1).setText(3, 256, "R NOFILE");
    run->setContext("u" + S + "p" + S + "620" + S + "G NOFILE");
    build();
    EXPECT_FALSE(bar.shown);
    EXPECT_TRUE(bar.table.empty());
    EXPECT_EQ(args::reportNameOf("x" + S + "G  abc def" + S), "ABC");
    EXPECT_EQ(args::reportNameOf("R abc"), "");
}

TEST_F(Bar, ClicksRunTheReportWithTheNewFields) {
    start("R SALES");
    build();
    answered();
    EXPECT_EQ(click(0).action, args::ArgumentChoice::Action::Rerun);
    EXPECT_TRUE(session->arguments().pending);
    EXPECT_FALSE(book.events().doSelChange);
    EXPECT_EQ(sentFields("name1"), "01" + std::string(22, ' '));
    // While the marker is yellow another click is ignored.
    EXPECT_EQ(click(1).action, args::ArgumentChoice::Action::None);
    answered();
    click(2); // the toggle: on
    EXPECT_EQ(sentFields("name1"), "01" + std::string(10, ' ') + dos("НДС") + std::string(9, ' '));
    answered();
    click(2); // and off again
    EXPECT_EQ(sentFields("name1"), "01" + std::string(22, ' '));
    EXPECT_TRUE(host.saves.empty());
    EXPECT_TRUE(world.started.empty());
}

TEST_F(Bar, CommandsTakeTheSelectedRowAndDropOutOnAnEmptyCell) {
    start("R SALES");
    build();
    Sheet& s = book.sheet(1);
    s.setText(4, 2, "  A12 ");
    s.setSelection({4, 1, 6, 3});
    // "%3" of row 4 is empty: nothing opens.
    EXPECT_EQ(click(3).action, args::ArgumentChoice::Action::None);
    EXPECT_TRUE(host.opened.empty());
    s.setText(4, 3, w("Кл 1"));
    const args::ArgumentChoice open = click(3);
    EXPECT_EQ(open.action, args::ArgumentChoice::Action::OpenReport);
    EXPECT_EQ(open.command, w("CARD Кл 1 ;close"));
    ASSERT_EQ(host.opened.size(), 1u);
    EXPECT_EQ(app.nextReport, "R CARD " + dos("Кл") + "\xFA" + "1" + "\xFA");
    EXPECT_TRUE(host.closed); // run_form's ";close"
    host.closed = false;

    // An outside program: the "fh" file holds the window's number, ";close" closes it.
    const args::ArgumentChoice prog = click(4);
    EXPECT_EQ(prog.action, args::ArgumentChoice::Action::StartProgram);
    EXPECT_EQ(world.started, std::vector<std::string>{"prog A12"});
    EXPECT_EQ(files::readAll(app.startDir + "/fh").value_or(""),
              std::string("7\0\0\0\0\0\0\0\0\0", 10));
    EXPECT_TRUE(host.closed);
    EXPECT_EQ(click(5).action, args::ArgumentChoice::Action::SaveData);
    EXPECT_EQ(host.saves, std::vector<std::string>{""});
    // Commands leave the fields and the marker alone.
    EXPECT_EQ(app.reportState(), "620A0LA_02");
    EXPECT_FALSE(session->arguments().pending);
    EXPECT_EQ(args::commandFor("[a %x b]", s, 4), "a %x b"); // not a number: kept as typed
}

// ---- the question panel

QuestionForm form(QuestionForm::Control c, std::vector<std::string> items = {}) {
    QuestionForm f;
    f.control = c;
    f.items = std::move(items);
    f.argument = "ARG 01";
    return f;
}

TEST(QuestionPanelBytes, EveryInputUpToTheAnsweredOneIsSent) {
    using C = QuestionForm::Control;
    QuestionPanel panel;
    const std::string prefix = "u" + S + "p" + S + "STATE" + S;
    const std::string context = "old" + S + "pw" + S + "OLDSTATE WHO" + S + "R CARD 1";
    panel.add(form(C::Choice, {"a", "b", "c"}));
    panel.input(0).index = 2;
    EXPECT_EQ(panel.submit(0, prefix, context), prefix + "R CARD 1" + S + "3");
    panel.add(form(C::Suggestions));
    panel.input(1).text = w("Петров");
    panel.add(form(C::Argument));
    panel.input(2).text = w("02 ЧП Иванов");
    EXPECT_EQ(panel.submit(2, prefix, context),
              prefix + "R CARD 1" + S + "3" + S + dos("Петров") + S + "02");
    // The second answer changed after the third was shown: the third goes.
    panel.input(1).text = w("Сидоров");
    EXPECT_EQ(panel.submit(1, prefix, context), prefix + "R CARD 1" + S + "3" + S + dos("Сидоров"));
    EXPECT_EQ(panel.size(), 2u);
    panel.add(form(C::FreeText));
    panel.input(2).text = "  12.5 x ";
    panel.add(form(C::Edit));
    EXPECT_EQ(panel.value(2), "12.5 x");
    EXPECT_EQ(panel.value(3), "");
}

TEST(QuestionPanelBytes, RememberedAnswersComeBackByPosition) {
    using C = QuestionForm::Control;
    QuestionPanel panel;
    panel.add(form(C::Choice, {"a", "b"}));
    panel.input(0).index = 1;
    panel.add(form(C::Suggestions));
    panel.input(1).text = "x^y";
    panel.add(form(C::Edit));
    panel.input(2).text = "";
    panel.add(form(C::Argument));
    panel.input(3).text = w("02 Иванов");
    panel.collect();
    EXPECT_EQ(panel.rememberedText(), "m2^ix y^s^a" + w("02 Иванов"));
    EXPECT_EQ(panel.remembered(0), "m2");
    EXPECT_EQ(panel.remembered(2), "s");
    EXPECT_EQ(panel.remembered(3), "a" + w("02 Иванов"));
    EXPECT_EQ(panel.remembered(4), "");
}

TEST(QuestionPanelBytes, PlacesFlowAndWrap) {
    using B = QuestionPanel::Box;
    const B first = QuestionPanel::place(nullptr, 0, 100, 24, 500);
    EXPECT_EQ(first.left, 20);
    EXPECT_EQ(first.top, 30);
    // Right of the wider of the control and its caption.
    const B second = QuestionPanel::place(&first, 180, 100, 24, 500);
    EXPECT_EQ(second.left, 180 + QuestionPanel::kGap);
    EXPECT_EQ(second.top, 30);
    // After the second (210 + 100): 340 + 115 + 26 passes 480, a new line 50 lower.
    const B third = QuestionPanel::place(&second, 0, 115, 24, 480);
    EXPECT_EQ(third.left, 20);
    EXPECT_EQ(third.top, 80);
    EXPECT_EQ(QuestionPanel::place(&second, 0, 114, 24, 480).left, 340);
    EXPECT_EQ(QuestionPanel::place(&third, 0, 100, 24, 480).top, 80);
}

TEST(QuestionPanelBytes, CheckListKeysAndN2Captions) {
    EXPECT_EQ(questions::checkListKey("01 ООО"), "01");
    EXPECT_EQ(questions::checkListKey("01|02 text"), "01|02");
    EXPECT_EQ(questions::checkListKey("01 text|x"), "01 text");
    EXPECT_EQ(questions::checkListKey("0102"), "0102");
    EXPECT_EQ(questions::n2Caption("  '" + dos("Сумма оплаты") + "'\r\n"), w("Сумма оплаты"));
    EXPECT_EQ(questions::n2Caption("x"), "");
}

// ---- contexts without credentials

TEST(StoredContexts, CredentialsAreEmptiedAndPutBack) {
    const std::string ctx = "user" + S + "secret" + S + "620A0LA_01" + S + "R SALES" + S + "3";
    const std::string stored = withoutCredentials(ctx);
    EXPECT_EQ(stored, S + S + "620A0LA_01" + S + "R SALES" + S + "3");
    EXPECT_EQ(args::reportNameOf(stored), "SALES"); // the bar still finds its report
    EXPECT_EQ(withCredentials(stored, "user", "secret"), ctx);
    EXPECT_EQ(withoutCredentials("R SALES"), "R SALES");
    EXPECT_EQ(withoutCredentials("a" + S + "b"), "a" + S + "b");
    EXPECT_EQ(withCredentials("a" + S + "b" + S + "c", "u", "p"), "a" + S + "b" + S + "c");
}

} // namespace
} // namespace fc
