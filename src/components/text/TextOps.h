#pragma once

#include <string>
#include <string_view>

// Small text operations on Windows-1251 bytes, with the program's meaning of a blank: any byte
// up to and including the space (control characters count as blanks when trimming).
namespace fc::text {

inline bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view trimView(std::string_view s);
std::string trim(std::string_view s);
std::string trimLeft(std::string_view s);
std::string trimRight(std::string_view s);

// Cut to `width` bytes or padded with blanks to it.
std::string fit(std::string_view s, std::size_t width);

inline bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}
inline bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}
// Latin and Cyrillic letters compared without case.
bool startsWithNoCase(std::string_view s, std::string_view prefix);
bool equalsNoCase(std::string_view a, std::string_view b);
// Byte offset of `what` in `s` without case, or npos.
std::size_t findNoCase(std::string_view s, std::string_view what, std::size_t from = 0);

// A decimal integer with an optional sign and nothing else (after trimming); false otherwise,
// also on overflow of a 64-bit value.
bool parseInt(std::string_view s, long long* out);

} // namespace fc::text
