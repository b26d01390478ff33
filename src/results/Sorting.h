#pragma once

#include <string>

namespace fc {

class ResultSession;
struct SortState;

// A click on a heading cell (row in the heading rows, col a data column) chooses the sort
// column: its keys go to MaxCol + 3 (every row of a multi-row record carrying the key of its
// first row, the rows numbered in MaxCol + 1), and the selection becomes the heading cells
// followed by one range of the column per group. False when the cell is no heading cell.
bool chooseSortColumn(ResultSession& session, int row, int col);

// "По возpастанию" / "По убыванию": each group of the selection sorted on the chosen column,
// records kept together and in order, drawn objects moved with their rows; then the filter
// runs again and the status note tells the order. Without a chosen column the sheet only
// scrolls to the top and the filter runs again.
void sortRecords(ResultSession& session, bool descending);

// "   ^ Соpтиpовка по: \"heading\"" (or "v" descending); empty when not sorted.
std::string sortNote(const SortState& sort);
// `status` without an earlier sort note, then with `note`.
std::string replaceSortNote(const std::string& status, const std::string& note);

} // namespace fc
