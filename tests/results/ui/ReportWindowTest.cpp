#include "../../shell/FakeChildren.h"
#include "ExchangeFixture.h"

#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"
#include "exchange/StandInServer.h"
#include "results/ui/TMDIChild1.h"
#include "shell/AppSettings.h"
#include "shell/ui/TMainForm.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace fc {
namespace {

std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }

class ErrorDesigner : public QWidget, public test::FakeDesigner {
public:
    explicit ErrorDesigner(test::Log& log) : FakeDesigner(log, "MDIChild_1") {}
    void showErrorAt(int line, int position) override { errors.emplace_back(line, position); }
    std::vector<std::pair<int, int>> errors;
};

// Saves a picture of the window where the variable says, for looking at.
void keepPicture(TMDIChild1* w, const char* variable) {
    if (const char* file = std::getenv(variable)) {
        w->parentWidget()->showNormal();
        w->parentWidget()->resize(760, 300);
        QTest::qWait(20);
        w->grab().save(QString::fromLocal8Bit(file));
    }
}

// The report window the main window shows, and one round trip through the stand-in server.
struct ReportWindow : test::ExchangeFixture {
    TMDIChild1* report() const {
        QMdiSubWindow* sub = form->mdiArea()->activeSubWindow();
        if (!sub) {
            QList<QMdiSubWindow*> all = form->mdiArea()->subWindowList();
            sub = all.isEmpty() ? nullptr : all.back();
        }
        return sub ? qobject_cast<TMDIChild1*>(sub->widget()) : nullptr;
    }
    // One round trip: the server answers what is waiting, the window reads it.
    void serve(TMDIChild1* w) {
        ASSERT_GE(server->pollOnce(), 1);
        w->pollAnswer();
        QCoreApplication::processEvents();
    }
};

TEST_F(ReportWindow, TableResultFillsTheSheet) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(u8(form->statusText(1)).rfind("Ожидание ответа от сеpвеpа...", 0), 0u);
    serve(w);
    const Sheet& s = w->workbook().sheet(1);
    EXPECT_EQ(u8(s.text(9, 2)), "ИТОГО:");
    EXPECT_DOUBLE_EQ(s.number(9, 4), 2975.75);
    EXPECT_EQ(s.formula(5, 3), "=SUM(C3:C4)");
    EXPECT_EQ(s.text(3, 255), "{2}K01|");
    EXPECT_EQ(u8(form->statusText(1)).find("..."), std::string::npos);
    EXPECT_FALSE(w->findChild<QFrame*>("Panel5")->isHidden());
    EXPECT_TRUE(w->findChild<QFrame*>("Panel1")->isHidden());
    EXPECT_EQ(w->windowTitle(),
              QString::fromUtf8("Продажи: ") + QString::fromStdString(path("start")) + "/Noname");
    EXPECT_EQ(prompter.transcript(), "");
    EXPECT_TRUE(w->findChild<QFrame*>("Panel2")->isHidden()); // no save instruction
    const int own = TMDIChild1::kOwnMenuItems;
    ASSERT_EQ(w->sheetMenu()->actions().size(), own + 1);
    EXPECT_EQ(w->sheetMenu()->actions().at(own)->text(), QString::fromUtf8("Карточка клиента"));

    // Pop-up menu items from the server follow the window's own.
    w->run().setRequestName("pop12345");
    w->answerArrived(codepage::toDos(fc::w("Карточка\r\nB\r\n")));
    ASSERT_EQ(w->sheetMenu()->actions().size(), own + 2);
    EXPECT_EQ(w->sheetMenu()->actions().at(own)->text(), QString::fromUtf8("Карточка"));

    // The picture of the window with its result, for looking at.
    w->parentWidget()->showNormal();
    w->parentWidget()->resize(760, 330);
    QTest::qWait(20);
    const QPixmap shot = w->grab();
    EXPECT_FALSE(shot.isNull());
    shot.save(QString::fromStdString(path("report-window.png")));
    if (const char* keep = std::getenv("FC_REPORT_SHOT")) {
        shot.save(QString::fromLocal8Bit(keep));
    }
    if (const char* keep = std::getenv("FC_MAIN_SHOT")) {
        form->grab().save(QString::fromLocal8Bit(keep));
    }
}

TEST_F(ReportWindow, QuestionsAreAnsweredThroughThePanel) {
    form->runReport("R CARD", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w);
    EXPECT_FALSE(w->findChild<QFrame*>("Panel1")->isHidden());
    auto* choice = w->findChild<QComboBox*>("question1");
    ASSERT_NE(choice, nullptr);
    ASSERT_EQ(choice->count(), 3);
    EXPECT_EQ(choice->itemText(0), QString::fromUtf8("Март"));
    EXPECT_EQ(choice->currentIndex(), 0);
    EXPECT_EQ(w->findChild<QLabel*>("Label1")->text(), QString::fromUtf8("Выберите месяц"));
    choice->setCurrentIndex(2);
    emit choice->activated(2);

    serve(w);
    keepPicture(w, "FC_QUESTION_SHOT");
    auto* name = w->findChild<QComboBox*>("question2");
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->isEditable());
    EXPECT_EQ(name->currentText(), QString::fromUtf8("Иванов"));
    // Alt+Left goes back to the month: choosing it again drops the name and asks anew.
    QTest::keyClick(name->lineEdit(), Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(w->findChild<QPushButton*>("but_next_")->x(), choice->geometry().right() + 1);
    EXPECT_TRUE(choice->isEnabled());
    emit choice->activated(2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w->findChild<QComboBox*>("question2"), nullptr);
    serve(w);
    name = w->findChild<QComboBox*>("question2");
    ASSERT_NE(name, nullptr);
    name->setEditText(QString::fromUtf8("Петров"));
    QTest::keyClick(name->lineEdit(), Qt::Key_Return);

    serve(w);
    const Sheet& s = w->workbook().sheet(1);
    EXPECT_EQ(u8(s.text(4, 2)), "Остаток на конец");
    EXPECT_DOUBLE_EQ(s.number(4, 3), 1250);
    EXPECT_TRUE(w->findChild<QFrame*>("Panel1")->isHidden());
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(ReportWindow, AValueListIsChosenFrom) {
    ASSERT_TRUE(files::writeAtomic(path("start") + "/POSLED.LST", "DEBTS\r\n"));
    form->runReport("R DEBTS", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w); // the argument question: its values are asked for
    serve(w); // the value list
    auto* list = w->findChild<QListWidget*>("Listbox1");
    ASSERT_FALSE(list->isHidden());
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(2)->text(), QString::fromUtf8(" 03 ТОВ \"ЛЮТИК\""));
    EXPECT_EQ(w->findChild<QLabel*>("Label2")->text(), QString::fromUtf8(" Клиенты"));
    EXPECT_TRUE(w->findChild<QPushButton*>("Button1")->isEnabled());
    keepPicture(w, "FC_LIST_SHOT");
    list->setCurrentRow(1);
    emit list->itemActivated(list->item(1));

    serve(w);
    const Sheet& s = w->workbook().sheet(1);
    EXPECT_EQ(u8(s.text(4, 2)), "Итого:");
    EXPECT_DOUBLE_EQ(s.number(4, 3), 420.5);
    EXPECT_FALSE(w->findChild<QFrame*>("Panel5")->isHidden());
}

TEST_F(ReportWindow, SeveralValuesAreTickedInTheCheckList) {
    ASSERT_TRUE(files::writeAtomic(path("start") + "/POSLED.LST", "MULTI\r\n"));
    form->runReport("R MULTI", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w);
    serve(w);
    auto* list = w->findChild<QListWidget*>("RListBox1");
    auto* ok = w->findChild<QPushButton*>("Button1");
    ASSERT_FALSE(list->isHidden());
    ASSERT_EQ(list->count(), 3);
    EXPECT_FALSE(ok->isEnabled());                                  // nothing ticked yet
    EXPECT_FALSE(list->item(2)->flags() & Qt::ItemIsUserCheckable); // a heading: no tick box
    EXPECT_FALSE(list->item(2)->data(Qt::CheckStateRole).isValid());
    list->item(2)->setCheckState(Qt::Checked); // a heading: cannot be ticked
    EXPECT_EQ(list->item(2)->checkState(), Qt::Unchecked);
    list->item(0)->setCheckState(Qt::Checked);
    list->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(ok->isEnabled());
    keepPicture(w, "FC_CHECK_SHOT");
    QTest::mouseClick(ok, Qt::LeftButton);
    ASSERT_GE(server->pollOnce(), 1);
    w->pollAnswer();
    EXPECT_DOUBLE_EQ(w->workbook().sheet(1).number(4, 3), 420.5);
}

TEST_F(ReportWindow, ATemplatePathRunsAsItsNameWithTheTemplateAttached) {
    ASSERT_TRUE(files::writeAtomic(path("start") + "/T1.rpt", "TEMPLATE TEXT\r\n"));
    QFile::copy(QString::fromStdString(path("data") + "/SALES.out"),
                QString::fromStdString(path("data") + "/T1.out"));
    form->runReport("G " + path("start") + "/T1.rpt", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    const std::string sent =
        files::readAll(path("x") + "/" + w->run().requestName() + ".in").value_or("");
    EXPECT_NE(sent.find("G T1\r\nTEMPLATE TEXT\r\n"), std::string::npos) << sent;
    EXPECT_EQ(w->templatePath(), path("start") + "/T1.rpt");
    serve(w);
    EXPECT_EQ(u8(w->workbook().sheet(1).text(9, 2)), "ИТОГО:");
}

TEST_F(ReportWindow, AnErrorLineGoesToTheDesignerAndTheWindowCloses) {
    test::Log log;
    auto* designer = new ErrorDesigner(log);
    form->addChild(designer);
    const long long handle = form->children().handleOf(designer);
    ASSERT_TRUE(files::writeAtomic(path("data") + "/BAD.out",
                                   codepage::toDos(fc::w("E-Неизвестное слово:12:5\r\n"))));
    form->runReport("R BAD", handle);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    QPointer<TMDIChild1> alive(w);
    serve(w);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|E-Неизвестное слово:12:5\n");
    EXPECT_EQ(designer->errors, (std::vector<std::pair<int, int>>{{12, 5}}));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(alive.isNull());
}

TEST_F(ReportWindow, EscapeClosesAndLaterAnswersStayInTheDirectory) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    QPointer<TMDIChild1> alive(w);
    const std::string name = w->run().requestName();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    w->activateChild();
    w->sheetView()->setFocus();
    QTest::keyClick(w->sheetView(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(alive.isNull());
    server->pollOnce();
    EXPECT_TRUE(files::exists(path("x") + "/" + name + ".out"));
}

TEST_F(ReportWindow, ASizedReportOpensAsAStayOnTopPopup) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w);
    w->run().run_form("CARD ;size=300:200;center:center");
    const long long h = w->run().popupHandle();
    auto* popup = dynamic_cast<TMDIChild1*>(form->children().find(h));
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isWindow());
    EXPECT_TRUE(popup->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(popup->parentWidget(), w);
    EXPECT_EQ(form->mdiArea()->subWindowList().size(), 1);
    serve(popup);
    EXPECT_FALSE(popup->findChild<QFrame*>("Panel1")->isHidden()); // its first question
    QPointer<TMDIChild1> alive(popup);
    popup->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(w->run().popupHandle(), 0);
}

TEST_F(ReportWindow, SaveInstructionShowsTheSavePanel) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w);
    // A row that comes marked ("[*...]") is sent by the button.
    w->answerArrived(";table\r\n;MAXCOL=3\r\n;SAVE=W SAVE [2,3]\r\n&&\r\n&02[*K]x|0000lb\r\n");
    auto* button = w->findChild<QPushButton*>("BitBtn3");
    EXPECT_FALSE(w->findChild<QFrame*>("Panel2")->isHidden());
    EXPECT_EQ(button->text(), QString::fromUtf8("Сохpанить данные"));
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(w->run().requestName().rfind("save", 0), 0u);
    EXPECT_TRUE(files::exists(path("x") + "/" + w->run().requestName() + ".in"));
    EXPECT_FALSE(w->findChild<QLabel*>("Panel12")->isHidden());
}

TEST_F(ReportWindow, MalformedAnswersLeaveTheWindowUsable) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    QPointer<TMDIChild1> alive(w);
    const std::string S(1, '\xFA');
    const std::vector<std::string> bodies = {"",
                                             "Q-",
                                             "Q-M" + S,
                                             "Q-M" + S + S + S + "{99}",
                                             "Q-S" + S + "im" + S + S + "-5",
                                             "Q-R" + S + "[*]" + S + "1e308" + S + "40",
                                             "Q-A" + S,
                                             "Q-? ",
                                             std::string(2000, 'Q'),
                                             ";table\r\n&999|",
                                             ";table;ext=none.vts",
                                             "\xFA\r\n\xFA\r\n"};
    prompter.push(Prompter::Answer::No);
    for (const char* name : {"UVTSabcd", "pop12345", "auto0001", "resave12", "sidelist"}) {
        for (const std::string& body : bodies) {
            w->run().setRequestName(name);
            w->answerArrived(body);
        }
    }
    for (const std::string& body : bodies) {
        w->run().setRequestName(w->run().nameBase());
        w->answerArrived(body);
    }
    QCoreApplication::processEvents();
    ASSERT_FALSE(alive.isNull());
    w->grab();
}

TEST_F(ReportWindow, OfflineAnswerComesFromTheCacheFolder) {
    QDir(QString::fromStdString(path("start"))).mkpath("CACHE");
    QFile::copy(QString::fromStdString(path("data") + "/card.out"),
                QString::fromStdString(path("start") + "/CACHE/card.out"));
    settings.commandLineParam = "@card.out";
    form->runReport("R card.out", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    QTest::qWait(300);
    EXPECT_EQ(u8(w->workbook().sheet(1).text(2, 2)), "Остаток на начало");
    EXPECT_EQ(server->pollOnce(), 0); // nothing was sent
}

// Every demo answer cut after each of its bytes, as a broken disk or a server that died while
// writing would leave it, read under each kind of request name: the window stays usable, or
// closes after saying why and a fresh one takes over. (The side branches meet cut answers
// in MalformedAnswersLeaveTheWindowUsable.)
TEST_F(ReportWindow, DemoAnswersCutAtEveryByte) {
    form->runReport("R SALES", 0);
    QPointer<TMDIChild1> w(report());
    ASSERT_FALSE(w.isNull());
    int reopened = 0;
    for (const QString& f : QDir(FC_SOURCE_DIR "/demo/server").entryList({"*.out"}, QDir::Files)) {
        const std::string full =
            files::readAll((FC_SOURCE_DIR "/demo/server/" + f).toStdString()).value_or("");
        ASSERT_FALSE(full.empty()) << f.toStdString();
        for (std::size_t n = 0; n <= full.size(); ++n) {
            for (const char* name : {"", "sidelist"}) {
                if (w.isNull()) {
                    ++reopened;
                    form->runReport("R SALES", 0);
                    w = report();
                    ASSERT_FALSE(w.isNull());
                }
                w->run().setRequestName(*name ? std::string(name) : w->run().nameBase());
                w->answerArrived(full.substr(0, n));
                QCoreApplication::processEvents();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
        }
    }
    ASSERT_FALSE(w.isNull());
    EXPECT_FALSE(w->grab().isNull());
    // No cut answer is an order to close.
    EXPECT_EQ(reopened, 0);
}

TEST_F(ReportWindow, NulBytesLongLinesAndEmptyQuestionsAreHarmless) {
    form->runReport("R SALES", 0);
    QPointer<TMDIChild1> w(report());
    ASSERT_FALSE(w.isNull());
    const std::string S(1, '\xFA');
    const std::string longLine(200 * 1024, 'x');
    const std::vector<std::string> bodies = {
        std::string(";table\r\n&&\r\n&02a\0b|0000lb\r\n", 27),
        std::string("Q-M\0") + S + "x",
        std::string("\0\0\0\0", 4),
        "Q-M",
        "Q-S",
        "Q-R",
        "Q-A",
        "Q-M" + S + longLine + S + longLine,
        "Q-S" + S + "im" + S + longLine,
        ";table\r\n&&\r\n&02" + longLine + "|0000lb\r\n",
        longLine + "\r\n" + longLine,
    };
    for (const std::string& body : bodies) {
        for (const char* name : {"", "sidelist"}) {
            w->run().setRequestName(*name ? std::string(name) : w->run().nameBase());
            w->answerArrived(body);
            QCoreApplication::processEvents();
            ASSERT_FALSE(w.isNull());
        }
    }
    // Lengths a server can send but no edit can be as wide as.
    for (const char* limit : {"2147483647", "1000000000", "-2147483648"}) {
        w->run().setRequestName(w->run().nameBase());
        w->answerArrived("Q-S" + S + "x" + S + "" + S + limit);
        QCoreApplication::processEvents();
        ASSERT_FALSE(w.isNull());
    }
    for (QLineEdit* e : w->findChild<QFrame*>("Panel1")->findChildren<QLineEdit*>()) {
        EXPECT_LE(e->width(), 2500) << e->objectName().toStdString();
    }
    // A question record without fields still opens the panel and builds no control.
    w->findChild<QFrame*>("Panel1")->hide();
    w->run().setRequestName(w->run().nameBase());
    w->answerArrived("Q-M");
    EXPECT_FALSE(w->findChild<QFrame*>("Panel1")->isHidden());
    EXPECT_EQ(prompter.transcript(), "");
    // A question panel full of controls wider than the window stays drawable.
    EXPECT_FALSE(w->grab().isNull());
}

// A list of a hundred thousand values shows quickly: long client lists are usual.
TEST_F(ReportWindow, AHundredThousandValuesShowQuickly) {
    ASSERT_TRUE(files::writeAtomic(path("start") + "/POSLED.LST", "DEBTS\r\n"));
    form->runReport("R DEBTS", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w); // the argument question
    std::string body = codepage::toDos(fc::w("Клиенты\r\n"));
    for (int i = 0; i < 100000; ++i) {
        body += "K" + std::to_string(i) + codepage::toDos(fc::w(" клиент номер ")) +
                std::to_string(i) + "\r\n";
    }
    sharedRunState().currentValue = "K99999";
    w->run().setRequestName("sidelist");
    QElapsedTimer clock;
    clock.start();
    w->answerArrived(body);
    QCoreApplication::processEvents();
    const qint64 ms = clock.elapsed();
    auto* list = w->findChild<QListWidget*>("Listbox1");
    ASSERT_EQ(list->count(), 100000);
    EXPECT_EQ(list->currentRow(), 99999);
    std::printf("100000 values shown in %lld ms\n", static_cast<long long>(ms));
    EXPECT_LT(ms, 3000);

    // The same in the check list with every value ticked before.
    std::string all;
    for (int i = 0; i < 100000; ++i) {
        all += (i ? "|K" : "K") + std::to_string(i);
    }
    sharedRunState().multiChoice = true;
    sharedRunState().currentValue = all;
    clock.restart();
    w->answerArrived(body);
    QCoreApplication::processEvents();
    const qint64 checkMs = clock.elapsed();
    auto* checks = w->findChild<QListWidget*>("RListBox1");
    ASSERT_EQ(checks->count(), 100000);
    EXPECT_EQ(checks->item(54321)->checkState(), Qt::Checked);
    std::printf("100000 ticked values shown in %lld ms\n", static_cast<long long>(checkMs));
    EXPECT_LT(checkMs, 3000);
}

// The template the server sends cannot be kept: the window says so and does not ask for it
// again and again.
TEST_F(ReportWindow, ATemplateThatCannotBeStoredIsReportedOnce) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w);
    // The server's template folder is a file, and the start directory is gone.
    ASSERT_TRUE(files::writeAtomic(path("x") + "/VTS", "not a folder"));
    // The outdated template is asked for.
    w->run().setContext("R SALES");
    prompter.push(Prompter::Answer::Yes);
    w->answerArrived(";table;ext=gone.vts\r\n");
    const std::string asked = w->run().requestName();
    ASSERT_EQ(asked.rfind("UVTS", 0), 0u) << asked;
    ASSERT_EQ(server->pollOnce(), 1); // the download request
    ASSERT_TRUE(QDir(QString::fromStdString(path("start"))).removeRecursively());
    prompter.clear();
    w->answerArrived("116101120\r\n");
    EXPECT_NE(prompter.transcript().find("gone.vts"), std::string::npos) << prompter.transcript();
    // No request goes out again for it.
    EXPECT_EQ(server->pollOnce(), 0);
    EXPECT_FALSE(files::exists(path("x") + "/" + w->run().requestName() + ".in"));
}

TEST_F(ReportWindow, ATemplateTheServerFolderRefusesStaysInTheStartDirectory) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w);
    ASSERT_TRUE(files::writeAtomic(path("x") + "/VTS", "not a folder"));
    prompter.push(Prompter::Answer::Yes);
    w->answerArrived(";table;ext=kept.vts\r\n");
    ASSERT_EQ(w->run().requestName().rfind("UVTS", 0), 0u);
    w->answerArrived("116101120\r\n");
    EXPECT_EQ(files::readAll(path("start") + "/kept.vts").value_or(""), "tex");
    EXPECT_EQ(prompter.transcript(), "Внимание:|Не найден шаблон " + path("start") +
                                         "/kept.vts Попpобовать скачать с сеpвеpа?\n");
}

// Two windows wait in the same exchange directory: each reads its own answer only.
TEST_F(ReportWindow, TwoWindowsPollingOneDirectoryReadTheirOwnAnswers) {
    form->runReport("R SALES", 0);
    TMDIChild1* sales = report();
    ASSERT_NE(sales, nullptr);
    form->runReport("R CARD", 0);
    TMDIChild1* card = report();
    ASSERT_NE(card, nullptr);
    ASSERT_NE(sales, card);
    ASSERT_NE(sales->run().requestName(), card->run().requestName());
    ASSERT_EQ(server->pollOnce(), 2);
    card->pollAnswer();
    sales->pollAnswer();
    card->pollAnswer();
    sales->pollAnswer();
    QCoreApplication::processEvents();
    EXPECT_EQ(u8(sales->workbook().sheet(1).text(9, 2)), "ИТОГО:");
    EXPECT_NE(card->findChild<QComboBox*>("question1"), nullptr);
    EXPECT_EQ(sales->findChild<QComboBox*>("question1"), nullptr);
    EXPECT_EQ(prompter.transcript(), "");
}

// What the user sees of the question panel and the value lists: captions whole and apart,
// the step button beside its control.
TEST_F(ReportWindow, CaptionsStayWholeAndApart) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w);
    w->parentWidget()->showNormal();
    w->parentWidget()->resize(760, 330);
    QCoreApplication::processEvents();
    const std::string S(1, '\xFA');
    // A value list that comes while the sheet shows: its captions are not cut short.
    w->run().setRequestName("sidelist");
    w->answerArrived(codepage::toDos(fc::w("Клиенты всех филиалов за год\r\n")) + S +
                     codepage::toDos(fc::w("Выберите клиента из списка\r\n01 А\r\n")));
    QCoreApplication::processEvents();
    EXPECT_EQ(w->findChild<QLabel*>("Label4")->text(),
              QString::fromUtf8(" Выберите клиента из списка"));
    EXPECT_EQ(w->findChild<QLabel*>("Label2")->text(),
              QString::fromUtf8(" Клиенты всех филиалов за год"));
    keepPicture(w, "FC_LIST_SHOT2");

    // Two questions whose captions are wider than their controls.
    w->run().setRequestName(w->run().nameBase());
    w->answerArrived("Q-M" + S + "1" + S + "2" + S +
                     codepage::toDos(fc::w("Выберите отчётный месяц года")));
    auto* first = w->findChild<QComboBox*>("question1");
    ASSERT_NE(first, nullptr);
    emit first->activated(0);
    w->answerArrived(codepage::toDos(fc::w("Q-S")) + S +
                     codepage::toDos(fc::w("Фамилия клиента полностью")) + S + "" + S + "5");
    QCoreApplication::processEvents();
    auto* second = w->findChild<QLineEdit*>("question2");
    ASSERT_NE(second, nullptr);
    // The list was left by the step answer: the sheet is back under the questions.
    EXPECT_FALSE(w->findChild<QFrame*>("Panel5")->isHidden());
    EXPECT_TRUE(w->findChild<QFrame*>("listPanel")->isHidden());
    keepPicture(w, "FC_QUESTION_SHOT2");
    std::vector<QLabel*> captions;
    for (QLabel* l : w->findChild<QFrame*>("Panel1")->findChildren<QLabel*>()) {
        if (l->isVisible() && !l->text().isEmpty()) {
            captions.push_back(l);
        }
    }
    ASSERT_EQ(captions.size(), 2u);
    w->answerArrived("Q-S" + S + "x" + S + "" + S + "5"); // a third control after the caption
    QCoreApplication::processEvents();
    auto* third = w->findChild<QLineEdit*>("question3");
    ASSERT_NE(third, nullptr);
    EXPECT_GT(third->x(), captions[1]->geometry().right());
    for (QLabel* l : captions) {
        EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
    }
    EXPECT_FALSE(captions[0]->geometry().intersects(captions[1]->geometry()));
    EXPECT_GE(second->x(), captions[0]->geometry().right());
    // The step button sits at the open control's right edge, 4 below its top.
    auto* next = w->findChild<QPushButton*>("but_next_");
    EXPECT_FALSE(next->geometry().intersects(third->geometry()));
    EXPECT_EQ(next->x(), third->geometry().right() + 1);
    EXPECT_EQ(next->y(), third->y() + 4);
}

// Without the question panel a long choice is asked in ListBox2: it scrolls instead of
// stretching the window past the screen.
TEST_F(ReportWindow, ALongChoiceWithoutThePanelScrolls) {
    ASSERT_TRUE(files::writeAtomic(path("start") + "/POSLED.LST", "SALES\r\n"));
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    w->parentWidget()->showNormal();
    w->parentWidget()->resize(760, 330);
    const std::string S(1, '\xFA');
    std::string body = "Q-M";
    for (int i = 0; i < 2000; ++i) {
        body += S + "item " + std::to_string(i);
    }
    w->answerArrived(body + S + "title");
    QCoreApplication::processEvents();
    auto* list = w->findChild<QListWidget*>("ListBox2");
    ASSERT_FALSE(list->isHidden());
    EXPECT_EQ(list->count(), 2000);
    keepPicture(w, "FC_CHOICE_SHOT");
    EXPECT_LE(list->height(), 400);
    EXPECT_LE(w->minimumSizeHint().height(), 600);
    EXPECT_LE(w->parentWidget()->height(), 600);
}

} // namespace
} // namespace fc
