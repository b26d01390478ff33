#include "AnswerFixture.h"

#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::AnswerFixture;

// What every result sheet starts with, whichever reader filled it.
void expectResultDefaults(const Workbook& book) {
    const Permissions& p = book.allow();
    EXPECT_FALSE(p.allowInCellEditing);
    EXPECT_FALSE(p.allowMoveRange);
    EXPECT_FALSE(p.allowDelete);
    EXPECT_FALSE(p.allowEditHeaders);
    EXPECT_TRUE(p.allowFormulas);
    EXPECT_TRUE(p.allowFillRange);
    const ViewOptions& v = book.view();
    EXPECT_FALSE(v.showRowHeading);
    EXPECT_TRUE(v.showColHeading);
    EXPECT_FALSE(v.showGridLines);
    EXPECT_FALSE(v.showZeroValues);
    EXPECT_FALSE(v.showFormulas);
    EXPECT_EQ(v.hdrHeight, 255);
    EXPECT_EQ(v.hdrWidth, 450);
    EXPECT_EQ(v.backColor, rgb(255, 255, 255));
}

TEST(SheetProperty, TheTableReaderStartsFromTheResultDefaults) {
    AnswerFixture fx;
    // Left over from a designer-like workbook: everything allowed, a landscape page.
    fx.book.sheet(1).print().leftMargin = 2;
    fx.book.sheet(1).print().header = "old";
    fx.book.sheet(1).print().gridLines = true;
    fx.setAnswer(";table\r\n;MAXCOL=3\r\n;TOP=24.5\r\n&&\r\n&02x|0000lb\r\n");
    read_table(fx.ctx, "x.out");
    expectResultDefaults(fx.book);
    const PrintSettings& print = fx.book.sheet(1).print();
    EXPECT_EQ(print.paperSize, 9);
    EXPECT_DOUBLE_EQ(print.leftMargin, 0.5);
    EXPECT_DOUBLE_EQ(print.bottomMargin, 0.75);
    EXPECT_DOUBLE_EQ(print.rightMargin, 0);
    EXPECT_DOUBLE_EQ(print.headerMargin, 0.2);
    EXPECT_DOUBLE_EQ(print.footerMargin, 0.2);
    EXPECT_DOUBLE_EQ(print.topMargin, 1.0); // the answer's own setting comes after
    EXPECT_EQ(print.header, "");
    EXPECT_FALSE(print.gridLines);
    EXPECT_TRUE(print.noColor);
    EXPECT_EQ(fx.book.sheet(1).colWidth(1), 256);
    EXPECT_EQ(fx.book.sheet(1).maxCol(), 3);
    EXPECT_EQ(fx.text(1, 2), "x");
    EXPECT_EQ(fx.book.defaultFont().name, "Fixedsys");
}

TEST(SheetProperty, TheTurboReaderStartsFromThemToo) {
    AnswerFixture fx;
    Workbook form;
    form.sheet(1).setMaxCol(3);
    form.sheet(1).setMaxRow(1);
    form.sheet(1).setText(1, 2, "f");
    std::string error;
    ASSERT_TRUE(writeWorkbookFile(fx.path("T.vts"), kFileNative, form, error)) << error;
    fx.setAnswer(";table ;ext=T.rpt\r\n1|v\r\n");
    read_table_ex(fx.ctx, fx.path("T.vts"));
    expectResultDefaults(fx.book); // the font is the companion's
    EXPECT_EQ(fx.text(1, 2), "v");
}

} // namespace
} // namespace fc
