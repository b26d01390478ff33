#pragma once

#include <string>
#include <string_view>
#include <vector>

// Form rows of the turbo variant as "printstr" statements of the report language, so that the
// server prints them itself: each tab-separated field becomes one statement ending in
// "[ch 9]", and "printstr [ch 10]" ends the row.
namespace fc::printstr {

// The statement lines of one field. "^" followed by a one- or two-character name splices in
// that variable; other text becomes quoted literals (a quote inside one as "[ch 39]"); a field
// of placement records ("OBJ=...") gives one quoted record a line.
std::vector<std::string> compileField(std::string_view field);

// One statement line read back.
struct Piece {
    bool ok = false; // a "printstr" line
    bool endsField = false;
    bool endsRow = false; // "printstr [ch 10]"
    std::string text;     // what it adds to the field ("^" before variable names)
};
Piece parseLine(std::string_view line);

// The last field ends a row with this line.
constexpr const char* kRowEnd = "printstr [ch 10]";

} // namespace fc::printstr
