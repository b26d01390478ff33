// Reference texts as formulas and INDIRECT read them, and the wildcard matching of
// conditions.
#include "components/formula/Criterion.h"
#include "components/formula/References.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

#include <string>

namespace fc::formula {
namespace {

TEST(FormulaReferences, WhatIsAReference) {
    const struct {
        const char* text;
        bool ok;
        RefText::Kind kind;
        const char* sheet;
        int r1, c1, r2, c2; // as rangeOf gives them
    } cases[] = {
        {"A1", true, RefText::Cell, "", 1, 1, 1, 1},
        {"$iv$65536", true, RefText::Cell, "", 65536, 256, 65536, 256},
        {"B5:A1", true, RefText::Area, "", 1, 1, 5, 2},
        {"$A$1:B$2", true, RefText::Area, "", 1, 1, 2, 2},
        {"C:A", true, RefText::Cols, "", 1, 1, 65536, 3},
        {"$3:5", true, RefText::Rows, "", 3, 1, 5, 256},
        {"Sheet2!A1", true, RefText::Cell, "Sheet2", 1, 1, 1, 1},
        {"'My sheet'!A1:B2", true, RefText::Area, "My sheet", 1, 1, 2, 2},
        {"'It''s'!A:A", true, RefText::Cols, "It's", 1, 1, 65536, 1},
        {"Лист1!B2", true, RefText::Cell, "Лист1", 2, 2, 2, 2},
        {"IW1", false, RefText::Cell, "", 0, 0, 0, 0},
        {"A65537", false, RefText::Cell, "", 0, 0, 0, 0},
        {"A0", false, RefText::Cell, "", 0, 0, 0, 0},
        {"A1B", false, RefText::Cell, "", 0, 0, 0, 0},
        {"ABCD1", false, RefText::Cell, "", 0, 0, 0, 0},
        {"A1:", false, RefText::Cell, "", 0, 0, 0, 0},
        {"A:1", false, RefText::Cell, "", 0, 0, 0, 0},
        {"1", false, RefText::Cell, "", 0, 0, 0, 0},
        {"''!A1", false, RefText::Cell, "", 0, 0, 0, 0},
        {"'open!A1", false, RefText::Cell, "", 0, 0, 0, 0},
        {" A1", false, RefText::Cell, "", 0, 0, 0, 0},
        {"", false, RefText::Cell, "", 0, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RefText r;
        ASSERT_EQ(parseReference(c.text, r), c.ok);
        if (!c.ok) {
            continue;
        }
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.sheet, c.sheet);
        EXPECT_EQ(rangeOf(r), (CellRange{c.r1, c.c1, c.r2, c.c2}));
    }
}

TEST(FormulaReferences, ScanStopsWhereTheReferenceEnds) {
    const struct {
        const char* text;
        std::size_t length;
    } cases[] = {
        {"A1+B2", 2}, {"A1:B2)", 5}, {"LOG10(A1)", 0}, {"A1(", 0},
        {"A1:C", 2},  {"TRUE", 0},   {"A1.5", 0},      {"Sheet1!A1!", 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RefText r;
        EXPECT_EQ(scanReference(c.text, 0, r), c.length);
    }
}

TEST(FormulaReferences, R1C1CountsRelativePartsFromTheCell) {
    const struct {
        const char* text;
        bool ok;
        CellRange range;
    } cases[] = {
        {"R2C3", true, {2, 3, 2, 3}},
        {"r[-1]c[1]", true, {9, 6, 9, 6}},
        {"RC", true, {10, 5, 10, 5}},
        {"R1C1:R[1]C", true, {1, 1, 11, 5}},
        {"R1:R3", true, {1, 1, 3, 256}},
        {"C[-4]", true, {1, 1, 65536, 1}},
        {"Data!R1C1", true, {1, 1, 1, 1}},
        {"R[-10]C", false, {}},
        {"R1C257", false, {}},
        {"R1C1x", false, {}},
        {"A1", false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RefText r;
        ASSERT_EQ(parseReferenceR1C1(c.text, 10, 5, r), c.ok);
        if (c.ok) {
            EXPECT_EQ(rangeOf(r), c.range);
        }
    }
}

TEST(FormulaReferences, Spelling) {
    EXPECT_EQ(columnName(1), "A");
    EXPECT_EQ(columnName(26), "Z");
    EXPECT_EQ(columnName(27), "AA");
    EXPECT_EQ(columnName(256), "IV");
    EXPECT_EQ(formatEnd({3, 28, true, false}, RefText::Cell), "AB$3");
    EXPECT_EQ(formatEnd({0, 2, false, true}, RefText::Cols), "$B");
    EXPECT_EQ(formatEnd({7, 0, true, false}, RefText::Rows), "$7");
    const struct {
        const char* name;
        const char* quoted;
    } names[] = {
        {"Sheet1", "Sheet1"}, {"My sheet", "'My sheet'"}, {"It's", "'It''s'"},
        {"A1", "'A1'"},       {"2020", "'2020'"},         {"a-b", "'a-b'"},
    };
    for (const auto& n : names) {
        SCOPED_TRACE(n.name);
        EXPECT_EQ(quoteSheet(n.name), n.quoted);
        RefText r;
        ASSERT_TRUE(parseReference(quoteSheet(n.name) + "!A1", r));
        EXPECT_EQ(r.sheet, n.name);
    }
}

TEST(FormulaReferences, Wildcards) {
    const struct {
        const char* pattern; // upper case, as conditions keep it
        const char* text;
        bool match;
    } cases[] = {
        {"A*C", "abc", true},
        {"A*C", "abcd", false},
        {"A*C", "ac", true},
        {"*", "", true},
        {"?", "", false},
        {"??", "ab", true},
        {"*B*", "abc", true},
        {"**A", "bba", true},
        {"A?C*", "abcdef", true},
        {"~*", "*", true},
        {"~*", "a", false},
        {"A~?", "a?", true},
        {"A~?", "ab", false},
        {"~~", "~", true},
        {"*~", "x~", true},
        {"ЁЖ*", "ёжик", true},
        {"*A*A*A*B", "aaaaaaaaaaaaaaaaaaaaaaaa", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " / " + c.text);
        EXPECT_EQ(wildcardMatch(w(c.pattern), w(c.text)), c.match);
    }
}

TEST(FormulaReferences, CriterionAgainstEachKindOfCell) {
    const std::string five = "5", apple = "Apple", empty;
    const CellView cells[] = {
        {},                                                // empty
        {ValueKind::Number, ErrorCode::None, 5, nullptr},  // 5
        {ValueKind::Text, ErrorCode::None, 0, &five},      // "5"
        {ValueKind::Text, ErrorCode::None, 0, &apple},     // "Apple"
        {ValueKind::Text, ErrorCode::None, 0, &empty},     // ""
        {ValueKind::Boolean, ErrorCode::None, 1, nullptr}, // TRUE
        {ValueKind::Error, ErrorCode::NA, 0, nullptr},     // #N/A
    };
    const struct {
        Value condition;
        const char* matches; // one mark per cell above
    } cases[] = {
        {Value::fromNumber(5), "-XX----"},       {Value::fromText("5"), "-XX----"},
        {Value::fromText("<>5"), "X--XXXX"},     {Value::fromText(">=5"), "-X-----"},
        {Value::fromText("<6"), "-X-----"},      {Value::fromText("apple"), "---X---"},
        {Value::fromText("<>apple"), "XXX-XXX"}, {Value::fromText(">B"), "-------"},
        {Value::fromText("<B"), "--XXX--"},      {Value::fromText(""), "X---X--"},
        {Value::fromText("="), "X------"},       {Value::fromText("<>"), "-XXXXXX"},
        {Value::fromText("*"), "--XXX--"},       {Value::fromBool(true), "-----X-"},
        {Value::fromText("#N/A"), "------X"},    {Value::empty(), "-------"},
    };
    for (const auto& c : cases) {
        Criterion crit(c.condition);
        std::string got;
        for (const CellView& v : cells) {
            got += crit.matches(v) ? 'X' : '-';
        }
        EXPECT_EQ(got, c.matches) << "condition " << c.condition.text << c.condition.number;
        EXPECT_EQ(crit.matchesEmpty(), c.matches[0] == 'X');
    }
}

} // namespace
} // namespace fc::formula
