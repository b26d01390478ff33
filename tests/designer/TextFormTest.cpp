#include "DosText.h"

#include "components/model/Workbook.h"
#include "designer/TableFormatWriter.h"
#include "designer/TemplateReader.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::dosLines;
using test::utf8Lines;
using test::win;

TemplateReadReport readText(const std::vector<std::string>& lines, Workbook& book,
                            TemplateReadOptions options = {}) {
    return TemplateReader(options).read(dosLines(lines), book);
}

BorderStyle side(const Sheet& s, int r, int c, BorderSide b) {
    return s.style(r, c).border(b).style;
}

TEST(TextForm, DoubleBoxWithFontsRulesAndPageBreak) {
    Workbook book;
    TemplateReadReport report = readText(
        {
            ";;1=Arial,10,b,align=c",
            ";colw[05]=30",
            "        ОТЧЁТ О ДВИЖЕНИИ   ",
            "╔══════════╦══════════╗",
            "║<1>Счёт   ║<1*>Сумма ║",
            "╠══════════╬══════════╣",
            "║ 41       ║    12.50 ║",
            "╟──────────╫──────────╢",
            "║ 42       ║     7.00 ║",
            "╚══════════╩══════════╝",
            "PBK",
            "Итого: 19.50",
        },
        book);
    EXPECT_EQ(report.unreadableLines, 0);
    EXPECT_FALSE(report.truncated);
    const Sheet& s = book.sheet();
    EXPECT_EQ(s.maxCol(), 3);
    EXPECT_EQ(s.maxRow(), 6);
    EXPECT_EQ(s.text(1, 1), win("        ОТЧЁТ О ДВИЖЕНИИ"));
    EXPECT_EQ(s.text(2, 2), win("Счёт"));
    EXPECT_EQ(s.text(2, 3), win("Сумма"));
    EXPECT_TRUE(s.style(2, 3).font.bold) << "<1*> applies to the cell";
    EXPECT_EQ(s.style(2, 2).halign, HAlign::Center);
    EXPECT_EQ(s.text(3, 2), " 41");
    EXPECT_EQ(s.text(3, 3), "    12.50");
    EXPECT_FALSE(s.style(3, 2).font.bold);
    for (int c = 2; c <= 3; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(side(s, 2, c, BorderSide::Top), BorderStyle::Double);
        EXPECT_EQ(side(s, 2, c, BorderSide::Bottom), BorderStyle::Double);
        EXPECT_EQ(side(s, 3, c, BorderSide::Bottom), BorderStyle::Thin);
        EXPECT_EQ(side(s, 4, c, BorderSide::Bottom), BorderStyle::Double);
        EXPECT_EQ(side(s, 3, c, BorderSide::Left), BorderStyle::Double);
        EXPECT_EQ(side(s, 3, c, BorderSide::Right), BorderStyle::Double);
        EXPECT_EQ(s.colWidth(c), 11 * 256 + 1);
    }
    EXPECT_EQ(s.colWidth(5), 30 * 256 + 1);
    EXPECT_TRUE(s.rowPageBreak(5));
    EXPECT_EQ(s.text(5, 1), "");
    EXPECT_EQ(s.rowHeading(5), "11");
    EXPECT_EQ(s.text(6, 1), win("Итого: 19.50"));
    EXPECT_EQ(s.rowHeading(6), "12");
}

TEST(TextForm, SingleLinesMergeAHeadingOverTheColumnsBelow) {
    Workbook book;
    readText(
        {
            "┌─────────────────────┐",
            "│       Шапка         │",
            "├──────────┬──────────┤",
            "│ a        │ b        │",
            "└──────────┴──────────┘",
        },
        book);
    const Sheet& s = book.sheet();
    ASSERT_EQ(s.merges().size(), 1u);
    EXPECT_EQ(s.merges()[0], (CellRange{1, 2, 1, 3}));
    EXPECT_EQ(s.text(1, 2), win("       Шапка"));
    EXPECT_EQ(side(s, 1, 2, BorderSide::Top), BorderStyle::Thin);
    EXPECT_EQ(side(s, 1, 3, BorderSide::Top), BorderStyle::Thin);
    EXPECT_EQ(side(s, 1, 2, BorderSide::Left), BorderStyle::Thin);
    EXPECT_EQ(side(s, 1, 3, BorderSide::Right), BorderStyle::Thin);
    EXPECT_EQ(side(s, 1, 2, BorderSide::Bottom), BorderStyle::Thin);
    EXPECT_EQ(s.text(2, 2), " a");
    EXPECT_EQ(s.text(2, 3), " b");
    EXPECT_EQ(side(s, 2, 2, BorderSide::Right), BorderStyle::Thin);
    EXPECT_EQ(side(s, 2, 3, BorderSide::Bottom), BorderStyle::Thin);
    EXPECT_EQ(s.maxRow(), 2);
}

TEST(TextForm, CellsOfDifferentlyShapedLinesShareColumns) {
    Workbook book;
    readText({"│ aa │ bb │ cc │", "│ wide    │ dd │", "│ x  │ yy      │"}, book);
    const Sheet& s = book.sheet();
    EXPECT_EQ(s.maxCol(), 4);
    EXPECT_EQ(s.text(1, 3), " bb");
    EXPECT_EQ(s.text(2, 2), " wide");
    EXPECT_EQ(s.text(2, 4), " dd");
    EXPECT_EQ(s.text(3, 3), " yy");
    std::vector<CellRange> expected{{2, 2, 2, 3}, {3, 3, 3, 4}};
    EXPECT_EQ(s.merges(), expected);
    EXPECT_EQ(s.colWidth(2), 5 * 256 + 1);
}

TEST(TextForm, DashRulesPipesAndUnderlines) {
    Workbook book;
    readText(
        {
            "|Имя |Сумма|",
            "|----|-----|",
            "|x   |1    |",
            "------------",
            "Подпись",
            "_Дата:_|────────|",
            "........",
        },
        book);
    const Sheet& s = book.sheet();
    EXPECT_EQ(side(s, 1, 2, BorderSide::Left), BorderStyle::Dotted); // "|" is style 4
    EXPECT_EQ(side(s, 1, 3, BorderSide::Bottom), BorderStyle::Dotted);
    EXPECT_EQ(side(s, 2, 2, BorderSide::Bottom), BorderStyle::Dotted);
    EXPECT_EQ(s.text(2, 3), "1");
    EXPECT_EQ(s.text(3, 1), win("Подпись"));
    // A rule inside a content line underlines its own cell.
    EXPECT_EQ(s.text(4, 2), win("_Дата:_"));
    EXPECT_EQ(side(s, 4, 4, BorderSide::Bottom), BorderStyle::Thin);
    EXPECT_EQ(side(s, 4, 5, BorderSide::Bottom), BorderStyle::Thin);
    EXPECT_EQ(side(s, 4, 3, BorderSide::Bottom), BorderStyle::None);
    EXPECT_EQ(s.maxRow(), 4) << "rule lines start no row";
}

TEST(TextForm, TextLineFontsAndColours) {
    Workbook book;
    readText({";;0=Courier New,9", ";;2=Courier New,9,b,color=r", "<2>Красная строка", ";fix=1",
              "* комментарий", "<9>нет такого шрифта"},
             book);
    const Sheet& s = book.sheet();
    EXPECT_EQ(book.defaultFont().name, "Courier New");
    EXPECT_EQ(s.text(1, 1), win("Красная строка"));
    EXPECT_TRUE(s.style(1, 1).font.bold);
    EXPECT_EQ(s.style(1, 1).font.color, rgb(255, 0, 0));
    EXPECT_EQ(s.style(2, 1).font.color, rgb(255, 0, 0));     // service instruction
    EXPECT_EQ(s.style(3, 1).font.color, rgb(128, 128, 128)); // comment
    EXPECT_EQ(s.text(4, 1), win("нет такого шрифта"));
    EXPECT_EQ(s.maxCol(), 10) << "no table cells";
    EXPECT_EQ(s.colWidth(7), s.colWidth(2));
}

TEST(TextForm, DecimalCommaAndSheetLines) {
    Workbook book;
    TemplateReadOptions comma;
    comma.decimalComma = true;
    readText({";sheet  Первый", "│ 12.50 │ 1.5 │", ";SHEET  Второй", "строка", ";table  Третий",
              "&&", "&2 cell|0000lb"},
             book, comma);
    ASSERT_EQ(book.numSheets(), 3);
    EXPECT_EQ(book.sheet(1).name(), win("Первый"));
    EXPECT_EQ(book.sheet(1).text(1, 2), " 12,50");
    EXPECT_EQ(book.sheet(1).text(1, 3), " 1.5");
    EXPECT_EQ(book.sheet(2).name(), win("Второй"));
    EXPECT_EQ(book.sheet(2).text(1, 1), win("строка"));
    EXPECT_EQ(book.sheet(3).name(), win("Третий"));
    EXPECT_EQ(book.sheet(3).text(1, 2), "cell") << "exactly \";table\" keeps the table format";
    EXPECT_EQ(book.sheet(3).rowHeading(1), "6");
}

TEST(TextForm, LimitsOfRowsAndColumns) {
    std::vector<std::string> lines(1005, "строка");
    lines.push_back(";sheet  после");
    lines.push_back("ещё");
    Workbook book;
    TemplateReadReport report = readText(lines, book);
    EXPECT_TRUE(report.truncated);
    EXPECT_EQ(book.sheet(1).maxRow(), 1000);
    ASSERT_EQ(book.numSheets(), 2) << "the sheet after the cut is still read";
    EXPECT_EQ(book.sheet(2).text(1, 1), win("ещё"));

    std::vector<std::string> exact(1000, "x");
    Workbook full;
    EXPECT_FALSE(readText(exact, full).truncated) << "nothing was left out";

    std::string wide = "│";
    for (int i = 0; i < 300; ++i) {
        wide += "a│";
    }
    Workbook broad;
    report = readText({wide}, broad);
    EXPECT_TRUE(report.truncated);
    EXPECT_EQ(broad.sheet().maxCol(), 253);
    EXPECT_EQ(broad.sheet().text(1, 253), "a");
}

// Writing a text form back must give the same layout and the same lines.
TEST(TextForm, WrittenBackKeepsBlankLinesAndItsLayout) {
    Workbook book;
    readText({"* Оборотная ведомость", "", "Счёт 90", "", "", "ИТОГО", "", ""}, book);
    const TableFormatWriter writer(book);
    ASSERT_TRUE(writer.writesPlain());
    EXPECT_EQ(utf8Lines(writer.write()),
              (std::vector<std::string>{"* Оборотная ведомость", "", "Счёт 90", "", "", "ИТОГО"}))
        << "blank lines between lines kept, none added at the end";

    // A statement that reads as a table-format head may not stand in the first two lines of
    // a text form; the sheet is written in the table format and reads back whole.
    Workbook head;
    readText({"", "ам;table Ведомость", "&5 ^K|1100rt     |# ##0.00", "IF S=\"90\""}, head);
    const std::string written = TableFormatWriter(head).write();
    Workbook again;
    const TemplateReadReport report = TemplateReader().read(written, again);
    EXPECT_EQ(report.unreadableLines, 0);
    for (int r = 1; r <= 4; ++r) {
        EXPECT_EQ(again.sheet(1).text(r, 1), head.sheet(1).text(r, 1)) << "row " << r;
    }
}

} // namespace
} // namespace fc
