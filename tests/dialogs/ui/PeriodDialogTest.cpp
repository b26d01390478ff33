#include "dialogs/ui/PeriodDialog.h"

#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/StandInServer.h"

#include <QCalendarWidget>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace fc {
namespace {

class PeriodDialogTest : public ::testing::Test {
protected:
    PeriodDialogTest() {
        QDir(tmp.path()).mkpath("x");
        QDir(tmp.path()).mkpath("data");
        settings.startDir = root();
        settings.serverDir = root() + "/x";
    }
    std::string root() const { return tmp.path().toStdString(); }
    static NameSource names() {
        return [n = 0]() mutable { return "yr" + std::to_string(++n); };
    }
    template <class T>
    static T* child(QWidget& d, const char* name) {
        T* w = d.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static void clickMonth(QListWidget* list, int month, bool twice = false) {
        const QPoint at = list->visualItemRect(list->item(month - 1)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        if (twice) {
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        }
    }
    static QString text(const char* utf8) { return QString::fromUtf8(utf8); }
    static bool red(QLabel* l) { return l->palette().color(QPalette::WindowText) == Qt::red; }

    QTemporaryDir tmp;
    AppSettings settings;
    ScriptedPrompter prompter;
};

TEST_F(PeriodDialogTest, ShowsThePeriodAndEnablesTheCalendarWithTheYear) {
    ASSERT_TRUE(files::writeAtomic(root() + "/data/YEAR.txt", "2031.00"));
    PeriodDialog dialog(settings, prompter, nullptr, names());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), text("Установка отчетного пеpиода"));
    auto* list = child<QListWidget>(dialog, "monthList");
    auto* calendar = child<QCalendarWidget>(dialog, "calendar");
    ASSERT_EQ(list->count(), 12);
    EXPECT_EQ(list->item(0)->text(), text("Янваpь       1.."));
    EXPECT_EQ(list->item(5)->text(), text("Июнь         "));
    EXPECT_EQ(list->item(11)->text(), text("Декабpь      31"));
    EXPECT_EQ(list->currentRow(), 11);
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Monday);
    EXPECT_FALSE(calendar->isEnabled());
    EXPECT_EQ(child<QLabel>(dialog, "yearText")->text(), "");

    StandInServer(root() + "/x", root() + "/data").pollOnce();
    dialog.tick();
    EXPECT_FALSE(calendar->isEnabled()); // seen once: it may still be being written
    dialog.tick();
    EXPECT_TRUE(calendar->isEnabled());
    EXPECT_EQ(child<QLabel>(dialog, "yearText")->text(), "2031");
    EXPECT_EQ(calendar->selectedDate(), QDate(2031, 12, 31));
    EXPECT_FALSE(files::exists(root() + "/x/yr1.out"));
}

TEST_F(PeriodDialogTest, MouseAndKeysChooseAndEnterConfirms) {
    settings.commandLineParam = ";"; // no year request: the calendar is enabled at once
    PeriodDialog dialog(settings, prompter, nullptr, names());
    dialog.show();
    auto* list = child<QListWidget>(dialog, "monthList");
    auto* calendar = child<QCalendarWidget>(dialog, "calendar");
    ASSERT_TRUE(calendar->isEnabled());
    const int year = calendar->yearShown();

    clickMonth(list, 3, true); // a double click on a line starts the period on day 1
    EXPECT_EQ(list->item(2)->text(), text("Маpт         1.."));
    EXPECT_EQ(calendar->selectedDate(), QDate(year, 3, 1));

    QTest::keyClick(list, Qt::Key_Down); // a move with the keys is a click: the end month
    EXPECT_EQ(list->currentRow(), 3);
    EXPECT_EQ(calendar->monthShown(), 4);

    QTest::keyClick(list, Qt::Key_F5);
    EXPECT_TRUE(red(child<QLabel>(dialog, "endKeyLabel")));
    EXPECT_FALSE(red(child<QLabel>(dialog, "startKeyLabel")));
    EXPECT_EQ(calendar->selectedDate(), QDate(year, 4, 30));
    QWidget* focused = dialog.focusWidget();
    ASSERT_NE(focused, nullptr);
    EXPECT_TRUE(calendar->isAncestorOf(focused) || focused == calendar);

    QTest::keyClick(focused, Qt::Key_Left); // 29 April
    QTest::keyClick(focused, Qt::Key_Return);
    EXPECT_FALSE(red(child<QLabel>(dialog, "endKeyLabel")));
    EXPECT_EQ(list->item(3)->text(), text("Апpель       29"));
    EXPECT_TRUE(dialog.isVisible());

    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(settings.period(), (Period{1, 3, 29, 4}));
    EXPECT_EQ(settings.reportState().substr(0, 8), "620C0DA]");
    EXPECT_EQ(files::readAll(root() + "/klf.opt").value_or(""),
              " \r\n \r\n1\r\n3\r\n29\r\n4\r\n620\r\n");
}

TEST_F(PeriodDialogTest, EscAndCancelChangeNothing) {
    settings.commandLineParam = ";";
    PeriodDialog dialog(settings, prompter, nullptr, names());
    for (bool esc : {true, false}) {
        SCOPED_TRACE(esc ? "Esc" : "Отменить");
        dialog.show();
        auto* list = child<QListWidget>(dialog, "monthList");
        clickMonth(list, 5, true);
        if (esc) {
            // F4 lights its label and hands the focus to the calendar; Esc works from there.
            QTest::keyClick(list, Qt::Key_F4);
            EXPECT_TRUE(red(child<QLabel>(dialog, "startKeyLabel")));
            QWidget* focused = dialog.focusWidget();
            ASSERT_NE(focused, nullptr);
            EXPECT_TRUE(child<QCalendarWidget>(dialog, "calendar")->isAncestorOf(focused));
            QTest::keyClick(focused, Qt::Key_Escape);
        } else {
            QTest::mouseClick(child<QPushButton>(dialog, "cancelButton"), Qt::LeftButton);
        }
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(settings.period(), Period{});
        EXPECT_EQ(settings.reportState(), "620A0LA_");
        EXPECT_FALSE(files::exists(root() + "/klf.opt"));
    }
}

TEST_F(PeriodDialogTest, AnInvertedPeriodKeepsTheDialogOpen) {
    settings.commandLineParam = ";";
    PeriodDialog dialog(settings, prompter, nullptr, names());
    dialog.show();
    auto* list = child<QListWidget>(dialog, "monthList");
    auto* calendar = child<QCalendarWidget>(dialog, "calendar");
    clickMonth(list, 3);
    calendar->setSelectedDate(QDate(calendar->yearShown(), 3, 15));
    emit calendar->activated(calendar->selectedDate());
    calendar->setSelectedDate(QDate(calendar->yearShown(), 3, 14));
    emit calendar->activated(calendar->selectedDate());
    EXPECT_EQ(list->item(2)->text(), text("Маpт         15..14"));

    QTest::mouseClick(child<QPushButton>(dialog, "okButton"), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompter.transcript(), "Внимание:|Непpавильно задан пеpиод!\n");
    EXPECT_EQ(settings.period(), Period{});
}

TEST_F(PeriodDialogTest, TheMainWindowsDialogIsMadeOnceAndTakesLateAnswers) {
    QWidget main;
    auto answer = [&](const char* button) {
        QTimer::singleShot(0, [&main, button] {
            auto* d = main.findChild<PeriodDialog*>();
            ASSERT_NE(d, nullptr);
            QTest::mouseClick(d->findChild<QPushButton*>(button), Qt::LeftButton);
        });
    };
    answer("cancelButton");
    EXPECT_FALSE(runPeriodDialog(&main, settings, prompter));
    auto* dialog = main.findChild<PeriodDialog*>();
    ASSERT_NE(dialog, nullptr);
    // Closed before the answer came: the hidden dialog's timer still takes it.
    EXPECT_TRUE(dialog->chooser().waitingForYear());
    StandInServer(root() + "/x", root() + "/data").pollOnce();
    // Taken once two looks found it the same.
    EXPECT_TRUE(QTest::qWaitFor([dialog] { return !dialog->chooser().waitingForYear(); },
                                5 * PeriodChooser::kYearPoll));

    answer("okButton");
    EXPECT_TRUE(runPeriodDialog(&main, settings, prompter));
    EXPECT_EQ(main.findChildren<PeriodDialog*>().size(), 1);
}

} // namespace
} // namespace fc
