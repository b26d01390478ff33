#pragma once

#include "components/model/Workbook.h"

#include <string>

namespace fc::test {

// A workbook that uses everything the Excel writers carry: two sheets, every kind of value,
// formulas (one the format cannot express), fonts, colours, borders, fills, alignment,
// number formats, merges, widths, heights, hidden rows and columns, frozen panes, page setup.
// Formula results are set by hand (recalculation is off).
void fillSample(Workbook& book);

// 10,000 Cyrillic and Latin characters: crosses record boundaries in the string table.
std::string longText();

} // namespace fc::test
