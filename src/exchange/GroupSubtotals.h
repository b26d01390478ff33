#pragma once

#include <string>

namespace fc {

class Sheet;
struct ReportSettings;

// The group subtotals of a turbo-variant result. Rows whose column-1 text holds "[1]", "[2]"
// or "[3]" are subtotal rows of that level; each gets its totals level in the action column.
// With `formulas`, each totals column of such a row gets a SUMIF formula over the rows since
// the previous row of its level: level 1 adds the rows that are not level-2 rows, level 2
// the level-1 rows, level 3 the level-2 rows. Without, the filter computes the totals later.
void addGroupSubtotals(Sheet& sheet, const ReportSettings& settings, bool formulas);

// The formula of a level-`level` subtotal in (row, col) summing from `start`.
std::string subtotalFormula(int level, int start, int row, int col);

} // namespace fc
