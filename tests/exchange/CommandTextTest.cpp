#include "exchange/CommandText.h"

#include "components/model/Workbook.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

TEST(CommandText, ColumnsAreReplacedByPathRules) {
    Workbook book;
    Sheet& s = book.sheet(1);
    s.setText(4, 3, "  62 ");
    s.setText(4, 6, "%3"); // replaced text is never scanned again
    auto sub = [&](const char* c, OnEmptyValue e) { return substituteColumns(c, s, 4, e); };

    EXPECT_EQ(*sub("VREK CARD %3 %6", OnEmptyValue::Abandon), "VREK CARD 62 %3");
    // Empty cell: an outside program is dropped, an opened report keeps what it has.
    EXPECT_EQ(sub("prog %5 %3", OnEmptyValue::Abandon), std::nullopt);
    EXPECT_EQ(*sub("CARD %5 %3", OnEmptyValue::Stop), "CARD  %3");
    // A "%" that names no column stays as typed and the scan goes on after it.
    EXPECT_EQ(*sub("a %x %% 100% %-3 %257 %3", OnEmptyValue::Abandon), "a %x %% 100% %-3 %257 62");
    EXPECT_EQ(*sub("%", OnEmptyValue::Abandon), "%");
}

TEST(CommandText, HandleFileIsTenBytesPaddedWithNul) {
    EXPECT_EQ(handleFileBytes(1001), std::string("1001\0\0\0\0\0\0", 10));
    EXPECT_EQ(handleFileBytes(12345678901234LL).size(), 10u);
}

} // namespace
} // namespace fc
