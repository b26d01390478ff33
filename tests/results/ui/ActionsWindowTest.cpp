#include "ExchangeFixture.h"

#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"
#include "results/ResultLayout.h"
#include "results/ui/TMDIChild1.h"
#include "shell/ui/CommandTable.h"
#include "shell/ui/TMainForm.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace fc {
namespace {

std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }

// Saves a picture of the widget where the variable says, for looking at.
void keepPicture(QWidget* w, const char* variable) {
    if (const char* file = std::getenv(variable)) {
        QTest::qWait(20);
        w->grab().save(QString::fromLocal8Bit(file));
    }
}

// The demo's turnover statement (rows 3 to 6: accounts 50, 51, 60, 62; row 7 the totals) in
// the window the main window opened for it.
struct ActionsWindow : test::ExchangeFixture {
    TMDIChild1* report() const {
        QMdiSubWindow* sub = form->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<TMDIChild1*>(sub->widget()) : nullptr;
    }
    // One round trip; the window is given room for the cells the test clicks.
    void serve(TMDIChild1* w) {
        ASSERT_GE(server->pollOnce(), 1);
        w->pollAnswer();
        if (w->parentWidget() && w->parentWidget()->width() < 900) {
            w->parentWidget()->showNormal();
            w->parentWidget()->resize(900, 500);
        }
        QCoreApplication::processEvents();
    }
    TMDIChild1* turnover() {
        form->runReport("R ACCOUNTS", 0);
        TMDIChild1* w = report();
        EXPECT_NE(w, nullptr);
        if (w) {
            serve(w);
            w->sheetView()->setFocus();
        }
        return w;
    }
    QPoint at(TMDIChild1* w, int row, int col) {
        return w->sheetView()->cellRect(row, col).center();
    }
    void click(TMDIChild1* w, int row, int col) {
        QTest::mouseClick(w->sheetView()->viewport(), Qt::LeftButton, {}, at(w, row, col));
    }
    void doubleClick(TMDIChild1* w, int row, int col) {
        click(w, row, col); // the first press of a double click selects the cell
        QTest::mouseDClick(w->sheetView()->viewport(), Qt::LeftButton, {}, at(w, row, col));
        QCoreApplication::processEvents();
    }
    // The request files waiting in the exchange directory whose names begin with `prefix`.
    QStringList waiting(const QString& prefix) const {
        return QDir(QString::fromStdString(path("x"))).entryList({prefix + "*.in"}, QDir::Files);
    }
    std::string request(const QString& file) const {
        return files::readAll(path("x") + "/" + file.toStdString()).value_or("");
    }
};

TEST_F(ActionsWindow, DrillsDownAndCopiesTheLimitBackIntoTheRowToSave) {
    TMDIChild1* w = turnover();
    ASSERT_NE(w, nullptr);
    const Sheet& s = w->workbook().sheet(1);
    ASSERT_EQ(s.text(5, 2), "60");

    doubleClick(w, 5, 3);
    TMDIChild1* card = report();
    ASSERT_NE(card, nullptr);
    ASSERT_NE(card, w);
    EXPECT_EQ(form->mdiArea()->subWindowList().size(), 2);
    serve(card);
    EXPECT_EQ(u8(card->workbook().sheet(1).text(1, 2)), "Карточка счёта 60");
    keepPicture(card, "FC_CARD_SHOT");

    // The card's limit row: its value goes into the statement's row and the card closes.
    QPointer<TMDIChild1> alive(card);
    doubleClick(card, 5, 2);
    QTest::qWait(20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(report(), w);
    EXPECT_DOUBLE_EQ(s.number(5, 6), 175000);
    EXPECT_EQ(s.text(5, result::kMarkCol), "X");
    EXPECT_EQ(s.text(s.maxRow() + 1, result::kMarkCol), "X");
    EXPECT_EQ(prompter.transcript(), "");
    keepPicture(w, "FC_ACCOUNTS_SHOT");

    // "Сохpанить данные" sends the row as the data save lays it out.
    auto* button = w->findChild<QPushButton*>("BitBtn3");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isHidden()); // ";SAVE=" shows it
    QTest::mouseClick(button, Qt::LeftButton);
    const QStringList saves = waiting("save");
    ASSERT_EQ(saves.size(), 1);
    const std::string sep(1, '\xFA');
    const std::string line = settings.requestPrefix() + "R LIMITS " + sep + "60" + sep +
                             codepage::toDos("175 000.00") + sep;
    const std::string bytes = request(saves[0]);
    EXPECT_EQ(bytes.substr(bytes.size() - line.size()), line);
    EXPECT_FALSE(w->findChild<QLabel*>("Panel12")->isHidden());
    EXPECT_EQ(s.text(s.maxRow() + 1, result::kMarkCol), "");
    serve(w); // the stand-in server answers "OK"
    EXPECT_TRUE(w->findChild<QLabel*>("Panel12")->isHidden());
    EXPECT_EQ(s.text(5, result::kMarkCol), "X"); // until the sheet is read again
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(ActionsWindow, EditsOnlyItsEditableColumns) {
    TMDIChild1* w = turnover();
    ASSERT_NE(w, nullptr);
    SheetView* view = w->sheetView();
    const Sheet& s = w->workbook().sheet(1);
    const std::string debit = s.text(5, 4);
    // F2 is the main menu's "save to a workbook" here, not the sheet's editor: cancelled.
    int saveAsked = 0;
    w->outputDialogs.saveFile = [&saveAsked](const QString&, const QString&) {
        ++saveAsked;
        return QString();
    };

    click(w, 5, 4);
    QTest::keyClicks(view, "7");
    QTest::keyClick(view, Qt::Key_Delete);
    QTest::keyClick(view, Qt::Key_Backspace);
    QTest::keyClick(view, Qt::Key_F2);
    QTest::keyClick(view, Qt::Key_X, Qt::ControlModifier);
    QApplication::clipboard()->setText(QStringLiteral("999"));
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(saveAsked, 1);
    EXPECT_EQ(s.text(5, 4), debit);
    EXPECT_EQ(s.text(5, result::kMarkCol), "");

    // The limit column takes typing; "," becomes the decimal point of its money format.
    click(w, 5, 6);
    QTest::keyClicks(view, "12,5");
    EXPECT_TRUE(view->isEditing());
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_FALSE(view->isEditing());
    EXPECT_DOUBLE_EQ(s.number(5, 6), 12.5);
    EXPECT_EQ(s.activeCell(), (CellRef{5, 6})); // Enter does not move down
    EXPECT_EQ(s.text(5, result::kMarkCol), "X");
    EXPECT_EQ(s.text(s.maxRow() + 1, result::kMarkCol), "X");
    EXPECT_FALSE(w->workbook().allow().allowInCellEditing);

    // Escape cancels an open edit first; the window closes only on the next one, and asks
    // about the unsaved row.
    QTest::keyClicks(view, "99");
    ASSERT_TRUE(view->isEditing());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(view->isEditing());
    EXPECT_DOUBLE_EQ(s.number(5, 6), 12.5);
    QPointer<TMDIChild1> alive(w);
    prompter.push(Prompter::Answer::No);
    QTest::keyClick(view, Qt::Key_Escape);
    QTest::qWait(20);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сохранить изменения?\n");
}

TEST_F(ActionsWindow, EnterActsAndAsksAboutUnsavedRowsFirst) {
    TMDIChild1* w = turnover();
    ASSERT_NE(w, nullptr);
    SheetView* view = w->sheetView();
    click(w, 4, 6);
    QTest::keyClicks(view, "5");
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EQ(w->workbook().sheet(1).text(4, result::kMarkCol), "X");

    // Enter on an account: "Сохранить изменения?" Yes saves and the card stays unopened.
    click(w, 6, 2);
    prompter.push(Prompter::Answer::Yes);
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сохранить изменения?\n");
    EXPECT_EQ(waiting("save").size(), 1);
    EXPECT_EQ(form->mdiArea()->subWindowList().size(), 1);
    serve(w);

    // Nothing unsaved now: Enter opens the card.
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(form->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(prompter.shown().size(), 1u);
}

TEST_F(ActionsWindow, TheOverlayEditorTheRowCursorCheckBoxesAndSpace) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    w->parentWidget()->showNormal();
    w->parentWidget()->resize(900, 500);
    // Row 2 carries a text in column 1 (as a turbo row its form row's number), row 3 none.
    w->answerArrived(";table\r\n;MAXCOL=4\r\n;FIX=01\r\n;KURSOR\r\n;EDIT=03\r\n;SAVE=S[02,03]\r\n"
                     "&&\r\n&02code|0000lb\r\n7\r\n&02a|0000lb\r\n&03 1|0000rb|0.00\r\n&&\r\n"
                     "&02b|0000lb\r\n&03 2|0000rb|0.00\r\n");
    QCoreApplication::processEvents();
    SheetView* view = w->sheetView();
    view->setFocus();
    const Sheet& s = w->workbook().sheet(1);
    EXPECT_EQ(s.style(2, 2).fill.fg, rgb(0, 0, 128)); // the cursor on the first data row
    click(w, 3, 2);
    EXPECT_EQ(s.style(3, 3).numberFormat, "[White]0.00");
    EXPECT_EQ(s.style(2, 3).numberFormat, "0.00");

    doubleClick(w, 2, 3);
    auto* edit2 = w->findChild<QLineEdit*>("Edit2");
    ASSERT_NE(edit2, nullptr);
    EXPECT_FALSE(edit2->isHidden());
    EXPECT_FALSE(view->isEditing());
    EXPECT_EQ(edit2->text(), "1.00");
    keepPicture(w, "FC_EDIT2_SHOT");
    edit2->setText("4,5");
    QTest::keyClick(edit2, Qt::Key_Return);
    EXPECT_TRUE(edit2->isHidden());
    EXPECT_DOUBLE_EQ(s.number(2, 3), 4.5);
    EXPECT_EQ(s.text(2, result::kMarkCol), "X");

    doubleClick(w, 3, 3);
    EXPECT_TRUE(view->isEditing());
    EXPECT_EQ(view->editor()->text(), "2.00");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(view->isEditing());

    // A check box linked to a cell: the cell reads 1 or 0 and the row is marked.
    DrawnObject box;
    box.kind = ObjectKind::CheckBox;
    box.x1 = 3.05;
    box.x2 = 3.95;
    box.y1 = 2.05;
    box.y2 = 2.95;
    box.linkedCell = "D3";
    w->workbook().sheet(1).addObject(box);
    QCoreApplication::processEvents();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at(w, 3, 4));
    EXPECT_EQ(s.text(3, 4), "1");
    EXPECT_EQ(s.text(3, result::kMarkCol), "X");

    // Space let go on the sheet starts the report again (after the question about the rows).
    click(w, 3, 2);
    const int before = waiting("").size();
    prompter.push(Prompter::Answer::No);
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_EQ(waiting("").size(), before + 1);
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сохранить изменения?\n");

    // Shift+Insert pastes by the menu's rules: not into column 2.
    QApplication::clipboard()->setText(QStringLiteral("zzz"));
    QTest::keyClick(view, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(s.text(3, 2), "b");
}

TEST_F(ActionsWindow, ThePopupMenuHasItsNineItemsThenTheServers) {
    TMDIChild1* w = turnover();
    ASSERT_NE(w, nullptr);
    QMenu* menu = w->sheetMenu();
    EXPECT_EQ(menu->objectName(), "PopupMenu1");
    const QList<QAction*> own = menu->actions();
    ASSERT_EQ(own.size(), TMDIChild1::kOwnMenuItems);
    QStringList texts;
    for (QAction* a : own) {
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    }
    EXPECT_EQ(texts.join("|"), QString::fromUtf8("Фильтp|Скpыть колонку|-|Копиpовать|Вставить|"
                                                 "Удалить|-||-"));
    EXPECT_FALSE(own[7]->isVisible()); // the argument bar's item
    EXPECT_EQ(own[7]->objectName(), "Args");

    // Over a debit cell: nothing to paste or delete; the server's menu is asked for.
    click(w, 5, 4);
    emit w->sheetView()->customContextMenuRequested(at(w, 5, 4));
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(own[3]->isEnabled());
    EXPECT_FALSE(own[5]->isEnabled());
    const QStringList pops = waiting("pop");
    ASSERT_EQ(pops.size(), 1);
    EXPECT_EQ(u8(codepage::toWindows(request(pops[0]))).find("R LIMITS_MENU") != std::string::npos,
              true);
    serve(w);
    ASSERT_EQ(menu->actions().size(), TMDIChild1::kOwnMenuItems + 3);
    menu->hide();
    EXPECT_EQ(u8(w->run().context()).find("ACCOUNTS") != std::string::npos, true);

    // Over the limits: an item of the server writes its value into the selected cells.
    w->workbook().sheet(1).setSelection({4, 6, 5, 6});
    emit w->sheetView()->customContextMenuRequested(at(w, 5, 6));
    serve(w);
    keepPicture(menu, "FC_MENU_SHOT");
    QAction* item = menu->actions().at(TMDIChild1::kOwnMenuItems + 1);
    EXPECT_TRUE(item->isVisible());
    EXPECT_TRUE(own[5]->isEnabled()); // "Удалить" in an editable column
    item->trigger();
    menu->hide();
    const Sheet& s = w->workbook().sheet(1);
    EXPECT_DOUBLE_EQ(s.number(4, 6), 250000);
    EXPECT_DOUBLE_EQ(s.number(5, 6), 250000);
    EXPECT_EQ(s.text(4, result::kMarkCol) + s.text(5, result::kMarkCol), "XX");

    // ";ALLOWPOP=06": outside column 6 the server's items are hidden.
    click(w, 5, 3);
    emit w->sheetView()->customContextMenuRequested(at(w, 5, 3));
    serve(w);
    EXPECT_FALSE(menu->actions().at(TMDIChild1::kOwnMenuItems)->isVisible());
    menu->hide();
}

TEST_F(ActionsWindow, TypingFindsAccountsAndAltFindsTheName) {
    TMDIChild1* w = turnover();
    ASSERT_NE(w, nullptr);
    SheetView* view = w->sheetView();
    const Sheet& s = w->workbook().sheet(1);
    click(w, 3, 2);
    QTest::keyClicks(view, "62");
    EXPECT_EQ(s.activeCell(), (CellRef{6, 2}));
    auto* keyTimer = w->findChild<QTimer*>("KeyTimer");
    ASSERT_NE(keyTimer, nullptr);
    EXPECT_TRUE(keyTimer->isActive());
    EXPECT_EQ(keyTimer->interval(), 200);
    QTest::qWait(1600); // 7 ticks: a new text, searched from the first data row
    EXPECT_FALSE(keyTimer->isActive());
    QTest::keyClicks(view, "5");
    EXPECT_EQ(s.activeCell(), (CellRef{3, 2}));
    QTest::keyClick(view, Qt::Key_Down);
    QTest::keyClicks(view, "2"); // Down cleared the text: "2" alone, nothing begins with it
    EXPECT_EQ(s.activeCell(), (CellRef{4, 2}));
    QTest::keyClicks(view, "q"); // Latin letters do nothing in a column that is not edited
    EXPECT_EQ(s.activeCell(), (CellRef{4, 2}));

    // Alt with digits searches column 2 for a part; the row's column 1 becomes active.
    QTest::keyPress(view, Qt::Key_Alt);
    QTest::keyClick(view, Qt::Key_6, Qt::AltModifier);
    QTest::keyClick(view, Qt::Key_2, Qt::AltModifier);
    QTest::keyRelease(view, Qt::Key_Alt);
    EXPECT_EQ(s.activeCell(), (CellRef{6, 1}));

    // F7 ("Искать") is the designer's: a report window is left as it is.
    EXPECT_FALSE(form->findChild<QMenu*>("N7")->menuAction()->isEnabled());
    form->execute(ShellCommand::Find);
    EXPECT_EQ(s.activeCell(), (CellRef{6, 1}));
}

TEST_F(ActionsWindow, AltLettersOfARussianLayoutSearchByTheirLatinKeys) {
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    w->answerArrived(";table\r\n;MAXCOL=3\r\n&&\r\n&02BANK|0000lb\r\n&&\r\n&02CASH 1|0000lb\r\n"
                     "&&\r\n&02OTHER|0000lb\r\n&&\r\n&02end|0000lb\r\n");
    SheetView* view = w->sheetView();
    view->setFocus();
    w->workbook().sheet(1).setActiveCell(1, 2);
    QTest::keyPress(view, Qt::Key_Alt);
    // "С" and "А" of the Russian layout lie on the keys C and F; "с", "ф" give C and A.
    QTest::sendKeyEvent(QTest::Click, view, Qt::Key(0x0421), QString::fromUtf8("С"),
                        Qt::AltModifier);
    QTest::sendKeyEvent(QTest::Click, view, Qt::Key(0x0424), QString::fromUtf8("Ф"),
                        Qt::AltModifier);
    QTest::keyRelease(view, Qt::Key_Alt);
    EXPECT_EQ(w->workbook().sheet(1).activeCell(), (CellRef{2, 1}));
    EXPECT_FALSE(form->mdiArea()->activeSubWindow() == nullptr);
}

TEST_F(ActionsWindow, ClosingTheProgramWithUnsavedRowsPressesTheSaveButton) {
    TMDIChild1* w = turnover();
    ASSERT_NE(w, nullptr);
    click(w, 3, 6);
    QTest::keyClicks(w->sheetView(), "1");
    QTest::keyClick(w->sheetView(), Qt::Key_Return);
    prompter.push(Prompter::Answer::Yes);
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сохpанить изменения в отчете?\n");
    ASSERT_EQ(waiting("save").size(), 1);
    EXPECT_NE(request(waiting("save")[0])
                  .find(std::string("\xFA") + "50\xFA"
                                              "1.00\xFA"),
              std::string::npos);
}

} // namespace
} // namespace fc
