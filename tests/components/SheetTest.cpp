#include "components/model/Workbook.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

TEST(Sheet, OutOfRangeWritesAreIgnored) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setText(0, 1, "x");
    s.setText(1, 0, "x");
    s.setText(kMaxRows + 1, 1, "x");
    s.setNumber(1, kMaxCols + 1, 5);
    EXPECT_EQ(s.lastUsedRow(), 0);
    EXPECT_EQ(s.text(-5, 3), "");
    s.setText(kMaxRows, kMaxCols, "corner");
    EXPECT_EQ(s.text(kMaxRows, kMaxCols), "corner");
}

} // namespace
} // namespace fc
