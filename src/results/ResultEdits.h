#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc {

class ResultSession;
class Sheet;

// Editing a result sheet: where the answer lets the user edit, what an edit stores and how
// it marks the row for the data save. Rows and columns are 1-based; texts Windows-1251.
namespace edit {

// The answer made the column editable (";EDIT" or ";EDIT=").
bool columnEditable(const ResultSession& session, int col);
// The window holds data it can send back (";SAVE=" or ";SAVEBTN="): its edits mark the sheet.
bool holdsEditableData(const ResultSession& session);
// "X" below the last row: the sheet has unsaved edits.
bool sheetModified(const Sheet& sheet);
void setSheetModified(Sheet& sheet, bool on);
// The row's mark "X" (column 254), and the sheet's when the window holds editable data.
void markRow(ResultSession& session, int row);

// A key typed into (row, col) opens the in-cell editor: the column is editable, the row is a
// data row and the row's action leaves the column to editing.
bool typingEdits(const ResultSession& session, int row, int col);

// An edit of (row, col) opens: a formula in the cell is kept for ";rformula" once the edit
// ends. The editor's text: `typed` when a key opened it, else the cell's displayed value
// ("0" gives an empty editor).
std::string startEdit(ResultSession& session, int row, int col,
                      const std::optional<std::string>& typed);
// The entry an edit leaves in (row, col): "0" for an emptied cell whose number format has a
// "0", and the first "," as "." where the format has "0.".
std::string finalEntry(const Sheet& sheet, int row, int col, std::string typed);
// The in-cell editor closes with `typed`: the entry is stored, the row marked, in-cell editing
// switched off, the totals recomputed and the sheet recalculated. The entry stored.
std::string endEdit(ResultSession& session, int row, int col, const std::string& typed);
// The in-cell editor closes without storing: its formula is not kept.
void cancelEdit(ResultSession& session);
// The overlay editor `Edit2` is committed with `text` for (row, col): an empty text stores "0"
// in a cell with a number format other than "General" and empties a "General" one.
void commitOverlay(ResultSession& session, int row, int col, const std::string& text);

// ";rformula": every kept formula goes back into its cell, from row FixedRows + 1 to MaxRow;
// the number restored.
int restoreFormulas(ResultSession& session);

// The font of the overlay editor for a cell font name: "FIXEDSYS", "MS SANS SERIF" and
// "SYSTEM" stay, "ARIAL" and "COURIER NEW" get " Cyr", anything else becomes "FixedSys".
std::string overlayFontName(std::string_view name);

} // namespace edit
} // namespace fc
