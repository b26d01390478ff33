#pragma once

#include "components/model/Style.h"

#include <optional>
#include <string>
#include <string_view>

namespace fc {

class Sheet;
class StatementColourer;

// What the formula line editor does to a designer sheet, without the widget: storing its
// text, splitting and joining statement lines, where its move keys take it, and the jumps
// to a file line.
namespace formulaline {

// The editor takes at most this many characters.
constexpr int kMaxLength = 218;

// Where the editor edits a cell of `row`: column 1 for a statement row (unless in turbo
// mode), else the cell itself. A statement row's editor is always shown across the row, form
// cells or not: what a keystroke changes must be in sight.
struct Target {
    int row = 0;
    int col = 0;
    bool statement = false; // the editor spans the sheet over column 1
};
Target target(const Sheet& s, int row, int col, bool turbo);
// Whether the editor over (row, col) spans the sheet as a statement's does: on a statement
// row, and on column 1 of any row once the editor holds text (a new statement being typed
// stays in sight); never in turbo mode, which edits cells where they are.
bool spansSheet(const Sheet& s, int row, int col, bool turbo, std::string_view editorText);

// The editor font name for a cell font.
std::string editorFontName(std::string_view cellFont);

// The cell's text as the editor shows it.
std::string cellText(const Sheet& s, int row, int col);

// Leaving the editor: the text goes into the cell (a blank text clears the value and the
// row stays); column 1 is recoloured by the line's class, a line that was red or grey going
// back to the default colour when it is plain now.
void store(Sheet& s, int row, int col, std::string_view text, StatementColourer& colourer);
// The statement colour of row `row` from its column-1 text.
void recolour(Sheet& s, int row, StatementColourer& colourer);

// Enter on a line: the text up to the first line break stays in the cell, a new row is
// inserted below (MaxRow + 1) and takes the rest in the same column. Returns the new row.
// A full sheet has no room for a row: the whole text stays and its row is returned.
int split(Sheet& s, int row, int col, std::string_view text, StatementColourer& colourer);

// Delete at the end of a statement line: when the next row exists and its form cells are
// empty, the line gets a blank and the next row's column-1 text, and the next row goes
// (MaxRow - 1). Returns the joined text, or nothing when the rows stay as they are (also
// when the joined line would be longer than the editor takes).
std::optional<std::string> joinNext(Sheet& s, int row, std::string_view text);

// Ctrl+Y: the row goes (MaxRow - 1).
void deleteRow(Sheet& s, int row);

// Whether columns 2 to MaxCol of the row are blank.
bool formCellsBlank(const Sheet& s, int row);

// The row loaded from file line `line`: the last row whose heading number is not greater.
// Row 1 when no row qualifies.
int rowForFileLine(const Sheet& s, int line);
// The line number typed with Alt held, one more digit on (negative: none yet). It stops
// growing past any line a template can have, so that a held key cannot overflow it.
int appendLineDigit(int number, int digit);

enum class Move { Up, Down, PageUp, PageDown, Left, Right, CtrlHome, CtrlEnd };
struct Place {
    int row = 1;
    int col = 1;
    int caret = 0; // -1: at the end of the text
};
// Where a move key takes the editor from (row, col) with the caret at `caret` of a text of
// `length` characters. Nothing when the key stays in the editor (Left and Right inside the
// text) or the move would leave the sheet's extent.
std::optional<Place> move(Move key, int row, int col, int caret, int length, int maxRow, int maxCol,
                          int pageRows);

} // namespace formulaline
} // namespace fc
