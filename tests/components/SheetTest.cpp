#include "components/model/TextMeasurer.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fc {
namespace {

// Column c of rows r1..r2 as display texts, joined by "," (the shape most checks need).
std::string column(const Sheet& s, int c, int r1, int r2) {
    std::string out;
    for (int r = r1; r <= r2; ++r) {
        if (r > r1) {
            out += ',';
        }
        out += s.text(r, c);
    }
    return out;
}

TEST(Sheet, OutOfRangeWritesAreIgnored) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setText(0, 1, "x");
    s.setText(1, 0, "x");
    s.setText(kMaxRows + 1, 1, "x");
    s.setNumber(1, kMaxCols + 1, 5);
    s.setRowHeight(0, 100);
    s.setColWidth(kMaxCols + 1, 100);
    s.merge({0, 0, 3, 3});
    EXPECT_EQ(s.lastUsedRow(), 0);
    EXPECT_EQ(s.text(-5, 3), "");
    EXPECT_EQ(s.merges().size(), 1u); // clamped to A1:C3
    s.setText(kMaxRows, kMaxCols, "corner");
    EXPECT_EQ(s.text(kMaxRows, kMaxCols), "corner");
    s.insertRows(kMaxRows, 5); // pushes the corner cell off the sheet
    EXPECT_EQ(s.text(kMaxRows, kMaxCols), "");
    EXPECT_EQ(s.storedRows(), kMaxRows);
}

TEST(Sheet, ValuesTextsAndEntries) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setEntry(1, 1, "12.5");
    s.setEntry(1, 2, "abc");
    s.setText(1, 3, "12.5");
    s.setNumber(1, 4, 3);
    EXPECT_EQ(s.value(1, 1), Value::fromNumber(12.5));
    EXPECT_EQ(s.value(1, 2), Value::fromText("abc"));
    EXPECT_EQ(s.value(1, 3), Value::fromText("12.5")); // CellText keeps text
    EXPECT_DOUBLE_EQ(s.number(1, 3), 0);               // a text reads 0
    EXPECT_DOUBLE_EQ(s.number(9, 9), 0);
    EXPECT_EQ(s.text(1, 4), "3");
    // An empty text empties the value and keeps the style.
    Style bold;
    bold.font.bold = true;
    s.setStyle(1, 2, bold);
    s.setText(1, 2, "");
    EXPECT_TRUE(s.value(1, 2).isEmpty());
    EXPECT_TRUE(s.style(1, 2).font.bold);
    // The text format keeps typed numbers as text.
    Style text;
    text.numberFormat = "@";
    s.setStyle(2, 1, text);
    s.setEntry(2, 1, "007");
    EXPECT_EQ(s.value(2, 1), Value::fromText("007"));
}

TEST(Sheet, StylesAreInternedAndEditedPerDistinctStyle) {
    Workbook book;
    Sheet& s = book.sheet();
    s.editStyle({1, 1, 100, 10}, [](Style& st) { st.font.bold = true; });
    StyleId id = s.styleId(1, 1);
    EXPECT_NE(id, 0u);
    EXPECT_EQ(s.styleId(100, 10), id);
    std::size_t before = book.styles().size();
    s.editStyle({1, 1, 1, 1}, [](Style& st) { st.font.bold = false; });
    EXPECT_EQ(s.styleId(1, 1), 0u); // back to the default style
    EXPECT_EQ(book.styles().size(), before);
    // Clearing the formats of cells without content drops them from the row.
    s.clear({1, 1, 100, 10}, ClearWhat::Formats);
    EXPECT_EQ(s.lastUsedRow(), 0);
}

TEST(Sheet, MergesReplaceIntersectingAreasAndFollowStructure) {
    Workbook book;
    Sheet& s = book.sheet();
    s.merge({2, 2, 3, 4});
    s.merge({3, 3, 5, 5}); // intersects the first one, which goes
    ASSERT_EQ(s.merges().size(), 1u);
    EXPECT_EQ(s.merges()[0], (CellRange{3, 3, 5, 5}));
    EXPECT_NE(s.mergeAt(4, 4), nullptr);
    EXPECT_EQ(s.mergeAt(2, 2), nullptr);

    s.insertRows(1, 2);
    EXPECT_EQ(s.merges()[0], (CellRange{5, 3, 7, 5}));
    s.insertRows(6, 1); // inside the area: it grows
    EXPECT_EQ(s.merges()[0], (CellRange{5, 3, 8, 5}));
    s.deleteRows(5, 3); // cuts its top three rows
    EXPECT_EQ(s.merges()[0], (CellRange{5, 3, 5, 5}));
    s.deleteCols(3, 2); // leaves a single cell: no merge
    EXPECT_TRUE(s.merges().empty());
}

TEST(Sheet, HiddenRowsAndHeadingsMoveWithInsertAndDelete) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setText(3, 1, "c");
    s.setRowHidden(3, true);
    s.setRowHeading(3, "17");
    s.setRowHeight(3, 400);
    s.insertRows(2, 2);
    EXPECT_EQ(s.text(5, 1), "c");
    EXPECT_TRUE(s.rowHidden(5));
    EXPECT_EQ(s.rowHeading(5), "17");
    EXPECT_EQ(s.rowHeight(5), 400);
    EXPECT_FALSE(s.rowHidden(3));
    EXPECT_EQ(s.rowHeight(3), s.defaultRowHeight());
    s.deleteRows(1, 4);
    EXPECT_EQ(s.text(1, 1), "c");
    EXPECT_TRUE(s.rowHidden(1));
}

TEST(Sheet, ColumnsShiftWithTheirWidths) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setText(1, 2, "b");
    s.setText(1, 256, "last");
    s.setColWidth(2, 5000);
    s.setColHidden(3, true);
    s.insertCols(1, 1);
    EXPECT_EQ(s.text(1, 3), "b");
    EXPECT_EQ(s.colWidth(3), 5000);
    EXPECT_TRUE(s.colHidden(4));
    EXPECT_EQ(s.text(1, 256), ""); // pushed off the sheet
    s.deleteCols(1, 2);
    EXPECT_EQ(s.text(1, 1), "b");
    EXPECT_EQ(s.colWidth(1), 5000);
    EXPECT_EQ(s.colWidth(256), s.defaultColWidth());
}

TEST(Sheet, RangeShifts) {
    Workbook book;
    Sheet& s = book.sheet();
    for (int r = 1; r <= 3; ++r) {
        for (int c = 1; c <= 3; ++c) {
            s.setText(r, c, std::string(1, static_cast<char>('a' + (r - 1) * 3 + (c - 1))));
        }
    }
    s.insertShiftRight({2, 1, 2, 1});
    EXPECT_EQ(column(s, 1, 1, 3), "a,,g");
    EXPECT_EQ(column(s, 2, 1, 3), "b,d,h");
    EXPECT_EQ(s.text(2, 4), "f");
    s.deleteShiftLeft({2, 1, 2, 1});
    EXPECT_EQ(column(s, 1, 1, 3), "a,d,g");
    s.insertShiftDown({1, 2, 1, 2});
    EXPECT_EQ(column(s, 2, 1, 4), ",b,e,h");
    EXPECT_EQ(column(s, 1, 1, 3), "a,d,g");
    s.deleteShiftUp({1, 2, 1, 2});
    EXPECT_EQ(column(s, 2, 1, 4), "b,e,h,");
}

TEST(Sheet, ClipValuesAndClip) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setActiveCell(2, 2);
    s.setClipValues("1\tx\t\r\n2.5\t\ty\n\n3");
    EXPECT_EQ(s.value(2, 2), Value::fromNumber(1));
    EXPECT_EQ(s.value(2, 3), Value::fromText("x"));
    EXPECT_TRUE(s.value(2, 4).isEmpty());
    EXPECT_EQ(s.value(3, 2), Value::fromNumber(2.5));
    EXPECT_EQ(s.value(3, 4), Value::fromText("y"));
    EXPECT_TRUE(s.value(4, 2).isEmpty());
    EXPECT_EQ(s.value(5, 2), Value::fromNumber(3));
    EXPECT_EQ(s.lastUsedRow(), 5);
    s.setSelection({2, 2, 3, 4});
    EXPECT_EQ(s.clip(), "1\tx\t\r\n2.5\t\ty\r\n");
    // Pasting empties cells it covers with empty fields.
    s.setActiveCell(2, 2);
    s.setClipValues("\t\t");
    EXPECT_TRUE(s.value(2, 2).isEmpty());
    EXPECT_TRUE(s.value(2, 3).isEmpty());
}

TEST(Sheet, ClipValuesStopAtTheLastColumnAndTheLastRowAndSayWhatWasLeftOut) {
    Workbook book;
    Sheet& s = book.sheet();
    // Formats laid first: the values go into the cells that are there and between them.
    Style bold;
    bold.font.bold = true;
    s.setStyle(1, 3, bold);
    s.setActiveCell(1, 2);
    EXPECT_TRUE(s.setClipValues("a\tb\tc\t\t\r\nd", 4));
    EXPECT_EQ(s.value(1, 3), Value::fromText("b"));
    EXPECT_TRUE(s.style(1, 3).font.bold);
    EXPECT_EQ(s.value(1, 4), Value::fromText("c"));
    EXPECT_TRUE(s.value(1, 5).isEmpty());
    EXPECT_EQ(s.value(2, 2), Value::fromText("d"));
    EXPECT_FALSE(s.setClipValues("a\tb\tc\te", 4));
    EXPECT_TRUE(s.value(1, 5).isEmpty());
    s.setActiveCell(kMaxRows, 1);
    EXPECT_TRUE(s.setClipValues("last\r\n\r\n\t\r\n"));
    EXPECT_FALSE(s.setClipValues("last\r\nlost"));
    EXPECT_EQ(s.value(kMaxRows, 1), Value::fromText("last"));
}

TEST(Sheet, CopyPasteBetweenWorkbooksKeepsFormatsAndMerges) {
    Workbook a, b;
    Sheet& src = a.sheet();
    Style st;
    st.font.name = "Times New Roman Cyr";
    st.borders[static_cast<int>(BorderSide::Bottom)] = {BorderStyle::Double, rgb(255, 0, 0)};
    src.setText(1, 1, "head");
    src.setStyle(1, 1, st);
    src.merge({1, 1, 1, 3});
    src.setNumber(2, 2, 42);
    src.setRowHeight(2, 600);
    ClipData clip = src.copy({1, 1, 2, 3});

    Sheet& dst = b.sheet();
    PasteWhat all = PasteWhat::all();
    all.rowHeights = true;
    dst.paste(clip, {10, 5}, all);
    EXPECT_EQ(dst.text(10, 5), "head");
    EXPECT_EQ(dst.style(10, 5), st);
    ASSERT_EQ(dst.merges().size(), 1u);
    EXPECT_EQ(dst.merges()[0], (CellRange{10, 5, 10, 7}));
    EXPECT_EQ(dst.value(11, 6), Value::fromNumber(42));
    EXPECT_EQ(dst.rowHeight(11), 600);

    Workbook c;
    c.sheet().paste(clip, {1, 1}, PasteWhat::valuesOnly());
    EXPECT_EQ(c.sheet().text(1, 1), "head");
    EXPECT_EQ(c.sheet().styleId(1, 1), 0u);
    EXPECT_TRUE(c.sheet().merges().empty());

    // A paste running past the sheet's edge is cut there.
    Workbook d;
    d.sheet().paste(clip, {kMaxRows, kMaxCols - 1});
    EXPECT_EQ(d.sheet().text(kMaxRows, kMaxCols - 1), "head");
    EXPECT_TRUE(d.sheet().merges().empty());
}

struct SortCase {
    const char* name;
    std::vector<SortKey> keys;
    const char* expectedIds; // column 4 after sorting rows 1..8
};

void PrintTo(const SortCase& c, std::ostream* os) { *os << c.name; }

class SheetSort : public ::testing::TestWithParam<SortCase> {};

TEST_P(SheetSort, StableOnUpToThreeKeys) {
    Workbook book;
    Sheet& s = book.sheet();
    // columns: 1 group text, 2 number, 3 text, 4 id
    const char* rows[][4] = {{"b", "2", "x", "1"}, {"a", "1", "y", "2"}, {"b", "1", "x", "3"},
                             {"a", "2", "x", "4"}, {"b", "2", "y", "5"}, {"", "1", "x", "6"},
                             {"a", "1", "x", "7"}, {"b", "", "x", "8"}};
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 4; ++c) {
            s.setEntry(r + 1, c + 1, rows[r][c]);
        }
    }
    s.sortRows({1, 1, 8, 4}, GetParam().keys);
    EXPECT_EQ(column(s, 4, 1, 8), GetParam().expectedIds);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SheetSort,
    ::testing::Values(SortCase{"oneKeyAscendingEmptyLast", {{1, true}}, "2,4,7,1,3,5,8,6"},
                      SortCase{"oneKeyDescendingEmptyLast", {{1, false}}, "1,3,5,8,2,4,7,6"},
                      SortCase{"twoKeys", {{1, true}, {2, true}}, "2,7,4,3,1,5,8,6"},
                      SortCase{"threeKeysMixedDirections",
                               {{1, true}, {2, false}, {3, false}},
                               "4,2,7,5,1,3,8,6"},
                      SortCase{"numbersBeforeEmpty", {{2, true}}, "2,3,6,7,1,4,5,8"}),
    [](const auto& i) { return i.param.name; });

TEST(Sheet, SortMovesOnlyTheRangeColumns) {
    Workbook book;
    Sheet& s = book.sheet();
    for (int r = 1; r <= 3; ++r) {
        s.setNumber(r, 1, 4 - r);
        s.setNumber(r, 2, r * 10);
        s.setNumber(r, 255, r); // a hidden column outside the range stays put
    }
    s.setRowHeight(1, 500);
    s.sortRows({1, 1, 3, 2}, {{1, true}});
    EXPECT_EQ(column(s, 1, 1, 3), "1,2,3");
    EXPECT_EQ(column(s, 2, 1, 3), "30,20,10");
    EXPECT_EQ(column(s, 255, 1, 3), "1,2,3");
    EXPECT_EQ(s.rowHeight(1), 500);
}

TEST(Sheet, FindWrapsAndHonoursOptions) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setText(2, 3, w("Итого: 5"));
    s.setText(5, 1, w("итого"));
    s.setText(7, 2, "x");
    CellRange all{1, 1, kMaxRows, kMaxCols};
    auto hit = s.find(w("ИТОГО"), all, {1, 1});
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, (CellRef{2, 3}));
    hit = s.find(w("ИТОГО"), all, *hit);
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, (CellRef{5, 1}));
    hit = s.find(w("ИТОГО"), all, *hit); // wraps to the first again
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, (CellRef{2, 3}));
    FindOptions exact;
    exact.matchCase = true;
    exact.wholeCell = true;
    hit = s.find(w("итого"), all, {1, 1}, exact);
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, (CellRef{5, 1}));
    FindOptions cols;
    cols.byColumns = true;
    hit = s.find(w("и"), all, {1, 1}, cols);
    ASSERT_TRUE(hit);
    EXPECT_EQ(*hit, (CellRef{5, 1}));
    EXPECT_FALSE(s.find("nothing", all, {1, 1}));
}

TEST(Sheet, FitWidthsAndHeights) {
    Workbook book;
    Sheet& s = book.sheet();
    FixedTextMeasurer m;
    s.setText(1, 1, std::string(20, 'x'));
    s.setText(2, 1, "y");
    s.fitColWidths({1, 1, 2, 1}, m);
    // 20 characters of a 10 pt font at 6 px each, plus the inset, in units of 6 px.
    EXPECT_EQ(s.colWidth(1), (120 + 5) * 256 / 6);
    Style big;
    big.font.size = 20;
    s.setStyle(2, 1, big);
    s.fitRowHeights({1, 1, 2, 1}, m);
    EXPECT_EQ(s.rowHeight(2), m.lineHeight(big.font) * 15);
    EXPECT_EQ(s.rowHeight(1), m.lineHeight(Font()) * 15);
}

TEST(Sheet, SelectionAndActiveCell) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setSelection({3, 3, 1, 1});
    EXPECT_EQ(s.selectionRange(0), (CellRange{1, 1, 3, 3}));
    s.setSelection({5, 1, 5, kMaxCols}, true);
    EXPECT_EQ(s.selectionCount(), 2);
    EXPECT_EQ(s.activeCell(), (CellRef{5, 1}));
    s.setActiveCell(2, 2); // inside the selection: it stays
    EXPECT_EQ(s.selectionCount(), 2);
    s.setActiveCell(9, 9);
    EXPECT_EQ(s.selectionCount(), 1);
    EXPECT_EQ(s.selectionRange(0), CellRange::cell(9, 9));
    s.setSelectionEntry("7");
    EXPECT_EQ(s.value(9, 9), Value::fromNumber(7));
}

TEST(Sheet, SelectionRangesReplaceAllInOneChange) {
    struct Counter : WorkbookListener {
        int sel = 0;
        void selChange() override { ++sel; }
    } counter;
    Workbook book;
    Sheet& s = book.sheet();
    book.addListener(&counter);
    // A shift-click keeps the anchor as active cell even when it is not the first cell.
    s.setSelectionRanges({{2, 2, 2, 2}, {5, 5, 3, 3}}, {5, 5});
    EXPECT_EQ(counter.sel, 1);
    EXPECT_EQ(s.selectionCount(), 2);
    EXPECT_EQ(s.selectionRange(1), (CellRange{3, 3, 5, 5}));
    EXPECT_EQ(s.activeCell(), (CellRef{5, 5}));
    s.setSelectionRanges({{1, 1, 2, 2}}, {9, 9}); // outside: moves to the range's first cell
    EXPECT_EQ(s.activeCell(), (CellRef{1, 1}));
    s.setSelectionRanges({{0, 0, -3, -3}}, {1, 1}); // nothing left: no change, no report
    EXPECT_EQ(counter.sel, 2);
    EXPECT_EQ(s.selectionRange(0), (CellRange{1, 1, 2, 2}));
    book.removeListener(&counter);
}

TEST(Workbook, SheetsInsertDeleteAndCurrent) {
    Workbook book;
    book.sheet().setText(1, 1, "one");
    book.setNumSheets(3);
    EXPECT_EQ(book.numSheets(), 3);
    EXPECT_EQ(book.sheet(2).name(), "Sheet2");
    book.setCurrentSheet(3);
    book.insertSheets(1, 1); // the current sheet keeps being the same sheet
    EXPECT_EQ(book.currentSheet(), 4);
    EXPECT_EQ(book.sheet(2).text(1, 1), "one");
    book.deleteSheets(1, 10); // at least one sheet stays
    EXPECT_EQ(book.numSheets(), 1);
    book.deleteSheets(1, 1);
    EXPECT_EQ(book.numSheets(), 1);
}

class Recorder : public WorkbookListener {
public:
    int cells = 0, layouts = 0, sels = 0;
    void cellsChanged(int, const CellRange&) override { ++cells; }
    void layoutChanged() override { ++layouts; }
    void selChange() override { ++sels; }
};

TEST(Workbook, ListenersHonourRepaintAndEventSwitches) {
    Workbook book;
    Recorder rec;
    book.addListener(&rec);
    book.sheet().setText(1, 1, "a");
    EXPECT_EQ(rec.cells, 1);
    book.setRepaint(false);
    book.sheet().setText(1, 2, "b");
    book.sheet().setText(1, 3, "c");
    EXPECT_EQ(rec.cells, 1);
    int layoutsBefore = rec.layouts;
    book.setRepaint(true); // one full repaint for everything meanwhile
    EXPECT_EQ(rec.layouts, layoutsBefore + 1);
    book.sheet().setSelection({1, 1, 2, 2});
    EXPECT_EQ(rec.sels, 1);
    book.events().doSelChange = false;
    book.sheet().setSelection({1, 1, 3, 3});
    EXPECT_EQ(rec.sels, 1);
    book.removeListener(&rec);
}

TEST(Workbook, SwapContentsKeepsSheetsPointingAtTheirBook) {
    Workbook a, b;
    a.sheet().setText(1, 1, "in a");
    b.setNumSheets(2);
    a.swapContents(b);
    EXPECT_EQ(a.numSheets(), 2);
    EXPECT_EQ(&a.sheet(1).workbook(), &a);
    EXPECT_EQ(b.sheet().text(1, 1), "in a");
    EXPECT_EQ(&b.sheet().workbook(), &b);
}

} // namespace
} // namespace fc
