#include "ResultFixture.h"

#include "components/model/TextMeasurer.h"
#include "results/CellActions.h"
#include "results/Filter.h"
#include "results/Marks.h"
#include "results/Totals.h"

namespace fc {
namespace {

struct Totals : test::ResultFixture {
    void SetUp() override {
        settings.totals = true;
        settings.totalsColumns = {3, 4};
    }
    std::string sums(int col) const {
        std::string out;
        for (int r = result::firstDataRow(s); r <= s.maxRow(); ++r) {
            if (result::isTotalsRow(s, r)) {
                char b[32];
                std::snprintf(b, sizeof b, "%g", s.number(r, col));
                out += (out.empty() ? "" : " ") + std::string(b);
            }
        }
        return out;
    }
};

TEST_F(Totals, LevelsCloseTheirGroups) {
    build(1, {"Счет|Дебет|Кредит", "A|10|1", "B|20|2", "Итого:|0|0|@1", "ИТОГО:|0|0|@2", "C|5|3",
              "Итого:|0|0|@1", "Всего итого:|0|0|@3", "D|1|1", "Итого:|0|0|@x"});
    total_(session);
    // A level-2 total right after a level-1 total shows the same sum; level 3 sums every
    // visible row since the last level 3; a level that is no number counts as 1.
    EXPECT_EQ(sums(3), "30 30 5 35 1");
    EXPECT_EQ(sums(4), "3 3 3 6 1");
    settings.totals = false;
    s.setNumber(2, 3, 100);
    total_(session);
    EXPECT_EQ(sums(3), "30 30 5 35 1"); // automatic totals off: nothing recomputed
}

TEST_F(Totals, HiddenRowsNeverCount) {
    build(1, {"Счет|Дебет|Кредит", "A|10|1", "B|20|2", "Итого:|0|0"});
    FilterForm& f = session.view.filter.form;
    f.s1 = "A";
    ASSERT_TRUE(Filtr(session, false, FilterLocale{}));
    EXPECT_EQ(sums(3), "10");
    f.clear();
    ASSERT_TRUE(Filtr(session, false, FilterLocale{}));
    EXPECT_EQ(sums(3), "30");
}

TEST_F(Totals, GreenFiguresAreTheServersUnlessTheUserMayEdit) {
    build(1, {"Счет|Дебет|Кредит", "A|10|1", "подытог|7|0", "Итого:|0|0"});
    s.editStyle({3, 3, 3, 4}, [](Style& st) { st.font.color = rgb(0, 128, 0); });
    total_(session);
    EXPECT_EQ(sums(3), "10");
    settings.editColumns = {4};
    total_(session);
    EXPECT_EQ(sums(3), "17");
}

TEST_F(Totals, ColumnsAreFittedToTheirNewTotals) {
    build(1, {"Счет|Дебет|Кредит", "A|1000000|1", "B|2000000|2", "Итого:|0|0"});
    const FixedTextMeasurer m;
    session.view.measurer = &m;
    s.setColWidth(3, 256);
    s.setColHidden(4, true);
    s.setColWidth(4, 256);
    total_(session);
    EXPECT_GT(s.colWidth(3), 256 * 5);
    EXPECT_EQ(s.colWidth(4), 256); // a hidden column keeps its width
    s.setColWidth(3, 256 * 40);
    total_(session);
    EXPECT_EQ(s.colWidth(3), 256 * 40); // never narrower: its heading stays whole
}

// ---- marks

struct Marks : test::ResultFixture {
    void SetUp() override {
        settings.totals = true;
        settings.totalsColumns = {3};
        // A one-row record, a two-row record, a three-row record, the totals.
        build(1, {"Счет|Сумма", "A|1", "B|2+", "B2|3", "C|4+", "C2|5+", "C3|6", "Итого:|0"});
    }
    std::string marked() const {
        std::string out;
        for (int r = 2; r <= s.maxRow(); ++r) {
            if (isMarkedRow(s, r)) {
                out += (out.empty() ? "" : " ") + std::to_string(r);
            }
        }
        return out;
    }
};

TEST_F(Marks, RecordsAreMarkedByTheirBorders) {
    struct Case {
        int row;
        bool done;
        const char* marked;
    };
    const Case cases[] = {
        {2, true, "2"},       {3, true, "2 3 4"}, // a two-row record from its first row
        {4, true, "2"},                           // ... and off again from its second
        {6, false, "2"},                          // inside a three-row record: nothing
        {5, true, "2 5 6 7"}, // from its first row: the whole record, never a part of it
        {7, true, "2"},       {2, true, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(markRecord(session, c.row, 3), c.done) << c.row;
        EXPECT_EQ(marked(), c.marked) << c.row;
    }
    EXPECT_EQ(session.view.marks.count, 0);
    EXPECT_EQ(s.activeCell(), (CellRef{2, 3}));
    EXPECT_EQ(s.style(2, 4).fill, Fill{}); // beyond MaxCol nothing is filled
}

TEST_F(Marks, TheRowCursorLeavesBeforeTheYellow) {
    moveRowCursor(session, 3); // ";KURSOR": row 3 navy with white figures
    ASSERT_EQ(s.style(3, 2).fill.fg, rgb(0, 0, 128));
    ASSERT_TRUE(markRecord(session, 3, 2));
    EXPECT_EQ(marked(), "3 4");
    for (int c = 2; c <= s.maxCol(); ++c) {
        EXPECT_EQ(s.style(3, c).fill.fg, rgb(255, 255, 0)) << c;
        EXPECT_EQ(s.style(3, c).numberFormat.find("[White]"), std::string::npos) << c;
        EXPECT_NE(s.style(3, c).border(BorderSide::Bottom).color, rgb(255, 255, 255)) << c;
    }
    EXPECT_EQ(session.actions().cursorRow, 0);
}

TEST_F(Marks, OnlyTheMarkedRowsAndTheirTotals) {
    markRecord(session, 3, 2);
    markRecord(session, 2, 2);
    EXPECT_EQ(session.view.marks.count, 2);
    status.setStatusText(w("Фильтp включен [3]"));
    setOnlyMarked(session, true);
    EXPECT_TRUE(onlyMarkedRows(session));
    EXPECT_EQ(shown(), "2 3 4 8"); // the last row is never hidden
    EXPECT_EQ(s.number(8, 3), 6);
    EXPECT_EQ(statusText(), "Фильтp включен [3]   Только выделенные стpоки");
    setOnlyMarked(session, true);
    EXPECT_EQ(statusText(), "Фильтp включен [3]   Только выделенные стpоки");
    // Unmarking in this mode hides the record at once.
    markRecord(session, 4, 2);
    EXPECT_EQ(shown(), "2 8");
    EXPECT_EQ(s.number(8, 3), 1);
    // Off: the filter alone decides again.
    setOnlyMarked(session, false);
    EXPECT_EQ(shown(), "2 3 4 5 6 7 8");
    EXPECT_EQ(s.number(8, 3), 21);
    EXPECT_EQ(statusText(), "");
}

TEST_F(Marks, UnmarkingAllKeepsTheAnswersOwnFills) {
    s.editStyle({5, 2, 5, 3}, [](Style& st) { st.fill = Fill{1, rgb(192, 192, 192), kAutoColor}; });
    markRecord(session, 2, 2);
    markRecord(session, 3, 2);
    setOnlyMarked(session, true);
    clearMarks(session);
    EXPECT_EQ(marked(), "");
    EXPECT_EQ(session.view.marks.count, 0);
    EXPECT_FALSE(onlyMarkedRows(session));
    EXPECT_EQ(shown(), "2 3 4 5 6 7 8");
    EXPECT_EQ(s.style(5, 2).fill.fg, rgb(192, 192, 192));
}

TEST_F(Marks, ANewAnswerForgetsMarksAndMode) {
    markRecord(session, 2, 2);
    setOnlyMarked(session, true);
    session.view.sort.column = 3;
    session.view.quickSum.shown = 5.0;
    newAnswer(session);
    EXPECT_EQ(session.view.marks.count, 0);
    EXPECT_FALSE(onlyMarkedRows(session));
    EXPECT_EQ(session.view.sort.column, 0);
    EXPECT_FALSE(session.view.quickSum.shown);
}

} // namespace
} // namespace fc
