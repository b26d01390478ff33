#pragma once

#include "designer/ObjectEdges.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

class Sheet;
struct DrawnObject;

// Where a drawn object of a designer sheet starts, as the object column keeps it: left and
// right edge in column units, the fraction of its top row above its top edge, its height in
// rows (a picture's own height in pixels), its id in the object workbook and its kind.
struct PlacementRecord {
    double left = 0, right = 0, topFraction = 0, height = 0;
    int id = 0;
    int kind = 0;

    // "l|r|t|h|id|kind|[" with two decimals.
    std::string format() const;
    // The records of an object-column text ("OBJ=" in front is skipped); unreadable records
    // are left out.
    static std::vector<PlacementRecord> parseAll(std::string_view text);
};

// Carrying drawn objects between a designer sheet and its object workbook, the direct way:
// the copies and pastes the file formats need, without the designer's chain of key messages.
namespace objects {

struct Collected {
    std::map<int, std::string> records; // row -> the row's placement records
    int misplaced = 0; // id of an object starting on a statement row or in column 1, or 0
};

// Copies the objects of `sheet` into `objectSheet` (which gives them new ids) and makes their
// placement records. Stops at the first misplaced object; statement rows may carry objects
// in the turbo variant. The records hold the objects' edges (left before right, top above
// bottom); the copies keep their own corner order, which is a line's or an arc's direction.
Collected collect(const Sheet& sheet, Sheet& objectSheet, bool statementRowsAllowed);

// Places the objects named by the placement records in the object column of `sheet` (rows 1
// to MaxRow), copied from `objectSheet`, and clears the column. Each object takes the
// record's edges in its own copy's corner order. An object reaching below MaxRow is cut back
// to end there; records naming no object are dropped.
int place(Sheet& sheet, const Sheet& objectSheet);

// Whether the object column of `sheet` still holds records ("OBJ=...") that were read but not
// placed (their object block could not be read).
bool hasWaitingRecords(const Sheet& sheet);

} // namespace objects
} // namespace fc
