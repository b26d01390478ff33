#pragma once

#include "components/model/Types.h"

#include <string>

namespace fc {

class ActionHost;
class ResultSession;
class Sheet;

// What a double click (or Enter, a drawn button, a check box with "rerun") did.
enum class ActionResult {
    Nothing,          // no action, or no segment for the column
    EditInCell,       // the cell's in-cell editor was opened
    EditOverlay,      // the overlay editor was opened over the cell
    ColumnKey,        // a column that neither acts nor edits: key 135 + column went out
    SavedFirst,       // the user chose to save the unsaved edits; the action ended there
    OpenedReport,     // "VREK" / "NAK"
    RestoredFormulas, // ";rformula"
    Saving,           // ";save": the data save went out with what follows it
    Program,          // an outside program was started (or could not be: the user was told)
    Abandoned,        // a "%N" of the program found its cell empty: nothing was started
    Closed,           // ";close" without a program
};

// The double click on (row, col) of the result sheet: the row's action for that column, or
// the editor where the column is editable. Every step that may fail is guarded.
ActionResult cellAction(ResultSession& session, ActionHost& host, int row, int col);

// A click on a drawn button (kind 7) or picture (kind 11) of the result sheet: "BLOCK" makes
// it work once per program run, "SEL" selects the cell under its top-left corner, "ACT" and
// two digits act for that column; then that cell's double-click action runs.
ActionResult objectClick(ResultSession& session, ActionHost& host, int id);

// A check box (kind 9) or list box (kind 10) with a linked cell changed its value: a check
// box's cell becomes "1" or "0", the row is marked, totals follow, and "rerun" in the
// object's text runs the linked cell's action.
ActionResult objectValueChange(ResultSession& session, ActionHost& host, int id);

// Values of this window's row `from.row` go into the parent's active row by the pairs
// "p:q;p:q" (nothing to copy without pairs), and that row is marked; nothing when there is no
// parent.
void copyToParent(ResultSession& session, ActionHost& host, CellRef from, const std::string& pairs);

// A link cell: blue (0, 0, 255), underlined, not empty, in the data area.
struct Link {
    enum class Kind { None, Mail, Web };
    Kind kind = Kind::None;
    std::string target; // the address, or the location with "http://" in front when needed
};
Link linkAt(const Sheet& sheet, int row, int col);

// The row cursor of ";KURSOR": the row that had it loses it (its styles come back) and the
// active row, kept within the data rows, gets it: navy fill, "[White]" before each cell's
// number format, white borders.
void moveRowCursor(ResultSession& session, int activeRow);
// The row cursor goes (before a row's colouring changes under it).
void dropRowCursor(ResultSession& session);

} // namespace fc
