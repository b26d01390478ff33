#include "designer/FontTable.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

struct FontCase {
    const char* name;
    const char* line;
    bool textForm;
    int number;
    const char* font;
    int size;
    bool b, i, u, s;
    Color color;
    HAlign align;
    bool wrap;
};

class FontLineParse : public testing::TestWithParam<FontCase> {};

TEST_P(FontLineParse, Entry) {
    const FontCase& k = GetParam();
    std::optional<FontLine> f = parseFontLine(k.line, k.textForm);
    ASSERT_TRUE(f) << k.line;
    EXPECT_EQ(f->number, k.number);
    EXPECT_EQ(f->entry.font.name, k.font);
    EXPECT_EQ(f->entry.font.size, k.size);
    EXPECT_EQ(f->entry.font.bold, k.b);
    EXPECT_EQ(f->entry.font.italic, k.i);
    EXPECT_EQ(f->entry.font.underline, k.u);
    EXPECT_EQ(f->entry.font.strikeout, k.s);
    EXPECT_EQ(f->entry.font.color, k.color);
    EXPECT_EQ(f->entry.align, k.align);
    EXPECT_EQ(f->entry.wrap, k.wrap);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FontLineParse,
    testing::Values(FontCase{"written", ";;1=Fixedsys,10,b,,,,color=255", false, 1, "Fixedsys", 10,
                             true, false, false, false, rgb(255, 0, 0), HAlign::Left, false},
                    FontCase{"default", ";;0=Arial Cyr,8", false, 0, "Arial Cyr", 8, false, false,
                             false, false, kAutoColor, HAlign::Left, false},
                    FontCase{"upperFlags", ";;12=Courier,12,B,I,U,S", false, 12, "Courier", 12,
                             true, true, true, true, kAutoColor, HAlign::Left, false},
                    FontCase{"letterBeatsNumber", ";;2=Arial,9,,,,,color=b255", false, 2, "Arial",
                             9, false, false, false, false, rgb(0, 0, 128), HAlign::Left, false},
                    FontCase{"letterEqualsNumber", ";;2=Arial,9,,,,,color=r", false, 2, "Arial", 9,
                             false, false, false, false, rgb(255, 0, 0), HAlign::Left, false},
                    FontCase{"numberOfEightDigits", ";;3=Arial,9,,,,,color=1677721599", false, 3,
                             "Arial", 9, false, false, false, false, rgb(255, 255, 255),
                             HAlign::Left, false},
                    FontCase{"grey", ";;4=Arial,9,,,,,color=z", false, 4, "Arial", 9, false, false,
                             false, false, rgb(128, 128, 128), HAlign::Left, false},
                    FontCase{"textFormAlign", ";;3=Arial,10,i,color=g,align=r", true, 3, "Arial",
                             10, false, true, false, false, rgb(0, 128, 0), HAlign::Right, false},
                    FontCase{"textFormWrap", ";;5=Arial,10,align=c WR", true, 5, "Arial", 10, false,
                             false, false, false, kAutoColor, HAlign::Center, true},
                    FontCase{"wrapNeedsAlign", ";;5=Arial,10,WR", true, 5, "Arial", 10, false,
                             false, false, false, kAutoColor, HAlign::Left, false},
                    FontCase{"roundedSize", ";;6=Arial,10.6", false, 6, "Arial", 11, false, false,
                             false, false, kAutoColor, HAlign::Left, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FontLine, UnreadableLinesHaveNoEffect) {
    for (const char* line :
         {";;=Arial,10", ";;x=Arial,10", ";;1Arial,10", ";;1=,10", ";;1=Arial,-5", ";;1=Arial,big",
          ";;1=Arial,300", ";;99999=Arial,10", ";colw[2]=5"}) {
        EXPECT_FALSE(parseFontLine(line, false)) << line;
    }
}

TEST(FontLine, FormatMatchesTheWrittenLayout) {
    Font f;
    f.name = "Fixedsys";
    f.size = 10;
    f.bold = true;
    f.color = rgb(255, 0, 0);
    EXPECT_EQ(formatFontLine(1, f), ";;1=Fixedsys,10,b,,,,color=255");
    f.bold = false;
    f.italic = f.underline = f.strikeout = true;
    f.color = kAutoColor;
    EXPECT_EQ(formatFontLine(7, f), ";;7=Fixedsys,10,,i,u,s,");
    EXPECT_EQ(formatDefaultFontLine(f), ";;0=Fixedsys,10");
    f.color = rgb(0, 0, 128);
    std::optional<FontLine> back = parseFontLine(formatFontLine(2, f), false);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->entry.font, f);
}

TEST(FontTable, RegistersEachFontOnceAndGrowsPastSixty) {
    FontTable t;
    Font base;
    base.name = "Arial";
    base.size = 10;
    Font same = base;
    same.name = "ARIAL";
    same.size = 10.2;
    EXPECT_EQ(t.registerFont(base), 1);
    EXPECT_EQ(t.registerFont(same), 1); // case and rounding do not make another font
    for (int i = 0; i < 70; ++i) {
        Font f = base;
        f.size = 20 + i;
        EXPECT_EQ(t.registerFont(f), 2 + i);
    }
    EXPECT_EQ(t.usedCount(), 71);
    ASSERT_NE(t.entry(71), nullptr);
    EXPECT_EQ(t.entry(71)->font.size, 89);
    EXPECT_EQ(t.entry(72), nullptr);
    EXPECT_EQ(t.entry(-1), nullptr);
}

TEST(FontTable, DifferenceFromTheDefault) {
    Font def;
    def.name = "Fixedsys";
    def.size = 10;
    Font f = def;
    f.name = "FIXEDSYS";
    EXPECT_FALSE(FontTable::differsFromDefault(f, def));
    f.color = rgb(0, 0, 0); // black is the automatic colour in the file
    EXPECT_FALSE(FontTable::differsFromDefault(f, def));
    f.color = rgb(0, 0, 1);
    EXPECT_TRUE(FontTable::differsFromDefault(f, def));
    f = def;
    f.underline = true;
    EXPECT_TRUE(FontTable::differsFromDefault(f, def));
    f = def;
    f.size = 12;
    EXPECT_TRUE(FontTable::differsFromDefault(f, def));
}

} // namespace
} // namespace fc
