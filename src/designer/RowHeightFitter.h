#pragma once

#include "components/model/TextMeasurer.h"

#include <vector>

namespace fc {

class Sheet;
class MergeIndex;

// Gives the automatic rows of a loaded sheet the height their texts need: the tallest font
// of the row, more lines for wrapped texts, and for a wrapped area merged over several rows
// an equal share of its height in each of them. Rows marked fixed keep their height.
void fitAutomaticRows(Sheet& sheet, int lastRow, const std::vector<bool>& fixedRows,
                      const MergeIndex& merges, const TextMeasurer& measurer);

} // namespace fc
