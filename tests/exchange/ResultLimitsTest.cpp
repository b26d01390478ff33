#include "AnswerFixture.h"

#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "exchange/ResultRows.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

using answers::kActionCol;
using answers::kMarkCol;
using answers::kMaxResultCols;
using answers::kMaxResultRows;
using answers::kStateCol;
using test::AnswerFixture;
using test::u8;

const std::string kRowsCut = "Внимание:|Результат длиннее листа: показаны первые 65528 строк, "
                             "остальные строки ответа не прочитаны.\n";
const std::string kColsCut =
    "Внимание:|Результат шире листа: ячейки правее столбца 249 не прочитаны.\n";

// A table answer of `rows` rows of one cell each ("r" + number in column 2), then `tail`.
std::string tableRows(int rows, const std::string& tail = {}) {
    std::string bytes = ";table\r\n";
    bytes.reserve(static_cast<std::size_t>(rows) * 24 + tail.size());
    for (int r = 1; r <= rows; ++r) {
        bytes += "&&\r\n&02r" + std::to_string(r) + "|0000lb\r\n";
    }
    return bytes + tail;
}

void readTable(AnswerFixture& fx, std::string bytes) {
    fx.setAnswer(std::move(bytes));
    read_table(fx.ctx, "a1b2c3d4.out");
}

TEST(ResultLimits, TableAnswerThatFillsTheSheetExactlyReadsWhole) {
    AnswerFixture fx;
    // Blank lines and empty rows past the last row lose nothing.
    readTable(fx, tableRows(kMaxResultRows, "&&\r\n\r\nPBK\r\n&&\r\n&03|0000lb\r\n"));
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(s.maxRow(), kMaxResultRows);
    EXPECT_EQ(fx.text(kMaxResultRows, 2), "r65528");
    EXPECT_EQ(fx.messages(), "");
    EXPECT_EQ(fx.settings.statusMessage, "");
}

TEST(ResultLimits, TableAnswerWithMoreRowsStopsAtTheLimitAndSaysSo) {
    AnswerFixture fx;
    readTable(fx, tableRows(kMaxResultRows + 3, "late text\r\n;NON_SAVE\r\n"));
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(s.maxRow(), kMaxResultRows);
    // The last row keeps its own cell: the cells of later rows do not land on it.
    EXPECT_EQ(fx.text(kMaxResultRows, 2), "r65528");
    EXPECT_EQ(fx.text(kMaxResultRows + 1, 2), "");
    EXPECT_EQ(fx.text(kMaxResultRows + 1, 1), "");
    EXPECT_EQ(fx.messages(), kRowsCut);
    EXPECT_EQ(u8(fx.settings.statusMessage), "Показаны первые 65528 строк");
    // Instructions after the data are still taken.
    EXPECT_TRUE(fx.settings.noSave);
}

TEST(ResultLimits, ServerErrorPastTheLastRowIsStillShown) {
    AnswerFixture fx;
    readTable(fx, tableRows(kMaxResultRows, "E-database gone\r\n"));
    EXPECT_EQ(fx.messages(), "Ошибка:|E-database gone\n");
    EXPECT_EQ(fx.settings.statusMessage, "E-database gone");
    EXPECT_FALSE(fx.settings.closeWindow);
}

TEST(ResultLimits, TableCellsRightOfTheLastColumnAreLeftOutAndSaidSo) {
    AnswerFixture fx;
    readTable(fx, ";table\r\n;col3\r\n;maxcol=256\r\n&&\r\n&249last|0000lb\r\n"
                  "&250over|0000lb\r\n&255over|0000lb\r\n&256over|0000lb\r\n"
                  "&200wide|0000lbw99 0\r\n");
    const Sheet& s = fx.book.sheet();
    EXPECT_EQ(s.maxCol(), kMaxResultCols);
    EXPECT_EQ(fx.text(1, kMaxResultCols), "last");
    EXPECT_EQ(fx.text(1, 250), "");
    EXPECT_EQ(fx.text(1, kActionCol), "");
    EXPECT_EQ(fx.text(1, kStateCol), "");
    // A merged area stops at the last column too.
    ASSERT_EQ(s.merges().size(), 1u);
    EXPECT_EQ(s.merges()[0], (CellRange{1, 200, 1, kMaxResultCols}));
    EXPECT_EQ(fx.messages(), kColsCut);
}

TEST(ResultLimits, AFormatAloneRightOfTheLastColumnIsNoLoss) {
    AnswerFixture fx;
    readTable(fx, ";table\r\n;col3\r\n&&\r\n&002a|0000lb\r\n&251   |1111lb\r\n");
    EXPECT_EQ(fx.messages(), "");
}

// A companion of one form row over `cols` columns, and a turbo answer of `rows` rows of
// `fields` values after `instructions` instruction lines.
struct Turbo {
    AnswerFixture fx;
    std::string companion;

    explicit Turbo(int cols = 3) {
        Workbook book;
        Sheet& s = book.sheet();
        s.setMaxCol(cols);
        s.setMaxRow(1);
        Style bold;
        bold.font.bold = true;
        s.setStyle(1, 2, bold);
        std::string error;
        companion = fx.path("T.vts");
        EXPECT_TRUE(writeWorkbookFile(companion, kFileNative, book, error)) << error;
    }
    void read(int rows, int fields, int instructions, const std::string& tail = {}) {
        std::string bytes = ";table ;ext=T.vts ;turbo\r\n";
        for (int i = 0; i < instructions; ++i) {
            bytes += ";EMAIL=a@b.c\r\n";
        }
        for (int r = 1; r <= rows; ++r) {
            bytes += "1  ";
            for (int f = 1; f <= fields; ++f) {
                bytes += "\t" + std::to_string(r) + "v" + std::to_string(f);
            }
            bytes += "\r\n";
        }
        fx.setAnswer(bytes + tail);
        read_table_ex(fx.ctx, companion);
    }
};

TEST(ResultLimits, TurboAnswerFillsTheRowsBelowItsInstructions) {
    // The status line is pasted and taken as an instruction row too: 8 rows in all.
    for (int instructions : {0, 7}) {
        Turbo t;
        t.read(kMaxResultRows, 2, instructions);
        const Sheet& s = t.fx.book.sheet();
        EXPECT_EQ(s.maxRow(), kMaxResultRows) << instructions;
        EXPECT_EQ(t.fx.text(kMaxResultRows, 2), "65528v1") << instructions;
        EXPECT_TRUE(s.style(kMaxResultRows, 2).font.bold) << instructions;
        EXPECT_EQ(t.fx.messages(), "") << instructions;
    }
    // More instruction lines than the window's rows take rows of the data, and it is said.
    Turbo t;
    t.read(kMaxResultRows, 2, 11);
    EXPECT_EQ(t.fx.book.sheet().maxRow(), kMaxRows - 12);
    EXPECT_EQ(t.fx.messages(), "Внимание:|Результат длиннее листа: показаны первые 65524 "
                               "строк, остальные строки ответа не прочитаны.\n");
}

TEST(ResultLimits, TurboAnswerWithMoreRowsStopsAtTheLimitAndSaysSo) {
    Turbo t;
    t.read(kMaxResultRows + 2, 2, 3);
    const Sheet& s = t.fx.book.sheet();
    EXPECT_EQ(s.maxRow(), kMaxResultRows);
    EXPECT_EQ(t.fx.text(kMaxResultRows, 2), "65528v1");
    EXPECT_EQ(t.fx.text(kMaxResultRows + 1, 2), "");
    EXPECT_EQ(t.fx.messages(), kRowsCut);
    EXPECT_EQ(u8(t.fx.settings.email), "a@b.c");
}

TEST(ResultLimits, TurboValuesRightOfTheLastColumnNeverReachTheHiddenColumns) {
    Turbo t(kMaxResultCols + 5);
    t.read(2, kMaxResultCols + 10, 0);
    const Sheet& s = t.fx.book.sheet();
    EXPECT_EQ(s.maxCol(), kMaxResultCols);
    EXPECT_EQ(t.fx.text(1, kMaxResultCols), "1v248");
    for (int c : {250, answers::kObjectIdCol, kMarkCol, kActionCol, kStateCol}) {
        EXPECT_EQ(t.fx.text(1, c), "") << c;
    }
    EXPECT_EQ(t.fx.messages(), kColsCut);
}

TEST(ResultLimits, LineByLineTurboAnswerKeepsTheSameLimits) {
    Turbo t;
    std::string bytes = ";table ;ext=T.vts\r\n";
    for (int r = 1; r <= kMaxResultRows + 1; ++r) {
        bytes += "1|" + std::to_string(r) + "\r\n";
    }
    t.fx.setAnswer(bytes);
    read_table_ex(t.fx.ctx, t.companion);
    EXPECT_EQ(t.fx.book.sheet().maxRow(), kMaxResultRows);
    EXPECT_EQ(t.fx.messages(), kRowsCut);

    Turbo wide;
    std::string line = "1|[K1]";
    for (int f = 2; f <= 256; ++f) {
        line += "x\t";
    }
    wide.fx.setAnswer(";table ;ext=T.vts\r\n" + line + "x\r\n");
    read_table_ex(wide.fx.ctx, wide.companion);
    EXPECT_EQ(wide.fx.text(1, kMaxResultCols), "x");
    EXPECT_EQ(wide.fx.text(1, kActionCol), "K1");
    EXPECT_EQ(wide.fx.text(1, kStateCol), "");
    EXPECT_EQ(wide.fx.messages(), kColsCut);
}

TEST(ResultLimits, BothCutsAreToldInOneMessage) {
    EXPECT_EQ(u8(answers::cutMessage(true, 10, true)),
              "Результат длиннее листа: показаны первые 10 строк, остальные строки ответа не "
              "прочитаны. Результат шире листа: ячейки правее столбца 249 не прочитаны.");
    // The status bar's notice is some 30 characters wide.
    EXPECT_EQ(u8(answers::cutNotice(true, 10, true)), "Показаны 10 стр., 249 стлб.");
    EXPECT_EQ(u8(answers::cutNotice(false, 0, true)), "Показаны столбцы 1-249");
}

} // namespace
} // namespace fc
