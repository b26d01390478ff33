#include "designer/CellLine.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

struct ParseCase {
    const char* name;
    const char* line;
    int colDigits;
    int col;
    const char* text;
    int font;
    std::array<int, 4> borders;
    char h, v;
    bool wrap;
    bool merged;
    int mc, mr;
    int pattern;
    unsigned fg, bg;
    const char* format;
};

class CellLineParse : public testing::TestWithParam<ParseCase> {};

TEST_P(CellLineParse, Fields) {
    const ParseCase& k = GetParam();
    CellLine c;
    ASSERT_TRUE(parseCellLine(k.line, k.colDigits, c)) << k.line;
    EXPECT_EQ(c.col, k.col);
    EXPECT_EQ(c.text, k.text);
    EXPECT_EQ(c.font, k.font);
    EXPECT_EQ(c.borders, k.borders);
    EXPECT_EQ(c.halign, k.h);
    EXPECT_EQ(c.valign, k.v);
    EXPECT_EQ(c.wrap, k.wrap);
    EXPECT_EQ(c.merged, k.merged);
    EXPECT_EQ(c.mergeCols, k.mc);
    EXPECT_EQ(c.mergeRows, k.mr);
    EXPECT_EQ(c.pattern, k.pattern);
    EXPECT_EQ(c.patternFg, k.fg);
    EXPECT_EQ(c.patternBg, k.bg);
    EXPECT_EQ(c.numberFormat, k.format);
}

INSTANTIATE_TEST_SUITE_P(Lines, CellLineParse,
                         testing::Values(ParseCase{"plain",
                                                   "&2 abc|0000lb     ",
                                                   2,
                                                   2,
                                                   "abc",
                                                   -1,
                                                   {0, 0, 0, 0},
                                                   'l',
                                                   'b',
                                                   false,
                                                   false,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   ""},
                                         ParseCase{"everything",
                                                   "&12<3> x y |1234rtw 2 1 1     255 8421504|0.00",
                                                   2,
                                                   12,
                                                   " x y ",
                                                   3,
                                                   {1, 2, 3, 4},
                                                   'r',
                                                   't',
                                                   true,
                                                   true,
                                                   2,
                                                   1,
                                                   1,
                                                   255,
                                                   8421504,
                                                   "0.00"},
                                         ParseCase{"formatNoPattern",
                                                   "&3 5|0000cc     |# ##0",
                                                   2,
                                                   3,
                                                   "5",
                                                   -1,
                                                   {0, 0, 0, 0},
                                                   'c',
                                                   'c',
                                                   false,
                                                   false,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   "# ##0"},
                                         ParseCase{"threeDigitColumn",
                                                   "&120q|6600lb  0 3",
                                                   3,
                                                   120,
                                                   "q",
                                                   -1,
                                                   {6, 6, 0, 0},
                                                   'l',
                                                   'b',
                                                   false,
                                                   true,
                                                   0,
                                                   3,
                                                   0,
                                                   0,
                                                   0,
                                                   ""},
                                         ParseCase{"barInText",
                                                   "&2 a|b|c|1000lb     |@",
                                                   2,
                                                   2,
                                                   "a|b|c",
                                                   -1,
                                                   {1, 0, 0, 0},
                                                   'l',
                                                   'b',
                                                   false,
                                                   false,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   "@"},
                                         ParseCase{"cutAfterBar",
                                                   "&4 cut|00",
                                                   2,
                                                   4,
                                                   "cut",
                                                   -1,
                                                   {0, 0, 0, 0},
                                                   'l',
                                                   'b',
                                                   false,
                                                   false,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   ""},
                                         ParseCase{"noBarAtAll",
                                                   "&5 only text",
                                                   2,
                                                   5,
                                                   "only text",
                                                   -1,
                                                   {0, 0, 0, 0},
                                                   'l',
                                                   'b',
                                                   false,
                                                   false,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   ""},
                                         ParseCase{"upperCaseLetters",
                                                   "&2 u|0000RCW",
                                                   2,
                                                   2,
                                                   "u",
                                                   -1,
                                                   {0, 0, 0, 0},
                                                   'r',
                                                   'c',
                                                   true,
                                                   false,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   0,
                                                   ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CellLine, UnreadableColumn) {
    CellLine c;
    EXPECT_FALSE(parseCellLine("&xx abc|0000lb", 2, c));
    EXPECT_FALSE(parseCellLine("&", 2, c));
    EXPECT_FALSE(parseCellLine("abc", 2, c));
}

TEST(CellLine, FormatRoundTripsAndDropsEmptyCells) {
    CellLine c;
    c.col = 7;
    c.font = 2;
    c.text = "Total |";
    c.borders = {0, 6, 1, 9};
    c.halign = 'c';
    c.valign = 't';
    c.wrap = true;
    c.merged = true;
    c.mergeCols = 12;
    c.mergeRows = 3;
    c.pattern = 1;
    c.patternFg = 12632256;
    c.patternBg = 16777215;
    c.numberFormat = "0.00";
    const std::string line = formatCellLine(c, 3);
    EXPECT_EQ(line, "&7  <2>Total ||0619ctw12 3 11263225616777215|0.00");
    CellLine back;
    ASSERT_TRUE(parseCellLine(line, 3, back));
    EXPECT_EQ(formatCellLine(back, 3), line);

    CellLine empty;
    empty.col = 4;
    EXPECT_EQ(formatCellLine(empty, 2), "");
    empty.numberFormat = "General";
    EXPECT_EQ(formatCellLine(empty, 2), "");
    empty.valign = 't';
    EXPECT_EQ(formatCellLine(empty, 2), "&4 |0000lt     ");
}

} // namespace
} // namespace fc
