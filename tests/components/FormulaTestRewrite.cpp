// Moving references: copies (rebase) and inserted or deleted rows and columns (adjust),
// as text tables and through the model's structure operations.
#include "FormulaTestSupport.h"

#include "components/formula/Formula.h"
#include "components/model/Workbook.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fc {
namespace {

using namespace testvalues;
using Change = formula::StructureChange;

TEST(FormulaRewrite, Rebase) {
    const struct {
        const char* source;
        int dRow, dCol;
        const char* expected;
    } cases[] = {
        {"A1", 1, 1, "B2"},
        {"$A$1", 5, 5, "$A$1"},
        {"A$1+$A1", 2, 3, "D$1+$A3"},
        {"SUM(A1:B2)", 1, 0, "SUM(A2:B3)"},
        {"SUM(B2:A1)", 1, 0, "SUM(B3:A2)"},
        {"A1", -1, 0, "#REF!"},
        {"A2-A1", -1, 0, "A1-#REF!"},
        {"IV1", 0, 1, "#REF!"},
        {"SUM(A1:A65536)", 1, 0, "SUM(#REF!)"},
        {"Sheet2!A1", 0, 1, "Sheet2!B1"},
        {"'My sheet'!A1:B2", 1, 0, "'My sheet'!A2:B3"},
        {"'My sheet'!A1", -1, 0, "'My sheet'!#REF!"},
        {"\"A1\"&A1", 1, 0, "\"A1\"&A2"},
        {"a1 + b$2 ;  c3", 1, 0, "A2 + b$2 ;  C4"},
        {"A:A", 5, 1, "B:B"},
        {"$A:B", 0, 1, "$A:C"},
        {"1:2", 3, 5, "4:5"},
        {"LOG10(A1)+TRUE", 1, 0, "LOG10(A2)+TRUE"},
        {"A1+", 1, 0, "A2+"}, // a formula that does not parse still follows its cells
        {"SUM(INDIRECT(ADDRESS(5;1;4)))", 9, 9, "SUM(INDIRECT(ADDRESS(5;1;4)))"},
        {"A1", 0, 0, "A1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(formula::rebase(c.source, c.dRow, c.dCol), c.expected);
        EXPECT_TRUE(formula::parsed(*formula::compile(c.expected)) ||
                    !formula::parsed(*formula::compile(c.source)));
    }
}

struct AdjustCase {
    const char* source;
    const char* expected;
};

void checkAdjust(const Change& ch, bool sameSheet, const std::vector<AdjustCase>& cases) {
    for (const AdjustCase& c : cases) {
        SCOPED_TRACE(c.source);
        EXPECT_EQ(formula::adjust(c.source, ch, sameSheet), c.expected);
    }
}

TEST(FormulaRewrite, AdjustInsertedRows) {
    checkAdjust({Change::InsertRows, 3, 2, 1, kMaxCols, ""}, true,
                {
                    {"A1+A2", "A1+A2"},
                    {"A3", "A5"},
                    {"$A$3", "$A$5"},
                    {"A2:A4", "A2:A6"},
                    {"A4:A2", "A6:A2"},
                    {"A3:A4", "A5:A6"},
                    {"A1:A2", "A1:A2"},
                    {"A:A", "A:A"},
                    {"3:4", "5:6"},
                    {"1:3", "1:5"},
                    {"A65535", "#REF!"},
                    {"A1:A65536", "A1:A65536"},
                    {"SUM( A3 ;  B3 )", "SUM( A5 ;  B5 )"},
                });
}

TEST(FormulaRewrite, AdjustDeletedRows) {
    checkAdjust({Change::DeleteRows, 3, 2, 1, kMaxCols, ""}, true,
                {
                    {"A3", "#REF!"},
                    {"A5", "A3"},
                    {"A2", "A2"},
                    {"A1:A10", "A1:A8"},
                    {"A3:A4", "#REF!"},
                    {"A2:A3", "A2:A2"},
                    {"A4:A6", "A3:A4"},
                    {"SUM(A1,A4,A6)", "SUM(A1,#REF!,A4)"},
                    {"3:3", "#REF!"},
                    {"2:5", "2:3"},
                    {"B:B", "B:B"},
                });
}

TEST(FormulaRewrite, AdjustColumns) {
    checkAdjust({Change::InsertCols, 2, 1, 1, kMaxRows, ""}, true,
                {
                    {"A1", "A1"},
                    {"B1", "C1"},
                    {"A1:C1", "A1:D1"},
                    {"B:C", "C:D"},
                    {"1:1", "1:1"},
                    {"IV1", "#REF!"},
                });
    checkAdjust({Change::DeleteCols, 2, 2, 1, kMaxRows, ""}, true,
                {
                    {"D1", "B1"},
                    {"B1:C5", "#REF!"},
                    {"A1:D1", "A1:B1"},
                    {"$C$1", "#REF!"},
                });
}

// Cells of columns B..C move down from row 3: only references wholly inside them follow.
TEST(FormulaRewrite, AdjustPartOfTheSheet) {
    checkAdjust({Change::InsertRows, 3, 1, 2, 3, ""}, true,
                {
                    {"A3", "A3"},
                    {"B3", "B4"},
                    {"C2:B5", "C2:B6"},
                    {"A2:C5", "A2:C5"},
                    {"3:3", "3:3"},
                });
}

TEST(FormulaRewrite, AdjustFollowsTheChangedSheetOnly) {
    const Change ch{Change::InsertRows, 3, 2, 1, kMaxCols, "Sheet1"};
    checkAdjust(ch, false,
                {
                    {"Sheet1!A3+A3", "Sheet1!A5+A3"},
                    {"'sheet1'!A3:B4", "'sheet1'!A5:B6"},
                    {"Sheet2!A3", "Sheet2!A3"},
                });
    checkAdjust(ch, true, {{"Sheet2!A3+A3", "Sheet2!A3+A5"}});
}

TEST(FormulaRewrite, ModelStructureChangesMoveReferences) {
    Workbook book;
    book.setNumSheets(2);
    Sheet& s = book.sheet(1);
    Sheet& other = book.sheet(2);
    for (int r = 1; r <= 4; ++r) {
        s.setNumber(r, 1, r);
    }
    s.setFormula(5, 1, "SUM(A1:A4)");
    s.setFormula(5, 2, "A4*10");
    other.setFormula(1, 1, "Sheet1!A4+Sheet1!A5");
    EXPECT_EQ(other.value(1, 1), N(14));

    s.insertRows(2, 1);
    EXPECT_EQ(s.formula(6, 1), "=SUM(A1:A5)");
    EXPECT_EQ(s.formula(6, 2), "=A5*10");
    EXPECT_EQ(other.formula(1, 1), "=Sheet1!A5+Sheet1!A6");
    EXPECT_EQ(other.value(1, 1), N(14));

    s.deleteRows(5, 1); // the row that held 4
    EXPECT_EQ(s.formula(5, 1), "=SUM(A1:A4)");
    EXPECT_EQ(s.formula(5, 2), "=#REF!*10");
    EXPECT_EQ(s.value(5, 1), N(6));
    EXPECT_EQ(s.value(5, 2), E(ErrorCode::Ref));

    s.insertCols(1, 1);
    EXPECT_EQ(s.formula(5, 2), "=SUM(B1:B4)");
    EXPECT_EQ(s.value(5, 2), N(6));
}

// Cells moved down by an insertion keep pointing at the same cells, whether those moved
// with them or stayed.
TEST(FormulaRewrite, ShiftDownMovesReferencesOnce) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setNumber(1, 2, 7);   // B1 stays
    s.setNumber(6, 1, 100); // A6 moves to A7
    s.setFormula(5, 1, "A6+B1");
    s.setFormula(1, 3, "A5+A6");
    s.insertShiftDown({3, 1, 3, 1});
    EXPECT_EQ(s.formula(6, 1), "=A7+B1");
    EXPECT_EQ(s.formula(1, 3), "=A6+A7");
    EXPECT_EQ(s.value(6, 1), N(107));
    EXPECT_EQ(s.value(1, 3), N(207));

    s.deleteShiftUp({2, 1, 2, 1});
    EXPECT_EQ(s.formula(5, 1), "=A6+B1");
    EXPECT_EQ(s.formula(1, 3), "=A5+A6");
    EXPECT_EQ(s.value(1, 3), N(207));
}

TEST(FormulaRewrite, PasteRebasesAndSortKeepsRowsReferences) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setNumber(1, 1, 2);
    s.setNumber(2, 1, 1);
    s.setFormula(1, 2, "A1*$A$1");
    s.setFormula(2, 2, "A2*$A$1");
    s.paste(s.copy({1, 2, 1, 2}), {3, 3});
    EXPECT_EQ(s.formula(3, 3), "=B3*$A$1");
    s.sortRows({1, 1, 2, 2}, {{1, true}});
    EXPECT_EQ(s.formula(1, 2), "=A1*$A$1");
    EXPECT_EQ(s.formula(2, 2), "=A2*$A$1");
    EXPECT_EQ(s.value(1, 2), N(1));
    EXPECT_EQ(s.value(2, 2), N(2));
}

} // namespace
} // namespace fc
