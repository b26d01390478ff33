// The argument bar and tree of the report window, driven as a user does against the stand-in
// server: clicks, Shift+F keys, the tree, command arguments and the answer cache.
#include "ExchangeFixture.h"

#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "components/ui/SheetView.h"
#include "exchange/AnswerCache.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

namespace fc {
namespace {

std::string dos(std::string_view utf8) { return codepage::toDos(w(utf8)); }
QString qs(const char* utf8) { return QString::fromUtf8(utf8); }

// Saves a picture of the window where the variable says, for looking at.
void keepPicture(TMDIChild1* w, const char* variable) {
    if (const char* file = std::getenv(variable)) {
        w->parentWidget()->showNormal();
        w->parentWidget()->resize(760, 330);
        QTest::qWait(20);
        w->grab().save(QString::fromLocal8Bit(file));
    }
}

struct ArgumentBar : test::ExchangeFixture {
    TMDIChild1* report() const {
        QMdiSubWindow* sub = form->mdiArea()->activeSubWindow();
        return sub ? qobject_cast<TMDIChild1*>(sub->widget()) : nullptr;
    }
    void serve(TMDIChild1* w) {
        ASSERT_GE(server->pollOnce(), 1);
        w->pollAnswer();
        QCoreApplication::processEvents();
    }
    // The argument fields (state characters 9-32) of the window's waiting request, and its
    // command line.
    std::string fields(TMDIChild1* w) {
        const std::string in =
            files::readAll(path("x") + "/" + w->run().requestName() + ".in").value_or("");
        const std::size_t second = in.find('\xFA', in.find('\xFA') + 1);
        return second == std::string::npos ? "<no request>"
                                           : text::trimRight(in.substr(second + 9, 24));
    }
    int waiting() const {
        return QDir(QString::fromStdString(path("x"))).entryList({"*.in"}, QDir::Files).size();
    }
    void putArgs(const std::string& name, const char* utf8) {
        ASSERT_TRUE(files::writeAtomic(path("start") + "/" + name, dos(utf8)));
    }
    void focusSheet(TMDIChild1* w) {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        w->activateChild();
        w->sheetView()->setFocus();
        QCoreApplication::processEvents();
    }
    QPushButton* button(TMDIChild1* w, int i) {
        return w->findChild<QPushButton*>(QStringLiteral("argButton%1").arg(i));
    }
};

TEST_F(ArgumentBar, ClickedThroughEachRunCarriesItsFields) {
    int designers = 0;
    form->setDesignerFactory([&designers](ShellHost&) -> QWidget* {
        ++designers;
        return nullptr;
    });
    std::string lines = "01 Январь\r\n02 Февраль *\r\n|НДС С НДС\r\nH --Скрытая\r\n";
    for (int i = 5; i <= 14; ++i) {
        lines += "K" + std::to_string(i) + " Статья " + std::to_string(i) + "\r\n";
    }
    putArgs("SALES.ARG", lines.c_str());
    form->runReport("R SALES", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(fields(w), "02"); // the default, before the first request
    serve(w);

    auto* bar = w->findChild<QFrame*>("ArgBar");
    auto* marker = w->findChild<QLabel*>("Panel3");
    auto* second = w->findChild<QLabel*>("FPanel");
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->isHidden());
    ASSERT_NE(button(w, 13), nullptr);
    EXPECT_EQ(button(w, 0)->text(), qs("Январь"));
    EXPECT_EQ(button(w, 1)->toolTip(), "Shift+F2");
    EXPECT_TRUE(button(w, 3)->isHidden()); // "--": hidden, still on its key
    EXPECT_FALSE(marker->isHidden());
    EXPECT_EQ(marker->geometry(), button(w, 1)->geometry().adjusted(1, 1, -1, -1));
    EXPECT_EQ(marker->palette().color(QPalette::Window), QColor(Qt::green));
    auto* args = w->findChild<QMenu*>("Args");
    ASSERT_EQ(args->actions().size(), 14);
    EXPECT_EQ(args->actions().at(12)->text(), "arg12");
    EXPECT_EQ(args->actions().at(12)->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F13));

    QTest::mouseClick(button(w, 0), Qt::LeftButton);
    EXPECT_EQ(fields(w), "01");
    EXPECT_EQ(marker->geometry(), button(w, 0)->geometry().adjusted(1, 1, -1, -1));
    EXPECT_EQ(marker->palette().color(QPalette::Window), QColor(Qt::yellow));
    QTest::mouseClick(button(w, 4), Qt::LeftButton); // ignored while the marker is yellow
    EXPECT_EQ(waiting(), 1);
    serve(w);
    EXPECT_EQ(w->findChild<QLabel*>("Panel3")->palette().color(QPalette::Window),
              QColor(Qt::green));

    // Keys on the sheet: the toggle on, then off through its marker.
    focusSheet(w);
    QTest::keyClick(w->sheetView(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(fields(w), "01          " + dos("НДС"));
    serve(w);
    second = w->findChild<QLabel*>("FPanel");
    EXPECT_FALSE(second->isHidden());
    EXPECT_EQ(second->text(), qs("С НДС"));
    keepPicture(w, "FC_ARGUMENT_BAR_SHOT");
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_EQ(fields(w), "01");
    serve(w);
    // The hidden button's key; Shift+F7 is the sheet's, not "Создать"'s.
    focusSheet(w);
    QTest::keyClick(w->sheetView(), Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(fields(w), "H");
    serve(w);
    focusSheet(w);
    QTest::keyClick(w->sheetView(), Qt::Key_F7, Qt::ShiftModifier);
    EXPECT_EQ(fields(w), "K7");
    EXPECT_EQ(designers, 0);
    serve(w);
    // The request the sheet came from is kept without the user name and password.
    const std::string stored = w->workbook().sheet(1).text(3, 256);
    EXPECT_EQ(stored.substr(0, 2), "\xFA\xFA");
    EXPECT_EQ(stored.find("pw"), std::string::npos);
    EXPECT_NE(stored.find("R SALES"), std::string::npos);
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(ArgumentBar, TheTreeChoosesByExpandingAndLeadsToRows) {
    putArgs("BYREGION.ARG", "N Север *\r\nS Юг\r\n");
    form->runReport("R BYREGION", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w);
    auto* tree = w->findChild<QTreeWidget*>("TreeView1");
    ASSERT_NE(tree, nullptr);
    EXPECT_FALSE(tree->isHidden());
    EXPECT_TRUE(w->findChild<QFrame*>("ArgBar")->isHidden()); // no toggle
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    QTreeWidgetItem* north = tree->topLevelItem(0);
    EXPECT_EQ(north->text(0), qs("Север"));
    EXPECT_TRUE(north->isExpanded());
    ASSERT_EQ(north->childCount(), 4); // the title row and three clients
    EXPECT_EQ(north->child(2)->text(0), qs("ЧП Иванов"));
    EXPECT_EQ(tree->topLevelItem(1)->child(0)->text(0), "-");

    // A child leads to its row.
    emit tree->itemClicked(north->child(2), 0);
    EXPECT_EQ(w->workbook().sheet(1).activeCell().row, 3);
    EXPECT_EQ(w->workbook().sheet(1).topRow(), 3);

    // Expanding another region chooses it; its clients come with the answer.
    tree->topLevelItem(1)->setExpanded(true);
    EXPECT_FALSE(tree->topLevelItem(1)->isExpanded());
    EXPECT_EQ(fields(w), "S");
    serve(w);
    tree = w->findChild<QTreeWidget*>("TreeView1");
    QTreeWidgetItem* south = tree->topLevelItem(1);
    EXPECT_TRUE(south->isExpanded());
    ASSERT_EQ(south->childCount(), 3);
    EXPECT_EQ(south->child(2)->text(0), qs("ООО \"Каштан\""));
    keepPicture(w, "FC_ARGUMENT_TREE_SHOT");
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(ArgumentBar, ACommandTakesTheSelectedRowAndAnEmptyCellStopsIt) {
    form->runReport("R TURNOVER", 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    serve(w); // the answer writes TURNOVER.ARG; its bar has the command last
    QPushButton* command = button(w, 4);
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->text(), qs("Продажи клиента"));
    Sheet& s = w->workbook().sheet(1);
    s.setSelection({8, 2, 8, 2}); // below the data: column 2 is empty
    QTest::mouseClick(command, Qt::LeftButton);
    EXPECT_EQ(waiting(), 0);
    EXPECT_EQ(form->mdiArea()->subWindowList().size(), 1);
    s.setSelection({3, 1, 3, 3});
    QTest::mouseClick(command, Qt::LeftButton);
    ASSERT_EQ(form->mdiArea()->subWindowList().size(), 2);
    auto* sales = qobject_cast<TMDIChild1*>(form->mdiArea()->subWindowList().back()->widget());
    ASSERT_NE(sales, w);
    const std::string in =
        files::readAll(path("x") + "/" + sales->run().requestName() + ".in").value_or("");
    EXPECT_NE(in.find(dos("R SALES ЧП") + "\xFA" + dos("Иванов") + "\xFA"), std::string::npos);
}

TEST_F(ArgumentBar, ACachedReportOpensWithoutARequestAndChoosesFromTheCache) {
    // Two cached copies of CACHED, for the arguments A and B; no server copy.
    putArgs("CACHED.ARG", "A Первый *\r\nB Второй\r\nC Третий\r\n");
    const std::string line = "R CACHED ;cache=c.vts";
    for (const char* arg : {"A", "B"}) {
        Workbook copy;
        copy.sheet(1).setText(1, 2, std::string("copy ") + arg);
        copy.sheet(1).setMaxRow(1);
        const std::string key = cache::localKey(line, "620A0LA_" + text::fit(arg, 24));
        QDir().mkpath(QString::fromStdString(path("start") + "/CACHE"));
        std::string error;
        ASSERT_TRUE(
            writeWorkbookFile(cache::localPath(path("start"), key), kFileNative, copy, error))
            << error;
    }
    form->runReport(line, 0);
    TMDIChild1* w = report();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(waiting(), 0); // nothing was asked of the server
    EXPECT_EQ(w->workbook().sheet(1).text(1, 2), "copy A");
    EXPECT_FALSE(w->findChild<QFrame*>("Panel5")->isHidden());
    QPushButton* b = button(w, 1);
    ASSERT_NE(b, nullptr);
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(waiting(), 0);
    EXPECT_EQ(w->workbook().sheet(1).text(1, 2), "copy B");
    // The choice becomes the default, in the one file of the current directory.
    EXPECT_EQ(files::readAll(path("start") + "/CACHED.arg").value_or(""),
              dos("A Первый\r\nB Второй *\r\nC Третий\r\n"));
    EXPECT_FALSE(files::exists(path("start") + "/CACHED.ARG"));
    auto* marker = w->findChild<QLabel*>("Panel3");
    EXPECT_EQ(marker->palette().color(QPalette::Window), QColor(Qt::green));
    EXPECT_EQ(marker->text(), qs("Второй"));
    // Not cached: the third argument goes to the server.
    focusSheet(w);
    QTest::keyClick(w->sheetView(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(fields(w), "C");
}

} // namespace
} // namespace fc
