#pragma once

#include "components/model/Types.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

class ResultSession;
class Sheet;

// The newest of the selection's ranges cut back so that it overlaps none of the earlier ones:
// a side whose two corners lie in an earlier range moves past it; with one corner inside, the
// side that loses fewer cells moves. Empty when nothing of it is left.
CellRange trimNewest(const CellRange& newest, const std::vector<CellRange>& earlier);

// What a picked cell adds: its number, or its text as the quick sum reads it ("" and "-" are
// 0, "50+3" is 50, "(150)" is 150); none for a text that is no number (it is skipped).
std::optional<double> quickSumValue(const Sheet& sheet, int row, int col);

// The sum over the visible rows of the ranges (a cell in several ranges counts once), rounded
// to the calculator's 6 decimals.
double quickSum(const Sheet& sheet, const std::vector<CellRange>& ranges);

// A range added with Ctrl held: the newest range is trimmed and the selection rebuilt from
// the ranges left; the panel shows the sum, or hides when it is 0.
void quickSumRangeAdded(ResultSession& session);
// A selection change without Ctrl: the panel hides.
void hideQuickSum(ResultSession& session);

// The panel's text: "# ### ##0.##".
std::string quickSumText(double value);

} // namespace fc
