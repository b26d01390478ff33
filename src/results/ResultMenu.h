#pragma once

#include <string>
#include <string_view>

namespace fc {

class ResultSession;

// The pop-up menu of a result sheet: which of its items a user may use where, and what the
// editing items and the server's items do to the sheet. Rows and columns are 1-based.
namespace menu {

// How the menu opens over the current selection.
struct PopupState {
    bool serverItems = true; // the server's items (";ALLOWPOP=" keeps them to one column)
    bool editItems = true; // "Копиpовать", "Вставить", "Удалить" and their separator
    bool hideColumn = true; // "Скpыть колонку"
    bool copy = true;       // enabled
    bool paste = false;     // enabled
    bool remove = false;    // enabled ("Удалить")
};
PopupState popupState(const ResultSession& session, bool sheetFocused);

// "Копиpовать" was used: "Вставить" is open from now on (the text itself goes to the
// clipboard through the window).
void noteCopy();
// A copy was made in this program.
bool copied();

// "Вставить": tab-separated lines pasted as values from the top-left cell of the first
// selection range, only into editable columns of data rows whose action leaves the column to
// editing; each row written is marked. The number of rows marked.
int pasteValues(ResultSession& session, std::string_view tsv);
// "Удалить": the values of the selection go, within the editable columns of the data rows;
// each row touched is marked.
int clearSelection(ResultSession& session);
// "Скpыть колонку": the first column of the first selection range is hidden.
void hideColumn(ResultSession& session);

// A server item's value: its caption up to "{", trimmed, a trailing "-" removed.
std::string itemValue(std::string_view caption);
// A server item picked: its value is entered into every cell of every selection range that
// lies in the data area; each row touched is marked, the totals follow. The rows marked.
int writeServerItem(ResultSession& session, std::string_view caption);

} // namespace menu
} // namespace fc
