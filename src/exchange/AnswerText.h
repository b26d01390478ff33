#pragma once

#include <optional>
#include <string>
#include <string_view>

// Small text helpers of the answer readers. Answer lines are bytes (code page 866 as sent,
// Windows-1251 once converted); only ASCII is folded, and every byte up to the blank counts
// as a blank when trimming, as the server pads with blanks and control characters alike.
namespace fc::answer {

std::string_view trimmed(std::string_view s);
std::string_view rightTrimmed(std::string_view s);
std::string upperAscii(std::string_view s);
inline bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}
bool startsWithNoCase(std::string_view s, std::string_view prefix);
bool contains(std::string_view s, std::string_view part);

// A whole field as a number, blanks around allowed; nothing when it is not one or lies
// beyond the range of int.
std::optional<int> parseInt(std::string_view s);
std::optional<double> parseNumber(std::string_view s);
// The leading digits of `s` (after blanks), as a number; nothing without a digit.
std::optional<int> leadingInt(std::string_view s);

// `s` from the 1-based position `pos` for `count` characters, clipped to the text.
std::string_view mid(std::string_view s, std::size_t pos, std::size_t count = std::string::npos);

} // namespace fc::answer
