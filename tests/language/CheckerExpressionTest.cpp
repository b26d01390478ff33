// The expression grammar, the lexical rules and the shapes of function calls.
#include "CheckCases.h"
#include "Messages.h"

namespace fc::testing {
namespace {

using namespace msg;

const GoodLine kExpressionsGood[] = {
    {"integer", "A=1", "Gray", 0},
    {"decimal", "A=1.5", "Gray", 0},
    {"leadingDot", "A=.5", "Gray", 0},
    {"trailingDot", "A=1.", "Gray", 0},
    {"arithmetic", "A=12 + 3.25*4 - B/2", "Gray", 0},
    {"string", "A='Итого'", "Gray", 0},
    {"emptyString", "A=''", "Gray", 0},
    {"stringConcat", "A='a'+'b'", "Gray", 0},
    {"parentheses", "A=(1+2)*3", "Gray", 0},
    {"nestedParentheses", "A=((B))", "Gray", 0},
    {"negate", "A=-B", "Gray", 0},
    {"notOperator", "A=~B", "Gray", 0},
    {"negateNot", "A=-~B", "Gray", 0},
    {"lessOrEqual", "A=B<=C", "Gray", 0},
    {"greaterOrEqual", "A=B>=C", "Gray", 0},
    {"notEqual", "A=B<>C", "Gray", 0},
    {"shift", "A=B>>2", "Gray", 0},
    {"andOr", "A=B&C|D", "Gray", 0},
    {"less", "A=B<C", "Gray", 0},
    {"greater", "A=B>C", "Gray", 0},
    {"equal", "A=B=C", "Gray", 0},
    {"in", "B=A IN X..Y", "Gray", 0},
    {"inManyDots", "B=A IN X...Y", "Gray", 0},
    {"inNumberThenBlank", "B=A in 1 ..5", "Gray", 0},
    {"inExpressions", "B=A+1 IN X-B..Y+1 & C", "Gray", 0},
    {"inNested", "B=A IN (X IN 1 ..2)..Y", "Gray", 0},
    {"longNameRestNotExamined", "A=ABC", "Gray", 0},
    {"dollar", "A=$", "Gray", 0},
    {"digitNames", "A=X1+Y2", "Gray", 0},
    {"functionInExpression", "A=[CE [LENGTH 'x']+1]*2", "Gray", 0},
    {"blanksEverywhere", "A = ( B + 1 ) * 2", "Gray", 0},
};
FC_GOOD_LINES(Expressions, kExpressionsGood);

const BadLine kExpressionsBad[] = {
    {"unclosedString", "A='abc", kStringNotClosed, 7},
    {"unclosedParenthesis", "X=(1+2", kNeedParen, 7},
    {"unclosedInner", "A=((1)", kNeedParen, 7},
    {"doubleMinus", "A=--B", kUnexpected, 4},
    {"notThenMinus", "A=~-B", kUnexpected, 4},
    {"danglingOperator", "A=B+", kUnexpected, 5},
    {"cyrillicName", "A=Б", kUnexpected, 3},
    {"closingOnly", "A=)", kUnexpected, 3},
    {"inWithComma", "B=A IN X,Y", kNeedDots, 9},
    {"inSingleDot", "B=A IN X.Y", kNeedDots, 9},
    // the dot right after 1 is the number's own
    {"inNumberTakesDot", "B=A IN 1..5", kNeedDots, 10},
    {"inWithoutHigh", "B=A IN X..", kUnexpected, 11},
    {"iWithoutN", "B=A IX", kUnexpected, 5},
    {"ifAfterExpression", "A=B IF", kUnexpected, 5},
};
FC_BAD_LINES(Expressions, kExpressionsBad);

const GoodLine kFunctionShapesGood[] = {
    {"accountOnly", "[EK 41]", "Gray", 0},
    {"accountExpression", "A=[EK 41, 2]", "Gray", 0},
    {"lowerCaseName", "[ek 41,A+1]", "Gray", 0},
    {"accountSpecial", "[NP $D]", "Gray", 0},
    {"accountHash", "[BA #]", "Gray", 0},
    {"accountDotted", "[ED 41.01.2]", "Gray", 0},
    {"okAccount", "[OK 41]", "Gray", 0},
    {"okTwoExpressions", "[OK 41, 1, 2]", "Gray", 0},
    {"opTwoAccounts", "[OP 41, 42]", "Gray", 0},
    {"opFull", "[OP 41,42,1,2]", "Gray", 0},
    {"mpTwoAccounts", "[MP 41,42]", "Gray", 0},
    {"apBlankBeforeComma", "[AP 41 , 42]", "Gray", 0},
    {"akAccount", "[AK 41]", "Gray", 0},
    {"n1Account", "[N1 41]", "Gray", 0},
    {"exStarVariable", "[EX *A]", "Gray", 0},
    {"bpAccount", "[BP 41]", "Gray", 0},
    {"bpOneExpression", "[BP 41,1]", "Gray", 0},
    {"epTwoExpressions", "[EP 41,1,2]", "Gray", 0},
    {"saAccountExpression", "[SA 41,1]", "Gray", 0},
    {"setName", "[SET 41,1,2]", "Gray", 0},
    {"plusName", "[PLUS 41,1,2]", "Gray", 0},
    {"getShort", "[GET 41,1]", "Gray", 0},
    {"getFull", "[GET 41,1,2,3]", "Gray", 0},
    {"ceExpression", "[CE 1]", "Gray", 0},
    {"length", "[LENGTH 'abc']", "Gray", 0},
    {"factF", "[FACT_F 1]", "Gray", 0},
    {"antida", "[ANTIDA X]", "Gray", 0},
    {"strip", "[STRIP A]", "Gray", 0},
    {"stamp", "[STAMP A]", "Gray", 0},
    {"intsn", "[INTSN A]", "Gray", 0},
    {"type", "[TYPE A]", "Gray", 0},
    {"ged", "[GED 1]", "Gray", 0},
    {"win", "[WIN 'x']", "Gray", 0},
    {"dir", "[DIR 'x']", "Gray", 0},
    {"dos", "[DOS 'x']", "Gray", 0},
    {"abs", "[ABS -1]", "Gray", 0},
    {"wnExpression", "[WN 1]", "Gray", 0},
    {"wnAccount", "[WN 1, 41]", "Gray", 0},
    {"dtTwo", "[DT 1,2]", "Gray", 0},
    {"sedTwo", "[SED 1,2]", "Gray", 0},
    {"isThree", "[IS 1,2,3]", "Gray", 0},
    {"dllcallThree", "[DLLCALL 'a','b',1]", "Gray", 0},
    {"daNone", "[DA]", "Gray", 0},
    {"daThree", "[DA 1,2,3]", "Gray", 0},
    {"dwNone", "[DW ]", "Gray", 0},
    {"imTwo", "[IM 1,2]", "Gray", 0},
    {"imThree", "[IM 1,2,3]", "Gray", 0},
    {"co", "[CO]", "Gray", 0},
    {"selected", "[SELECTED]", "Gray", 0},
    {"user", "[USER]", "Gray", 0},
    {"ver", "[VER]", "Gray", 0},
    {"success", "[SUCCESS]", "Gray", 0},
    {"unicfile", "[UNICFILE]", "Gray", 0},
    {"found", "[FOUND]", "Gray", 0},
    {"factY", "[FACT_Y]", "Gray", 0},
    {"factM", "[FACT_M]", "Gray", 0},
    {"factD", "[FACT_D]", "Gray", 0},
    {"tm", "[TM]", "Gray", 0},
    {"f1", "[F1]", "Gray", 0},
    {"singleLetter", "[X 5]", "Gray", 0},
    {"singleLetterTwo", "[X 5, 6]", "Gray", 0},
    {"blankAfterBracket", "[ EK 41]", "Gray", 0},
};
FC_GOOD_LINES(FunctionShapes, kFunctionShapesGood);

const BadLine kFunctionShapesBad[] = {
    {"missingBracket", "A=[EK 41 2]", kNeedBracket, 10},
    {"longNameMisspelt", "[DLLCAX 1,2,3]", kUnknownFunction, 7},
    {"longNameCut", "[SELEC]", kUnknownFunction, 7},
    {"twoUnknownLetters", "[XY 5]", kUnknownFunction, 2},
    {"letterWithoutBlank", "[X]", kUnknownFunction, 2},
    {"unknownAfterBlank", "[ XY 5]", kUnknownFunction, 3},
    {"okOneExpression", "[OK 41, 1]", kNeedComma, 10},
    {"opThreeArguments", "[OP 41,42,1]", kNeedComma, 12},
    {"mpOneAccount", "[MP 41]", kNeedComma, 7},
    {"saNoExpression", "[SA 41]", kNeedComma, 7},
    {"setTwoArguments", "[SET 41,1]", kNeedComma, 10},
    {"getAccountOnly", "[GET 41]", kNeedComma, 8},
    {"dtOneExpression", "[DT 1]", kNeedComma, 6},
    {"isTwoExpressions", "[IS 1,2]", kNeedComma, 8},
    {"dllcallTwo", "[DLLCALL 1,2]", kNeedComma, 13},
    {"daOneExpression", "[DA 1]", kNeedComma, 6},
    {"imOneExpression", "[IM 1]", kNeedComma, 6},
    {"imBlankSeparated", "[IM 1 2]", kNeedCommaOrBracket, 7},
    {"imThirdBlankSeparated", "[IM 1,2 3]", kNeedCommaOrBracket, 9},
    {"noneWithArgument", "[CO 1]", kNeedBracket, 5},
    {"expressionMissing", "[CE]", kUnexpected, 4},
    {"argumentUnclosed", "[CE (1]", kNeedParen, 7},
    {"singleLetterBlankSeparated", "[X 5 6]", kNeedBracket, 6},
    {"accountOnlyWithMore", "[AK 41, 2]", kNeedBracket, 7},
};
FC_BAD_LINES(FunctionShapes, kFunctionShapesBad);

TEST(CheckerExpressions, NestingIsBoundedNotFatal) {
    // Real lines never nest this deep; a hostile line is reported instead of exhausting the
    // stack.
    auto nested = [](int depth) {
        return "A=" + std::string(static_cast<std::size_t>(depth), '(') + "1" +
               std::string(static_cast<std::size_t>(depth), ')');
    };
    EXPECT_TRUE(checkUtf8(sampleTable(), nested(200)).ok());
    EXPECT_EQ(checkUtf8(sampleTable(), nested(300)).error, CheckError::Unexpected);
    std::string calls;
    for (int i = 0; i < 100000; ++i) {
        calls += "[CE ";
    }
    EXPECT_EQ(checkUtf8(sampleTable(), calls + "1").error, CheckError::Unexpected);
}

TEST(CheckerExpressions, LongLinesAreCheckedWhole) {
    std::string line = "A=1";
    while (line.size() < 400) {
        line += "+B";
    }
    EXPECT_TRUE(checkUtf8(sampleTable(), line).ok());
    const CheckResult r = checkUtf8(sampleTable(), line + "+(");
    EXPECT_EQ(r.error, CheckError::Unexpected);
    EXPECT_EQ(r.errorPosition, static_cast<int>(line.size()) + 3);
}

} // namespace
} // namespace fc::testing
