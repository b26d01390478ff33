#include "components/model/NumberFormat.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

#include <cmath>

namespace fc {
namespace {

struct DisplayCase {
    const char* name;
    double number;
    const char* format;
    const char* shown; // UTF-8
    Color color = kAutoColor;
};

void PrintTo(const DisplayCase& c, std::ostream* os) { *os << c.name; }

class NumberDisplay : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(NumberDisplay, Shows) {
    const DisplayCase& c = GetParam();
    FormattedText t = formatValue(Value::fromNumber(c.number), w(c.format));
    EXPECT_EQ(cp1251::toUtf8(t.text), c.shown) << "format " << c.format << " value " << c.number;
    EXPECT_EQ(t.color, c.color) << "format " << c.format;
}

const Color kRed = rgb(255, 0, 0);
const Color kWhite = rgb(255, 255, 255);

INSTANTIATE_TEST_SUITE_P(
    General, NumberDisplay,
    ::testing::Values(DisplayCase{"integer", 42, "General", "42"},
                      DisplayCase{"emptyFormatIsGeneral", 1.5, "", "1.5"},
                      DisplayCase{"fraction", 0.1 + 0.2, "General", "0.3"},
                      DisplayCase{"negative", -2.25, "General", "-2.25"},
                      DisplayCase{"large", 123456789012.0, "General", "1.23457E+11"},
                      DisplayCase{"lowercaseName", 7, "general", "7"},
                      DisplayCase{"insideSection", -3, "General;[Red]-General", "-3", kRed}),
    [](const auto& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Fixed, NumberDisplay,
    ::testing::Values(DisplayCase{"zeroRoundsHalfUp", 2.5, "0", "3"},
                      DisplayCase{"zeroNegative", -2.5, "0", "-3"},
                      DisplayCase{"twoDecimals", 3.14159, "0.00", "3.14"},
                      DisplayCase{"decimalRoundingAsTyped", 2.675, "0.00", "2.68"},
                      DisplayCase{"padsDecimals", 5, "0.00", "5.00"},
                      DisplayCase{"carryIntoInteger", 9.999, "0.00", "10.00"},
                      DisplayCase{"negativeRoundedToZeroHasNoSign", -0.001, "0.00", "0.00"},
                      DisplayCase{"leadingZeros", 42, "00000", "00042"},
                      DisplayCase{"hashHidesZero", 0.5, "#.00", ".50"},
                      DisplayCase{"integerWithoutPlaceholder", 12.5, ".00", "12.50"},
                      DisplayCase{"questionMarkPads", 1.5, "0.0??", "1.5  "},
                      DisplayCase{"literalsBetweenDigits", 1234567, "000-0000", "123-4567"},
                      DisplayCase{"hugeNumber", 1e20, "0", "100000000000000000000"},
                      DisplayCase{"tinyNumber", 1e-20, "0.00", "0.00"}),
    [](const auto& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Grouping, NumberDisplay,
    ::testing::Values(DisplayCase{"blankSeparator", 1234567.891, "# ##0.00", "1 234 567.89"},
                      DisplayCase{"blankSmall", 12.5, "# ##0.00", "12.50"},
                      DisplayCase{"blankExactlyThousand", 1000, "# ##0.00", "1 000.00"},
                      DisplayCase{"blankNegative", -1234.5, "# ##0.00", "-1 234.50"},
                      DisplayCase{"blankZero", 0, "# ##0.00", "0.00"},
                      DisplayCase{"optionalDecimals", 1234.5, "# ### ##0.##", "1 234.5"},
                      DisplayCase{"optionalDecimalsDropPoint", 1234, "# ### ##0.##", "1 234"},
                      DisplayCase{"optionalDecimalsMillions", 12345678.126, "# ### ##0.##",
                                  "12 345 678.13"},
                      DisplayCase{"comma", 1234567.891, "#,##0.00", "1,234,567.89"},
                      DisplayCase{"commaBelowThousand", 999.999, "#,##0.00", "1,000.00"},
                      DisplayCase{"trailingCommaScales", 1234567, "#,##0,", "1,235"},
                      DisplayCase{"blankAfterDigitsIsText", 5, "0 \"шт.\"", "5 шт."}),
    [](const auto& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(
    PercentAndExponent, NumberDisplay,
    ::testing::Values(DisplayCase{"percent", 0.05, "0%", "5%"},
                      DisplayCase{"percentDecimals", 0.12345, "0.00%", "12.35%"},
                      DisplayCase{"percentNegative", -0.5, "0%", "-50%"},
                      DisplayCase{"exponent", 12345, "0.00E+00", "1.23E+04"},
                      DisplayCase{"exponentSmall", 0.00012, "0.0E+00", "1.2E-04"},
                      DisplayCase{"exponentCarry", 9.996, "0.00E+00", "1.00E+01"},
                      DisplayCase{"exponentMinusSignOnly", 1234, "0.0E-0", "1.2E3"}),
    [](const auto& i) { return std::string(i.param.name); });

INSTANTIATE_TEST_SUITE_P(
    LiteralsAndSections, NumberDisplay,
    ::testing::Values(DisplayCase{"quoted", 5, "0\" руб.\"", "5 руб."},
                      DisplayCase{"backslash", 5, "0\\р", "5р"},
                      DisplayCase{"underscoreMakesRoom", 5, "0_)", "5 "},
                      DisplayCase{"fillIgnored", 5, "*-0", "5"},
                      DisplayCase{"currencyTag", 5, "0.00[$р.-419]", "5.00р."},
                      DisplayCase{"onlyLiteral", 5, "\"Итого\"", "Итого"},
                      DisplayCase{"semicolonInQuotes", 5, "0\";\"0", "0;5"},
                      DisplayCase{"negativeSection", -5, "0.00;(0.00)", "(5.00)"},
                      DisplayCase{"negativeSectionPositive", 5, "0.00;(0.00)", "5.00"},
                      DisplayCase{"zeroSection", 0, "0;-0;\"нет\"", "нет"},
                      DisplayCase{"zeroUsesFirstOfTwo", 0, "0.0;-0.0", "0.0"},
                      DisplayCase{"emptyZeroSection", 0, "0;-0;", ""},
                      DisplayCase{"allHidden", 5, ";;;", ""},
                      DisplayCase{"colorPrefix", 5, "[Red]0.00", "5.00", kRed},
                      DisplayCase{"whiteRowCursor", 1234.5, "[White]# ##0.00", "1 234.50", kWhite},
                      DisplayCase{"colorCaseInsensitive", 1, "[RED]0", "1", kRed},
                      DisplayCase{"colorOfNegativeSection", -1, "0;[Red]-0", "-1", kRed},
                      DisplayCase{"paletteColor", 1, "[Color3]0", "1", kRed},
                      DisplayCase{"conditionTrue", 150, "[>100]\"много\";0", "много"},
                      DisplayCase{"conditionFalse", 50, "[>100]\"много\";0", "50"},
                      DisplayCase{"textFormatShowsNumber", 12.5, "@", "12.5"}),
    [](const auto& i) { return std::string(i.param.name); });

// 1 February 2024 is day 45323; 0.75 of a day is 18:00.
INSTANTIATE_TEST_SUITE_P(
    Dates, NumberDisplay,
    ::testing::Values(DisplayCase{"ddmmyyyy", 45323, "dd.mm.yyyy", "01.02.2024"},
                      DisplayCase{"ddmmyy", 45323, "dd.mm.yy", "01.02.24"},
                      DisplayCase{"dmyyyySlash", 45323, "d/m/yyyy", "1/2/2024"},
                      DisplayCase{"upperCaseCodes", 45323, "DD.MM.YYYY", "01.02.2024"},
                      DisplayCase{"monthName", 45323, "mmmm yyyy", "Февраль 2024"},
                      DisplayCase{"monthGenitiveWithDay", 45323, "d mmmm yyyy", "1 февраля 2024"},
                      DisplayCase{"monthShort", 45323, "mmm.yy", "фев.24"},
                      DisplayCase{"monthLetter", 45323, "mmmmm", "Ф"},
                      DisplayCase{"weekday", 45323, "dddd", "четверг"},
                      DisplayCase{"weekdayShort", 45323, "ddd dd", "Чт 01"},
                      DisplayCase{"fractionIgnoredForDate", 45323.99, "dd.mm.yyyy", "01.02.2024"},
                      DisplayCase{"leapDay", 45351, "dd.mm.yyyy", "29.02.2024"},
                      DisplayCase{"firstDay", 1, "dd.mm.yyyy", "31.12.1899"},
                      DisplayCase{"negativeDateShownAsNumber", -1, "dd.mm.yyyy", "-1"},
                      DisplayCase{"beyondYear9999", 3e6, "dd.mm.yyyy", "3000000"},
                      DisplayCase{"dateAndTime", 45323.75, "dd.mm.yyyy hh:mm", "01.02.2024 18:00"},
                      DisplayCase{"timeSeconds", 0.5 + 61.0 / 86400, "h:mm:ss", "12:01:01"},
                      DisplayCase{"timeRoundsToNextDay", 45323.9999999, "dd.mm.yyyy hh:mm",
                                  "02.02.2024 00:00"},
                      DisplayCase{"minutesBeforeSeconds", 61.0 / 86400, "mm:ss", "01:01"},
                      DisplayCase{"amPm", 0.75, "h:mm AM/PM", "6:00 PM"},
                      DisplayCase{"amPmMidnight", 0, "h AM/PM", "12 AM"},
                      DisplayCase{"elapsedHours", 1.5, "[h]:mm", "36:00"},
                      DisplayCase{"fractionOfSecond", 1.25 / 86400, "ss.00", "01.25"},
                      DisplayCase{"dateColor", 45323, "[Red]dd.mm.yyyy", "01.02.2024", kRed}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(NumberFormat, NonNumbers) {
    struct Case {
        const char* name;
        Value value;
        const char* format;
        const char* shown;
    };
    const Case cases[] = {
        {"textGeneral", Value::fromText(w("Текст")), "General", "Текст"},
        {"textWithNumberFormat", Value::fromText("abc"), "0.00", "abc"},
        {"textSection", Value::fromText("abc"), "0;-0;0;\"[\"@\"]\"", "[abc]"},
        {"textOnlyFormat", Value::fromText("abc"), "\"Код: \"@", "Код: abc"},
        {"empty", Value::empty(), "0.00", ""},
        {"booleanTrue", Value::fromBool(true), "0.00", "TRUE"},
        {"error", Value::fromError(ErrorCode::Div0), "0.00", "#DIV/0!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cp1251::toUtf8(formatValue(c.value, w(c.format)).text), c.shown);
    }
    EXPECT_EQ(formatValue(Value::fromText("x"), "[Red]@").color, rgb(255, 0, 0));
    EXPECT_EQ(formatValue(Value::fromText("x"), "[White]General").color, rgb(255, 255, 255));
    EXPECT_EQ(formatValue(Value::fromText("x"), "0;[Red]-0").color, kAutoColor);
}

TEST(NumberFormat, MalformedFormatsDoNotBreak) {
    // Formats come from files and from the server; none of these may crash or hang.
    const char* formats[] = {"\"unterminated",
                             "[Red",
                             "\\",
                             "0.0.0",
                             "E+",
                             "[>]0",
                             "0;1;2;3;4;5",
                             "*",
                             "_",
                             "[h",
                             "###",
                             "[$",
                             "0E+",
                             "%%%",
                             "0,,,,",
                             "yyyyyyy",
                             "ss.000000"};
    for (const char* f : formats) {
        SCOPED_TRACE(f);
        for (double v : {0.0, 1.5, -2.0, 1e300, 45323.5}) {
            formatValue(Value::fromNumber(v), f);
            formatValue(Value::fromText("t"), f);
        }
    }
    EXPECT_EQ(formatValue(Value::fromNumber(std::nan("")), "0.00").text, "#NUM!");
    EXPECT_EQ(formatValue(Value::fromNumber(1e308), "0%").text, "#NUM!");
    formatValue(Value::fromNumber(4.9e-324), "0.00E+00");
}

struct EntryCase {
    const char* name;
    const char* typed; // UTF-8
    Value value;
    const char* formula;
    const char* implied;
};

void PrintTo(const EntryCase& c, std::ostream* os) { *os << c.name; }

class Entry : public ::testing::TestWithParam<EntryCase> {};

TEST_P(Entry, Parses) {
    const EntryCase& c = GetParam();
    ParsedEntry e = parseEntry(w(c.typed));
    EXPECT_EQ(e.formula, c.formula);
    EXPECT_EQ(e.impliedFormat, c.implied);
    EXPECT_EQ(e.value.kind, c.value.kind);
    if (c.value.isNumber()) {
        EXPECT_NEAR(e.value.number, c.value.number, 1e-12);
    } else {
        EXPECT_EQ(e.value, c.value);
    }
}

Value num(double d) { return Value::fromNumber(d); }
Value txt(const char* s) { return Value::fromText(w(s)); }

INSTANTIATE_TEST_SUITE_P(
    Table, Entry,
    ::testing::Values(EntryCase{"empty", "", Value::empty(), "", ""},
                      EntryCase{"formula", "=A1+1", Value::empty(), "A1+1", ""},
                      EntryCase{"loneEqualsIsText", "=", txt("="), "", ""},
                      EntryCase{"integer", "42", num(42), "", ""},
                      EntryCase{"decimalPoint", "-1.5", num(-1.5), "", ""},
                      EntryCase{"blanksAround", " 7 ", num(7), "", ""},
                      EntryCase{"exponent", "1e3", num(1000), "", ""},
                      EntryCase{"leadingPoint", "-.5", num(-0.5), "", ""},
                      EntryCase{"trailingPoint", "5.", num(5), "", ""},
                      EntryCase{"manyDigits", "1234567890123456.7", num(1234567890123456.7), "",
                                ""},
                      EntryCase{"loneMinusIsText", "-", txt("-"), "", ""},
                      EntryCase{"twoPointsIsText", "1.2.", txt("1.2."), "", ""},
                      EntryCase{"commaIsText", "1,5", txt("1,5"), "", ""},
                      EntryCase{"percent", "5%", num(0.05), "", "0%"},
                      EntryCase{"percentDecimals", "2.5%", num(0.025), "", "0.00%"},
                      EntryCase{"percentAlone", "%", txt("%"), "", ""},
                      EntryCase{"date", "01.02.2024", num(45323), "", "dd.mm.yyyy"},
                      EntryCase{"shortDate", "1.2.24", num(45323), "", "dd.mm.yyyy"},
                      EntryCase{"shortDateLastCentury", "1.2.95", num(34731), "", "dd.mm.yyyy"},
                      EntryCase{"slashDate", "1/2/2024", num(45323), "", "dd.mm.yyyy"},
                      EntryCase{"leapDay", "29.02.2024", num(45351), "", "dd.mm.yyyy"},
                      EntryCase{"notLeapDay", "29.02.2023", txt("29.02.2023"), "", ""},
                      EntryCase{"month13", "01.13.2024", txt("01.13.2024"), "", ""},
                      EntryCase{"twoPartsIsNumber", "1.2", num(1.2), "", ""},
                      EntryCase{"threeDigitYear", "1.2.024", txt("1.2.024"), "", ""},
                      EntryCase{"true", "TRUE", Value::fromBool(true), "", ""},
                      EntryCase{"falseLower", "false", Value::fromBool(false), "", ""},
                      EntryCase{"russianText", "Итого", txt("Итого"), "", ""},
                      EntryCase{"infIsText", "inf", txt("inf"), "", ""}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(NumberFormat, FormulaNotAllowedIsText) {
    ParsedEntry e = parseEntry("=A1", false);
    EXPECT_TRUE(e.formula.empty());
    EXPECT_EQ(e.value, Value::fromText("=A1"));
}

TEST(NumberFormat, ShortDecimalsReadExactly) {
    // The quick path for short decimals must give the same double as the general one.
    for (const char* s : {"0.1", "123456.78", "-999999999999.999", "0.000000000000001",
                          "9007199254740.993", "2.675", "100000000000000"}) {
        double quick = 0;
        ASSERT_TRUE(parseNumber(s, quick)) << s;
        EXPECT_EQ(quick, std::strtod(s, nullptr)) << s;
    }
}

TEST(NumberFormat, DateSerialRoundTrip) {
    for (double serial : {1.0, 59.0, 60.0, 61.0, 36526.0, 45323.0, 2958465.0}) {
        int y = 0, m = 0, d = 0;
        serialToDate(serial, y, m, d);
        EXPECT_EQ(dateSerial(y, m, d), serial) << y << "-" << m << "-" << d;
    }
}

} // namespace
} // namespace fc
