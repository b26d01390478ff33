#pragma once

#include "components/model/Types.h"

#include <string>
#include <string_view>

namespace fc {

class Prompter;
class Sheet;
struct ReadState;
struct ReportSettings;
struct Style;

// What both result readers do to a row of the result sheet.
namespace answers {

// Hidden columns of a result sheet.
constexpr int kObjectIdCol = 253;
constexpr int kMarkCol = 254;   // "X": the row was modified
constexpr int kActionCol = 255; // the row's drill-down keys and totals level
constexpr int kStateCol = 256;  // the window's hidden state block
// Columns the program treats as the result's (its data, the object column and the sort
// helpers); the hidden ones above belong to the window.
constexpr int kLastAnswerCol = 252;
// The largest result: the rows below MaxRow and the columns right of MaxCol are the window's
// own (the marks in MaxRow + 1, the filter in MaxRow + 7 and + 8, the sort helpers in
// MaxCol + 1 to + 3, left of the hidden columns).
constexpr int kMaxResultRows = kMaxRows - 8;
constexpr int kMaxResultCols = kLastAnswerCol - 3;

// A formula line of row `row`: "R" in double quotes becomes the row number and "{" + three
// digits + "}" the row plus that number.
std::string substituteRow(std::string_view formula, int row);

// "{*" + text + "*}" anywhere in `text` gives the upper-cased text between them; other text
// is returned as it is.
std::string literalText(std::string_view text);

// Stores a drill-down key of column `col` in the row's action column as "{col}key|"; a key
// beginning with "*" loses it and marks the row modified.
void addKey(Sheet& sheet, int row, int col, std::string_view key);

// Enters a cell's text as the control does: a formula, a number (blanks around it allowed, so
// that totals see it) unless the cell's format is text ("@"), or text. Empty text leaves the
// cell alone.
void enterCell(Sheet& sheet, int row, int col, std::string_view text);
// The same for a cell whose format is known to be text or not.
void enterCell(Sheet& sheet, int row, int col, std::string_view text, bool textFormat);

// What the user is told when an answer did not fit: `rowsShown` rows were kept of a longer
// answer (`rows`), cells right of the last result column were left out (`cols`).
std::string cutMessage(bool rows, int rowsShown, bool cols);
// The same in a few words, for the status bar's narrow notice.
std::string cutNotice(bool rows, int rowsShown, bool cols);
// Tells it when the reading left something out (a warning, and the status notice unless the
// answer set one).
void reportCut(const ReadState& st, ReportSettings& settings, Prompter& prompter);

// The end steps of a sheet: the extent, the remembered widths, the column formats, the
// editable columns, the position key and the sort.
void finishSheet(Sheet& sheet, ReadState& st, ReportSettings& settings, bool sort);

// Where the cursor goes after loading: the ";POS=" row (and its column), else the row whose
// column 2 holds the text a keep-position re-run remembered (in the remembered column), else
// the first data row.
CellRef cursorAfterLoading(const Sheet& sheet, const ReportSettings& settings);

} // namespace answers
} // namespace fc
