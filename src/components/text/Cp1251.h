#pragma once

#include <QString>

#include <string>
#include <string_view>

// Windows-1251, the program's own text encoding, and its meeting points with Unicode.
namespace fc::cp1251 {

// Unicode code point of a Windows-1251 byte (0x98, unassigned, maps to U+FFFD).
char32_t toUnicode(unsigned char b);
// The Windows-1251 byte of a code point, or `fallback` when it has none.
unsigned char fromUnicode(char32_t u, unsigned char fallback = '?');

std::string toUtf8(std::string_view text);
// Invalid UTF-8 sequences and characters outside Windows-1251 become '?'.
std::string fromUtf8(std::string_view utf8);
QString toQString(std::string_view text);
std::string fromQString(const QString& s);

unsigned char upper(unsigned char b);
unsigned char lower(unsigned char b);
std::string upper(std::string_view s);
std::string lower(std::string_view s);

// Alphabetic order for sorting: Latin and Cyrillic letters by their alphabets (Ё after Е),
// case folded when `caseSensitive` is false. Negative, zero or positive.
int collate(std::string_view a, std::string_view b, bool caseSensitive = false);

} // namespace fc::cp1251

namespace fc {
// A Windows-1251 text from a UTF-8 literal: the program's fixed texts are written in the
// sources as they read and converted once where they are used.
inline std::string w(std::string_view utf8) { return cp1251::fromUtf8(utf8); }
} // namespace fc
