#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fc {

class Sheet;

// Where a result sheet keeps what is not data. Data occupy columns 2 to MaxCol and rows from
// the first data row to MaxRow; the program's own cells lie beyond them.
namespace result {

constexpr int kObjectIdsCol =
    253;                      // ids of the drawn objects whose top lies in the row, "|" after each
constexpr int kMarkCol = 254; // "X": the row was edited; in MaxRow + 1: the sheet was
constexpr int kActionCol = 255; // the row's action text, drill-down keys and totals level
constexpr int kStateCol = 256;  // the window's hidden state block, rows 1 to 42
// The widest result: MaxCol + 1 to MaxCol + 3 (the sort helpers) stay clear of column 253.
constexpr int kMaxDataCol = 249;
// Rows below MaxRow that belong to the window (marks, filter state) and never to the data.
constexpr int kAuxRows = 120;

// The sort helpers beside the data.
int runningNumberCol(const Sheet& s);
int heightCol(const Sheet& s);
int sortKeyCol(const Sheet& s);

// Rows 1 to lastHeadingRow are headings (none when it is 0); data start at firstDataRow.
int firstDataRow(const Sheet& s);
int lastHeadingRow(const Sheet& s);

// The horizontal border between row r and row r + 1 over columns c1..c2: the bottom border of
// r or the top border of r + 1 set in any of them.
bool borderBelow(const Sheet& s, int r, int c1, int c2);

// A group heading: a column-2 text that begins with two blanks and is not blank.
bool isGroupHeading(const Sheet& s, int r);
// A separator row: the column-2 text "-".
bool isSeparator(const Sheet& s, int r);
// A totals row: "ИТОГО:" in the upper-cased texts of columns 2 to MaxCol ("Итого:" counts).
bool isTotalsRow(const Sheet& s, int r);
// "ИТОГО:" in the text, in any letter case.
bool hasTotalsMark(std::string_view text);
// The totals level in the row's action text: the number after the last "}" up to the next
// "|"; 1 when that is not a positive number.
int totalsLevel(const Sheet& s, int r);

// The heading of a data column: the texts of its heading rows whose cells are not merged
// with their neighbours, joined by blanks and trimmed.
std::string columnHeading(const Sheet& s, int col);

// A run of rows with no horizontal border between them (over columns c1..c2).
struct Block {
    int first = 0, last = 0;
};
// The blocks of the data rows, top to bottom.
std::vector<Block> blocks(const Sheet& s, int c1, int c2);

} // namespace result

} // namespace fc
