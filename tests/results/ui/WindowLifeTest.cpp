// The report window's life as the user meets it: idle windows rest, answers are taken whole,
// every instruction shows, and windows, pop-ups and drill-downs come and go in the right order.
#include "ExchangeFixture.h"

#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"
#include "exchange/StoredContext.h"
#include "shell/ServerMessages.h"
#include "shell/ui/CommandTable.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>

#include <atomic>
#include <thread>

namespace fc {
namespace {

std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }
std::string dos(std::string_view utf8) { return codepage::toDos(w(utf8)); }

// Counts the paint events of a widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        paints += e->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

struct WindowLife : test::ExchangeFixture {
    // Puts an answer of `lines` (UTF-8, sent in code page 866) where the server finds NAME.
    void answerFile(const std::string& name, std::initializer_list<const char*> lines) {
        std::string bytes;
        for (const char* l : lines) {
            bytes += dos(l) + "\r\n";
        }
        ASSERT_TRUE(files::writeAtomic(path("data") + "/" + name + ".out", bytes));
    }
    // Opens report NAME as the main window's commands do and serves its first answer.
    TMDIChild1* open(const std::string& name) {
        form->runReport("R " + name, 0);
        TMDIChild1* w = active();
        if (w) {
            serve(w);
        }
        return w;
    }
    TMDIChild1* active() const {
        QMdiSubWindow* sub = form->mdiArea()->currentSubWindow();
        return sub ? qobject_cast<TMDIChild1*>(sub->widget()) : nullptr;
    }
    TMDIChild1* window(long long handle) const {
        return dynamic_cast<TMDIChild1*>(form->children().find(handle));
    }
    void serve(TMDIChild1* w) {
        server->pollOnce();
        w->pollAnswer();
        settle();
    }
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }
    CellRef cursor(TMDIChild1* w) const { return w->workbook().sheet(1).activeCell(); }
};

// A window with formulas, left alone, neither recalculates nor repaints.
TEST_F(WindowLife, AnIdleWindowRests) {
    TMDIChild1* w = open("SALES");
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->workbook().sheet(1).formula(5, 3), "=SUM(C3:C4)");
    QTest::qWait(300); // the first paints of the new result
    int recalcs = 0;
    QObject::connect(w->sheetView(), &SheetView::startRecalc, [&recalcs] { ++recalcs; });
    PaintCounter counter;
    w->sheetView()->viewport()->installEventFilter(&counter);
    QTest::qWait(3000);
    w->sheetView()->viewport()->removeEventFilter(&counter);
    std::printf("idle for 3 s: %d recalculations, %d paints\n", recalcs, counter.paints);
    EXPECT_EQ(recalcs, 0);
    EXPECT_LE(counter.paints, 1);
    EXPECT_FALSE(w->workbook().needsRecalc());
    EXPECT_DOUBLE_EQ(w->workbook().sheet(1).number(9, 4), 2975.75);
}

// The server writes the answer in place, ten pieces 0.15 s apart; the window's own timer looks
// every 200 ms all the while and takes it once it is whole.
TEST_F(WindowLife, AnAnswerWrittenInPiecesIsTakenWhole) {
    std::string body = ";table\r\n";
    for (int i = 1; i <= 300; ++i) {
        body += "line " + std::to_string(i) + "\r\n";
    }
    ASSERT_TRUE(files::writeAtomic(path("data") + "/BIG.out", body));
    form->runReport("R BIG", 0);
    TMDIChild1* w = active();
    ASSERT_NE(w, nullptr);
    server->setPieces(10, 150);
    std::thread serving([this] { server->pollOnce(); });
    const bool read =
        QTest::qWaitFor([w] { return w->workbook().sheet(1).text(300, 1) == "line 300"; }, 10000);
    serving.join();
    EXPECT_TRUE(read);
    EXPECT_EQ(w->workbook().sheet(1).maxRow(), 300);
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(WindowLife, AnErrorInRowOneClosesTheWindowAlsoWithTable) {
    answerFile("EMPTY", {";table", "E-Нет данных за период"});
    form->runReport("R EMPTY", 0);
    QPointer<TMDIChild1> w(active());
    ASSERT_FALSE(w.isNull());
    serve(w);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|E-Нет данных за период\n");
    EXPECT_TRUE(w.isNull());
}

TEST_F(WindowLife, TheSubtitleStaysSingleOverReRuns) {
    TMDIChild1* w = open("SALES");
    ASSERT_NE(w, nullptr);
    const QString title = QString::fromUtf8("Продажи: ") + QString::fromStdString(path("start")) +
                          QStringLiteral("/Noname");
    EXPECT_EQ(w->windowTitle(), title);
    w->rerun();
    serve(w);
    EXPECT_EQ(w->windowTitle(), title);
    // A re-run through the main window's period command, after another window was active.
    TMDIChild1* other = open("SALES");
    ASSERT_NE(other, nullptr);
    w->activateChild();
    settle();
    w->rerun();
    serve(w);
    EXPECT_EQ(w->windowTitle(), title);
    EXPECT_EQ(settings.currentFileName, path("start") + "/Noname");
}

TEST_F(WindowLife, TheCursorGoesWhereTheAnswerSays) {
    answerFile("BYROW", {";table", ";POS=4:3", "&&", "&02a|0000lb", "&&", "&02b|0000lb", "&&",
                         "&02c|0000lb", "&&", "&02d|0000lb"});
    TMDIChild1* w = open("BYROW");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(cursor(w), (CellRef{4, 3}));

    answerFile("BYKEY", {";table", ";POS=\"c\":2", "&&", "&02a|0000lb", "&&", "&02b|0000lb", "&&",
                         "&02c|0000lb", "&&", "&02d|0000lb"});
    w = open("BYKEY");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(cursor(w), (CellRef{3, 2}));

    // A keep-position re-run comes back to the row the user was on, wherever it went.
    answerFile("KEEP", {";table", ";IND_RERUN", "&&", "&02a|0000lb", "&&", "&02b|0000lb", "&&",
                        "&02c|0000lb"});
    w = open("KEEP");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(cursor(w), (CellRef{1, 1})); // nothing said: the first data row
    w->workbook().sheet(1).setActiveCell(2, 3);
    answerFile("KEEP", {";table", ";IND_RERUN", "&&", "&02c|0000lb", "&&", "&02a|0000lb", "&&",
                        "&02 b |0000lb"});
    w->rerun();
    serve(w);
    EXPECT_EQ(cursor(w), (CellRef{3, 3}));
}

// A report opened by a drill-down that closes its own window stays in front.
TEST_F(WindowLife, ADrillDownThatClosesLeavesTheNewReportInFront) {
    answerFile("LIST", {";table", "list"});
    answerFile("DETAIL", {";table", "detail"});
    TMDIChild1* first = open("SALES");
    ASSERT_NE(first, nullptr);
    first->run().run_form("LIST");
    TMDIChild1* list = active();
    ASSERT_NE(list, first);
    serve(list);
    QPointer<TMDIChild1> gone(list);
    list->run().run_form("DETAIL ;close");
    TMDIChild1* detail = active();
    settle();
    ASSERT_NE(detail, nullptr);
    serve(detail);
    EXPECT_TRUE(gone.isNull());
    ASSERT_EQ(active(), detail);
    EXPECT_EQ(detail->workbook().sheet(1).text(1, 1), "detail");
    // Closed in turn, the detail returns to where the list came from.
    detail->close();
    settle();
    EXPECT_EQ(active(), first);
}

// The path: a pop-up closed, another window activated, this one again: its cell opens
// the pop-up anew and its automatic refresh goes on.
TEST_F(WindowLife, AClosedPopupOpensAgainAndRefreshGoesOn) {
    answerFile("LIVE", {";table", ";AUTORERUN=150", "live"});
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    TMDIChild1* w = open("LIVE");
    ASSERT_NE(w, nullptr);
    w->run().run_form("CARD ;size=300:200;center:center");
    TMDIChild1* popup = window(w->run().popupHandle());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->size(), QSize(300, 200)); // the client area asked for
    const QRect main(form->mapToGlobal(QPoint(0, 0)), form->size());
    EXPECT_TRUE(main.contains(popup->geometry()));
    popup->close();
    settle();
    EXPECT_EQ(w->run().popupHandle(), 0);
    EXPECT_EQ(w->workbook().sheet(1).text(37, 256), "0");
    form->activateWindow(); // the window manager's part: the focus back to the main window
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    TMDIChild1* other = open("SALES");
    ASSERT_NE(other, w);
    w->activateChild();
    settle();
    server->pollOnce(); // whatever went out so far
    EXPECT_TRUE(QTest::qWaitFor([this] { return server->pollOnce() > 0; }, 3000))
        << "the refresh stopped";
    w->run().run_form("CARD ;size=300:200;center:center");
    popup = window(w->run().popupHandle());
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
}

// Activated, a pop-up does what any report window does: here, re-run (";RESTART_CLOSE").
TEST_F(WindowLife, APopupTakesPartInActivation) {
    answerFile("POP", {";table", ";RESTART_CLOSE", "pop"});
    TMDIChild1* w = open("SALES");
    ASSERT_NE(w, nullptr);
    w->run().run_form("POP ;size=300:200;center:center");
    TMDIChild1* popup = window(w->run().popupHandle());
    ASSERT_NE(popup, nullptr);
    settle(); // shown and activated before its answer came
    serve(popup);
    ASSERT_EQ(popup->workbook().sheet(1).text(1, 1), "pop");
    EXPECT_EQ(server->pollOnce(), 0);
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    popup->QWidget::activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(popup));
    settle();
    EXPECT_EQ(server->pollOnce(), 1); // the pop-up's re-run
}

TEST_F(WindowLife, MaximisingClosesTheOtherPopupsMinimisingItsOwn) {
    TMDIChild1* a = open("SALES");
    ASSERT_NE(a, nullptr);
    a->run().run_form("CARD ;size=300:200;center:center");
    QPointer<TMDIChild1> popupA(window(a->run().popupHandle()));
    ASSERT_FALSE(popupA.isNull());
    TMDIChild1* b = open("SALES");
    ASSERT_NE(b, nullptr);
    b->run().run_form("CARD ;size=300:200;center:center");
    QPointer<TMDIChild1> popupB(window(b->run().popupHandle()));
    ASSERT_FALSE(popupB.isNull());

    b->parentWidget()->showMaximized();
    settle();
    EXPECT_TRUE(popupA.isNull());
    EXPECT_FALSE(popupB.isNull()); // its own stays
    EXPECT_EQ(a->run().popupHandle(), 0);

    b->parentWidget()->showMinimized();
    settle();
    EXPECT_TRUE(popupB.isNull());
}

TEST_F(WindowLife, AutomaticRefreshRestsWhileTheProgramIsNotActive) {
    answerFile("LIVE", {";table", ";AUTORERUN=100", "live"});
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    TMDIChild1* w = open("LIVE");
    ASSERT_NE(w, nullptr);
    QApplication::setActiveWindow(nullptr); // another program has the focus
    QTest::qWait(400);
    EXPECT_EQ(server->pollOnce(), 0);
    QApplication::setActiveWindow(form.get()); // back to this program
    EXPECT_TRUE(QTest::qWaitFor([this] { return server->pollOnce() > 0; }, 2000));
}

TEST_F(WindowLife, AnAutomaticMessageShowsInABoxOfItsOwn) {
    answerFile("NOTE", {";table", ";AUTOMSG=[Сообщение сервера]Данные обновлены", "x"});
    TMDIChild1* w = open("NOTE");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(prompter.transcript(), "Сообщение сервера|Данные обновлены\n");
    // Without a caption in brackets the program's title is the caption.
    const server_messages::AutoMessage m = server_messages::autoMessage(fc::w("без заголовка"));
    EXPECT_EQ(u8(m.caption), "Констpуктоp форм");
    EXPECT_EQ(u8(m.text), "без заголовка");
}

TEST_F(WindowLife, NoCalendarLocksThePeriodForThatWindowOnly) {
    answerFile("LOCKED", {";table", ";NO_CALENDAR", "x"});
    QAction* period = form->commands().action("p4");
    TMDIChild1* locked = open("LOCKED");
    ASSERT_NE(locked, nullptr);
    EXPECT_FALSE(period->isEnabled());
    TMDIChild1* free = open("SALES");
    ASSERT_NE(free, nullptr);
    EXPECT_TRUE(period->isEnabled());
    locked->activateChild();
    settle();
    EXPECT_FALSE(period->isEnabled());
}

TEST_F(WindowLife, WithoutAServerDirectoryTheUserIsToldToConnect) {
    settings.serverDir.clear();
    form->runReport("R SALES", 0);
    EXPECT_EQ(prompter.transcript(), "Внимание:|Каталог обмена с сеpвеpом не задан: сначала "
                                     "выполните \"Подключение к сеpвеpу\" (меню \"!\").\n");
    EXPECT_EQ(QDir(QDir::currentPath()).entryList({"*.in", "*.req"}, QDir::Files), QStringList());
}

// Two instances of the program: the one started with ";EXCL" closes the other when both show
// the same report.
TEST_F(WindowLife, AnExclusiveRunClosesTheOtherInstanceShowingTheReport) {
    const QString meeting = QString::fromStdString(path("instances"));
    form->listenForOtherInstances(meeting);
    TMDIChild1* mine = open("SALES");
    ASSERT_NE(mine, nullptr);

    AppSettings otherSettings;
    otherSettings.startDir = settings.startDir;
    otherSettings.serverDir = settings.serverDir;
    otherSettings.currentFileName = settings.currentFileName;
    otherSettings.commandLineParam = "WHO;EXCL";
    otherSettings.setUserName("demo");
    TMainForm exclusive(otherSettings);
    exclusive.setPrompter(&prompter);
    exclusive.setReportFactory([this](ShellHost& host, long long) -> QWidget* {
        auto* w = new TMDIChild1(host, 0, &prompter);
        host.children().add(w);
        return w->start() ? w : nullptr;
    });
    exclusive.listenForOtherInstances(meeting);
    exclusive.show();
    exclusive.runReport("R CARD", 0); // another report: nobody closes
    auto* card = qobject_cast<TMDIChild1*>(exclusive.mdiArea()->currentSubWindow()->widget());
    serve(card);
    settle();
    EXPECT_TRUE(form->isVisible());

    exclusive.runReport("R SALES", 0);
    auto* sales = qobject_cast<TMDIChild1*>(exclusive.mdiArea()->currentSubWindow()->widget());
    serve(sales);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !form->isVisible(); }, 3000));
    EXPECT_TRUE(exclusive.isVisible()); // it never closes itself
}

// A re-run of a turbo result with drawn objects shows each object once.
TEST_F(WindowLife, ReRunningATurboResultKeepsOneCopyOfEachObject) {
    Workbook companion;
    Sheet& form0 = companion.sheet();
    form0.setMaxCol(3);
    form0.setMaxRow(2);
    DrawnObject button;
    button.kind = ObjectKind::Button;
    button.text = "OK";
    form0.addObject(button);
    std::string error;
    ASSERT_TRUE(writeWorkbookFile(path("start") + "/T.vts", kFileNative, companion, error))
        << error;
    ASSERT_TRUE(files::writeAtomic(path("data") + "/TURBO.out",
                                   ";table ;ext=T.vts\r\n1|a\r\n;OBJ=1|2|0|1|1|7|[\r\n2|b\r\n"));
    TMDIChild1* w = open("TURBO");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->workbook().sheet(1).objects().size(), 1u);
    for (int i = 0; i < 2; ++i) {
        w->rerun();
        serve(w);
    }
    EXPECT_EQ(w->workbook().sheet(1).objects().size(), 1u);
    EXPECT_EQ(prompter.transcript(), "");
}

// The local copy of a result carries the window's hidden state block, as a deactivation
// writes it, with this answer's settings.
TEST_F(WindowLife, TheCacheCopyCarriesTheHiddenStateBlock) {
    Workbook companion;
    companion.sheet().setMaxCol(3);
    std::string error;
    ASSERT_TRUE(writeWorkbookFile(path("start") + "/T.vts", kFileNative, companion, error));
    ASSERT_TRUE(files::writeAtomic(path("data") + "/KEPT.out",
                                   ";table ;ext=T.vts\r\n;CACHE=KEPT\r\n;IND_RERUN\r\n1|a\r\n"));
    TMDIChild1* w = open("KEPT");
    ASSERT_NE(w, nullptr);
    Workbook copy;
    ASSERT_EQ(readWorkbookFile(path("start") + "/CACHE/KEPT", copy, error), kFileNative) << error;
    const Sheet& s = copy.sheet(1);
    // The stored context keeps no user name or password.
    EXPECT_EQ(s.text(1, 256), withoutCredentials(w->run().firstContext()));
    EXPECT_EQ(s.text(4, 256), w->run().nameBase());
    EXPECT_EQ(s.text(26, 256), settings.reportState());
    EXPECT_EQ(s.text(35, 256), "1"); // this answer's ";IND_RERUN"
    EXPECT_EQ(s.text(1, 2), "a");
}

TEST_F(WindowLife, ASuggestionsQuestionGetsItsFullWidth) {
    const std::string S(1, '\xFA');
    ASSERT_TRUE(files::writeAtomic(path("data") + "/ASK.out", "Q-S" + S + "im" + dos("Город") + S +
                                                                  dos("Киев|Харьков|Днепр") + S +
                                                                  "20"));
    TMDIChild1* w = open("ASK");
    ASSERT_NE(w, nullptr);
    auto* box = w->findChild<QComboBox*>("question1");
    ASSERT_NE(box, nullptr);
    // The widest suggestion counts as at least 50 characters, and 3 more.
    EXPECT_GE(box->width(), box->fontMetrics().horizontalAdvance(QString(53, QLatin1Char('A'))));
}

} // namespace
} // namespace fc
