// Formula evaluation against hand-computed results, one table per group of features.
#include "FormulaTestSupport.h"

#include "components/formula/Formula.h"
#include "components/model/Workbook.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace fc {
namespace {

using namespace testvalues;

struct Case {
    const char* formula; // UTF-8, converted to Windows-1251
    Value expected;
};

// Sheet1:  A1..A7 = 1, 2, 3, "text", (empty), TRUE, #DIV/0!
//          B1..B4 = 10, 20, 30, 40;  C1..C3 = "apple", "Apple pie", "banana";  D1 = "5"
//          F1..F8 = "[1]", "x", (empty), 5, "5", "[2]", "Apple", TRUE;  G1..G8 = 1..8
// "My sheet": A1 = 100, B2 = 200.  "Data": A1 = 7.
class FormulaEval : public ::testing::Test {
protected:
    void SetUp() override {
        book.setNumSheets(3);
        Sheet& s = book.sheet(1);
        s.setNumber(1, 1, 1);
        s.setNumber(2, 1, 2);
        s.setNumber(3, 1, 3);
        s.setText(4, 1, "text");
        s.setValue(6, 1, B(true));
        s.setValue(7, 1, E(ErrorCode::Div0));
        for (int r = 1; r <= 4; ++r) {
            s.setNumber(r, 2, r * 10);
        }
        s.setText(1, 3, "apple");
        s.setText(2, 3, "Apple pie");
        s.setText(3, 3, "banana");
        s.setText(1, 4, "5");
        s.setText(1, 6, "[1]");
        s.setText(2, 6, "x");
        s.setNumber(4, 6, 5);
        s.setText(5, 6, "5");
        s.setText(6, 6, "[2]");
        s.setText(7, 6, "Apple");
        s.setValue(8, 6, B(true));
        for (int r = 1; r <= 8; ++r) {
            s.setNumber(r, 7, r);
        }
        book.sheet(2).setName("My sheet");
        book.sheet(2).setNumber(1, 1, 100);
        book.sheet(2).setNumber(2, 2, 200);
        book.sheet(3).setName("Data");
        book.sheet(3).setNumber(1, 1, 7);
    }

    // Evaluated as if standing in E10 of Sheet1.
    void check(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.formula);
            Value got = formula::evaluate(w(c.formula), book, 1, 10, 5);
            if (got.isNumber() && c.expected.isNumber()) {
                EXPECT_NEAR(got.number, c.expected.number, 1e-9 * std::fabs(c.expected.number));
            } else {
                EXPECT_EQ(got, c.expected);
            }
        }
    }

    Workbook book;
};

TEST_F(FormulaEval, OperatorsAndPrecedence) {
    check({
        {"1+2*3", N(7)},
        {"(1+2)*3", N(9)},
        {"2^3^2", N(64)},
        {"-2^2", N(4)},
        {"2*-3", N(-6)},
        {"10-2-3", N(5)},
        {"8/2/2", N(2)},
        {"50%", N(0.5)},
        {"200%%", N(0.02)},
        {"1+2&3", T("33")},
        {"1&2+3", T("15")},
        {"3>2=TRUE", B(true)},
        {"+A1", N(1)},
        {"--\"3\"", N(3)},
        {" ( 1 + 2 ) * 2 ", N(6)},
        {"\"say \"\"hi\"\"\"", T("say \"hi\"")},
    });
}

TEST_F(FormulaEval, ConversionsAndComparisons) {
    check({
        {"\"5\"+1", N(6)},
        {"TRUE+1", N(2)},
        {"A5+1", N(1)},
        {"A5&\"x\"", T("x")},
        {"A5", N(0)},
        {"D1*2", N(10)},
        {"1&\"\"", T("1")},
        {"1/3&\"\"", T("0.333333333333333")},
        {"1E+20&\"\"", T("1E+20")},
        {"-0.5&\"\"", T("-0.5")},
        {"TRUE&\"\"", T("TRUE")},
        {"1=1.0", B(true)},
        {"0.1+0.2=0.3", B(true)},
        {"\"a\"=\"A\"", B(true)},
        {"\"ёж\"=\"ЁЖ\"", B(true)},
        {"\"abc\"<\"abd\"", B(true)},
        {"\"я\">\"а\"", B(true)},
        {"1<\"a\"", B(true)},
        {"\"a\"<TRUE", B(true)},
        {"A5=0", B(true)},
        {"A5=\"\"", B(true)},
        {"A5<>FALSE", B(false)},
    });
}

TEST_F(FormulaEval, ErrorsAndPropagation) {
    check({
        {"1/0", E(ErrorCode::Div0)},
        {"\"x\"+1", E(ErrorCode::Value)},
        {"0^0", E(ErrorCode::Num)},
        {"(-8)^(1/3)", E(ErrorCode::Num)},
        {"10^400", E(ErrorCode::Num)},
        {"1E999*0", E(ErrorCode::Num)},
        {"WEEKDAY(1,1E300)", E(ErrorCode::Num)},
        {"#N/A+1", E(ErrorCode::NA)},
        {"1+#REF!", E(ErrorCode::Ref)},
        {"A7+1", E(ErrorCode::Div0)},
        {"\"a\"&A7", E(ErrorCode::Div0)},
        {"#VALUE!+1/0", E(ErrorCode::Value)},
        {"A7=1", E(ErrorCode::Div0)},
        {"FOO(1)", E(ErrorCode::Name)},
        {"abc", E(ErrorCode::Name)},
        {"Nope!A1", E(ErrorCode::Ref)},
        {"A1:A3", E(ErrorCode::Value)}, // no cell of the column stands in row 10
        {"REPT(\"x\",40000)", E(ErrorCode::Value)},
        {"REPT(\"ab\",16000)&REPT(\"ab\",16000)", E(ErrorCode::Value)},
    });
}

TEST_F(FormulaEval, Aggregates) {
    check({
        {"SUM(A1:A4)", N(6)},
        {"SUM(A1:A3,10)", N(16)},
        {"SUM(A1:A7)", E(ErrorCode::Div0)},
        {"SUM(\"5\",1)", N(6)},
        {"SUM(\"x\")", E(ErrorCode::Value)},
        {"SUM(TRUE,1)", N(2)},
        {"SUM(A6,D1)", N(0)},
        {"SUM(B:B)", N(100)},
        {"SUM(1:1)", N(12)},
        {"SUM(A1:B2 , B3)", N(63)},
        {"SUM(A1:A2:B3)", N(66)},
        {"COUNT(A1:A7)", N(3)},
        {"COUNT(1,\"2\",\"x\",TRUE)", N(3)},
        {"COUNTA(A1:A7)", N(6)},
        {"COUNTBLANK(A1:A7)", N(1)},
        {"AVERAGE(A1:A4)", N(2)},
        {"AVERAGE(A4)", E(ErrorCode::Div0)},
        {"MIN(A1:A3,-1)", N(-1)},
        {"MAX(B1:B4)", N(40)},
        {"MAX(A4)", N(0)},
        {"PRODUCT(A1:A3)", N(6)},
        {"SUMPRODUCT(A1:A3,B1:B3)", N(140)},
        {"SUMPRODUCT((A1:A3>1)*B1:B3)", N(50)},
        {"SUMPRODUCT(A1:A3,B1:B2)", E(ErrorCode::Value)},
        {"SUMPRODUCT(A1:A7)", E(ErrorCode::Div0)},
    });
}

TEST_F(FormulaEval, MathAndRounding) {
    check({
        {"ROUND(2.675,2)", N(2.68)},
        {"ROUND(-2.5,0)", N(-3)},
        {"ROUND(1234.5678,-2)", N(1200)},
        {"ROUND(999.5,0)", N(1000)},
        {"ROUND(0.4,0)", N(0)},
        {"ROUND(5,-1)", N(10)},
        {"ROUND(1.005,2.9)", N(1.01)},
        {"ROUNDUP(1.201,2)", N(1.21)},
        {"ROUNDUP(0.001,1)", N(0.1)},
        {"ROUNDDOWN(-1.29,1)", N(-1.2)},
        {"TRUNC(-1.5)", N(-1)},
        {"INT(-1.5)", N(-2)},
        {"ABS(-3)", N(3)},
        {"MOD(10,3)", N(1)},
        {"MOD(-1,3)", N(2)},
        {"MOD(1,-3)", N(-2)},
        {"MOD(5,0)", E(ErrorCode::Div0)},
        {"SQRT(-1)", E(ErrorCode::Num)},
        {"POWER(2,10)", N(1024)},
        {"CEILING(2.5,1)", N(3)},
        {"FLOOR(0.3,0.1)", N(0.3)},
        {"FLOOR(1,0)", E(ErrorCode::Div0)},
        {"LOG(8,2)", N(3)},
        {"LN(0)", E(ErrorCode::Num)},
        {"DATE(2024,1,31)", N(45322)},
        {"DATE(2024,13,1)", N(45658)},
        {"DAY(DATE(2024,3,0))", N(29)},
        {"YEAR(45322)&\"-\"&MONTH(45322)", T("2024-1")},
        {"WEEKDAY(DATE(2024,1,1))", N(2)},
    });
}

TEST_F(FormulaEval, Logic) {
    check({
        {"IF(A1>0,\"pos\",\"neg\")", T("pos")},
        {"IF(0,1)", B(false)},
        {"IF(1,,2)", N(0)},
        {"IF(\"x\",1,2)", E(ErrorCode::Value)},
        {"IF(TRUE,1,1/0)", N(1)},
        {"IF(A7,1,2)", E(ErrorCode::Div0)},
        {"SUM(IF(TRUE,A1:A3,B1:B3))", N(6)},
        {"AND(TRUE,1)", B(true)},
        {"AND(A1:A3)", B(true)},
        {"AND(A4)", E(ErrorCode::Value)},
        {"OR(0,FALSE)", B(false)},
        {"OR(A7)", E(ErrorCode::Div0)},
        {"NOT(0)", B(true)},
        {"IFERROR(1/0,\"z\")", T("z")},
        {"IFERROR(5,\"z\")", N(5)},
        {"ISBLANK(A5)", B(true)},
        {"ISBLANK(A4)", B(false)},
        {"ISNUMBER(A1)", B(true)},
        {"ISNUMBER(D1)", B(false)},
        {"ISTEXT(D1)", B(true)},
        {"ISERROR(A7)", B(true)},
        {"ISNA(NA())", B(true)},
        {"ISERR(NA())", B(false)},
        {"CHOOSE(2,\"a\",\"b\",\"c\")", T("b")},
        {"CHOOSE(4,\"a\")", E(ErrorCode::Value)},
    });
}

TEST_F(FormulaEval, Text) {
    check({
        {"CONCATENATE(\"a\",1,TRUE)", T("a1TRUE")},
        {"LEFT(\"abc\",2)", T("ab")},
        {"LEFT(\"abc\")", T("a")},
        {"LEFT(\"abc\",-1)", E(ErrorCode::Value)},
        {"RIGHT(\"abc\",5)", T("abc")},
        {"MID(\"abcdef\",2,3)", T("bcd")},
        {"MID(\"abc\",5,1)", T("")},
        {"MID(\"abc\",0,1)", E(ErrorCode::Value)},
        {"LEN(\"привет\")", N(6)},
        {"TRIM(\"  a   b  \")", T("a b")},
        {"UPPER(\"ёжик\")", T("ЁЖИК")},
        {"LOWER(\"ABC Щ\")", T("abc щ")},
        {"PROPER(\"иван иванов\")", T("Иван Иванов")},
        {"VALUE(\"1.5\")", N(1.5)},
        {"VALUE(\"x\")", E(ErrorCode::Value)},
        {"REPT(\"ab\",3)", T("ababab")},
        {"SUBSTITUTE(\"a-b-c\",\"-\",\"+\")", T("a+b+c")},
        {"SUBSTITUTE(\"a-b-c\",\"-\",\"+\",2)", T("a-b+c")},
        {"REPLACE(\"abcdef\",2,3,\"X\")", T("aXef")},
        {"FIND(\"b\",\"abcb\")", N(2)},
        {"FIND(\"b\",\"abcb\",3)", N(4)},
        {"FIND(\"B\",\"abc\")", E(ErrorCode::Value)},
        {"SEARCH(\"B\",\"abc\")", N(2)},
        {"SEARCH(\"?c\",\"abc\")", N(2)},
        {"EXACT(\"a\",\"A\")", B(false)},
        {"CODE(\"A\")&CHAR(66)", T("65B")},
    });
}

TEST_F(FormulaEval, ReferencesAndIndirect) {
    check({
        {"ROW()", N(10)},
        {"COLUMN()", N(5)},
        {"ROW(B3)", N(3)},
        {"COLUMN(C1:D2)", N(3)},
        {"ROWS(A1:B5)*COLUMNS(A:C)", N(15)},
        {"$B$2+b$3", N(50)},
        {"'My sheet'!A1", N(100)},
        {"'my SHEET'!B2", N(200)},
        {"Data!A1*2", N(14)},
        {"SUM('My sheet'!A1:B2)", N(300)},
        {"ADDRESS(2,3)", T("$C$2")},
        {"ADDRESS(2,3,4)", T("C2")},
        {"ADDRESS(2,3,2)", T("C$2")},
        {"ADDRESS(2,3,3)", T("$C2")},
        {"ADDRESS(1,256,4)", T("IV1")},
        {"ADDRESS(2,3,1,FALSE)", T("R2C3")},
        {"ADDRESS(2,3,4,FALSE)", T("R[2]C[3]")},
        {"ADDRESS(1,1,1,TRUE,\"My sheet\")", T("'My sheet'!$A$1")},
        {"ADDRESS(1,1,4,TRUE,\"Data\")", T("Data!A1")},
        {"ADDRESS(0,1)", E(ErrorCode::Value)},
        {"ADDRESS(1,257)", E(ErrorCode::Value)},
        {"ADDRESS(1,1,5)", E(ErrorCode::Value)},
        {"INDIRECT(\"B2\")", N(20)},
        {"INDIRECT(\"b\"&2)", N(20)},
        {"SUM(INDIRECT(\"A1:A3\"))", N(6)},
        {"SUM(INDIRECT(\"A3:A1\"))", N(6)},
        {"SUM(INDIRECT(\"B:B\"))", N(100)},
        {"INDIRECT(\"'My sheet'!A1\")", N(100)},
        {"INDIRECT(\"Nope!A1\")", E(ErrorCode::Ref)},
        {"INDIRECT(\"A0\")", E(ErrorCode::Ref)},
        {"INDIRECT(\"A1 \")", E(ErrorCode::Ref)},
        {"INDIRECT(\"\")", E(ErrorCode::Ref)},
        {"INDIRECT(\"R2C2\",FALSE)", N(20)},
        {"INDIRECT(\"R[-8]C[-3]\",FALSE)", N(20)},
        {"SUM(INDIRECT(ADDRESS(1,1,4)&\":\"&ADDRESS(3,2,4)))", N(66)},
        {"SUM(A1:INDIRECT(\"A3\"))", N(6)},
        {"OFFSET(A1,1,1)", N(20)},
        {"SUM(OFFSET(A1,0,0,3,1))", N(6)},
        {"OFFSET(A1,-1,0)", E(ErrorCode::Ref)},
    });
}

TEST_F(FormulaEval, Lookup) {
    check({
        {"INDEX(B1:B4,3)", N(30)},
        {"INDEX(A1:B4,2,2)", N(20)},
        {"INDEX(B1:B4,0,1)", E(ErrorCode::Value)},
        {"SUM(INDEX(A1:B4,0,2))", N(100)},
        {"INDEX(A1:B2,3,1)", E(ErrorCode::Ref)},
        {"MATCH(20,B1:B4,0)", N(2)},
        {"MATCH(25,B1:B4)", N(2)},
        {"MATCH(5,B1:B4)", E(ErrorCode::NA)},
        {"MATCH(\"APP*\",C1:C3,0)", N(1)},
        {"MATCH(99,B1:B4,0)", E(ErrorCode::NA)},
        {"VLOOKUP(2,A1:B4,2,FALSE)", N(20)},
        {"VLOOKUP(2.5,A1:B3,2)", N(20)},
        {"VLOOKUP(2,A1:B4,3,FALSE)", E(ErrorCode::Ref)},
        {"HLOOKUP(2,A2:B3,2,FALSE)", N(3)},
    });
}

// The conditions of SUMIF and COUNTIF, over F1:F8 = "[1]", "x", empty, 5, "5", "[2]",
// "Apple", TRUE with G1:G8 = 1..8.
TEST_F(FormulaEval, Criteria) {
    check({
        {"SUMIF(F1:F8,\"<>[2]\",G1:G8)", N(30)},
        {"SUMIF(F1:F8,\"=[1]\",G1:G8)", N(1)},
        {"SUMIF(F1:F8,\"[1]\",G1:G8)", N(1)},
        {"SUMIF(F1:F8,\"<>[2]\",G1)", N(30)},
        {"SUMIF(G1:G8,\">=6\")", N(21)},
        {"SUMIF(F1:F8,\"apple\",G1:G8)", N(7)},
        {"SUMIF(F1:F8,#N/A,G1:G8)", E(ErrorCode::NA)},
        {"SUMIF(F1:F8,\"x\",A1:A8)", N(2)}, // the error in A7 is never read
        {"COUNTIF(F1:F8,\"\")", N(1)},
        {"COUNTIF(F1:F8,\"=\")", N(1)},
        {"COUNTIF(F1:F8,\"<>\")", N(7)},
        {"COUNTIF(F1:F8,5)", N(2)},
        {"COUNTIF(F1:F8,\"5\")", N(2)},
        {"COUNTIF(F1:F8,\">4\")", N(1)},
        {"COUNTIF(F1:F8,\"<>5\")", N(6)},
        {"COUNTIF(F1:F8,\"app*\")", N(1)},
        {"COUNTIF(F1:F8,\"?\")", N(2)},
        {"COUNTIF(F1:F8,\"*\")", N(5)},
        {"COUNTIF(F1:F8,\"~[1]\")", N(1)},
        {"COUNTIF(F1:F8,TRUE)", N(1)},
        {"COUNTIF(F1:F8,\"true\")", N(1)},
        {"COUNTIF(F1:F8,A5)", N(0)},
        {"COUNTIF(F:F,\"\")", N(65536 - 7)},
        {"AVERAGEIF(G1:G8,\"<3\")", N(1.5)},
        {"COUNTIFS(G1:G8,\">2\",G1:G8,\"<6\")", N(3)},
        {"SUMIFS(G1:G8,F1:F8,\"<>[2]\",G1:G8,\">4\")", N(20)},
        {"SUMIFS(G1:G8,F1:F7,\"x\")", E(ErrorCode::Value)},
    });
}

} // namespace
} // namespace fc
