#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Small text helpers shared by the template readers and writers. Template lines are bytes
// (code page 866 in the file, Windows-1251 once converted); only ASCII is folded or trimmed.
namespace fc::tpl {

// Lines of a file's bytes: CR LF, a lone LF or a lone CR ends a line; a last line without
// an end counts. The views point into `bytes`.
std::vector<std::string_view> splitLines(std::string_view bytes);

std::string_view trimmed(std::string_view s);
std::string_view rightTrimmed(std::string_view s);
std::string upperAscii(std::string_view s);
bool startsWith(std::string_view s, std::string_view prefix);
// Case-insensitive (ASCII) prefix test.
bool startsWithNoCase(std::string_view s, std::string_view prefix);
bool isBlank(std::string_view s);
// The line "PBK" (blanks around allowed): a page break, an empty row that starts a new page.
bool isPageBreakLine(std::string_view s);

// A whole field as an integer or a number, blanks around allowed; nullopt when it is not one
// or lies beyond the range of int.
std::optional<int> parseInt(std::string_view s);
std::optional<double> parseNumber(std::string_view s);

// Decimal text of a number as the files carry it: up to 15 significant digits, "." as the
// separator, no exponent for ordinary magnitudes.
std::string formatNumber(double d);

// `n` right-aligned in `width` characters (wider numbers are written whole).
std::string padLeft(long long n, int width);
// `s` padded with blanks on the right to `width` characters.
std::string padRight(std::string s, int width);

} // namespace fc::tpl
