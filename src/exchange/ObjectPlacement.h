#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace fc {

class Sheet;
struct ReportSettings;

// Placement records of drawn objects as forms carry them: six fields each followed by "|"
// (left and right edge in column units, the top edge's fraction of its row, the height in
// rows, the object number, the object kind), the record ended by "[".
struct PlacementRecord {
    double left = 0, right = 0, top = 0, height = 0;
    int object = 0;
    int kind = 0;
};

// The records of a text ("OBJ=" in front allowed); nothing unless the whole text is records.
std::optional<std::vector<PlacementRecord>> parsePlacements(std::string_view text);

// Places copies of the form's objects where the result's cells hold placement records: each
// record puts the form object of that number at the record's row, and the cell is emptied.
// Returns the number of objects placed.
int placeFormObjects(Sheet& result, const Sheet& form, int lastRow);

// ";LISTBOX[": the list boxes of the sheet named as an answer's list (their caption) take its
// lines as their items.
void fillListBoxes(Sheet& sheet, const ReportSettings& settings);

} // namespace fc
