#include "output/WorkbookFile.h"

#include "components/format/XlsReader.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "results/ResultLayout.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

// A result sheet with what the window keeps beside and below its data.
void fillResult(Workbook& book) {
    Sheet& s = book.sheet();
    s.setMaxRow(3);
    s.setMaxCol(3);
    s.setText(1, 2, "Name");
    s.setNumber(2, 3, 12.5);
    s.setText(2, result::kActionCol, "{2}K01|");
    s.setText(2, result::kMarkCol, "X");
    s.setText(4, result::kMarkCol, "X"); // the sheet has unsaved edits
    s.setText(5, 2, "filter state");
    s.setText(3 + result::kAuxRows + 1, 2, "far below");
    s.setText(1, 4, "right of the data");
}

TEST(WorkbookFile, TheFileLeavesTheWindowsPartsAndTheWindowKeepsThem) {
    QTemporaryDir tmp;
    Workbook book;
    fillResult(book);
    Sheet& s = book.sheet();
    s.merge({2, 5, 2, 6}); // beside the data: set aside with the cells
    s.setFormula(3, 3, "=C2*2");
    const std::string path = tmp.filePath("r.xls").toStdString();
    std::string error;
    ASSERT_TRUE(output::writeWorkbookFile(book, path, error)) << error;
    Workbook back;
    ASSERT_TRUE(readXls(path, back, error)) << error;
    const Sheet& c = back.sheet();
    EXPECT_EQ(c.text(1, 2), "Name");
    EXPECT_EQ(c.number(2, 3), 12.5);
    EXPECT_EQ(c.formula(3, 3), "=C2*2");
    EXPECT_EQ(c.number(3, 3), 25);
    for (CellRef gone : {CellRef{2, result::kActionCol}, CellRef{2, result::kMarkCol},
                         CellRef{4, result::kMarkCol}, CellRef{5, 2}, CellRef{1, 4}}) {
        EXPECT_EQ(c.text(gone.row, gone.col), "") << gone.row << "," << gone.col;
    }
    EXPECT_TRUE(c.merges().empty());
    EXPECT_EQ(c.text(3 + result::kAuxRows + 1, 2), "far below") << "only the 120 rows go";
    // The window still drills down, keeps the marks of its unsaved edits and its merge.
    EXPECT_EQ(s.text(2, result::kActionCol), "{2}K01|");
    EXPECT_EQ(s.text(4, result::kMarkCol), "X");
    EXPECT_EQ(s.text(5, 2), "filter state");
    EXPECT_EQ(s.text(1, 4), "right of the data");
    EXPECT_EQ(s.merges().size(), 1u);
    EXPECT_EQ(s.formula(3, 3), "=C2*2");
    s.setText(2, 7, "still in order");
    EXPECT_EQ(s.text(2, result::kActionCol), "{2}K01|") << "the row's cells stay sorted";
}

TEST(WorkbookFile, WritesExcel97OrXlsxByName) {
    QTemporaryDir tmp;
    Workbook book;
    fillResult(book);
    ScriptedPrompter prompter;
    const std::string xls = tmp.filePath("r.xls").toStdString();
    ASSERT_TRUE(output::saveWorkbookFile(book, xls, prompter));
    Workbook back;
    std::string error;
    ASSERT_TRUE(readXls(xls, back, error)) << error;
    EXPECT_EQ(back.sheet().text(1, 2), "Name");
    EXPECT_EQ(back.sheet().text(2, result::kActionCol), "");
    ASSERT_TRUE(output::saveWorkbookFile(book, tmp.filePath("r.XLSX").toStdString(), prompter));
    QFile x(tmp.filePath("r.XLSX"));
    ASSERT_TRUE(x.open(QIODevice::ReadOnly));
    EXPECT_EQ(x.read(2), QByteArray("PK")) << "an Excel 2007 file is a zip";
    EXPECT_EQ(prompter.transcript(), "");

    EXPECT_FALSE(
        output::saveWorkbookFile(book, tmp.filePath("no/such/dir.xls").toStdString(), prompter));
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка сохранения!\n");
}

} // namespace
} // namespace fc
