#pragma once

#include <string_view>

namespace fc {

// What went wrong in a statement line. The order is the order of the text table in
// CheckResult.cpp.
enum class CheckError {
    None,
    StringNotClosed,
    NeedVariable,
    NeedEveryWord,
    Unexpected,
    NeedFactsOrBuffer,
    NeedRangeOrEnd,
    NeedCommaLatin, // REWIND's range separator; its text differs from NeedComma by one letter
    NeedBufferOrArray,
    NeedDots,
    NeedParen,
    UnknownFunction,
    NeedComma,
    NeedCommaOrBracket,
    NeedBracket,
    NeedExpression,
    FactMismatch,
    NeedPattern,
    OperatorMismatch,
    NeedCaptureName,
    NeedCaptureSecond,
};

// The fixed message of an error (Windows-1251, leading blanks kept); empty for None. The
// text lives as long as the program.
std::string_view checkMessage(CheckError e);

// Keyword lengths of lines that are coloured whole.
constexpr int kWholeLineKeyword = 254;
constexpr int kServiceInstruction = 255;

// The answer for one statement line.
struct CheckResult {
    CheckError error = CheckError::None;
    std::string_view message; // checkMessage(error)
    // 1-based position of the character at which the error was found; the line's length + 1
    // when it was the end of the line; 0 without an error.
    int errorPosition = 0;
    // 0, the number of leading characters that form the keyword, or 254/255 for a line
    // coloured whole.
    int keywordLength = 0;
    // The line matched no statement form and is not a comment: it is printed as it stands.
    bool plainText = false;

    bool ok() const { return error == CheckError::None; }
};

// How the designer colours a statement cell: red struck out, red, grey, unchanged.
enum class LineClass { Plain, Gray, Red, Strike };

LineClass classify(const CheckResult& r);
// "STRIKE", "RED", "Gray" or "" (plain).
std::string_view lineClassText(LineClass c);

} // namespace fc
