// Recalculation through the model: order, cycles, long chains, dynamic references, the
// group subtotals of result sheets, and formulas that do not parse.
#include "FormulaTestSupport.h"

#include "components/formula/Formula.h"
#include "components/model/Workbook.h"

#include <gtest/gtest.h>

#include <string>

namespace fc {
namespace {

using namespace testvalues;

TEST(FormulaRecalc, EvaluatesInDependencyOrderAcrossSheets) {
    Workbook book;
    book.setNumSheets(2);
    Sheet& s = book.sheet(1);
    s.setFormula(1, 1, "B1*2");
    s.setFormula(1, 2, "C1+1");
    s.setNumber(1, 3, 5);
    book.sheet(2).setFormula(1, 1, "Sheet1!A1+Sheet1!B1");
    s.setFormula(2, 1, "Sheet2!A1*10");
    EXPECT_EQ(s.value(1, 1), N(12));
    EXPECT_EQ(book.sheet(2).value(1, 1), N(18));
    EXPECT_EQ(s.value(2, 1), N(180));
}

// New results are shown to the views, but they are no edit: reading a value after a
// recalculation must not start another one (an idle window recalculated for ever).
TEST(FormulaRecalc, ARecalculationLeavesTheWorkbookCleanAndUnmodified) {
    struct Counter : WorkbookListener {
        int recalcs = 0, changes = 0;
        void startRecalc() override { ++recalcs; }
        void cellsChanged(int, const CellRange&) override { ++changes; }
    } counter;
    Workbook book;
    Sheet& s = book.sheet();
    s.setNumber(1, 1, 2);
    s.setFormula(1, 2, "A1*3");
    book.addListener(&counter);
    book.setModified(false);
    book.recalc();
    EXPECT_EQ(counter.recalcs, 1);
    EXPECT_EQ(counter.changes, 1); // the views are told of the new results
    EXPECT_FALSE(book.needsRecalc());
    EXPECT_FALSE(book.modified());
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(s.value(1, 2), N(6));
    }
    EXPECT_EQ(counter.recalcs, 1);
    book.setRepaint(false);
    book.recalc();
    EXPECT_EQ(counter.changes, 1); // told once Repaint is back on
    book.setRepaint(true);
    EXPECT_FALSE(book.modified());
    book.removeListener(&counter);
}

TEST(FormulaRecalc, ChangingAPrecedentRecalculatesOnRead) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setNumber(1, 1, 3);
    s.setEntry(1, 2, "=A1*2");
    EXPECT_EQ(s.value(1, 2), N(6));
    EXPECT_EQ(s.formula(1, 2), "=A1*2");
    s.setNumber(1, 1, 5);
    EXPECT_EQ(s.number(1, 2), 10);

    // Without automatic recalculation the old result stays until asked for.
    book.setAutoRecalc(false);
    s.setNumber(1, 1, 7);
    EXPECT_EQ(s.value(1, 2), N(10));
    book.recalc();
    EXPECT_EQ(s.value(1, 2), N(14));
    book.setAutoRecalc(true);
    s.setText(1, 1, "x");
    EXPECT_EQ(s.value(1, 2), E(ErrorCode::Value));
}

TEST(FormulaRecalc, CycleCellsGetRefAndOthersPropagateIt) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setFormula(1, 1, "B1+1"); // A1 <-> B1
    s.setFormula(1, 2, "A1+1");
    s.setFormula(1, 3, "A1*0+5");           // depends on the cycle
    s.setFormula(1, 4, "IFERROR(A1,7)");    // depends on it but catches the error
    s.setFormula(2, 1, "A2+1");             // itself
    s.setFormula(3, 2, "SUM(B1:B10)");      // a range over itself
    s.setFormula(4, 1, "INDIRECT(\"B4\")"); // a cycle that only evaluation finds
    s.setFormula(4, 2, "A4");
    s.setFormula(5, 1, "IFERROR(B1,0)+IFERROR(A1,0)+1"); // catching does not break a cycle
    book.recalc();
    EXPECT_EQ(s.value(1, 1), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(1, 2), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(1, 3), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(1, 4), N(7));
    EXPECT_EQ(s.value(2, 1), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(3, 2), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(4, 1), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(4, 2), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(5, 1), N(1));

    // Breaking the cycle brings the values back.
    s.setNumber(1, 2, 1);
    EXPECT_EQ(s.value(1, 1), N(2));
    EXPECT_EQ(s.value(1, 3), N(5));
    EXPECT_EQ(s.value(1, 4), N(2));
}

TEST(FormulaRecalc, CycleInsideOtherDependenciesOnlyMarksItsMembers) {
    Workbook book;
    Sheet& s = book.sheet();
    // A1 needs B1..B3; B2 and C2 form a cycle; B1 and B3 are fine.
    s.setFormula(1, 1, "SUM(B1:B3)");
    s.setFormula(1, 2, "1");
    s.setFormula(2, 2, "C2");
    s.setFormula(2, 3, "B2");
    s.setFormula(3, 2, "3");
    book.recalc();
    EXPECT_EQ(s.value(1, 2), N(1));
    EXPECT_EQ(s.value(3, 2), N(3));
    EXPECT_EQ(s.value(2, 2), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(2, 3), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(1, 1), E(ErrorCode::Ref));
}

TEST(FormulaRecalc, IndirectDependenciesAreFoundWhileEvaluating) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setFormula(1, 1, "INDIRECT(\"B\"&C1)"); // reads C1, then the cell it names
    s.setFormula(1, 3, "1+1");
    s.setFormula(2, 2, "D1*3");
    s.setNumber(1, 4, 4);
    EXPECT_EQ(s.value(1, 1), N(12));
    s.setNumber(1, 4, 5);
    EXPECT_EQ(s.value(1, 1), N(15));
}

TEST(FormulaRecalc, ConditionalSumReadsOnlyMatchingCells) {
    Workbook book;
    Sheet& s = book.sheet();
    for (int r = 1; r <= 10; ++r) {
        s.setText(r, 1, r % 2 ? "x" : "y");
        s.setNumber(r, 2, r);
    }
    // B4 sums over a range that holds B4, but B4's own row does not match.
    s.setFormula(4, 2, "SUMIF(A1:A10,\"x\",B1:B10)");
    EXPECT_EQ(s.value(4, 2), N(1 + 3 + 5 + 7 + 9));
}

// Long ranges are read through per-column caches during a recalculation and cell by cell
// otherwise; formula cells, texts and errors inside them must come out the same both ways.
TEST(FormulaRecalc, LongRangesReadTheSameThroughTheCache) {
    Workbook book;
    Sheet& s = book.sheet();
    for (int r = 1; r <= 5000; ++r) {
        s.setNumber(r, 1, r % 7 == 0 ? 0.1 : r);
        s.setText(r, 2, r % 3 ? "a" : "b");
    }
    s.setFormula(100, 1, "C1*2"); // a formula inside the range, evaluated on demand
    s.setFormula(1, 3, "21");
    s.setText(200, 1, "text");
    s.setValue(300, 1, B(true));
    const char* sums[] = {
        "SUM(A1:A5000)",
        "SUM(A1:B5000)",
        "COUNT(A:A)",
        "COUNTA(A1:A5000)",
        "AVERAGE(A1:A5000)",
        "MAX(A1:A5000)+MIN(A1:A5000)",
        "SUMIF(B1:B5000,\"b\",A1:A5000)",
        "COUNTIF(A1:A5000,\">2500\")",
        "SUMPRODUCT((B1:B5000=\"a\")*1,A1:A5000)",
    };
    for (int i = 0; i < 9; ++i) {
        s.setFormula(i + 1, 5, sums[i]);
    }
    book.recalc();
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(sums[i]);
        Value direct = formula::evaluate(sums[i], book, 1, i + 1, 5);
        EXPECT_TRUE(direct.isNumber());
        EXPECT_EQ(s.value(i + 1, 5), direct);
    }
    // An error in a long range reaches the sum.
    s.setValue(4000, 1, E(ErrorCode::NA));
    EXPECT_EQ(s.value(1, 5), E(ErrorCode::NA));
    EXPECT_EQ(s.value(3, 5), formula::evaluate(sums[2], book, 1, 3, 5));
}

TEST(FormulaRecalc, ResultsKeepTheirKindAndLostSheetsAreRef) {
    Workbook book;
    book.setNumSheets(2);
    Sheet& s = book.sheet(1);
    s.setFormula(1, 1, "\"a\"&\"b\"");
    s.setFormula(2, 1, "1>0");
    s.setFormula(3, 1, "NA()");
    s.setFormula(4, 1, "IF(0,0,)");
    s.setFormula(5, 1, "\"\"");
    s.setFormula(6, 1, "Sheet2!A1+1");
    s.setFormula(7, 1, "SUM(OFFSET(C1,0,0,B7,1))"); // the height comes from a formula
    s.setFormula(7, 2, "2*1");
    for (int r = 1; r <= 3; ++r) {
        s.setNumber(r, 3, r);
    }
    book.sheet(2).setNumber(1, 1, 41);
    EXPECT_EQ(s.value(1, 1), T("ab"));
    EXPECT_EQ(s.value(2, 1), B(true));
    EXPECT_EQ(s.value(3, 1), E(ErrorCode::NA));
    EXPECT_EQ(s.value(4, 1), N(0));
    EXPECT_EQ(s.value(5, 1), T(""));
    EXPECT_EQ(s.value(6, 1), N(42));
    EXPECT_EQ(s.value(7, 1), N(3));
    book.deleteSheets(2, 1);
    EXPECT_EQ(s.value(6, 1), E(ErrorCode::Ref));
}

// 65,536 formulas, each on the one above (and the same chain upside down), without
// exhausting the call stack.
TEST(FormulaRecalc, LongChainsInBothDirections) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setNumber(1, 1, 1);
    s.setNumber(kMaxRows, 2, 1);
    for (int r = 2; r <= kMaxRows; ++r) {
        s.setFormula(r, 1, "A" + std::to_string(r - 1) + "+1");
        s.setFormula(kMaxRows - r + 1, 2, "B" + std::to_string(kMaxRows - r + 2) + "+1");
    }
    book.recalc();
    EXPECT_EQ(s.value(kMaxRows, 1), N(kMaxRows));
    EXPECT_EQ(s.value(1, 2), N(kMaxRows));
    EXPECT_EQ(s.value(30000, 1), N(30000));

    // Closing the chain into a loop makes every cell of it #REF!.
    s.setFormula(1, 1, "A65536+1");
    EXPECT_EQ(s.value(1, 1), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(40000, 1), E(ErrorCode::Ref));
    EXPECT_EQ(s.value(1, 2), N(kMaxRows));
}

TEST(FormulaRecalc, FormulasThatDoNotParseKeepTheirTextAndShowName) {
    const char* broken[] = {"1+",  "SUM(1,2", "(",        ")",           "1 2",   "\"open",
                            "A1:", "SUM(1;;", "ROUND(1)", "IF(1,2,3,4)", "{1,2}", "'sheet",
                            "$",   "1,2",     "=1",       "A1!B2!C3"};
    Workbook book;
    Sheet& s = book.sheet();
    for (const char* src : broken) {
        SCOPED_TRACE(src);
        EXPECT_FALSE(formula::parsed(*formula::compile(src)));
        s.setFormula(1, 1, std::string("=") + src);
        EXPECT_EQ(s.formula(1, 1), std::string("=") + src);
        EXPECT_EQ(s.value(1, 1), E(ErrorCode::Name));
    }
    // Deep nesting is refused instead of recursing without bound.
    std::string deep(5000, '(');
    deep += "1" + std::string(5000, ')');
    EXPECT_FALSE(formula::parsed(*formula::compile(deep)));
    std::string minus(5000, '-');
    EXPECT_FALSE(formula::parsed(*formula::compile(minus + "1")));
    // A long flat sum is no nesting.
    std::string sum = "1";
    for (int i = 0; i < 3000; ++i) {
        sum += "+1";
    }
    EXPECT_EQ(formula::evaluate(sum, book, 1, 2, 2), N(3001));
}

// The group subtotals of result sheets, written cell by cell as the result reader does:
// "=(SUMIF(INDIRECT(ADDRESS(s;1;4)&":"&ADDRESS(r-1;1;4)); criterion; INDIRECT(ADDRESS(s;c;4)
// &":"&ADDRESS(r-1;c;4" + tail, level 1 first, then 2, then 3.
std::string subtotal(int level, int s, int r, int c) {
    const std::string crit = level == 1 ? "\"<>[2]\"" : (level == 2 ? "\"=[1]\"" : "\"=[2]\"");
    const std::string tail = level == 1 ? "))))" : "))       ))";
    return "=(SUMIF(INDIRECT(ADDRESS(" + std::to_string(s) + ";1;4)&\":\"&ADDRESS(" +
           std::to_string(r - 1) + ";1;4)); " + crit + "; INDIRECT(ADDRESS(" + std::to_string(s) +
           ";" + std::to_string(c) + ";4)&\":\"&ADDRESS(" + std::to_string(r - 1) + ";" +
           std::to_string(c) + ";4" + tail;
}

TEST(FormulaRecalc, GroupSubtotalsOfResultSheets) {
    // Column 1: template row numbers of data rows and the markers; columns 3 and 4 summed.
    struct Line {
        const char* mark;
        double amount;
    };
    const Line lines[] = {
        {"05", 10}, {"05", 20}, {"[1]", 0}, // row 4: 30
        {"", 5},    {"[1]", 0},             // row 6: 5 (an empty marker cell is a data row)
        {"[2]", 0},                         // row 7: 30 + 5
        {"05", 1},  {"05", 2},  {"[1]", 0}, // row 10: 3 (the level-2 row 7 is left out)
        {"[2]", 0},                         // row 11: 3
        {"[3]", 0},                         // row 12: 35 + 3
    };
    Workbook book;
    Sheet& s = book.sheet();
    book.setAutoRecalc(false);
    s.setText(1, 1, "head");
    const int firstData = 2;
    int maxRow = firstData - 1;
    for (const Line& l : lines) {
        ++maxRow;
        s.setText(maxRow, 1, l.mark);
        if (l.mark[0] != '[') {
            s.setNumber(maxRow, 3, l.amount);
            s.setNumber(maxRow, 4, l.amount * 100);
        }
    }
    const char* markers[] = {"[1]", "[2]", "[3]"};
    for (int level = 1; level <= 3; ++level) {
        int start = firstData;
        for (int r = firstData; r <= maxRow; ++r) {
            if (s.text(r, 1) != markers[level - 1]) {
                continue;
            }
            for (int c : {3, 4}) {
                s.setEntry(r, c, subtotal(level, start, r, c));
            }
            start = r + 1;
        }
    }
    EXPECT_EQ(s.formula(7, 3), "=(SUMIF(INDIRECT(ADDRESS(2;1;4)&\":\"&ADDRESS(6;1;4)); "
                               "\"=[1]\"; INDIRECT(ADDRESS(2;3;4)&\":\"&ADDRESS(6;3;4))       ))");
    book.setAutoRecalc(true);
    const struct {
        int row;
        double sum;
    } expected[] = {{4, 30}, {6, 5}, {7, 35}, {10, 3}, {11, 3}, {12, 38}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.row);
        EXPECT_EQ(s.value(e.row, 3), N(e.sum));
        EXPECT_EQ(s.value(e.row, 4), N(e.sum * 100));
    }
    // An edited amount shows in every level above it.
    s.setNumber(8, 3, 101);
    EXPECT_EQ(s.value(10, 3), N(103));
    EXPECT_EQ(s.value(11, 3), N(103));
    EXPECT_EQ(s.value(12, 3), N(138));
}

} // namespace
} // namespace fc
