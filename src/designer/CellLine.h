#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace fc {

// One cell line of the table format, field by field as the file lays it out:
// "&" + column + ["<N>"] + text + "|" + borders LRTB + h + v + wrap + merge + [pattern] + ["|"
// fmt].
struct CellLine {
    int col = 0;
    int font = -1;                // "<N>" prefix, -1 without one
    std::string text;             // as in the file (code page 866)
    std::array<int, 4> borders{}; // left, right, top, bottom; 0 none
    char halign = 'l';            // 'l', 'c' or 'r'
    char valign = 'b';            // 't', 'c' or 'b'
    bool wrap = false;
    bool merged = false;                        // the merge fields are filled
    int mergeCols = 0;                          // further columns of the merged area
    int mergeRows = 0;                          // further rows
    int pattern = 0;                            // 0: no pattern fields
    std::uint32_t patternFg = 0, patternBg = 0; // file colour values
    std::string numberFormat;                   // empty for "General"
};

// Parses `line` (beginning with "&"); `colDigits` is 2, or 3 after ";col3". False when the
// column number cannot be read. Missing trailing fields keep their defaults. When the text
// itself holds "|", the first "|" followed by the fixed fields ends it.
bool parseCellLine(std::string_view line, int colDigits, CellLine& out);

// The line for `c`, or an empty text when it says nothing (the "|0000lb" rule). Merge counts
// must fit two characters (0..99).
std::string formatCellLine(const CellLine& c, int colDigits);

// "<N>" at the front of `s`: the number and the prefix length, or -1 and 0.
int fontPrefix(std::string_view s, std::size_t& length);

} // namespace fc
