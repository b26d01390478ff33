#include "components/print/PageLayout.h"
#include "components/model/TextMeasurer.h"
#include "components/model/Workbook.h"
#include "components/print/HeaderFooter.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace fc::print {
namespace {

// With the fixed measurer a default row is 17 px and a default column 54 px (9 widths of a
// 6 px "0" of the 10-point default font). A4 with half-inch margins leaves 697.7 x 1026.5 px:
// 12 columns and 60 rows at 100 percent.
struct Pages : ::testing::Test {
    Workbook book;
    Sheet& s = book.sheet();
    FixedTextMeasurer m;

    void SetUp() override {
        book.setDefaultFont("Arial", 10);
        s.setMaxRow(130);
        s.setMaxCol(20);
        PrintSettings& p = s.print();
        p.leftMargin = p.rightMargin = p.topMargin = p.bottomMargin = 0.5;
    }
    // "rows/cols" of each page, titles in brackets: "[1-2]61-118/1-12".
    static std::string band(const Band& b) {
        return b.empty() ? "" : std::to_string(b.first) + "-" + std::to_string(b.last);
    }
    std::string layout() const {
        PageLayout l(s, m);
        std::ostringstream out;
        for (const Page& p : l.pages()) {
            if (p.number > 1) {
                out << " ";
            }
            if (!p.titleRows.empty()) {
                out << "[" << band(p.titleRows) << "]";
            }
            out << band(p.rows) << "/";
            if (!p.titleCols.empty()) {
                out << "[" << band(p.titleCols) << "]";
            }
            out << band(p.cols);
        }
        return out.str();
    }
};

TEST_F(Pages, RunDownThenOver) {
    EXPECT_EQ(layout(), "1-60/1-12 61-120/1-12 121-130/1-12 1-60/13-20 61-120/13-20 121-130/13-20");
    PageLayout l(s, m);
    EXPECT_EQ(l.scale(), 100);
    EXPECT_NEAR(l.paper().width, 793.7, 0.1);
    EXPECT_NEAR(l.paper().height, 1122.5, 0.1);
}

TEST_F(Pages, TitlesRepeatBelowThemselves) {
    s.print().titles = "$1:$2";
    // The first page holds the titles itself; the others lose two rows to them.
    EXPECT_EQ(layout(), "1-60/1-12 [1-2]61-118/1-12 [1-2]119-130/1-12 1-60/13-20 [1-2]61-118/13-20 "
                        "[1-2]119-130/13-20");
    s.print().titles = "$1:$2,$A:$A";
    s.setMaxRow(50);
    EXPECT_EQ(layout(), "1-50/1-12 1-50/[1-1]13-20");
    s.print().area = "$B$3:$C$5";
    EXPECT_EQ(layout(), "[1-2]3-5/[1-1]2-3") << "titles above the area print above it";
}

TEST_F(Pages, ManualBreaksStartNewPages) {
    s.setRowPageBreak(20, true); // ";PBK" in row 19
    s.setColPageBreak(5, true);
    EXPECT_EQ(layout(), "1-19/1-4 20-79/1-4 80-130/1-4 1-19/5-16 20-79/5-16 80-130/5-16 "
                        "1-19/17-20 20-79/17-20 80-130/17-20");
}

TEST_F(Pages, FitToPagesFindsTheLargestScale) {
    PrintSettings& p = s.print();
    p.fitToPage = true;
    p.fitHPages = 1;
    p.fitVPages = 0; // as tall as it takes
    // 20 columns of 54 px in 697.7 px: 64 percent (65 leaves 1073 px).
    EXPECT_EQ(layout(), "1-94/1-20 95-130/1-20");
    EXPECT_EQ(PageLayout(s, m).scale(), 64);
    p.fitVPages = 1; // 130 rows of 17 px in 1026.5 px: 46 percent
    EXPECT_EQ(layout(), "1-130/1-20");
    EXPECT_EQ(PageLayout(s, m).scale(), 46);
    s.setRowPageBreak(100, true);
    EXPECT_EQ(layout(), "1-99/1-20 100-130/1-20") << "a break still breaks; nothing smaller helps";
    EXPECT_EQ(PageLayout(s, m).scale(), 10);
    p.fitToPage = false;
    p.scale = 50;
    s.setRowPageBreak(100, false);
    EXPECT_EQ(layout(), "1-120/1-20 121-130/1-20");
}

TEST_F(Pages, NothingOutsideTheSheetPrints) {
    s.setText(5, 256, "hidden state"); // the window's own columns lie beyond MaxCol
    s.print().area = "$A:$IV";
    EXPECT_EQ(layout(), "1-60/1-12 61-120/1-12 121-130/1-12 1-60/13-20 61-120/13-20 121-130/13-20");
    s.print().area = "$AA$1:$AB$2";
    EXPECT_EQ(layout(), "1-60/1-12 61-120/1-12 121-130/1-12 1-60/13-20 61-120/13-20 121-130/13-20")
        << "an area wholly outside falls back to the sheet";
    s.print().area = "$A$1:$B$3,$A$10:$B$12";
    EXPECT_EQ(layout(), "1-3/1-2 10-12/1-2");
}

TEST_F(Pages, HiddenAndHugeRows) {
    for (int r = 61; r <= 130; ++r) {
        s.setRowHidden(r, true);
    }
    s.setColHidden(2, true);
    EXPECT_EQ(layout(), "1-130/1-13 1-130/14-20") << "no page for hidden rows alone";
    s.setRowHidden(70, false);
    s.setRowHeight(70, 20000); // taller than the page: a page of its own
    EXPECT_EQ(layout(), "1-69/1-13 70-130/1-13 1-69/14-20 70-130/14-20")
        << "hidden rows stay with the page before them";
}

TEST_F(Pages, PaperOrientationAndCentring) {
    PrintSettings& p = s.print();
    p.landscape = true;
    p.paperSize = 8; // A3
    p.hCenter = true;
    s.setMaxRow(3);
    s.setMaxCol(4);
    PageLayout l(s, m);
    EXPECT_NEAR(l.paper().width, 420 * 96 / 25.4, 0.01);
    ASSERT_EQ(l.pages().size(), 1u);
    const Page& page = l.pages()[0];
    EXPECT_DOUBLE_EQ(l.contentWidth(page), 4 * 54);
    EXPECT_DOUBLE_EQ(l.contentHeight(page), 3 * 17);
    EXPECT_NEAR(l.originX(page), 48 + (l.paper().width - 96 - 216) / 2, 0.001);
    EXPECT_DOUBLE_EQ(l.originY(page), 48);
    p.paperSize = 777; // unknown: A4
    EXPECT_NEAR(PageLayout(s, m).paper().height, 793.7, 0.1);
}

TEST(HeaderFooter, CodesExpand) {
    PageFields f;
    f.page = 3;
    f.pages = 7;
    f.sheet = "Sheet1";
    f.file = "report.xls";
    f.date = "01.02.2024";
    struct Case {
        const char* name;
        std::string codes, left, center, right;
    } cases[] = {
        {"page", w("Стpаница &P  Оборот"), "", w("Стpаница 3  Оборот"), ""},
        {"parts", "&LLeft &A&CMid&RPage &P of &N", "Left Sheet1", "Mid", "Page 3 of 7"},
        {"offset", "&P+10 &P-1 &p", "", "13 2 3", ""},
        {"ampersand", "A && B&", "", "A & B", ""},
        {"unknown", "&Zx&Gy", "", "xy", ""},
        {"fields", "&R&F &D", "", "", "report.xls 01.02.2024"},
    };
    for (const Case& c : cases) {
        const HeaderFooter h = expandHeaderFooter(c.codes, f);
        EXPECT_EQ(h.left.text, c.left) << c.name;
        EXPECT_EQ(h.center.text, c.center) << c.name;
        EXPECT_EQ(h.right.text, c.right) << c.name;
    }
    const HeaderFooter styled = expandHeaderFooter("&\"Arial,Bold Italic\"&14&UTitle&R&Bx", f);
    EXPECT_EQ(styled.center.fontName, "Arial");
    EXPECT_TRUE(styled.center.bold);
    EXPECT_TRUE(styled.center.italic);
    EXPECT_TRUE(styled.center.underline);
    EXPECT_EQ(styled.center.fontSize, 14);
    EXPECT_TRUE(styled.right.bold);
    EXPECT_FALSE(styled.right.italic);
    EXPECT_TRUE(expandHeaderFooter("", f).empty());
}

} // namespace
} // namespace fc::print
