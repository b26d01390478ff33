// The filter, marks, sorting and the quick sum as a user reaches them in the report window:
// the menu items, the sheet's pop-up item, clicks on the sheet and keys.
#include "ExchangeFixture.h"

#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"
#include "results/Filter.h"
#include "results/Marks.h"
#include "results/ResultLayout.h"
#include "results/ui/Form2.h"
#include "results/ui/Form6.h"
#include "results/ui/TMDIChild1.h"
#include "shell/ui/CommandTable.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace fc {
namespace {

std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }

// Saves a picture of the widget where the variable says, for looking at.
void keepPicture(QWidget* w, const char* variable) {
    if (const char* file = std::getenv(variable)) {
        w->grab().save(QString::fromLocal8Bit(file));
    }
}
QString qs(const char* utf8) { return QString::fromUtf8(utf8); }

// Typed key by key, Cyrillic letters included (QTest's key clicks know Latin ones only).
void type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &release);
    }
}

// STATEMENT: rows 1-2 headings (row 2: Дата, Контрагент, Документ, Дебет, Кредит in columns
// 2-6), rows 3-14 data: "  Покупатели", a two-row record (4-5, ООО "Ромашка"), 6 ЧП Иванов,
// 7 ТОВ "Лютик", 8 "Итого:", "  Поставщики", a two-row record (10-11, ООО "Ромашка"), 12 ФОП
// Петренко, 13 "Итого:", 14 "ИТОГО:"; automatic totals over columns 5 and 6; a ";FILTR" list
// of the counterparties over column 3.
struct FilterWindow : test::ExchangeFixture {
    TMDIChild1* open(const char* request) {
        form->runReport(request, 0);
        QMdiSubWindow* sub = form->mdiArea()->activeSubWindow();
        auto* w = sub ? qobject_cast<TMDIChild1*>(sub->widget()) : nullptr;
        if (w) {
            sub->showMaximized(); // room for the cells the tests click
            serve(w);
        }
        return w;
    }
    void serve(TMDIChild1* w) {
        ASSERT_GE(server->pollOnce(), 1);
        w->pollAnswer();
        QCoreApplication::processEvents();
    }
    // Runs `act` on the modal dialog of type T once it shows, while `open` shows it.
    template <typename T>
    void withDialog(const std::function<void()>& open, const std::function<void(T*)>& act) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* d = qobject_cast<T*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            seen = true;
            act(d);
            if (d->isVisible()) {
                QTest::keyClick(d, Qt::Key_Escape);
            }
        });
        open();
        EXPECT_TRUE(seen);
    }
    void menu(const char* item) { form->commands().action(item)->trigger(); }
    // The in-form filter from the main menu: `type` fills the dialog, then "Подтвеpдить".
    void filterBy(const std::function<void(Form6*)>& type) {
        withDialog<Form6>([this] { menu("N9"); },
                          [&](Form6* d) {
                              type(d);
                              QTest::mouseClick(d->findChild<QPushButton*>("okButton"),
                                                Qt::LeftButton);
                          });
    }
    static QLineEdit* edit(QWidget* d, int n) {
        return d->findChild<QLineEdit*>(QStringLiteral("Edit%1").arg(n));
    }
    static std::string shown(const Sheet& s) {
        std::string out;
        for (int r = result::firstDataRow(s); r <= s.maxRow(); ++r) {
            if (!s.rowHidden(r)) {
                out += (out.empty() ? "" : " ") + std::to_string(r);
            }
        }
        return out;
    }
    static void click(TMDIChild1* w, int row, int col, Qt::KeyboardModifiers mods = {}) {
        SheetView* v = w->sheetView();
        v->sheet().setTopLeft(1, 1);
        QTest::mouseClick(v->viewport(), Qt::LeftButton, mods, v->cellRect(row, col).center());
    }
    std::string status() const { return u8(form->statusText(1)); }
};

TEST_F(FilterWindow, TheMenuItemFiltersTheSheet) {
    TMDIChild1* w = open("R STATEMENT");
    ASSERT_NE(w, nullptr);
    const Sheet& s = w->workbook().sheet(1);
    filterBy([](Form6* d) {
        EXPECT_EQ(d->windowTitle(), qs("Фильтp (в фоpме)"));
        EXPECT_FALSE(d->findChild<QFrame*>("Panel2")->isEnabled()); // one cell: strings only
        type(edit(d, 1), qs("ромашка"));
        EXPECT_EQ(edit(d, 1)->text(), qs("РОМАШКА"));
    });
    EXPECT_EQ(shown(s), "3 4 5 8 9 10 11 13 14");
    EXPECT_EQ(status(), "Фильтp включен [2]");
    keepPicture(form.get(), "FC_FILTER_MAIN_SHOT");
    // The totals follow the rows shown.
    EXPECT_DOUBLE_EQ(s.number(8, 5), 1500.5);
    EXPECT_DOUBLE_EQ(s.number(14, 6), 950);

    // The sheet's own pop-up item opens the same dialog, with the same fields.
    withDialog<Form6>([w] { w->sheetMenu()->actions().at(0)->trigger(); },
                      [](Form6* d) {
                          EXPECT_EQ(edit(d, 1)->text(), qs("РОМАШКА"));
                          QTest::mouseClick(d->findChild<QPushButton*>("removeButton"),
                                            Qt::LeftButton);
                      });
    EXPECT_EQ(shown(s), "3 4 5 6 7 8 9 10 11 12 13 14");
    EXPECT_EQ(status(), "");
    EXPECT_DOUBLE_EQ(s.number(14, 5), 3005.75);
}

TEST_F(FilterWindow, TheDialogRefusesHalfBoundsAndTakesSeparatorKeys) {
    TMDIChild1* w = open("R STATEMENT");
    ASSERT_NE(w, nullptr);
    w->workbook().sheet(1).setSelection({3, 5, 14, 5}); // the Дебет column over the data
    filterBy([this](Form6* d) {
        ASSERT_TRUE(d->findChild<QFrame*>("Panel2")->isEnabled());
        QTest::keyClicks(edit(d, 3), "12");
        QTest::keyClick(edit(d, 3), Qt::Key_Comma);
        QTest::keyClicks(edit(d, 3), "5");
        EXPECT_EQ(edit(d, 3)->text(), "12.5");
        QTest::keyClicks(edit(d, 6), "1");
        QTest::keyClick(edit(d, 6), Qt::Key_Slash);
        EXPECT_EQ(edit(d, 6)->text(), QString("1") + QChar(FilterLocale::system().dateSeparator));
        edit(d, 6)->clear();
        // A bound clears the single amount; half a range is refused.
        QTest::keyClicks(edit(d, 4), "100");
        EXPECT_EQ(edit(d, 3)->text(), "");
        QTest::mouseClick(d->findChild<QPushButton*>("okButton"), Qt::LeftButton);
        EXPECT_TRUE(d->isVisible());
        EXPECT_EQ(prompter.transcript(), "Внимание:|Укажите веpхний диапазон сумм!\n");
        QTest::keyClicks(edit(d, 5), "1000");
        keepPicture(d, "FC_FILTER_DIALOG_SHOT");
        EXPECT_NE(d->findChild<QLabel*>("DateHint1"), nullptr);
        EXPECT_EQ(d->findChild<QLabel*>("DateHint1")->text().size(), 12); // "(дд.мм.гггг)"
    });
    EXPECT_EQ(shown(w->workbook().sheet(1)), "3 6 7 8 14");
    EXPECT_EQ(status(), "Фильтp включен [2] по \"Дебет\"");
}

TEST_F(FilterWindow, TheAnswersValueListIsOffered) {
    TMDIChild1* w = open("R STATEMENT");
    ASSERT_NE(w, nullptr);
    filterBy([](Form6* d) {
        ASSERT_FALSE(d->findChild<QFrame*>("Panel4")->isHidden());
        EXPECT_EQ(d->findChild<QLabel*>("Label11")->text(), qs("Контрагент"));
        auto* combo = d->findChild<QComboBox*>("ComboBox1");
        ASSERT_EQ(combo->count(), 5);
        EXPECT_EQ(combo->itemText(0), "");
        EXPECT_EQ(combo->itemText(3), qs("ФОП Петренко"));
        combo->setCurrentIndex(combo->findText(qs("ЧП Иванов")));
    });
    EXPECT_EQ(shown(w->workbook().sheet(1)), "3 6 8 14");
}

TEST_F(FilterWindow, TheFilterStaysWithItsWindowAndOutlastsARerun) {
    TMDIChild1* turnover = open("R STATEMENT");
    ASSERT_NE(turnover, nullptr);
    filterBy([](Form6* d) { type(edit(d, 1), qs("ромашка")); });
    QMdiSubWindow* first = form->mdiArea()->activeSubWindow();
    TMDIChild1* sales = open("R SALES");
    ASSERT_NE(sales, nullptr);
    QMdiSubWindow* second = form->mdiArea()->activeSubWindow();
    ASSERT_NE(first, second);
    auto activate = [this](QMdiSubWindow* sub) {
        form->mdiArea()->setActiveSubWindow(sub);
        QCoreApplication::processEvents();
    };
    auto* dialog = form->findChild<Form6*>();
    ASSERT_NE(dialog, nullptr);
    activate(first);
    activate(second);
    EXPECT_EQ(status(), "");
    EXPECT_EQ(edit(dialog, 1)->text(), ""); // the other window's filter is empty
    // Leaving wrote the filter's rows of the hidden state block.
    const Sheet& s = turnover->workbook().sheet(1);
    EXPECT_EQ(s.text(20, result::kStateCol), "2");
    EXPECT_EQ(u8(s.text(23, result::kStateCol)).rfind("РОМАШКА\t", 0), 0u);
    EXPECT_EQ(s.text(32, result::kStateCol), "|2|3|4|5|6");

    activate(first);
    EXPECT_EQ(status(), "Фильтp включен [2]");
    EXPECT_EQ(edit(dialog, 1)->text(), qs("РОМАШКА"));

    turnover->rerun();
    serve(turnover);
    EXPECT_EQ(shown(s), "3 4 5 8 9 10 11 13 14");
    EXPECT_EQ(status(), "Фильтp включен [2]");
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(FilterWindow, AHeadingClickAndTheSortItems) {
    TMDIChild1* w = open("R STATEMENT");
    ASSERT_NE(w, nullptr);
    const Sheet& s = w->workbook().sheet(1);
    click(w, 2, 5); // "Дебет"
    ASSERT_EQ(s.selectionCount(), 3);
    menu("N10"); // По убыванию
    EXPECT_EQ(u8(s.text(4, 3)), "ООО \"Ромашка\"");
    EXPECT_EQ(u8(s.text(5, 4)), "оплата по дог. 7"); // its second row stays with it
    EXPECT_EQ(u8(s.text(6, 3)), "ТОВ \"Лютик\"");
    EXPECT_EQ(u8(s.text(7, 3)), "ЧП Иванов");
    EXPECT_EQ(s.text(7, result::kActionCol), "{2}A2|");
    EXPECT_EQ(status(), "   v Соpтиpовка по: \"Дебет\"");
    click(w, 2, 3);
    menu("p5"); // По возpастанию
    EXPECT_EQ(u8(s.text(6, 3)), "ТОВ \"Лютик\"");
    EXPECT_EQ(u8(s.text(7, 3)), "ЧП Иванов");
    EXPECT_EQ(status(), "   ^ Соpтиpовка по: \"Контрагент\"");
    // "По умолчанию" asks the server again.
    menu("N12");
    serve(w);
    EXPECT_EQ(u8(s.text(6, 3)), "ЧП Иванов");
}

TEST_F(FilterWindow, MarkedRecordsAndTheMarkedRowsOnly) {
    TMDIChild1* w = open("R STATEMENT");
    ASSERT_NE(w, nullptr);
    const Sheet& s = w->workbook().sheet(1);
    SheetView* v = w->sheetView();
    QTest::mouseDClick(v->viewport(), Qt::RightButton, {}, v->cellRect(6, 3).center());
    EXPECT_TRUE(isMarkedRow(s, 6));
    v->sheet().setActiveCell(5, 3);
    QTest::keyClick(v, Qt::Key_Return, Qt::ControlModifier); // the two-row record
    EXPECT_TRUE(isMarkedRow(s, 4));
    EXPECT_TRUE(isMarkedRow(s, 5));
    EXPECT_EQ(w->session().view.marks.count, 2);
    menu("p1"); // Только выделенные стpоки
    EXPECT_TRUE(form->commandChecked("p1"));
    EXPECT_EQ(shown(s), "4 5 6 14");
    EXPECT_DOUBLE_EQ(s.number(14, 5), 1920.5);
    EXPECT_EQ(status(), "   Только выделенные стpоки");
    menu("p2"); // Снять выделение стpок
    EXPECT_FALSE(isMarkedRow(s, 6));
    EXPECT_EQ(w->session().view.marks.count, 0);
    EXPECT_FALSE(form->commandChecked("p1"));
    EXPECT_EQ(shown(s), "3 4 5 6 7 8 9 10 11 12 13 14");
}

TEST_F(FilterWindow, CtrlPickedCellsAreSummed) {
    TMDIChild1* w = open("R STATEMENT");
    ASSERT_NE(w, nullptr);
    click(w, 4, 5);
    click(w, 6, 5, Qt::ControlModifier);
    auto* panel = w->findChild<QFrame*>("Panel4");
    ASSERT_NE(panel, nullptr);
    ASSERT_FALSE(panel->isHidden());
    auto* calc = panel->findChild<QLineEdit*>("RxCalc");
    EXPECT_EQ(calc->text(), qs("1 920.5"));
    EXPECT_EQ(calc->toolTip(), qs("Калькулятоp"));
    EXPECT_EQ(w->session().view.quickSum.shown, 1920.5);
    keepPicture(w, "FC_QUICK_SUM_SHOT");
    click(w, 7, 5); // no Ctrl: the panel goes
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(FilterWindow, TheListFilterNarrowsAValueListAndAsksForItAgain) {
    ASSERT_TRUE(files::writeAtomic(path("start") + "/POSLED.LST", "DEBTS\r\n"));
    form->runReport("R DEBTS", 0);
    QMdiSubWindow* sub = form->mdiArea()->activeSubWindow();
    auto* w = qobject_cast<TMDIChild1*>(sub->widget());
    ASSERT_NE(w, nullptr);
    serve(w); // the argument question
    serve(w); // the value list
    auto* list = w->findChild<QListWidget*>("Listbox1");
    ASSERT_EQ(list->count(), 3);
    auto filterList = [&](const char* what) {
        withDialog<Form2>([this] { menu("N9"); },
                          [what](Form2* d) {
                              EXPECT_EQ(d->windowTitle(), qs("Фильтp"));
                              auto* e = d->findChild<QLineEdit*>("Edit1");
                              e->clear();
                              type(e, qs(what));
                              QTest::keyClick(e, Qt::Key_Return);
                          });
    };
    filterList("ооо");
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), qs("01 ООО \"Ромашка\"")); // the heading after it went
    EXPECT_FALSE(w->findChild<QLabel*>("Label6")->isHidden());
    // An empty string asks the server for the whole list again.
    filterList("");
    EXPECT_TRUE(w->findChild<QLabel*>("Label6")->isHidden());
    const QStringList resets =
        QDir(QString::fromStdString(path("x"))).entryList({"filt*.in"}, QDir::Files);
    ASSERT_EQ(resets.size(), 1);
    serve(w);
    EXPECT_EQ(list->count(), 3);
}

TEST_F(FilterWindow, TheCheckListKeepsTicksThatAListFilterHides) {
    ASSERT_TRUE(files::writeAtomic(path("start") + "/POSLED.LST", "MULTI\r\n"));
    form->runReport("R MULTI", 0);
    auto* w = qobject_cast<TMDIChild1*>(form->mdiArea()->activeSubWindow()->widget());
    ASSERT_NE(w, nullptr);
    serve(w); // the question
    serve(w); // the check list
    auto* list = w->findChild<QListWidget*>("RListBox1");
    ASSERT_FALSE(list->isHidden());
    ASSERT_EQ(list->count(), 3);
    list->item(1)->setCheckState(Qt::Checked); // 02
    withDialog<Form2>([this] { menu("N9"); },
                      [](Form2* d) {
                          auto* e = d->findChild<QLineEdit*>("Edit1");
                          type(e, qs("ооо"));
                          QTest::keyClick(e, Qt::Key_Return);
                      });
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->checkState(), Qt::Unchecked);
    list->item(0)->setCheckState(Qt::Checked); // 01
    QTest::mouseClick(w->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    // Both ticks go, the one the filter hid as well.
    const std::string in =
        files::readAll(path("x") + "/" + w->run().requestName() + ".in").value_or("");
    EXPECT_NE(in.find("R MULTI \xFA"
                      "02|01\xFA"),
              std::string::npos)
        << u8(in);
}

} // namespace
} // namespace fc
