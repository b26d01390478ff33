#include "ViewFixture.h"

#include "components/model/Sheet.h"
#include "components/ui/SheetPainter.h"

#include <QColor>

#include <functional>

namespace fc {
namespace {

// Pixel checks on the painted viewport. The selection is moved far away so that its frame
// stays out of the pictures.
class SheetPainting : public ViewFixture {
protected:
    void SetUp() override {
        ViewFixture::SetUp();
        sheet().setSelection(CellRange::cell(300, 100));
    }
    void style(int r, int c, const std::function<void(Style&)>& edit) {
        sheet().editStyle(CellRange::cell(r, c), edit);
    }
    static QColor rgbAt(const QImage& img, int x, int y) { return QColor(img.pixel(x, y)); }
    // Ink along pixel row y from x1 to x2: 'S' all, 'p' some, '.' none.
    static char along(const QImage& img, int y, int x1, int x2) {
        int n = 0;
        for (int x = x1; x <= x2; ++x) {
            n += isInk(img.pixel(x, y)) ? 1 : 0;
        }
        return n == x2 - x1 + 1 ? 'S' : n > 0 ? 'p' : '.';
    }
};

TEST_F(SheetPainting, BorderStylesLieOnTheGridLine) {
    struct Case {
        const char* name;
        BorderStyle style;
        const char* across; // ink at offsets -2..+2 from the grid line, along the cell
    };
    const Case cases[] = {
        {"thin", BorderStyle::Thin, "..S.."},
        {"hair", BorderStyle::Hair, "..p.."},
        {"dotted", BorderStyle::Dotted, "..p.."},
        {"dashed", BorderStyle::Dashed, "..p.."},
        {"dashDotDot", BorderStyle::DashDotDot, "..p.."},
        {"medium", BorderStyle::Medium, "..SS."},
        {"mediumDashed", BorderStyle::MediumDashed, "..pp."},
        {"thick", BorderStyle::Thick, ".SSS."},
        {"double", BorderStyle::Double, ".S.S."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sheet().clear({1, 1, 20, 20});
        style(4, 3, [&](Style& s) { s.border(BorderSide::Bottom).style = c.style; });
        const QImage img = grab();
        const QRect r = view.cellRect(4, 3);
        std::string got;
        for (int d = -2; d <= 2; ++d) {
            got += along(img, r.bottom() + d, r.left() + 2, r.right() - 2);
        }
        EXPECT_EQ(got, c.across);
        // The same line drawn down the right edge.
        sheet().clear({1, 1, 20, 20});
        style(4, 3, [&](Style& s) { s.border(BorderSide::Right).style = c.style; });
        const QImage img2 = grab();
        std::string down;
        for (int d = -2; d <= 2; ++d) {
            int n = 0, all = 0;
            for (int y = r.top() + 2; y <= r.bottom() - 2; ++y, ++all) {
                n += isInk(img2.pixel(r.right() + d, y)) ? 1 : 0;
            }
            down += n == all ? 'S' : n > 0 ? 'p' : '.';
        }
        EXPECT_EQ(down, c.across);
    }
}

TEST_F(SheetPainting, BorderColoursAndTheHeavierLineOfAnEdge) {
    style(4, 3, [](Style& s) {
        s.border(BorderSide::Bottom) = {BorderStyle::Thin, rgb(255, 0, 0)};
        s.border(BorderSide::Right) = {BorderStyle::Thin, rgb(0, 160, 0)};
    });
    style(5, 3, [](Style& s) { s.border(BorderSide::Top) = {BorderStyle::Thick, rgb(0, 0, 255)}; });
    const QImage img = grab();
    const QRect r = view.cellRect(4, 3);
    EXPECT_EQ(rgbAt(img, r.center().x(), r.bottom()), QColor(0, 0, 255));
    EXPECT_EQ(rgbAt(img, r.center().x(), r.bottom() - 1), QColor(0, 0, 255));
    EXPECT_EQ(rgbAt(img, r.right(), r.center().y()), QColor(0, 160, 0));
    // Automatic border colour is black; the grid line elsewhere stays light.
    EXPECT_EQ(rgbAt(img, r.center().x(), r.top() - 1), SheetPainter::gridColor());
}

TEST_F(SheetPainting, MergedAreaIsOneCellWithItsTextCentred) {
    sheet().setText(2, 2, "WWW");
    style(2, 2, [](Style& s) {
        s.halign = HAlign::Center;
        s.valign = VAlign::Center;
    });
    sheet().merge({2, 2, 3, 4});
    const QImage img = grab();
    const QRect m = view.cellRect(2, 2);
    EXPECT_EQ(m, view.cellRect(3, 4)); // any cell of the area gives the whole area
    // No grid lines inside: the first column's right edge near the top is background.
    const int innerX = view.sheetLayout().cols().start(3) - 1;
    EXPECT_EQ(rgbAt(img, innerX, m.top() + 1), QColor(Qt::white));
    const int innerY = view.sheetLayout().rows().start(3) - 1;
    EXPECT_EQ(rgbAt(img, m.left() + 2, innerY), QColor(Qt::white));
    // The outline keeps its grid lines.
    EXPECT_EQ(rgbAt(img, m.right(), m.top() + 1), SheetPainter::gridColor());
    // Ink centred over the area, both ways.
    int minX = 9999, maxX = -1, minY = 9999, maxY = -1;
    for (int y = m.top(); y < m.bottom(); ++y) {
        for (int x = m.left(); x < m.right(); ++x) {
            if (isInk(img.pixel(x, y))) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, m.left() + m.width() / 2.0, 3);
    EXPECT_NEAR((minY + maxY) / 2.0, m.top() + m.height() / 2.0, 3);
}

TEST_F(SheetPainting, HiddenRowsAndColumnsTakeNoRoom) {
    style(3, 2, [](Style& s) { s.fill = {1, rgb(255, 0, 0), kAutoColor}; });
    sheet().setRowHidden(3, true);
    sheet().setColHidden(4, true);
    const QImage img = grab();
    EXPECT_EQ(view.cellRect(4, 1).top(), view.cellRect(2, 1).bottom() + 1);
    EXPECT_EQ(view.cellRect(1, 5).left(), view.cellRect(1, 3).right() + 1);
    EXPECT_EQ(view.hitTest(view.cellRect(2, 1).bottomLeft() + QPoint(2, 3)).row, 4);
    int red = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            red += QColor(img.pixel(x, y)) == QColor(255, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_EQ(red, 0);
}

TEST_F(SheetPainting, FrozenRowsAndColumnsStayWhileTheRestScrolls) {
    style(1, 1, [](Style& s) { s.fill = {1, rgb(255, 255, 0), kAutoColor}; });
    style(1, 3, [](Style& s) { s.fill = {1, rgb(0, 255, 255), kAutoColor}; });
    sheet().setFixedRows(1, 1);
    sheet().setFixedCols(1, 1);
    sheet().setTopLeft(50, 10);
    const QImage img = grab();
    const QRect a1 = view.cellRect(1, 1);
    EXPECT_EQ(a1.topLeft(),
              QPoint(view.sheetLayout().headerWidth(), view.sheetLayout().headerHeight()));
    EXPECT_EQ(rgbAt(img, a1.center().x(), a1.center().y()), QColor(255, 255, 0));
    // Row 50 and column J follow the frozen row and column directly.
    EXPECT_EQ(view.cellRect(50, 10).topLeft(), a1.bottomRight() + QPoint(1, 1));
    EXPECT_EQ(view.hitTest(a1.bottomRight() + QPoint(3, 3)).row, 50);
    EXPECT_EQ(view.hitTest(a1.bottomRight() + QPoint(3, 3)).col, 10);
    // C1 scrolled away with its column: no cyan anywhere.
    bool cyan = false;
    for (int x = 0; x < img.width(); ++x) {
        cyan = cyan || QColor(img.pixel(x, a1.center().y())) == QColor(0, 255, 255);
    }
    EXPECT_FALSE(cyan);
    // Nothing of a scrolled-away column reaches into the frozen one: neither the text of
    // B50 nor its thick left border, though the text does spill into the scrolled part.
    sheet().setText(50, 2, "a long text in column B that would spill a long way");
    style(50, 2, [](Style& s) { s.border(BorderSide::Left).style = BorderStyle::Thick; });
    sheet().setTopLeft(50, 3);
    const QImage after = grab();
    EXPECT_EQ(inkIn(after, view.cellRect(50, 1).adjusted(0, 0, -1, -1)), 0);
    EXPECT_GT(inkIn(after, view.cellRect(50, 3)), 0);
    // The frozen block ends in a darker line than the grid.
    EXPECT_LT(qGray(img.pixel(a1.right() + 20, a1.bottom())),
              qGray(SheetPainter::gridColor().rgb()));
}

TEST_F(SheetPainting, AlignmentPlacesTheText) {
    struct Case {
        const char* name;
        const char* content; // nullptr: the number 12
        HAlign h;
        VAlign v;
        bool wrap;
        const char* where; // ink in the left, middle and right third; then top and bottom half
    };
    const char* longText = "many words that wrap onto three or four lines of the cell when it "
                           "is narrow enough for them";
    const Case cases[] = {
        {"generalNumberRight", nullptr, HAlign::General, VAlign::Bottom, false, "..#_#"},
        {"generalTextLeft", "ab", HAlign::General, VAlign::Bottom, false, "#.._#"},
        {"centre", "ab", HAlign::Center, VAlign::Bottom, false, ".#._#"},
        {"rightText", "ab", HAlign::Right, VAlign::Bottom, false, "..#_#"},
        {"leftNumber", nullptr, HAlign::Left, VAlign::Bottom, false, "#.._#"},
        {"top", "ab", HAlign::Left, VAlign::Top, false, "#..#_"},
        {"middle", "ab", HAlign::Center, VAlign::Center, false, ".#.##"},
        {"wrappedLines", longText, HAlign::Left, VAlign::Top, true, "#####"},
    };
    sheet().setColWidth(2, 40 * 256);
    sheet().setRowHeight(2, 900); // 60 pixels
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sheet().clear({2, 2, 2, 2});
        if (c.content) {
            sheet().setText(2, 2, c.content);
        } else {
            sheet().setNumber(2, 2, 12);
        }
        style(2, 2, [&](Style& s) {
            s.halign = c.h;
            s.valign = c.v;
            s.wrap = c.wrap;
        });
        const QImage img = grab();
        const QRect r = view.cellRect(2, 2).adjusted(0, 0, -1, -1);
        const int w3 = r.width() / 3, h2 = r.height() / 2;
        std::string got;
        for (int i = 0; i < 3; ++i) {
            got += inkIn(img, QRect(r.left() + i * w3, r.top(), w3, r.height())) ? '#' : '.';
        }
        // Vertical centre: text straddles the middle, so both halves have ink.
        got += inkIn(img, QRect(r.left(), r.top(), r.width(), h2)) ? '#' : '_';
        got += inkIn(img, QRect(r.left(), r.top() + h2, r.width(), r.height() - h2)) ? '#' : '_';
        EXPECT_EQ(got, c.where);
        // Wrapped text stays inside its cell.
        EXPECT_EQ(inkIn(img, view.cellRect(2, 3)), 0);
    }
}

TEST_F(SheetPainting, TextSpillsIntoEmptyNeighboursOnly) {
    sheet().setText(2, 1, "A long text that does not fit into one column");
    sheet().setText(4, 1, "A long text that does not fit into one column");
    sheet().setNumber(4, 2, 1); // right-aligned, so the left of B4 stays clear of its own text
    sheet().setText(6, 4, "spills to the left");
    style(6, 4, [](Style& s) { s.halign = HAlign::Right; });
    const QImage img = grab();
    const QRect b2 = view.cellRect(2, 2);
    EXPECT_GT(inkIn(img, b2.adjusted(1, 1, -1, -1)), 0);
    // No grid line under the spilled text: just above the letters it is background.
    const QRect a2 = view.cellRect(2, 1);
    EXPECT_EQ(rgbAt(img, a2.right(), a2.top() + 1), QColor(Qt::white));
    const QRect b4 = view.cellRect(4, 2);
    EXPECT_EQ(inkIn(img, QRect(b4.left(), b4.top(), b4.width() / 2, b4.height() - 1)), 0);
    EXPECT_EQ(rgbAt(img, view.cellRect(4, 1).right(), b4.top() + 1), SheetPainter::gridColor());
    EXPECT_GT(inkIn(img, view.cellRect(6, 3).adjusted(1, 1, -1, -1)), 0);
}

TEST_F(SheetPainting, FillPatternsMixTheirColours) {
    struct Case {
        const char* name;
        std::uint8_t pattern;
        int fgShare; // of 64 pixels in an 8x8 block
    };
    const Case cases[] = {
        {"none", 0, 0},
        {"solid", 1, 64},
        {"grey50", 2, 32},
        {"grey25", 4, 16},
        {"horizontalStripe", 5, 32},
        {"grey12", 17, 8},
        {"grey6", 18, 4},
    };
    sheet().setColWidth(2, 20 * 256);
    sheet().setRowHeight(2, 600);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        style(2, 2, [&](Style& s) { s.fill = {c.pattern, rgb(0, 0, 200), rgb(255, 255, 0)}; });
        const QImage img = grab();
        const QRect r = view.cellRect(2, 2);
        // An 8x8 block aligned to the pattern's origin inside the cell.
        const int x0 = (r.left() + 8) / 8 * 8, y0 = (r.top() + 8) / 8 * 8;
        int fg = 0, bg = 0;
        for (int y = y0; y < y0 + 8; ++y) {
            for (int x = x0; x < x0 + 8; ++x) {
                QColor p(img.pixel(x, y));
                fg += p == QColor(0, 0, 200) ? 1 : 0;
                bg += p == QColor(255, 255, 0) ? 1 : 0;
            }
        }
        EXPECT_EQ(fg, c.fgShare);
        EXPECT_EQ(bg, c.pattern == 0 ? 0 : 64 - c.fgShare);
    }
}

TEST_F(SheetPainting, ViewOptionsChangeThePicture) {
    sheet().setNumber(2, 2, 0);
    sheet().setMaxRow(4);
    sheet().setMaxCol(3);
    QImage img = grab();
    const QRect b2 = view.cellRect(2, 2);
    EXPECT_GT(inkIn(img, b2), 0);
    EXPECT_EQ(rgbAt(img, b2.center().x(), b2.bottom()), SheetPainter::gridColor());
    // Past MaxRow and MaxCol the sheet ends.
    const QRect c4 = view.cellRect(4, 3);
    EXPECT_EQ(rgbAt(img, c4.center().x(), c4.bottom() + 5), SheetPainter::beyondColor());
    EXPECT_EQ(rgbAt(img, c4.right() + 5, c4.center().y()), SheetPainter::beyondColor());

    ViewOptions v = book().view();
    v.showZeroValues = false;
    v.showGridLines = false;
    v.backColor = rgb(255, 255, 220);
    book().setView(v);
    img = grab();
    EXPECT_EQ(inkIn(img, b2), 0);
    EXPECT_EQ(rgbAt(img, b2.center().x(), b2.bottom()), QColor(255, 255, 220));

    v.showRowHeading = false;
    v.showColHeading = false;
    book().setView(v);
    EXPECT_EQ(view.cellRect(1, 1).topLeft(), QPoint(0, 0));
    v.showRowHeading = true;
    v.showColHeading = true;
    book().setView(v);
    const int automatic = view.sheetLayout().headerWidth();
    sheet().setRowHeading(3, "line 1234567"); // a designer shows file lines as headings
    EXPECT_GT(view.sheetLayout().headerWidth(), automatic);
    v.hdrHeight = 510; // twips
    v.hdrWidth = 450;
    book().setView(v);
    EXPECT_EQ(view.sheetLayout().headerHeight(), 34);
    EXPECT_EQ(view.sheetLayout().headerWidth(), 30);
    const int h100 = view.cellRect(2, 2).height();
    const int w100 = view.cellRect(2, 2).width();
    v.viewScale = 200;
    book().setView(v);
    EXPECT_EQ(view.cellRect(2, 2).height(), 2 * h100);
    EXPECT_NEAR(view.cellRect(2, 2).width(), 2 * w100, 2);
    EXPECT_EQ(view.sheetLayout().headerHeight(), 68);
}

TEST_F(SheetPainting, FittedWidthsHoldTheirTextOnScreen) {
    const char* texts[] = {"Short", "A somewhat longer text", "WWWWWWWWWWWW", "1234567890"};
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        sheet().setText(2, 2, t);
        sheet().setNumber(2, 3, 1); // right-aligned neighbour: its left half must stay clear
        style(2, 2, [](Style& s) {
            s.font.name = "Times New Roman Cyr";
            s.font.size = 12;
        });
        sheet().fitColWidths({2, 2, 2, 2}, view.measurer());
        sheet().fitRowHeights({2, 2, 2, 3}, view.measurer());
        const QImage img = grab();
        const QRect b = view.cellRect(2, 2);
        const QRect c = view.cellRect(2, 3);
        EXPECT_GT(inkIn(img, QRect(b.right() - b.width() / 4, b.top(), b.width() / 4, b.height())),
                  0);
        EXPECT_EQ(inkIn(img, QRect(c.left(), c.top(), c.width() / 2, c.height() - 1)), 0);
        // The row fits the font: no ink touches the grid lines above and below.
        EXPECT_EQ(along(img, b.top() - 1, b.left(), b.right()), '.');
        EXPECT_EQ(along(img, b.bottom(), b.left(), b.right() - 1), '.');
    }
}

TEST_F(SheetPainting, TextTakesTheFontColourOrTheFormatsColour) {
    auto reddish = [](const QImage& img, const QRect& r) {
        int n = 0;
        for (int y = r.top(); y < r.bottom(); ++y) {
            for (int x = r.left(); x < r.right(); ++x) {
                QColor p(img.pixel(x, y));
                n += p.red() > 150 && p.green() < 80 && p.blue() < 80 ? 1 : 0;
            }
        }
        return n;
    };
    sheet().setText(2, 2, "WWW");
    style(2, 2, [](Style& s) {
        s.font.color = rgb(200, 0, 0);
        s.font.bold = true;
    });
    sheet().setNumber(3, 2, -5);
    sheet().setNumber(4, 2, 5);
    for (int r : {3, 4}) {
        style(r, 2, [](Style& s) { s.numberFormat = "0.00;[Red]-0.00"; });
    }
    const QImage img = grab();
    EXPECT_GT(reddish(img, view.cellRect(2, 2)), 5);
    EXPECT_GT(reddish(img, view.cellRect(3, 2)), 5); // the negative section is red
    EXPECT_EQ(reddish(img, view.cellRect(4, 2)), 0);
    EXPECT_GT(inkIn(img, view.cellRect(4, 2)), 0);
}

TEST_F(SheetPainting, RepaintedTextsFollowFontChanges) {
    // Texts are laid out once and reused by later frames; a changed font must not reuse them.
    sheet().setColWidth(2, 40 * 256);
    sheet().setRowHeight(2, 900);
    sheet().setText(2, 2, "WWW");
    auto inkWidth = [&] {
        const QImage img = grab();
        const QRect r = view.cellRect(2, 2).intersected(img.rect());
        int minX = 9999, maxX = -1;
        for (int y = r.top(); y < r.bottom(); ++y) {
            for (int x = r.left(); x < r.right(); ++x) {
                if (isInk(img.pixel(x, y))) {
                    minX = std::min(minX, x);
                    maxX = std::max(maxX, x);
                }
            }
        }
        return maxX - minX;
    };
    const int small = inkWidth();
    EXPECT_EQ(inkWidth(), small); // a second frame draws the same
    book().setDefaultFont("Arial", 20);
    EXPECT_GT(inkWidth(), small * 3 / 2);
    style(2, 2, [](Style& s) { s.font.size = 10; });
    EXPECT_NEAR(inkWidth(), small, 1);
}

TEST_F(SheetPainting, ShowFormulasShowsTheSourceLeftAligned) {
    sheet().setColWidth(2, 30 * 256);
    sheet().setFormula(2, 2, "1+2");
    auto thirds = [&] {
        const QImage img = grab();
        const QRect r = view.cellRect(2, 2).adjusted(0, 0, -1, -1);
        std::string got;
        for (int i = 0; i < 3; ++i) {
            got +=
                inkIn(img, QRect(r.left() + i * r.width() / 3, r.top(), r.width() / 3, r.height()))
                    ? '#'
                    : '.';
        }
        return got;
    };
    EXPECT_EQ(thirds(), "..#"); // the result, a number
    ViewOptions v = book().view();
    v.showFormulas = true;
    book().setView(v);
    EXPECT_EQ(thirds(), "#..");
}

} // namespace
} // namespace fc
