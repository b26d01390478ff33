#pragma once

#include <string>

namespace fc {

class Workbook;

// A workbook that sets every part of the model to something other than its default: two
// sheets, styled cells of every kind, a formula, merges, row and column layout, print
// settings, view options and one drawn object of each interesting kind.
void makeRichWorkbook(Workbook& book);

// Compares `actual` with the golden file tests/data/<name>; FC_UPDATE_GOLDEN=1 rewrites it.
// Returns an empty string when equal, else a description of the first difference.
std::string compareGolden(const std::string& name, const std::string& actual);

} // namespace fc
