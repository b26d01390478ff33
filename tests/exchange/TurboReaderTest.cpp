#include "AnswerFixture.h"

#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "exchange/GroupSubtotals.h"
#include "exchange/ObjectPlacement.h"
#include "exchange/ResultRows.h"
#include "exchange/TurboResultReader.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::AnswerFixture;
using test::dos;
using test::u8;

// A companion workbook of three form rows: row 1 bold text cells, row 2 a number format and
// a formula in column 4 over column 3, row 3 a totals row with a top border.
std::string writeCompanion(AnswerFixture& fx, const std::string& name, double version) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(4);
    s.setMaxRow(3);
    s.setNumber(1, 1, version);
    s.setColWidth(2, 4000);
    Style bold;
    bold.font.bold = true;
    s.setStyle(1, 2, bold);
    Style money;
    money.numberFormat = "0.00";
    s.setStyle(2, 3, money);
    s.setFormula(2, 4, "=C2*2");
    Style top;
    top.border(BorderSide::Top).style = BorderStyle::Thin;
    s.setStyle(3, 2, top);
    s.merge(CellRange{3, 3, 3, 4});
    std::string error;
    const std::string path = fx.path(name);
    EXPECT_TRUE(writeWorkbookFile(path, kFileNative, book, error)) << error;
    return path;
}

// Lines in UTF-8; "~" stands for the separator byte 0xFA of a continuation.
void setLines(AnswerFixture& fx, const std::string& status,
              std::initializer_list<const char*> lines) {
    std::string bytes = status + "\r\n";
    for (const char* l : lines) {
        std::string line = dos(l);
        for (char& c : line) {
            c = c == '~' ? '\xFA' : c;
        }
        bytes += line + "\r\n";
    }
    fx.setAnswer(bytes);
}

TEST(ReadTableEx, LineByLineRowsTakeTheirFormRowsKeysAndContinuations) {
    AnswerFixture fx;
    const std::string companion = writeCompanion(fx, "T.vts", 45000.5);
    setLines(fx, ";table ;ext=T.rpt ;ver=45000.5",
             {";TOT=03", "1|Касса", "2|[*К1]\t12.5", "1|длинная\t~", "строка", "2|[K2]\t7.5",
              "3|Итого:\t99", "H=400"});
    read_table_ex(fx.ctx, companion);
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(fx.messages(), "");
    ASSERT_EQ(s.maxRow(), 5);
    EXPECT_EQ(fx.text(1, 2), "Касса");
    EXPECT_TRUE(s.style(1, 2).font.bold);
    EXPECT_EQ(s.number(2, 3), 12.5);
    EXPECT_EQ(s.style(2, 3).numberFormat, "0.00");
    // The form row's formula follows the row it is copied to.
    EXPECT_EQ(s.formula(2, 4), "=C2*2");
    EXPECT_EQ(s.formula(4, 4), "=C4*2");
    EXPECT_EQ(s.number(4, 4), 15);
    EXPECT_EQ(fx.text(2, answers::kMarkCol), "X");
    EXPECT_EQ(fx.text(2, answers::kActionCol), "К1");
    EXPECT_EQ(fx.text(4, answers::kActionCol), "K2");
    EXPECT_EQ(fx.text(3, 2), "длинная");
    EXPECT_EQ(fx.text(3, 3), "строка");
    // "Итого:" outside column 1 makes no totals row: the value sent stays.
    EXPECT_EQ(s.number(5, 3), 99);
    EXPECT_EQ(s.style(5, 2).border(BorderSide::Top).style, BorderStyle::Thin);
    ASSERT_EQ(s.merges().size(), 1u);
    EXPECT_EQ(s.merges()[0], (CellRange{5, 3, 5, 4}));
    EXPECT_EQ(s.rowHeight(5), 400);
    EXPECT_EQ(s.colWidth(2), 4000);
    EXPECT_TRUE(fx.settings.runFilter);
}

struct VersionCase {
    const char* name;
    double templateVersion;
    double localVersion; // 0: no template in the current directory
    const char* answerVersion;
    Prompter::Answer reply;
    bool asked, outdated, read;
};

class VersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTest, DecidesWhetherToAsk) {
    const VersionCase& c = GetParam();
    AnswerFixture fx;
    ASSERT_TRUE(QDir(fx.dir.path()).mkdir("srv"));
    const std::string companion = writeCompanion(fx, "srv/T.vts", c.templateVersion);
    if (c.localVersion > 0) {
        writeCompanion(fx, "T.vts", c.localVersion);
    }
    fx.prompter.push(c.reply);
    setLines(fx, std::string(";table ;ext=T.rpt ;ver=") + c.answerVersion, {"1|data"});
    read_table_ex(fx.ctx, companion);
    EXPECT_EQ(!fx.prompter.shown().empty(), c.asked);
    if (c.asked) {
        EXPECT_EQ(fx.messages(), "Внимание:|Найденный шаблон устаpел (" + companion +
                                     "). Попpобовать скачать новый с сеpвеpа?\n");
    }
    EXPECT_EQ(fx.settings.outdatedTemplate, c.outdated);
    EXPECT_EQ(fx.text(1, 2) == "data", c.read);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionTest,
    ::testing::Values(VersionCase{"equalWithinTolerance", 45000.5, 0, "45000.5000005",
                                  Prompter::Answer::Yes, false, false, true},
                      VersionCase{"olderTemplateAgreed", 45000.5, 0, "45001", Prompter::Answer::Yes,
                                  true, true, false},
                      VersionCase{"olderTemplateRefused", 45000.5, 0, "45001", Prompter::Answer::No,
                                  true, false, false},
                      VersionCase{"newerLocalTemplateIsUsed", 45000.5, 45002, "45001",
                                  Prompter::Answer::Yes, false, false, true},
                      VersionCase{"olderLocalTemplateToo", 45000.5, 45000.7, "45001",
                                  Prompter::Answer::No, true, false, false},
                      VersionCase{"noVersionInTheAnswer", 45000.5, 0, "", Prompter::Answer::Yes,
                                  false, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadTableEx, MissingCompanionIsReportedAndTheFormerResultStays) {
    AnswerFixture fx;
    fx.book.sheet().setText(1, 2, "former");
    setLines(fx, ";table ;ext=T.rpt", {"1|data"});
    read_table_ex(fx.ctx, fx.path("none.vts"));
    EXPECT_EQ(fx.messages(), "Ошибка:|Не могу открыть файл " + fx.path("none.vts") + "\n");
    EXPECT_EQ(fx.text(1, 2), "former");
}

// A turbo answer: instruction rows, then data lines "n  *\tvalues" with "[1]" and "[2]"
// subtotal rows.
std::string turboAnswer(const char* extra = "") {
    std::string a = ";table ;ext=T.rpt ;turbo ;ver=45000.5\r\n";
    a += ";TOT=03\r\n;SP=" + dos("Обороты") + "\r\n" + extra;
    const char* rows[] = {"1  *\tКасса\t",
                          "2  *\t\t5",
                          "2  *\t\t7",
                          "3  [1]\t"
                          "Итого 1",
                          "2  *\t\t1",
                          "3  [1]\t"
                          "Итого 2",
                          "3  [2]\tВсего"};
    for (const char* r : rows) {
        a += dos(r) + "\r\n";
    }
    return a;
}

TEST(ReadTableEx, TurboPassRunsInstructionRowsAndSubtotals) {
    AnswerFixture fx;
    fx.settings.caption = w("Отчет");
    const std::string companion = writeCompanion(fx, "T.vts", 45000.5);
    fx.setAnswer(turboAnswer());
    read_table_ex(fx.ctx, companion);
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(fx.messages(), "");
    EXPECT_EQ(u8(fx.settings.caption), "Обороты: Отчет");
    ASSERT_EQ(s.maxRow(), 7);
    EXPECT_TRUE(s.colHidden(1));
    EXPECT_EQ(fx.text(1, 2), "Касса");
    EXPECT_TRUE(s.style(1, 2).font.bold);
    EXPECT_EQ(s.style(2, 3).numberFormat, "0.00");
    EXPECT_EQ(s.formula(3, 4), "=C3*2");
    EXPECT_EQ(s.number(3, 4), 14);
    EXPECT_EQ(s.style(4, 2).border(BorderSide::Top).style, BorderStyle::Thin);
    // Column 1 keeps its text: "1  *" is no number.
    EXPECT_EQ(fx.text(1, 1), "1  *");
    EXPECT_EQ(fx.text(4, 1), "[1]");
    EXPECT_EQ(fx.text(4, answers::kActionCol), "1|;nsv");
    EXPECT_EQ(fx.text(7, answers::kActionCol), "2|;nsv");
    EXPECT_EQ(s.formula(4, 3), subtotalFormula(1, 1, 4, 3));
    EXPECT_EQ(s.number(4, 3), 12);
    EXPECT_EQ(s.number(6, 3), 1);
    EXPECT_EQ(s.number(7, 3), 13);
    EXPECT_FALSE(fx.settings.runFilter);
    EXPECT_GE(fx.painted.back(), 190);
}

TEST(ReadTableEx, SubtotalFormulasAsTheServerKnowsThem) {
    EXPECT_EQ(subtotalFormula(1, 3, 10, 5),
              "=(SUMIF(INDIRECT(ADDRESS(3;1;4)&\":\"&ADDRESS(9;1;4)); \"<>[2]\"; "
              "INDIRECT(ADDRESS(3;5;4)&\":\"&ADDRESS(9;5;4))))");
    EXPECT_EQ(subtotalFormula(3, 1, 4, 2),
              "=(SUMIF(INDIRECT(ADDRESS(1;1;4)&\":\"&ADDRESS(3;1;4)); \"=[2]\"; "
              "INDIRECT(ADDRESS(1;2;4)&\":\"&ADDRESS(3;2;4))       ))");
}

TEST(ReadTableEx, WithAFilterSetOnlyTheLevelsAreMarked) {
    AnswerFixture fx;
    fx.settings.filterActive = true;
    const std::string companion = writeCompanion(fx, "T.vts", 45000.5);
    fx.setAnswer(turboAnswer());
    read_table_ex(fx.ctx, companion);
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(fx.text(4, answers::kActionCol), "1|;nsv");
    EXPECT_EQ(s.formula(4, 3), "");
    EXPECT_TRUE(fx.settings.runFilter);
}

TEST(ReadTableEx, StringFlagTurnsTheFirstOfTwoCarriageReturnsIntoABlank) {
    AnswerFixture fx;
    const std::string companion = writeCompanion(fx, "T.vts", 45000.5);
    fx.setAnswer(";table ;ext=T.rpt ;str ;turbo\r\n1  *\ttext\r\r\n2  *\tnext\r\n");
    read_table_ex(fx.ctx, companion);
    EXPECT_EQ(fx.text(1, 2), "text ");
    EXPECT_EQ(fx.text(2, 2), "next");
    EXPECT_EQ(fx.book.sheet().maxRow(), 2);
}

TEST(ReadTableEx, LastRowErrorsAreShownAndDropped) {
    AnswerFixture fx;
    const std::string companion = writeCompanion(fx, "T.vts", 45000.5);
    fx.setAnswer(";table ;ext=T.rpt ;turbo\r\n1  *\tx\r\nE-" + dos("нет данных") + "\r\n");
    read_table_ex(fx.ctx, companion);
    EXPECT_EQ(fx.messages(), "Ошибка:|Ошибка: E-нет данных\n");
    EXPECT_EQ(fx.book.sheet().maxRow(), 1);
    EXPECT_EQ(fx.text(2, 1), "");
}

TEST(ReadTableEx, OnlyInstructionsLeaveNothingToShow) {
    AnswerFixture fx;
    const std::string companion = writeCompanion(fx, "T.vts", 45000.5);
    fx.setAnswer(";table ;ext=T.rpt ;turbo\r\n;NON_SAVE\r\n");
    read_table_ex(fx.ctx, companion);
    EXPECT_TRUE(fx.settings.noSave);
    EXPECT_EQ(fx.text(1, 1), "");
}

TEST(ReadTableEx, FormObjectsGoWhereThePlacementRecordsPutThem) {
    AnswerFixture fx;
    Workbook book;
    book.sheet().setMaxCol(4);
    book.sheet().setNumber(1, 1, 1);
    DrawnObject button;
    button.kind = ObjectKind::Button;
    button.text = "Go";
    button.x1 = 3;
    button.y1 = 0.5;
    button.x2 = 4;
    button.y2 = 1;
    const int id = book.sheet().addObject(button);
    std::string error;
    ASSERT_TRUE(writeWorkbookFile(fx.path("O.vts"), kFileNative, book, error));
    const std::string rec = "1.50|2.50|0.25|1.00|" + std::to_string(id) + "|7|[";
    fx.setAnswer(";table ;ext=O.vts ;turbo\r\n1  *\tx [y]\t\t\t" + rec + "\r\n1  *\tz\t" + rec +
                 rec + "\r\n");
    read_table_ex(fx.ctx, fx.path("O.vts"));
    const Sheet& s = fx.book.sheet();
    ASSERT_EQ(s.objects().size(), 3u);
    EXPECT_EQ(s.objects()[0].text, "Go");
    EXPECT_DOUBLE_EQ(s.objects()[0].x1, 1.5);
    EXPECT_DOUBLE_EQ(s.objects()[0].y1, 0.25);
    EXPECT_DOUBLE_EQ(s.objects()[0].y2, 1.25);
    EXPECT_DOUBLE_EQ(s.objects()[2].y1, 1.25);
    EXPECT_EQ(fx.text(1, 2), "x [y]");
    EXPECT_EQ(fx.text(1, 5), "");
    EXPECT_EQ(fx.text(2, 3), "");
    EXPECT_TRUE(fx.settings.hasObjects);
}

TEST(ReadTableEx, PlacementRecordsAreWholeOrNone) {
    EXPECT_EQ(parsePlacements("OBJ=1|2|0|1|5|7|[1|2|0|1|6|11|[")->size(), 2u);
    EXPECT_EQ(parsePlacements("1|2|0|1|5|7|[")->at(0).object, 5);
    EXPECT_FALSE(parsePlacements("1|2|0|1|5|[").has_value());
    EXPECT_FALSE(parsePlacements("x [y]").has_value());
    EXPECT_FALSE(parsePlacements("").has_value());
}

} // namespace
} // namespace fc
