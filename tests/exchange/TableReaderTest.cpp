#include "AnswerFixture.h"

#include "components/model/Sheet.h"
#include "exchange/ResultRows.h"
#include "exchange/TableResultReader.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::AnswerFixture;
using test::dos;
using test::u8;

// Reads an answer given as UTF-8 lines (sent in code page 866, CR LF).
void readLines(AnswerFixture& fx, std::initializer_list<const char*> lines) {
    std::string bytes;
    for (const char* l : lines) {
        bytes += dos(l) + "\r\n";
    }
    fx.setAnswer(bytes);
    read_table(fx.ctx, "a1b2c3d4.out");
}

TEST(ReadTable, TextLinesFormulasAndLiterals) {
    AnswerFixture fx;
    readLines(fx, {";table", "Заголовок  ", "<1>шрифт без записи", "PBK", "{*итого*} за год", "5",
                   "=\"R\"+{001}*2", "   "});
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(fx.text(1, 1), "Заголовок");
    EXPECT_EQ(fx.text(2, 1), "шрифт без записи");
    EXPECT_FALSE(s.value(3, 1).isText());
    EXPECT_TRUE(s.rowPageBreak(3));
    EXPECT_EQ(fx.text(4, 1), "ИТОГО");
    // Column 1 keeps texts as they are: no number is read out of a text line.
    EXPECT_TRUE(s.value(5, 1).isText());
    EXPECT_EQ(s.formula(6, 1), "=6+7*2");
    EXPECT_EQ(s.maxRow(), 7);
    EXPECT_EQ(fx.messages(), "");
}

TEST(ReadTable, FormulaInRowSevenTurnsItsBracesIntoRowNumbers) {
    EXPECT_EQ(answers::substituteRow("=A{001}+\"R\"", 7), "=A8+7");
    EXPECT_EQ(answers::substituteRow("=SUM(B{010}:B{000})", 7), "=SUM(B17:B7)");
    EXPECT_EQ(answers::substituteRow("{01}{0a1}\"r\"", 7), "{01}{0a1}\"r\"");
}

TEST(ReadTable, CellLinesWithFontsKeysAndTrimming) {
    AnswerFixture fx;
    readLines(fx, {";;1=Arial,12,b,,,,color=r", ";;2=Courier,9,i", "&&400",
                   "&02[*К1]<1> вправо |0000rb", "&03<2>[K2] влево  |1111lc", "&04 {*итог*}|",
                   "&05=B{000}*2|0000cb|0.00", "&06 12.50|0000lb", "&&", "&02[K3]x|0000lb",
                   "&02[K4]y|0000lb"});
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(fx.text(1, 2), "вправо");
    EXPECT_EQ(s.style(1, 2).font.name, "Arial");
    EXPECT_TRUE(s.style(1, 2).font.bold);
    EXPECT_EQ(s.style(1, 2).font.color, rgb(255, 0, 0));
    EXPECT_EQ(s.style(1, 2).halign, HAlign::Right);
    EXPECT_EQ(fx.text(1, 3), " влево");
    EXPECT_TRUE(s.style(1, 3).font.italic);
    EXPECT_EQ(s.style(1, 3).border(BorderSide::Top).style, BorderStyle::Thin);
    EXPECT_EQ(s.style(1, 3).valign, VAlign::Center);
    EXPECT_EQ(fx.text(1, 4), "ИТОГ");
    EXPECT_EQ(s.formula(1, 5), "=B1*2");
    EXPECT_EQ(s.style(1, 5).numberFormat, "0.00");
    EXPECT_TRUE(s.value(1, 6).isNumber());
    EXPECT_EQ(s.rowHeight(1), 400);
    // The key of column 2 with its asterisk marks the row; keys pile up in column 255.
    EXPECT_EQ(fx.text(1, answers::kMarkCol), "X");
    EXPECT_EQ(fx.text(1, answers::kActionCol), "{2}К1|{3}K2|");
    EXPECT_EQ(fx.text(2, answers::kActionCol), "{2}K3|{2}K4|");
    EXPECT_EQ(fx.text(2, answers::kMarkCol), "");
}

TEST(ReadTable, MergedAreasAndColumnNumbersOfThreeDigits) {
    AnswerFixture fx;
    readLines(fx, {";col3", ";maxcol=120", "&&", "&002Шапка|0000cbw 2 1", "&&", "&110far|0000lb"});
    const Sheet& s = fx.book.sheet();
    ASSERT_EQ(s.merges().size(), 1u);
    EXPECT_EQ(s.merges()[0], (CellRange{1, 2, 2, 4}));
    EXPECT_EQ(fx.text(2, 110), "far");
    EXPECT_EQ(s.maxCol(), 120);
}

TEST(ReadTable, ErrorInRowOneClosesTheWindowAndStops) {
    AnswerFixture fx;
    fx.settings.openedFromDesigner = true;
    readLines(fx, {"E-Нет такого счета: 12 : 5", "later text"});
    EXPECT_EQ(fx.messages(), "Ошибка:|E-Нет такого счета: 12 : 5\n");
    EXPECT_TRUE(fx.settings.closeWindow);
    EXPECT_EQ(u8(fx.settings.statusMessage), "E-Нет такого счета: 12 : 5");
    EXPECT_EQ(fx.world.jumps, (std::vector<std::pair<int, int>>{{12, 5}}));
    EXPECT_EQ(fx.text(2, 1), "");
}

TEST(ReadTable, LaterErrorIsShownAndReadingGoesOn) {
    AnswerFixture fx;
    readLines(fx, {"first", "E-bad value", "third"});
    EXPECT_FALSE(fx.settings.closeWindow);
    EXPECT_TRUE(fx.world.jumps.empty());
    EXPECT_EQ(fx.text(3, 1), "third");
}

TEST(ReadTable, NoticeBlocksSetTheStatusMessageOrTheRecalcNotice) {
    AnswerFixture fx;
    readLines(fx, {"row 1", "relative", "Данные на (01.02.2024", "skipped", "row 2"});
    EXPECT_EQ(u8(fx.settings.statusMessage), "01.02.2024");
    EXPECT_EQ(fx.text(2, 1), "row 2");

    AnswerFixture other;
    readLines(other, {"Данные веpна условно (", "без скобки", "skipped"});
    EXPECT_TRUE(other.settings.recalcNotice);
    EXPECT_EQ(other.book.sheet().maxRow(), 1);
}

TEST(ReadTable, TableLinesStartNamedSheetsWithTheirOwnFonts) {
    AnswerFixture fx;
    readLines(fx, {";table  Первый", ";;1=Arial,14,b", "&&", "&02<1>a|0000lb", ";TABLE  Второй",
                   ";;0=Times,8", "text", "&&", "&02<1>b|0000lb"});
    ASSERT_EQ(fx.book.numSheets(), 2);
    EXPECT_EQ(u8(fx.book.sheet(1).name()), "Первый");
    EXPECT_EQ(u8(fx.book.sheet(2).name()), "Второй");
    EXPECT_TRUE(fx.book.sheet(1).style(1, 2).font.bold);
    // Font 1 belonged to the first sheet; the second uses its own default.
    EXPECT_EQ(fx.book.sheet(2).style(2, 2).font.name, "Times");
    EXPECT_EQ(fx.book.sheet(2).style(1, 1).font.name, "Times");
    EXPECT_EQ(fx.book.sheet(2).maxRow(), 2);
    EXPECT_EQ(fx.book.currentSheet(), 1);
}

TEST(ReadTable, PreparationClearsTheFormerResultAndItsSettings) {
    AnswerFixture fx;
    readLines(fx, {";NON_SAVE", ";COLH[3]", "&&", "&02[k]old|0000lb", "&&", "&03x|0000lb"});
    ASSERT_TRUE(fx.settings.noSave);
    fx.settings.caption = "Отчет";
    readLines(fx, {"new"});
    EXPECT_FALSE(fx.settings.noSave);
    EXPECT_EQ(fx.settings.caption, "Отчет");
    EXPECT_EQ(fx.text(1, 1), "new");
    EXPECT_EQ(fx.text(1, 2), "");
    EXPECT_EQ(fx.text(1, answers::kActionCol), "");
    EXPECT_FALSE(fx.book.sheet().colHidden(3));
    EXPECT_EQ(fx.book.defaultFont().name, "Fixedsys");
}

TEST(ReadTable, EndStepsSortBelowTheFixedRowsAndFindTheCursorRow) {
    AnswerFixture fx;
    fx.settings.positionKey = "b";
    readLines(fx,
              {";FIX=01", ";SORT1=-3", "&&", "&02head|0000lb", "&&", "&02a|0000lb", "&03 1|0000lb",
               "&&", "&02c|0000lb", "&03 3|0000lb", "&&", "&02b|0000lb", "&03 2|0000lb"});
    EXPECT_EQ(fx.text(1, 2), "head");
    EXPECT_EQ(fx.text(2, 2), "c");
    EXPECT_EQ(fx.text(3, 2), "b");
    EXPECT_EQ(fx.text(4, 2), "a");
    EXPECT_EQ(fx.book.sheet().fixedRows(), 1);
    EXPECT_EQ(fx.settings.cursorRow, 3); // where "b" is once sorted
}

TEST(ReadTable, RequestContextGoesToTheHiddenStateBlock) {
    AnswerFixture fx;
    fx.settings.requestContext = "user\xFApw\xFA"
                                 "620\xFAR SALDO";
    readLines(fx, {"x"});
    EXPECT_EQ(fx.book.sheet().text(3, answers::kStateCol), fx.settings.requestContext);
}

TEST(ReadTable, ProgressRunsOverTheArea) {
    AnswerFixture fx;
    std::string bytes;
    for (int i = 0; i < 400; ++i) {
        bytes += "line " + std::to_string(i) + "\r\n";
    }
    fx.setAnswer(bytes);
    read_table(fx.ctx, "x.out");
    ASSERT_GT(fx.painted.size(), 100u);
    EXPECT_LE(fx.painted.size(), 200u);
    EXPECT_GE(fx.painted[fx.painted.size() - 2], 190);
}

TEST(ReadTable, RowsPastTheSheetAreDropped) {
    AnswerFixture fx;
    std::string bytes;
    bytes.reserve(70000 * 3);
    for (int i = 0; i < 65540; ++i) {
        bytes += "&&\n";
    }
    bytes += "&02last|0000lb\nlate text\n";
    fx.setAnswer(bytes);
    read_table(fx.ctx, "x.out");
    // The window keeps the rows below the result's last row; the cell of a later row does not
    // land on the last one.
    EXPECT_EQ(fx.book.sheet().maxRow(), answers::kMaxResultRows);
    EXPECT_EQ(fx.text(answers::kMaxResultRows, 2), "");
    EXPECT_NE(fx.messages().find("показаны первые 65528 строк"), std::string::npos);
}

} // namespace
} // namespace fc
