// FACT statements against the prototypes, and the fact patterns of SEARCH and its kin, free
// and prototyped, with their captures.
#include "CheckCases.h"
#include "Messages.h"

#include "components/text/Cp1251.h"

namespace fc::testing {
namespace {

using namespace msg;

const GoodLine kFactsGood[] = {
    {"builtInFull", "FACT ta 1,2,3,4,5,6", "RED", 4},
    {"builtInShort", "FACT ta 1", "RED", 4},
    {"builtInBlanks", "FACT ta 1 , 2", "RED", 4},
    // the seventh fragment is empty: the check ends there
    {"builtInTooMany", "FACT ta 1,2,3,4,5,6,7", "RED", 4},
    // any text beginning with "ta" is prototype 1
    {"taPrefix", "FACT tax", "RED", 4},
    {"expressions", "FACT ta [CE 1], 'a'+B", "RED", 4},
    {"cyrillicFragments", "FACT ob A на B за C", "RED", 4},
    {"cyrillicShort", "FACT ob A на B", "RED", 4},
    {"colonFragment", "fact sum 1: 2", "RED", 4},
};
FC_GOOD_LINES(Facts, kFactsGood);

const BadLine kFactsBad[] = {
    {"nothing", "FACT", kNeedExpression, 5},
    {"onlyBlanks", "FACT   ", kNeedExpression, 8},
    {"unknownPrototype", "FACT zz 1", kFactMismatch, 6},
    {"glued", "FACTS", kFactMismatch, 5},
    {"wrongFragment", "FACT ob A за B", kFactMismatch, 11},
    {"missingFragment", "FACT sum 1 2", kFactMismatch, 12},
    {"wrongSeparator", "FACT ta 1;2", kFactMismatch, 10},
    {"nameOnly", "FACT sum", kUnexpected, 9},
    {"badField", "FACT ta 1,(2", kNeedParen, 13},
};
FC_BAD_LINES(Facts, kFactsBad);

const GoodLine kPatternsGood[] = {
    {"searchFree", "SEARCH ?A, ??, 5", "RED", 6},
    {"selectBackquotes", "SELECT `A,``", "RED", 6},
    {"totalCapture", "TOTAL ?A", "RED", 5},
    {"newsPrototyped", "NEWS ta ?A, 1", "RED", 4},
    {"eraseAnything", "ERASE ta ??", "RED", 5},
    {"neraseBackquote", "NERASE ta `B1, 2", "RED", 6},
    {"cyrillicPrototype", "SEARCH ob ?A на ?B за 1", "RED", 6},
    {"freeEndsAtOther", "SEARCH ?A 5", "RED", 6},
    {"freeDollar", "SEARCH ?$, ?X", "RED", 6},
    {"backquoteQuestion", "SELECT sum ?A : `?", "RED", 6},
    {"prototypedExpressions", "TOTAL ta 'x', A+1, ?B", "RED", 5},
};
FC_GOOD_LINES(Patterns, kPatternsGood);

const BadLine kPatternsBad[] = {
    {"nothing", "SEARCH", kNeedPattern, 7},
    {"onlyBlanks", "TOTAL   ", kNeedPattern, 9},
    {"unknownPrototype", "SEARCH zz", kOperatorMismatch, 8},
    {"captureDigit", "SEARCH ?1", kNeedCaptureName, 9},
    {"captureBlank", "SEARCH ? A", kNeedCaptureName, 9},
    {"captureAtEnd", "SEARCH ta ?", kNeedCaptureName, 12},
    {"captureSecondChar", "SEARCH ?A)", kNeedCaptureSecond, 10},
    {"prototypedSecondChar", "SEARCH ta ?A;", kNeedCaptureSecond, 13},
    {"wrongFragment", "SEARCH ob ?A за ?B", kFactMismatch, 14},
    {"trailingComma", "SEARCH ?A,", kUnexpected, 11},
};
FC_BAD_LINES(Patterns, kPatternsBad);

TEST(CheckerFacts, AnEmptiedTableRejectsPrototypedFactsOnly) {
    PrototypeTable table;
    std::vector<std::string> reports;
    table.loadText("no percent here\r\n", &reports);
    ASSERT_EQ(table.count(), 0);

    const CheckResult fact = checkUtf8(table, "FACT ta 1");
    EXPECT_EQ(cp1251::toUtf8(fact.message), kFactMismatch);
    EXPECT_EQ(fact.errorPosition, 6);
    const CheckResult pattern = checkUtf8(table, "SEARCH ta ?A");
    EXPECT_EQ(cp1251::toUtf8(pattern.message), kOperatorMismatch);
    EXPECT_EQ(pattern.errorPosition, 8);
    EXPECT_TRUE(checkUtf8(table, "SEARCH ?A, ?B").ok());
}

TEST(CheckerFacts, FragmentsCompareInTheServerCodePage) {
    // Prototypes arrive in code page 866 and the line is converted before it is compared; a
    // Windows-1251 prototype would never match.
    PrototypeTable table;
    table.loadText(w("ob % на %"));
    EXPECT_EQ(checkUtf8(table, "FACT ob A на B").error, CheckError::FactMismatch);
}

TEST(CheckerFacts, EmptyNameMatchesAnyFact) {
    PrototypeTable table;
    table.loadText("% = %\n");
    ASSERT_EQ(table.count(), 2);
    EXPECT_TRUE(checkUtf8(table, "FACT A = B").ok());
    EXPECT_EQ(checkUtf8(table, "FACT A B").error, CheckError::FactMismatch);
}

} // namespace
} // namespace fc::testing
