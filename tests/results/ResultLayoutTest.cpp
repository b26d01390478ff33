#include "results/ResultLayout.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }

// Two heading rows over rows 3..8: a two-row record (3-4), a one-row record (5), a group
// heading (6), a record (7) and a totals row (8), separated by borders.
struct Records : ::testing::Test {
    Workbook book;
    Sheet& s = book.sheet(1);

    void SetUp() override {
        s.setMaxRow(8);
        s.setMaxCol(4);
        s.setFixedRows(1, 2);
        s.setText(1, 2, w("Счет"));
        s.setText(2, 2, w("дебет"));
        s.merge({1, 3, 1, 4}); // a heading spanning columns 3 and 4
        s.setText(1, 3, w("Обороты"));
        s.setText(2, 3, w("за месяц"));
        for (int r : {2, 4, 5, 6, 7}) {
            s.editStyle({r, 2, r, 4},
                        [](Style& st) { st.border(BorderSide::Bottom).style = BorderStyle::Thin; });
        }
        s.setText(3, 2, "60");
        s.setText(4, 2, w("поставщики"));
        s.setText(5, 2, "62");
        s.setText(6, 2, w("  Группа"));
        s.setText(7, 2, "90");
        s.setText(8, 2, w("Итого:"));
        s.setText(8, result::kActionCol, "{2}K|{3}2|");
    }
};

TEST_F(Records, BlocksFollowTheBordersOfTheDataRows) {
    EXPECT_EQ(result::firstDataRow(s), 3);
    EXPECT_EQ(result::lastHeadingRow(s), 2);
    const std::vector<result::Block> b = result::blocks(s, 2, 4);
    ASSERT_EQ(b.size(), 5u);
    EXPECT_EQ(b[0].first, 3);
    EXPECT_EQ(b[0].last, 4);
    EXPECT_EQ(b[4].first, 8);
    EXPECT_EQ(b[4].last, 8);
    // A top border of the next row ends a block too; borders outside the columns do not.
    s.editStyle({3, 4, 3, 4},
                [](Style& st) { st.border(BorderSide::Bottom).style = BorderStyle::Thin; });
    EXPECT_EQ(result::blocks(s, 2, 3).size(), 5u);
    s.editStyle({4, 3, 4, 3},
                [](Style& st) { st.border(BorderSide::Top).style = BorderStyle::Thin; });
    EXPECT_EQ(result::blocks(s, 2, 3).size(), 6u);
}

TEST_F(Records, SpecialRowsAndLevels) {
    EXPECT_TRUE(result::isGroupHeading(s, 6));
    EXPECT_FALSE(result::isGroupHeading(s, 5));
    s.setText(9, 2, "   ");
    EXPECT_FALSE(result::isGroupHeading(s, 9)); // blank is no heading
    EXPECT_TRUE(result::isTotalsRow(s, 8));     // "Итого:" counts as "ИТОГО:"
    EXPECT_FALSE(result::isTotalsRow(s, 7));
    EXPECT_EQ(result::totalsLevel(s, 8), 2); // after the last "}"
    EXPECT_EQ(result::totalsLevel(s, 7), 1);
    s.setText(7, result::kActionCol, "{2}x|");
    EXPECT_EQ(result::totalsLevel(s, 7), 1);
}

TEST_F(Records, ColumnHeadingsSkipMergedCells) {
    EXPECT_EQ(u8(result::columnHeading(s, 2)), "Счет дебет");
    EXPECT_EQ(u8(result::columnHeading(s, 3)), "за месяц");
    EXPECT_EQ(result::sortKeyCol(s), 7);
}

} // namespace
} // namespace fc
