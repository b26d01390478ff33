#pragma once

#include "components/model/Types.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Cell references as formula text spells them: A1, $A$1, A1:B5, A:A, 1:1, Sheet2!A1,
// 'My sheet'!A1:B2. Rows and columns are 1-based.
namespace fc::formula {

// One end of a reference. In a column range (A:B) the row is 0, in a row range (1:3) the
// column is 0.
struct RefEnd {
    int row = 0;
    int col = 0;
    bool absRow = false;
    bool absCol = false;
};

// A reference as it stands in a text, with the byte spans that rewriting needs.
struct RefText {
    enum Kind : std::uint8_t { Cell, Area, Cols, Rows };
    Kind kind = Cell;
    bool hasSheet = false;
    std::string sheet; // unquoted
    RefEnd a, b;       // b equals a for a single cell
    // Offsets from the start of the reference: the sheet prefix (with its "!") ends at
    // aBegin; the ends are [aBegin, aEnd) and [bBegin, bEnd); `length` covers everything.
    std::size_t aBegin = 0, aEnd = 0, bBegin = 0, bEnd = 0, length = 0;
};

// Letters, digits, "_", "." and every byte of the upper half: what names are made of.
bool isNameChar(unsigned char ch);

// A sheet prefix ("Sheet2!" or "'My sheet'!") at `pos`: its length with the "!", 0 if none.
std::size_t scanSheetPrefix(std::string_view text, std::size_t pos, std::string& sheet);

// A reference at `pos`, sheet prefix included: its length, 0 if none starts there. A name
// that merely begins like a reference ("A1B", "LOG10(") is no reference.
std::size_t scanReference(std::string_view text, std::size_t pos, RefText& out);

// A whole text that is one reference, as INDIRECT reads it; false for anything else.
bool parseReference(std::string_view text, RefText& out);

// The same in R1C1 notation ("R2C3", "R[-1]C", "R1C1:R2C2"), relative parts counted from
// (baseRow, baseCol). Ends off the sheet make it fail.
bool parseReferenceR1C1(std::string_view text, int baseRow, int baseCol, RefText& out);

// The cells a reference of `kind` covers, normalized; a column range spans every row.
CellRange rangeOf(RefText::Kind kind, int r1, int c1, int r2, int c2);
inline CellRange rangeOf(const RefText& r) {
    return rangeOf(r.kind, r.a.row, r.a.col, r.b.row, r.b.col);
}

std::string columnName(int col); // 1 -> "A", 256 -> "IV"
// The text of one end for a reference of `kind`, "$" where absolute.
std::string formatEnd(const RefEnd& e, RefText::Kind kind);
// A sheet name as a prefix needs it: quoted (with '' for ') unless it is a plain name.
std::string quoteSheet(std::string_view name);

} // namespace fc::formula
