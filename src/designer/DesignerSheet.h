#pragma once

#include "components/model/Sheet.h"

#include <string>

// How a designer sheet uses its columns: column 1 the statements, 2..MaxCol the form,
// MaxCol+1 the objects' placement records, 255 the fixed row heights.
namespace fc::designer {

constexpr int kStatementCol = 1;
constexpr int kFirstFormCol = 2;
constexpr int kHeightCol = 255;
// MaxCol stops here so that the object column stays left of the height column (and column
// 256, which keeps the undo snapshot's position).
constexpr int kMaxFormCol = 253;

inline int objectCol(const Sheet& s) { return s.maxCol() + 1; }

// A row whose column 1 is not blank holds a statement and no form cells.
bool isStatementRow(const Sheet& s, int row);
// The column-1 text of a row (formulas with "=", numbers unformatted).
std::string statementText(const Sheet& s, int row);

// The fixed height (twentieths of a point) kept in the height column, 0 for automatic.
double fixedHeight(const Sheet& s, int row);
void setFixedHeight(Sheet& s, int row, double twips);

// The settings every sheet of a designer workbook starts with (also each sheet a loaded file
// adds): column widths of the statement and the first form column, the extent.
void applyNewSheetDefaults(Sheet& s);

} // namespace fc::designer
