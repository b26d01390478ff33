#include "ResultFixture.h"

#include "components/model/TextMeasurer.h"
#include "components/text/CodePage.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/OutsideFiles.h"
#include "exchange/OutsideWorld.h"
#include "exchange/ResultContext.h"
#include "exchange/TableResultReader.h"
#include "results/CellActions.h"
#include "results/Filter.h"
#include "results/Sorting.h"

#include <QTemporaryDir>

namespace fc {
namespace {

using test::u8;

// Two groups under a heading row: a one-row record, a two-row record and another one-row
// record, then a subtotal; a group heading; two records; the grand total.
struct Sorting : test::ResultFixture {
    void SetUp() override {
        build(1, {"Имя|Сумма", "Борис|20", "Анна|30+", "примечание|", "Вера|10", "Итого:|60",
                  "  Группа 2", "Яков|5", "Глеб|7", "ИТОГО:|72"});
        for (int r = 2; r <= s.maxRow(); ++r) {
            s.setText(r, result::kActionCol, "{2}K" + std::to_string(r) + "|");
            s.setText(r, result::kMarkCol, r == 3 ? "X" : "");
        }
        s.setText(4, result::kStateCol, "state");
    }
    // Column c of rows 2..MaxRow, "|" between them.
    std::string column(int c) const {
        std::string out;
        for (int r = 2; r <= s.maxRow(); ++r) {
            out += (r > 2 ? "|" : "") + u8(s.text(r, c));
        }
        return out;
    }
};

TEST_F(Sorting, AHeadingClickPreparesKeysAndGroups) {
    EXPECT_FALSE(chooseSortColumn(session, 2, 3)); // a data row is no heading
    EXPECT_FALSE(chooseSortColumn(session, 1, 1)); // column 1 is no data column
    ASSERT_TRUE(chooseSortColumn(session, 1, 3));
    EXPECT_EQ(u8(session.view.sort.heading), "Сумма");
    // The record's second row carries the key of its first; the two rows are numbered.
    EXPECT_EQ(column(result::sortKeyCol(s)), "20|30|30|10|60||5|7|");
    EXPECT_EQ(column(result::runningNumberCol(s)), "|1|2||||||");
    // The heading cells, then a range a group: totals rows and group headings close groups,
    // the last row belongs to none.
    const std::vector<CellRange> groups{{1, 3, 1, 3}, {2, 3, 5, 3}, {8, 3, 9, 3}};
    EXPECT_EQ(s.selection(), groups);
}

TEST_F(Sorting, RecordsMoveWholeWithTheirOwnColumns) {
    ASSERT_TRUE(chooseSortColumn(session, 1, 3));
    sortRecords(session, false);
    EXPECT_EQ(column(2), "Вера|Борис|Анна|примечание|Итого:|  Группа 2|Яков|Глеб|ИТОГО:");
    // Columns 253 to 255 go with their rows; column 256 stays where it was.
    EXPECT_EQ(column(result::kActionCol),
              "{2}K5||{2}K2||{2}K3||{2}K4||{2}K6||{2}K7||{2}K8||{2}K9||{2}K10|");
    EXPECT_EQ(column(result::kMarkCol), "||X||||||");
    EXPECT_EQ(s.text(4, result::kStateCol), "state");
    EXPECT_EQ(u8(status.statusText()), "   ^ Соpтиpовка по: \"Сумма\"");

    ASSERT_TRUE(chooseSortColumn(session, 1, 3));
    sortRecords(session, true);
    EXPECT_EQ(column(2), "Анна|примечание|Борис|Вера|Итого:|  Группа 2|Глеб|Яков|ИТОГО:");
    EXPECT_EQ(u8(status.statusText()), "   v Соpтиpовка по: \"Сумма\"");
    // A later note replaces an earlier one; what stands before the note stays.
    EXPECT_EQ(u8(replaceSortNote(w("Фильтp включен [2]   ^ Соpтиpовка по: \"Имя\""),
                                 sortNote(session.view.sort))),
              "Фильтp включен [2]   v Соpтиpовка по: \"Сумма\"");
    EXPECT_EQ(u8(replaceSortNote(w("Фильтp включен [2]"), "")), "Фильтp включен [2]");
}

TEST_F(Sorting, TheRowCursorStaysOutOfTheRecords) {
    moveRowCursor(session, 2);
    ASSERT_TRUE(chooseSortColumn(session, 1, 3));
    sortRecords(session, false);
    for (int r = 2; r <= s.maxRow(); ++r) {
        EXPECT_NE(s.style(r, 2).fill.fg, rgb(0, 0, 128)) << r;
    }
}

TEST_F(Sorting, TheFilterInForceRunsAgain) {
    FilterForm& f = session.view.filter.form;
    f.s1 = w("ЯКОВ");
    ASSERT_TRUE(Filtr(session, false, FilterLocale{}));
    ASSERT_TRUE(chooseSortColumn(session, 1, 2));
    sortRecords(session, true);
    EXPECT_EQ(shown(), "7 8 10");
    EXPECT_EQ(u8(status.statusText()), "Фильтp включен [1]   v Соpтиpовка по: \"Имя\"");
    // Without a chosen column (a click elsewhere since) nothing moves.
    s.setActiveCell(3, 2);
    sortRecords(session, false);
    EXPECT_EQ(u8(s.text(7, 2)), "  Группа 2");
    EXPECT_EQ(s.activeCell(), (CellRef{7, 1})); // the first shown row
}

TEST_F(Sorting, FixedHeightsAndDrawnObjectsFollowTheirRows) {
    const FixedTextMeasurer m;
    session.view.measurer = &m;
    s.setText(2, result::heightCol(s), "H=600"); // Борис keeps 600 twips
    DrawnObject picture;
    picture.kind = ObjectKind::Picture;
    picture.x1 = 2;
    picture.x2 = 3;
    picture.y1 = 1.25; // in row 2, a quarter down
    picture.y2 = 1.75;
    picture.heightPx = 8;
    const int pic = s.addObject(picture);
    DrawnObject box;
    box.kind = ObjectKind::CheckBox;
    box.y1 = 4.5; // in row 5 (Вера)
    box.y2 = 4.9;
    box.linkedCell = "D5";
    const int check = s.addObject(box);
    ASSERT_TRUE(chooseSortColumn(session, 1, 3));
    sortRecords(session, false); // Вера, Борис, Анна ...
    EXPECT_EQ(s.rowHeight(3), 600);
    EXPECT_EQ(s.text(3, result::heightCol(s)), "H=600");
    EXPECT_NE(s.rowHeight(2), 600);
    EXPECT_DOUBLE_EQ(s.object(pic)->y1, 2.25);
    EXPECT_DOUBLE_EQ(s.object(check)->y1, 1.5);
    EXPECT_EQ(s.object(check)->linkedCell, "D2");
    EXPECT_EQ(s.text(2, result::kObjectIdsCol), std::to_string(check) + "|");
}

TEST(SortingWide, AResultOf120ColumnsSortsOnItsKey) {
    Workbook book;
    ReportSettings settings;
    ScriptedPrompter prompter;
    KeptStatus status;
    ResultSession session(book, settings, prompter, status);
    Sheet& s = book.sheet(1);
    s.setMaxCol(120);
    s.setFixedRows(1, 1);
    s.setText(1, 110, w("Ключ"));
    const int keys[] = {3, 1, 2};
    for (int i = 0; i < 3; ++i) {
        s.setNumber(i + 2, 110, keys[i]);
        s.setNumber(i + 2, 120, keys[i] * 10);
        s.editStyle({i + 2, 2, i + 2, 120},
                    [](Style& st) { st.border(BorderSide::Bottom).style = BorderStyle::Thin; });
    }
    s.setMaxRow(5); // the last row stays where it is
    ASSERT_TRUE(chooseSortColumn(session, 1, 110));
    sortRecords(session, false);
    EXPECT_EQ(s.number(2, 110), 1);
    EXPECT_EQ(s.number(3, 110), 2);
    EXPECT_EQ(s.number(4, 110), 3);
    EXPECT_EQ(s.number(2, 120), 10);
}

// The sort of ";SORT1=" at the end of reading moves the program's columns of each row too.
TEST(SortingOnReading, KeysAndMarksMoveWithTheirRows) {
    QTemporaryDir dir;
    Workbook book;
    ReportSettings settings;
    ScriptedPrompter prompter;
    struct : OutsideWorld {
        bool run(const std::string&) override { return false; }
        bool open(const std::string&) override { return false; }
    } world;
    OutsideFiles files(prompter, dir.path().toStdString());
    AnswerBuffer answer(
        codepage::toDos(w(";table\r\n;MAXCOL=3\r\n;FIX=01\r\n;SORT1=002\r\n"
                          "&&\r\n&02Имя|0000lc\r\n&&\r\n&02[*K1]Вера|0000lc\r\n"
                          "&&\r\n&02[K2]Анна|0000lc\r\n&&\r\n&02[K3]Борис|0000lc\r\n")));
    ResultContext ctx{book,
                      settings,
                      answer,
                      prompter,
                      world,
                      files,
                      nullptr,
                      dir.path().toStdString(),
                      dir.path().toStdString()};
    read_table(ctx, "x.out");
    const Sheet& s = book.sheet(1);
    EXPECT_EQ(u8(s.text(2, 2)), "Анна");
    EXPECT_EQ(s.text(2, result::kActionCol), "{2}K2|");
    EXPECT_EQ(s.text(3, result::kActionCol), "{2}K3|");
    EXPECT_EQ(s.text(4, result::kActionCol), "{2}K1|");
    EXPECT_EQ(s.text(4, result::kMarkCol), "X");
}

} // namespace
} // namespace fc
