#include "AnswerFixture.h"
#include "FakeReportHost.h"

#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "exchange/AnswerReader.h"
#include "exchange/ReportRun.h"
#include "shell/AppSettings.h"

#include <QDir>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace fc {
namespace {

using test::dos;
using test::u8;

const std::string S(1, '\xFA');

// Records what the reader asks of the window.
class FakeWindow : public AnswerWindow {
public:
    void restorePointer() override { ++pointerRestores; }
    void showResultPanel() override { resultPanel = true; }
    void hideSavingPanel() override { savingPanel = false; }
    void setServerMenuItems(const std::vector<std::string>& items) override { menu = items; }
    void showQuestionPanel() override { questionPanel = true; }
    bool questionPanelVisible() const override { return panelVisible; }
    std::string rememberedAnswer() const override { return remembered; }
    void showQuestion(const QuestionForm& f) override { questions.push_back(f); }
    void showArgumentList() override { argumentList = true; }
    void showValueList(const ValueListForm& f) override { lists.push_back(f); }
    void finishResult(const ResultFinish& f) override { finishes.push_back(f); }
    void applyFilter() override { ++filters; }
    void filterAgain() override { ++refilters; }
    std::string defaultArgument(const std::string& a) override { return a + " 01"; }
    Workbook* ownerBook() override { return owner; }
    bool ownerSaves() const override { return ownerHasSave; }
    std::string templatePath() const override { return templ; }

    int pointerRestores = 0;
    bool resultPanel = false, savingPanel = true, questionPanel = false, argumentList = false;
    bool panelVisible = true;
    std::string remembered;
    std::vector<std::string> menu;
    std::vector<QuestionForm> questions;
    std::vector<ValueListForm> lists;
    std::vector<ResultFinish> finishes;
    int filters = 0;
    int refilters = 0; // the filter in force, if any, again
    Workbook* owner = nullptr;
    bool ownerHasSave = false;
    std::string templ;
};

class Reader : public ::testing::Test {
protected:
    Reader() {
        QDir(fx.dir.path()).mkpath("server/VTS");
        QDir(fx.dir.path()).mkpath("rep");
        settings.startDir = fx.dirPath();
        settings.serverDir = fx.path("server");
        settings.currentFileName = fx.path("rep/x.rpt");
        settings.setUserName("u");
        settings.setPassword("p");
        fx.ctx.serverDir = settings.serverDir;
        settings.nextReport = "R X";
        auto names = [this] {
            char buf[16];
            std::snprintf(buf, sizeof buf, "name%04d", ++counter);
            return std::string(buf);
        };
        run = std::make_unique<ReportRun>(settings, fx.book, fx.prompter, host, names);
        run->create();
        reader =
            std::make_unique<AnswerReader>(fx.ctx, settings, *run, host, window, shared, names);
        window.templ = fx.path("rep/x.rpt");
    }
    // The answer to the current request, given as UTF-8 lines sent in code page 866.
    void answer(std::initializer_list<const char*> lines) {
        std::string bytes;
        for (const char* l : lines) {
            bytes += dos(l) + "\r\n";
        }
        answerBytes(bytes);
    }
    void answerBytes(const std::string& bytes) {
        fx.setAnswer(bytes);
        reader->GetOtvet();
        EXPECT_TRUE(fx.answer.empty());
    }
    std::string request(const std::string& name) const {
        return files::readAll(fx.path("server/" + name + ".in")).value_or("<none>");
    }
    QStringList requests() const {
        return QDir(QString::fromStdString(fx.path("server")))
            .entryList({"*.in"}, QDir::Files, QDir::Name);
    }

    test::AnswerFixture fx;
    AppSettings settings;
    test::FakeReportHost host;
    FakeWindow window;
    SharedRunState shared;
    std::unique_ptr<ReportRun> run;
    std::unique_ptr<AnswerReader> reader;
    int counter = 0;
};

TEST_F(Reader, MainTableAnswerFillsTheSheetAndFinishes) {
    host.status = w("Ожидание ответа от сеpвеpа... Готово");
    answer({";table", "Итоги года", "=1+2"});
    EXPECT_EQ(u8(host.status), "Готово");
    EXPECT_EQ(fx.text(1, 1), "Итоги года");
    EXPECT_EQ(fx.book.sheet(1).number(2, 1), 3);
    EXPECT_TRUE(window.resultPanel);
    EXPECT_FALSE(window.savingPanel);
    ASSERT_EQ(window.finishes.size(), 1u);
    EXPECT_EQ(window.filters, 0);
    EXPECT_FALSE(host.closed);
    EXPECT_TRUE(fx.book.view().showVScrollBar);
    EXPECT_EQ(fx.messages(), "");
}

TEST_F(Reader, MainAnswersThatCloseOrFail) {
    answer({"close"});
    EXPECT_TRUE(host.closed);
    host.closed = false;
    answer({"E-Нет данных за период"});
    EXPECT_EQ(fx.messages(), "Ошибка:|E-Нет данных за период\n");
    EXPECT_TRUE(host.closed);
    EXPECT_TRUE(window.finishes.empty());
}

TEST_F(Reader, PlainResultIsFilteredBeforeFinishing) {
    answer({"Строка отчета"});
    EXPECT_EQ(fx.text(1, 1), "Строка отчета");
    EXPECT_EQ(window.filters, 1);
    EXPECT_EQ(window.finishes.size(), 1u);
}

TEST_F(Reader, TableAndTurboResultsReachTheFilter) {
    answer({";table", "x"});
    EXPECT_EQ(window.filters, 0);
    EXPECT_EQ(window.refilters, 1);
    Workbook form;
    form.sheet().setMaxCol(3);
    std::string error;
    ASSERT_TRUE(writeWorkbookFile(fx.path("rep/T.vts"), kFileNative, form, error)) << error;
    answer({";table ;ext=T.vts", "1|a"});
    EXPECT_EQ(window.filters, 1);
    // The turbo variant: subtotal formulas while the filter is empty, else the filter.
    answer({";table ;ext=T.vts ;turbo", "1  *\ta"});
    EXPECT_EQ(window.filters, 1);
    fx.settings.filterActive = true;
    answer({";table ;ext=T.vts ;turbo", "1  *\ta"});
    EXPECT_EQ(window.filters, 2);
    EXPECT_EQ(window.refilters, 1);
}

TEST_F(Reader, MissingTemplateAsksAndDownloadsIt) {
    fx.prompter.push(Prompter::Answer::No);
    answer({";table;ext=Bal.rpt;ver=2"});
    EXPECT_EQ(fx.messages(), "Внимание:|Не найден шаблон " + fx.path("rep/Bal.rpt") +
                                 " Попpобовать скачать с сеpвеpа?\n");
    EXPECT_EQ(requests().size(), 1u); // only the first run request
    EXPECT_TRUE(window.finishes.empty());

    fx.prompter.clear();
    fx.prompter.push(Prompter::Answer::Yes);
    answer({";table;ext=Bal.rpt;ver=2"});
    ASSERT_EQ(run->requestName().substr(0, 4), "UVTS");
    const std::string req = request(run->requestName());
    EXPECT_NE(req.find("R !UPD_VTS " + S + "bal.rpt" + S), std::string::npos) << req;

    // The download answer: three-digit byte codes, the last line short.
    answer({"072105", "33"});
    EXPECT_EQ(files::readAll(fx.path("server/VTS/bal.rpt")).value_or(""), "Hi!");
    EXPECT_FALSE(files::exists(fx.path("bal.rpt")));
    EXPECT_EQ(run->requestName(), run->nameBase());
    EXPECT_NE(request(run->requestName()).find("R X"), std::string::npos);
}

TEST_F(Reader, DownloadOfAnUnknownTemplate) {
    run->setRequestName("UVTSabcd");
    answer({"E-нет"});
    EXPECT_EQ(fx.messages(), "Внимание:|Искомый шаблон на сеpвеpе не найден !\n");
}

TEST_F(Reader, PopupMenuItemsAndErrors) {
    run->setRequestName("pop12345");
    answer({"Карточка", "Движение"});
    EXPECT_EQ(window.menu.size(), 2u);
    EXPECT_EQ(u8(window.menu.at(1)), "Движение");
    EXPECT_EQ(run->requestName(), run->nameBase());
    run->setRequestName("pop12345");
    answer({"E-меню нет"});
    EXPECT_EQ(fx.messages(), "Ошибка:|E-меню нет\n");
}

TEST_F(Reader, RefreshStampReRunsOnlyWhenItChanges) {
    run->setAutoRefresh(true);
    const int before = requests().size();
    run->setRequestName("auto0001");
    answer({"stamp 1"});
    EXPECT_EQ(reader->refreshStamp(), "stamp 1");
    EXPECT_EQ(requests().size(), before + 1); // re-run
    run->setRequestName("auto0002");
    host.timers[ReportTimer::AutoRefresh] = false;
    answer({"stamp 1"});
    EXPECT_EQ(requests().size(), before + 1);
    EXPECT_TRUE(host.timers[ReportTimer::AutoRefresh]);
}

TEST_F(Reader, SaveAnswers) {
    // "OK": the after-save action decides.
    reader->afterSaveAction = 1;
    run->setRequestName("save1234");
    int n = requests().size();
    answer({"OK"});
    EXPECT_FALSE(window.savingPanel);
    EXPECT_EQ(requests().size(), n + 1);

    // An error among the lines of an "OK" answer.
    run->setRequestName("save1234");
    answer({"OK", "E-Строка занята"});
    EXPECT_EQ(fx.messages(), "Ошибка:|E-Строка занята\n");

    // Anything else goes back as a follow-up.
    run->setRequestName("save1234");
    answer({"V 1 2", "", "skip", "skip", "V 3 4"});
    ASSERT_EQ(run->requestName().substr(0, 6), "resave");
    const std::string follow = request(run->requestName());
    EXPECT_NE(follow.find("V 1 2\nV 3 4"), std::string::npos);

    // A "resave..." answer is not a save answer: "OK" with an error line fails it.
    n = requests().size();
    fx.prompter.clear();
    answer({"OK", "E-не сохранено"});
    EXPECT_EQ(fx.messages(), "Ошибка:|E-не сохранено\n");
    EXPECT_EQ(requests().size(), n);
    run->setRequestName("resave12");
    answer({"готово"});
    EXPECT_EQ(requests().size(), n + 1); // the resave variant re-runs

    run->setRequestName("save1234");
    answer({"RERUN"});
    EXPECT_EQ(requests().size(), n + 2);
}

TEST_F(Reader, SaveWaitsAboutASecondForAFileThatNeverComes) {
    run->setRequestName("save1234");
    const auto t0 = std::chrono::steady_clock::now();
    answer({"OK never.txt"});
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0)
            .count();
    EXPECT_GE(ms, 900);
    EXPECT_LT(ms, 3000);
    EXPECT_FALSE(window.savingPanel);
    ASSERT_TRUE(files::writeDirect(fx.path("server/there.txt"), "x"));
    run->setRequestName("save1234");
    const auto t1 = std::chrono::steady_clock::now();
    answer({"OK there.txt"});
    EXPECT_LT(std::chrono::steady_clock::now() - t1, std::chrono::milliseconds(500));
}

TEST_F(Reader, EditChildCopiesBackThroughTheColumnMap) {
    Workbook owner;
    owner.sheet(1).setMaxRow(10);
    owner.sheet(1).setActiveCell(4, 3);
    fx.book.sheet(1).setText(2, 5, "42");
    fx.book.sheet(1).setText(2, 6, w("Иванов"));
    fx.book.sheet(1).setActiveCell(2, 6);
    window.owner = &owner;
    window.ownerHasSave = true;
    shared.editChild = true;
    shared.columnMap = "5:7;x:2";
    run->setRequestName("save1234");
    answer({"OK"});
    EXPECT_EQ(owner.sheet(1).number(4, 7), 42);
    EXPECT_EQ(u8(owner.sheet(1).text(4, 2)), "Иванов");
    EXPECT_EQ(owner.sheet(1).text(4, ReportRun::kMarkCol), "X");
    EXPECT_EQ(owner.sheet(1).text(11, ReportRun::kMarkCol), "X");
    EXPECT_TRUE(host.closed);
}

TEST_F(Reader, PendingFormAndProgramAfterASave) {
    shared.pendingProgram = "calc.exe";
    run->setRequestName("save1234");
    answer({"OK"});
    EXPECT_EQ(fx.world.runs, std::vector<std::string>{"calc.exe"});
    std::string fh = files::readAll(fx.path("fh")).value_or("");
    EXPECT_EQ(fh, std::string("7") + std::string(9, '\0'));
    EXPECT_FALSE(host.closed);

    shared.pendingForm = "CARD 5";
    run->setRequestName("save1234");
    answer({"OK"});
    EXPECT_TRUE(shared.pendingForm.empty());
    EXPECT_EQ(host.opened.size(), 1u);
}

TEST_F(Reader, ChoiceQuestionListsItemsInReverse) {
    answerBytes("Q-M" + S + "A1" + S + "B22" + S + "C3" + S + dos("Выберите счет{1}"));
    EXPECT_TRUE(window.questionPanel);
    ASSERT_EQ(window.questions.size(), 1u);
    const QuestionForm& q = window.questions[0];
    EXPECT_EQ(q.control, QuestionForm::Control::Choice);
    EXPECT_EQ(q.items, (std::vector<std::string>{"C3", "B22", "A1"}));
    EXPECT_EQ(q.selected, 0);
    EXPECT_EQ(u8(q.caption), "Выберите счет");
    EXPECT_EQ(q.widthChars, 6);
    EXPECT_EQ(q.listHeight, 53);

    window.remembered = "m3";
    answerBytes("Q-M" + S + "A" + S + "B" + S + "C" + S + "T");
    EXPECT_EQ(window.questions.back().selected, 2);
    EXPECT_EQ(window.questions.back().widthChars, 23); // items shorter than 2: 20
}

TEST_F(Reader, TextAndNumberQuestions) {
    answerBytes("Q-S" + S + dos("Пароль[*]") + S + "abc|def" + S + "8" + S);
    QuestionForm q = window.questions.back();
    EXPECT_EQ(q.control, QuestionForm::Control::Edit);
    EXPECT_TRUE(q.password);
    EXPECT_EQ(u8(q.caption), "Пароль");
    EXPECT_EQ(q.text, "abc");
    EXPECT_EQ(q.maxLength, 8);
    EXPECT_EQ(q.widthChars, 9);

    answerBytes("Q-S" + S + dos("imГород") + S + dos("Москва|Тула") + S + "12" + S);
    q = window.questions.back();
    EXPECT_EQ(q.control, QuestionForm::Control::Suggestions);
    EXPECT_EQ(u8(q.caption), "Город");
    ASSERT_EQ(q.items.size(), 2u);
    EXPECT_EQ(u8(q.items[1]), "Тула");
    EXPECT_EQ(q.selected, 0);
    EXPECT_EQ(q.widthChars, 53);
    EXPECT_EQ(q.maxLength, 12);

    window.remembered = "s7";
    answerBytes("Q-R" + S + dos("Сумма") + S + "12.5" + S + "2" + S);
    q = window.questions.back();
    EXPECT_EQ(q.control, QuestionForm::Control::Number);
    EXPECT_EQ(q.text, "7"); // the remembered answer wins
    window.remembered.clear();
    answerBytes("Q-R" + S + dos("Сумма") + S + "12.5" + S + "2" + S);
    EXPECT_EQ(window.questions.back().text, "12.50");
    EXPECT_EQ(window.questions.back().widthPx, 150);

    // A length of 0 or less is no limit: otherwise nothing could be typed at all.
    for (const char* limit : {"0", "-5"}) {
        answerBytes("Q-S" + S + dos("imГород") + S + dos("Москва") + S + limit + S);
        EXPECT_EQ(window.questions.back().maxLength, std::nullopt) << limit;
        answerBytes("Q-S" + S + dos("Город") + S + "" + S + limit + S);
        EXPECT_EQ(window.questions.back().maxLength, std::nullopt) << limit;
    }
    // Lengths no screen holds: the control keeps to 250 characters, the limit stays.
    answerBytes("Q-S" + S + "x" + S + "" + S + "2147483647" + S);
    EXPECT_EQ(window.questions.back().widthChars, 251);
    EXPECT_EQ(window.questions.back().maxLength, 2147483647);
}

TEST_F(Reader, ArgumentQuestions) {
    answerBytes("Q-A" + S + dos("КЛИЕНТ список") + S);
    QuestionForm q = window.questions.back();
    EXPECT_EQ(q.control, QuestionForm::Control::Argument);
    EXPECT_FALSE(shared.multiChoice);
    answerBytes("Q-A" + S + dos("СУММА") + S);
    EXPECT_EQ(window.questions.back().control, QuestionForm::Control::FreeText);

    // Without a question panel the argument's values are asked for at once.
    window.panelVisible = false;
    answerBytes("Q-A" + S + "CL list" + S);
    EXPECT_TRUE(window.argumentList);
    EXPECT_NE(run->requestName(), run->nameBase());
    EXPECT_NE(request(run->requestName()).find("R CL list 01"), std::string::npos);

    window.panelVisible = true;
    answerBytes(dos("Q-?Вы уверены? да нет"));
    EXPECT_TRUE(shared.multiChoice);
    EXPECT_TRUE(window.questions.back().multiChoice);
}

TEST_F(Reader, ValueLists) {
    run->setRequestName("sidelist");
    shared.currentValue = "02";
    answer({"Клиенты", "01 Иванов", "02 Петров", "_03 сидоров"});
    ASSERT_EQ(window.lists.size(), 1u);
    ValueListForm l = window.lists[0];
    EXPECT_FALSE(l.checkList);
    EXPECT_EQ(u8(l.lower), " Клиенты");
    EXPECT_EQ(l.upper, "");
    EXPECT_EQ(l.items.size(), 3u);
    EXPECT_EQ(l.selected, 1);
    EXPECT_EQ(u8(l.items[2]), " 03 СИДОРОВ");
    EXPECT_TRUE(l.confirmEnabled);

    run->setRequestName("sidelist");
    answer({"Только заголовок"});
    EXPECT_FALSE(window.lists.back().confirmEnabled);

    shared.multiChoice = true;
    shared.currentValue = "02|03";
    run->setRequestName("sidelist");
    answerBytes(dos("Склады") + "\r\n" + S + dos("Основные") + "\r\n01 A\r\n02 B\r\n03 C\r\n");
    l = window.lists.back();
    EXPECT_TRUE(l.checkList);
    EXPECT_EQ(u8(l.upper), "   Склады");
    EXPECT_EQ(u8(l.lower), "   Основные");
    EXPECT_EQ(l.checked, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(l.selected, 1);
    EXPECT_EQ(shared.currentValue, "02");
}

TEST_F(Reader, MalformedAnswersNeverCrash) {
    const std::vector<std::string> names = {"UVTSabcd", "pop12345", "auto0001",
                                            "resave12", "save1234", "sidelist"};
    const std::vector<std::string> bodies = {
        "",
        std::string("\0\0\0", 3),
        "Q-",
        "Q-M" + S,
        "Q-S",
        "Q-R" + S + S + "x" + S + "99999999999999999999",
        "Q-A",
        "relative true\r\n",
        ";table;ext=",
        ";table;ext=../../../../etc/passwd",
        std::string(300, '\xFA'),
        "OK \r\n",
        "\r\n\r\n\r\n",
    };
    for (const std::string& body : bodies) {
        for (const std::string& name : names) {
            run->setRequestName(name);
            fx.setAnswer(body);
            reader->GetOtvet();
            EXPECT_TRUE(fx.answer.empty());
        }
        run->setRequestName(run->nameBase());
        fx.setAnswer(body);
        reader->GetOtvet();
        EXPECT_TRUE(fx.answer.empty());
    }
}

TEST_F(Reader, AVanishedExchangeDirectoryIsReportedWhileTheWindowWaits) {
    ASSERT_TRUE(run->answerPending());
    ASSERT_TRUE(QDir(QString::fromStdString(fx.path("server"))).removeRecursively());
    run->answerTick();
    run->answerTick();
    EXPECT_EQ(u8(host.status), "Нет доступа к каталогу обмена " + fx.path("server"));
    EXPECT_TRUE(run->answerPending());
    ASSERT_TRUE(QDir(fx.dir.path()).mkpath("server"));
    run->answerTick();
    EXPECT_EQ(u8(host.status), "Ожидание ответа от сеpвеpа... ");
    EXPECT_FALSE(host.closed);
}

} // namespace
} // namespace fc
