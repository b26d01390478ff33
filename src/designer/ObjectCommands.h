#pragma once

#include "components/model/Types.h"

#include <string>

namespace fc {

class Sheet;
class TextMeasurer;

// The designer's own work on drawn objects, on the model only: where an inserted picture
// goes, the cell kept under a selected object, deleting with the selection. Rows and columns
// are 1-based; object positions are sheet units.
class ObjectCommands {
public:
    // Adds a picture of `widthPx` x `heightPx` pixels (at 100 percent, columns measured with
    // the sheet's default font through `m`) with its top-left corner at the top-left corner
    // of the selection; it becomes the only selected object. Returns its id (0 for an empty
    // picture).
    static int insertPicture(Sheet& s, std::string bytes, int widthPx, int heightPx,
                             const TextMeasurer& m);

    // When an object is selected, the cell under its top-left corner becomes the selected
    // cell and the objects stay selected; no selection-change event is raised meanwhile.
    // False when no object is selected.
    static bool keepCellUnderObject(Sheet& s);

    // "Удалить": clears everything in the selection, the drawn objects whose top-left corner
    // lies in it included, and the selected objects. Returns the number of objects removed.
    static int deleteSelection(Sheet& s);

    // The width in sheet units that `px` pixels take from the left edge of `col` onwards.
    static double columnsFor(const Sheet& s, int col, double px, int unitPx);
};

} // namespace fc
