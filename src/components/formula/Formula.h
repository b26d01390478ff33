#pragma once

#include "components/model/Value.h"

#include <memory>
#include <string>
#include <string_view>

namespace fc {
class Workbook;
class Sheet;
} // namespace fc

// The formula engine: spreadsheet formulas over the workbook model.
namespace fc::formula {

// A parsed formula. A source that does not parse still compiles: it keeps the text and
// evaluates to #NAME?.
class Compiled;

std::shared_ptr<const Compiled> compile(std::string_view source); // source without "="
bool parsed(const Compiled& f);

// The source as a copy to a place (dRow, dCol) away must read: relative references move,
// absolute ones stay; a reference pushed off the sheet becomes #REF!.
std::string rebase(std::string_view source, int dRow, int dCol);

// Rows or columns inserted or deleted in a sheet; references into the moved cells follow,
// references into deleted cells become #REF!. `first`..`last` limit the change to those
// columns (row changes) or rows (column changes), for range shifts.
struct StructureChange {
    enum Kind { InsertRows, DeleteRows, InsertCols, DeleteCols } kind = InsertRows;
    int at = 1;
    int count = 1;
    int first = 1;
    int last = 65536;
    // The changed sheet's name, so that references such as Sheet2!A1 follow too; empty:
    // only references without a sheet prefix can be told to point there.
    std::string sheet;
};
// `sameSheet` tells whether the formula lives on the changed sheet; only references that
// point to the changed sheet move. A range that loses some of its rows or columns shrinks,
// one that gains inside it grows.
std::string adjust(std::string_view source, const StructureChange& change, bool sameSheet = true);

// Evaluates every formula of every sheet in dependency order, found while evaluating (so
// INDIRECT and OFFSET count); every cell of a cycle gets #REF!. Results are stored in the
// cells through Sheet::setFormulaResult.
void recalculate(Workbook& book);

// Evaluates a formula as if it stood in cell (row, col) of sheet `sheet` (1-based; another
// number means the current sheet), reading formula cells' stored results.
Value evaluate(std::string_view source, const Workbook& book, int sheet, int row, int col);

} // namespace fc::formula
