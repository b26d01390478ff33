// What the readers leave for the sort: "H=" heights beside the rows, and no placement records
// in MaxCol + 1 once a table-format result's objects are placed.
#include "AnswerFixture.h"

#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "designer/ObjectImage.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::AnswerFixture;
using test::dos;

TEST(ReaderSortHelpers, TurboHeightsAreKeptBesideTheirRows) {
    AnswerFixture fx;
    Workbook form;
    Sheet& f = form.sheet();
    f.setMaxCol(4);
    f.setMaxRow(1);
    std::string error;
    const std::string companion = fx.path("T.vts");
    ASSERT_TRUE(writeWorkbookFile(companion, kFileNative, form, error)) << error;
    fx.setAnswer(dos(";table ;ext=T.rpt\r\n1|a\r\nH=400\r\n1|b\r\n"));
    read_table_ex(fx.ctx, companion);
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(s.rowHeight(1), 400);
    EXPECT_EQ(s.text(1, s.maxCol() + 2), "H=400");
    EXPECT_EQ(s.text(2, s.maxCol() + 2), "");
}

TEST(ReaderSortHelpers, TableFormatObjectsArePlacedAndTheirRecordsGo) {
    AnswerFixture fx;
    Workbook objects;
    DrawnObject box;
    box.kind = ObjectKind::Rectangle;
    box.x1 = 1;
    box.x2 = 2;
    box.y1 = 0;
    box.y2 = 1;
    const int id = objects.sheet(1).addObject(box);
    std::string lines, error;
    ASSERT_TRUE(ObjectImage(fx.dirPath()).encode(1, objects, lines, error)) << error;
    const std::string record = ";OBJ=1.50|2.50|0.25|1.00|" + std::to_string(id) + "|2|[\r\n";
    fx.setAnswer(dos(";table\r\n;MAXCOL=3\r\n") + ";NOBJECTS[\r\n" + lines + ";]OBJECTS\r\n" +
                 dos("&&\r\n&02первая|0000lc\r\n&&\r\n&02вторая|0000lc\r\n") + record);
    read_table(fx.ctx, "x.out");
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(fx.messages(), "");
    ASSERT_EQ(s.objects().size(), 1u);
    EXPECT_DOUBLE_EQ(s.objects()[0].y1, 1.25); // row 2, a quarter down
    EXPECT_DOUBLE_EQ(s.objects()[0].x1, 1.5);
    EXPECT_EQ(s.text(2, 4), ""); // MaxCol + 1 is free for the sort
    EXPECT_EQ(fx.text(2, 2), "вторая");
}

} // namespace
} // namespace fc
