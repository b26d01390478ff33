#pragma once

namespace fc {

class ResultSession;
class Sheet;

// Marked records: rows filled yellow (255, 255, 0) over columns 2 to MaxCol.
bool isMarkedRow(const Sheet& sheet, int row);

// Right double-click on a data row (or Ctrl+Enter on the active cell), `col` the clicked
// column: a one-row record, or a longer one from its first or last row, is marked or unmarked
// whole; a row inside a longer record, or no data row, is left alone (false).
bool markRecord(ResultSession& session, int row, int col);

// "Только выделенные стpоки": the report run's flag when there is a run (it follows the window
// through its hidden state), else the session's own.
bool onlyMarkedRows(const ResultSession& session);
// The check item: on hides the unmarked rows and appends the status note; off runs the filter
// again, which shows the rows by the filter alone.
void setOnlyMarked(ResultSession& session, bool on);
// Hides the shown data rows that are not marked, the sheet's last row excepted.
void hideUnmarkedRows(ResultSession& session);
// "Снять выделение стpок": every mark cleared and the mode switched off.
void clearMarks(ResultSession& session);

// A new answer filled the sheet: no marks, the mode off, no sort column, the quick sum hidden.
void newAnswer(ResultSession& session);

} // namespace fc
