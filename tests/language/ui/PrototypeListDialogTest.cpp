// The prototype list dialog: what it lists, what it hands to the designer, how it closes.
#include "language/ui/PrototypeListDialog.h"

#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "language/PrototypeTable.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontInfo>
#include <QListWidget>
#include <QTest>

namespace fc {
namespace {

class PrototypeListDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        table.loadText(codepage::toDos(w("ob % на %\r\nsum %: %\r\n")));
        ASSERT_EQ(table.count(), 3);
        dialog.setInsertTarget([this](const std::string& line) { inserted.push_back(line); });
    }

    void open() {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
        dialog.list()->setFocus();
    }

    PrototypeTable table;
    PrototypeListDialog dialog{table};
    std::vector<std::string> inserted;
};

TEST_F(PrototypeListDialogTest, ListsTheTableInWindowsText) {
    open();
    EXPECT_EQ(cp1251::fromQString(dialog.windowTitle()), w("Пpототипы фактов"));
    QListWidget* list = dialog.list();
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(0)->text(), QString("ta %, %, %, %, %, %"));
    EXPECT_EQ(list->item(1)->text(), QString::fromUtf8("ob % на %"));
    EXPECT_EQ(list->item(2)->text(), QString("sum %: %"));
}

TEST_F(PrototypeListDialogTest, EnterInsertsTheCurrentLineAndCloses) {
    open();
    dialog.list()->setCurrentRow(1);
    QTest::keyClick(dialog.list(), Qt::Key_Return);
    ASSERT_EQ(inserted.size(), 1u);
    EXPECT_EQ(inserted[0], w("ob % на %"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(PrototypeListDialogTest, DoubleClickInsertsThatLine) {
    open();
    QListWidget* list = dialog.list();
    const QRect r = list->visualItemRect(list->item(2));
    // A double click is the second click of a pair, as the user makes it.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    ASSERT_EQ(inserted.size(), 1u);
    EXPECT_EQ(inserted[0], "sum %: %");
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PrototypeListDialogTest, EscapeClosesWithoutInserting) {
    open();
    QTest::keyClick(dialog.list(), Qt::Key_Escape);
    EXPECT_TRUE(inserted.empty());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(PrototypeListDialogTest, EachOpeningRefills) {
    open();
    QTest::keyClick(dialog.list(), Qt::Key_Escape);
    std::vector<std::string> reports;
    table.loadText("abc\r\n", &reports); // a malformed answer empties the table
    open();
    EXPECT_EQ(dialog.list()->count(), 0);
    QTest::keyClick(dialog.list(), Qt::Key_Return);
    EXPECT_TRUE(inserted.empty());
    table.reset();
    dialog.hide();
    open();
    EXPECT_EQ(dialog.list()->count(), 1);
}

TEST_F(PrototypeListDialogTest, ListUsesAnInstalledMonospaceFont) {
    const QFont f = PrototypeListDialog::listFont();
    EXPECT_TRUE(QFontInfo(f).fixedPitch()) << f.family().toStdString();
    EXPECT_EQ(dialog.list()->font().family(), f.family());
}

} // namespace
} // namespace fc
