// The question panel of the report window as the server expects it: the bytes of each answer,
// the keys between inputs, the N2 question, the server's list of reports and the check list.
#include "ExchangeFixture.h"

#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "shell/ui/TMainForm.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

namespace fc {
namespace {

const std::string S(1, '\xFA');
std::string dos(std::string_view utf8) { return codepage::toDos(fc::w(utf8)); }
QString qs(const char* utf8) { return QString::fromUtf8(utf8); }

struct QuestionPanelWindow : test::ExchangeFixture {
    TMDIChild1* w = nullptr;

    void put(const std::string& file, const std::string& bytes) {
        ASSERT_TRUE(files::writeAtomic(path("data") + "/" + file, bytes));
    }
    void rules(const std::string& text) {
        const std::string old = files::readAll(path("data") + "/rules.txt").value_or("");
        put("rules.txt", text + old);
    }
    void open(const std::string& request) {
        form->runReport(request, 0);
        w = qobject_cast<TMDIChild1*>(form->mdiArea()->subWindowList().back()->widget());
        ASSERT_NE(w, nullptr);
        w->parentWidget()->showNormal();
        w->parentWidget()->resize(900, 500);
        QCoreApplication::processEvents();
    }
    void serve() {
        ASSERT_GE(server->pollOnce(), 1);
        w->pollAnswer();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The command line of the window's waiting request: what follows the head.
    std::string sent() {
        const std::string in =
            files::readAll(path("x") + "/" + w->run().requestName() + ".in").value_or("");
        std::size_t p = 0;
        for (int i = 0; i < 3 && p != std::string::npos; ++i) {
            p = in.find('\xFA', p == 0 ? 0 : p + 1);
        }
        return p == std::string::npos ? "<no request>" : in.substr(p + 1);
    }
    int waiting() const {
        return QDir(QString::fromStdString(path("x"))).entryList({"*.in"}, QDir::Files).size();
    }
    template <class T>
    T* input(int n) {
        return w->findChild<T*>(QStringLiteral("question%1").arg(n));
    }
    QPushButton* next() { return w->findChild<QPushButton*>("but_next_"); }
};

TEST_F(QuestionPanelWindow, ThreeQuestionsWithTheSecondAnswerChanged) {
    rules("R TRIPLE·*·*·* => triple-result.out\nR TRIPLE·*·* => triple-q3.out\n"
          "R TRIPLE·* => triple-q2.out\nR TRIPLE => triple-q1.out\n");
    put("triple-q1.out", "Q-M" + S + "a" + S + "b" + S + "c" + S + dos("Выбор{1}"));
    put("triple-q2.out", "Q-S" + S + dos("Имя") + S + S + "20");
    put("triple-q3.out", "Q-S" + S + dos("Город") + S + S + "20");
    put("triple-result.out", ";table\r\n;MAXCOL=2\r\n&&\r\n&02done|0000lc\r\n");
    open("R TRIPLE");
    serve();
    auto* first = input<QComboBox>(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pos(), QPoint(20, 30));
    EXPECT_EQ(first->itemText(0), "c"); // the items in reverse order
    // Up drops the list down; the choice sends its item number.
    QTest::keyClick(first, Qt::Key_Up);
    EXPECT_TRUE(first->view()->isVisible());
    first->hidePopup();
    first->setCurrentIndex(1);
    emit first->activated(1);
    EXPECT_EQ(sent(), "R TRIPLE" + S + "2");
    serve();

    auto* second = input<QLineEdit>(2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->y(), 30);
    EXPECT_GT(second->x(), first->geometry().right());
    second->setText("A");
    QTest::keyClick(second, Qt::Key_Return);
    EXPECT_EQ(sent(), "R TRIPLE" + S + "2" + S + "A");
    EXPECT_TRUE(next()->isHidden());
    serve();

    auto* third = input<QLineEdit>(3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(next()->pos(), QPoint(third->geometry().right() + 1, third->y() + 4));
    // Backspace at the start of the third goes back to the second; Alt+Right forward again.
    QTest::keyClick(third, Qt::Key_Backspace);
    EXPECT_EQ(next()->x(), second->geometry().right() + 1);
    QTest::keyClick(second, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(next()->x(), third->geometry().right() + 1);
    QTest::keyClick(third, Qt::Key_Left, Qt::AltModifier);
    // The second answer changes after the third was shown: the third goes, the rest is sent.
    second->setText("B");
    QTest::keyClick(second, Qt::Key_Return);
    EXPECT_EQ(sent(), "R TRIPLE" + S + "2" + S + "B");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(input<QLineEdit>(3), nullptr);
    serve();
    third = input<QLineEdit>(3);
    ASSERT_NE(third, nullptr);
    third->setText("C");
    QTest::mouseClick(next(), Qt::LeftButton); // the step button sends the entered input
    EXPECT_EQ(sent(), "R TRIPLE" + S + "2" + S + "B" + S + "C");
    serve();
    EXPECT_EQ(w->workbook().sheet(1).text(1, 2), "done");
    EXPECT_TRUE(w->findChild<QFrame*>("Panel1")->isHidden());
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(QuestionPanelWindow, AWideQuestionStartsANewLine) {
    rules("R WIDE·* => triple-q2.out\nR WIDE => wide-q1.out\n");
    put("wide-q1.out", "Q-S" + S + "x" + S + S + "100");
    put("triple-q2.out", "Q-S" + S + "y" + S + S + "100");
    open("R WIDE");
    w->parentWidget()->resize(600, 400);
    QCoreApplication::processEvents();
    serve();
    input<QLineEdit>(1)->setText("1");
    QTest::keyClick(input<QLineEdit>(1), Qt::Key_Return);
    serve();
    auto* second = input<QLineEdit>(2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->pos(), QPoint(20, 80));
    EXPECT_EQ(w->findChild<QLabel*>()->parentWidget(), w->findChild<QFrame*>("Panel1"));
    EXPECT_GE(w->findChild<QFrame*>("Panel1")->minimumHeight(), 80 + 24);
}

TEST_F(QuestionPanelWindow, AFreeTextQuestionIsNamedByItsN2Request) {
    rules("R PAY·* => triple-result.out\nR PAY => pay-question.out\n"
          "E [N2 SUMMA] => pay-name.out\n");
    put("pay-question.out", "Q-A" + S + "SUMMA" + S);
    put("pay-name.out", dos("'Сумма оплаты'\r\n"));
    put("triple-result.out", ";table\r\n;MAXCOL=2\r\n&&\r\n&02paid|0000lc\r\n");
    open("R PAY");
    serve();
    // The N2 request: the request prefix and "E [N2 " + the question + "]", nothing else.
    const QStringList asked =
        QDir(QString::fromStdString(path("x"))).entryList({"*.in"}, QDir::Files);
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(files::readAll(path("x") + "/" + asked.front().toStdString()).value_or(""),
              settings.requestPrefix() + "E [N2 SUMMA]");
    auto* box = input<QComboBox>(1);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isHidden()); // placed once the name has come
    ASSERT_EQ(server->pollOnce(), 1);
    QElapsedTimer clock;
    clock.start();
    while (box->isHidden() && clock.elapsed() < 3000) {
        QTest::qWait(50); // Timer1 looks for the answer every 200 ms
    }
    ASSERT_FALSE(box->isHidden());
    EXPECT_EQ(box->width(), 250);
    bool named = false;
    for (QLabel* l : w->findChild<QFrame*>("Panel1")->findChildren<QLabel*>()) {
        named = named || l->text() == qs("SUMMA Сумма оплаты");
    }
    EXPECT_TRUE(named);
    box->setEditText("12.5");
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(sent(), "R PAY" + S + "12.5");
    serve();
    EXPECT_EQ(w->workbook().sheet(1).text(1, 2), "paid");
}

TEST_F(QuestionPanelWindow, TheServersListOfReportsAsksForItsValuesOnce) {
    open("R DEBTS");
    serve();
    auto* box = input<QComboBox>(1);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 0);
    // Opening the empty combo box asks for the argument's list.
    box->showPopup();
    EXPECT_EQ(sent(), "R ARG_CLIENTS");
    EXPECT_NE(w->run().requestName(), w->run().nameBase()); // a side answer
    EXPECT_TRUE(w->findChild<QFrame*>("Panel1")->isHidden());
    EXPECT_EQ(form->statusText(2), "");
    serve();
    auto* list = w->findChild<QListWidget*>("Listbox1");
    ASSERT_FALSE(list->isHidden());
    // Backspace gives up the list: back to the panel, nothing sent.
    QTest::keyClick(list, Qt::Key_Backspace);
    EXPECT_FALSE(w->findChild<QFrame*>("Panel1")->isHidden());
    EXPECT_EQ(waiting(), 0);
    box->showPopup();
    serve();
    emit list->itemActivated(list->item(1));
    EXPECT_EQ(box->currentText(), qs("02 ЧП Иванов"));
    EXPECT_EQ(sent(), "R DEBTS" + S + "02");

    // "Рестаpт" remembers the answer: the question comes back with it.
    w->restart();
    EXPECT_EQ(sent(), "R DEBTS");
    serve();
    box = input<QComboBox>(1);
    ASSERT_NE(box, nullptr);
    ASSERT_EQ(box->count(), 1);
    EXPECT_EQ(box->currentText(), qs("02 ЧП Иванов"));
    // Its first choice asks for the list and offers "Обновить"; a later one shows the list
    // it has, with the bar of the list's report, and asks nothing.
    emit box->activated(0);
    EXPECT_EQ(sent(), "R ARG_CLIENTS");
    EXPECT_EQ(form->statusText(2), fc::w("Обновить"));
    serve();
    QTest::keyClick(list, Qt::Key_Backspace);
    emit box->activated(0);
    EXPECT_EQ(waiting(), 0);
    EXPECT_FALSE(list->isHidden());
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(form->statusText(2), fc::w("Обновить"));
    // "Обновить" runs the list again rather than the report from its start.
    w->restart();
    EXPECT_EQ(sent(), "R ARG_CLIENTS");
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(QuestionPanelWindow, TheCheckListKeepsEveryTickedKey) {
    ASSERT_TRUE(files::writeAtomic(path("start") + "/POSLED.LST", "MULTI\r\n"));
    open("R MULTI");
    serve();
    sharedRunState().currentValue = "05|01"; // chosen before: 05 is not in this list
    serve();
    auto* list = w->findChild<QListWidget*>("RListBox1");
    auto* ok = w->findChild<QPushButton*>("Button1");
    ASSERT_FALSE(list->isHidden());
    EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
    EXPECT_TRUE(ok->isEnabled());
    list->item(1)->setCheckState(Qt::Checked);
    list->item(0)->setCheckState(Qt::Unchecked);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(sent(), "R MULTI " + S + "05|02" + S);
}

TEST_F(QuestionPanelWindow, RestartOffersTheLastChoiceAgain) {
    open("R CARD");
    serve();
    auto* month = input<QComboBox>(1);
    ASSERT_NE(month, nullptr);
    month->setCurrentIndex(2);
    emit month->activated(2);
    serve();
    w->restart();
    serve();
    month = input<QComboBox>(1);
    ASSERT_NE(month, nullptr);
    EXPECT_EQ(month->currentIndex(), 2);
    EXPECT_EQ(input<QComboBox>(2), nullptr);
}

} // namespace
} // namespace fc
