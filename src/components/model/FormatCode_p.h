#pragma once

// The parsed form of a number format string, shared by the display code in NumberFormat.cpp.

#include "components/model/Types.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fc::format {

enum class Tok : std::uint8_t {
    Literal,
    Digit,   // ch: '0', '#' or '?'
    Point,   // the decimal point of a number section
    Percent, // shows "%" and multiplies by 100
    Exp,     // "E+" or "E-"; the digits that follow belong to the exponent
    Text,    // "@": the text value
    General, // "General" inside a section
    Year,    // n: run length
    Month,
    Day,
    Hour,
    Minute,
    Second,
    FracSec, // n: digits of the fraction of a second
    AmPm,    // text: "AM/PM" or "A/P" as written (its case picks the output case)
    ElapsedHours,
    ElapsedMinutes,
    ElapsedSeconds,
};

struct Token {
    Tok kind = Tok::Literal;
    char ch = 0;
    int n = 0;
    std::string text;
};

enum class CondOp : std::uint8_t { None, Less, LessEq, Greater, GreaterEq, Equal, NotEqual };

struct Section {
    std::vector<Token> tokens;
    Color color = kAutoColor;
    CondOp cond = CondOp::None;
    double condValue = 0;
    bool isDate = false; // date or time tokens: the value is a day serial
    bool hasText = false;
    bool grouping = false;
    char groupSeparator = ' ';
    int percents = 0;
    int thousandsScale = 0; // trailing commas: divide by 1000 each
    int intDigits = 0;
    int fracDigits = 0;
    int expDigits = 0;
    bool hasExp = false;
    bool hasPoint = false;
    bool fracAllOptional = true; // every fraction placeholder is "#"
    bool hasHours = false;       // AM/PM switches hours to 12
    bool genitiveMonths = false; // a day number next to "mmmm": "1 января"
    bool needsTime = false;
    int fracSecDigits = 0;

    bool matches(double v) const;
};

struct Code {
    std::vector<Section> sections; // at most four: positive; negative; zero; text
    bool general = false;          // "General" alone, the fast path
};

// The parsed format; each distinct string is parsed once per thread and kept.
const Code& compiled(std::string_view format);

} // namespace fc::format
