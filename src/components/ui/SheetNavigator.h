#pragma once

#include "components/model/Types.h"

namespace fc {

class Sheet;
class SheetLayout;

// Where the keyboard leads on a sheet: hidden rows and columns are skipped, rows past MaxRow
// and columns past MaxCol are never entered, and a merged area counts as one cell.
class SheetNavigator {
public:
    SheetNavigator(const Sheet& s, const SheetLayout& l) : sheet_(s), layout_(l) {}

    // One cell on (dRow, dCol each -1, 0 or +1); stays put at the edge.
    CellRef step(CellRef from, int dRow, int dCol) const;
    // Ctrl+arrow: to the end of the run of filled cells, or to the next filled cell, or to
    // the edge of the sheet.
    CellRef dataEdge(CellRef from, int dRow, int dCol) const;
    // `count` shown rows on (negative: up), stopping at the first or last row.
    int rowsOn(int row, int count) const;
    CellRef home(CellRef from) const; // first column of the row
    CellRef end(CellRef from) const;  // last column of the row
    CellRef first() const;            // Ctrl+Home: the first cell past the frozen block
    CellRef last() const;             // Ctrl+End: the last used cell within the extent
    // The merge's first cell when `at` lies in a merged area.
    CellRef anchorOf(CellRef at) const;
    // Grows a range until no merged area sticks out of it.
    CellRange withMerges(const CellRange& range) const;

private:
    bool filled(int r, int c) const;
    int firstRow() const;
    int firstCol() const;

    const Sheet& sheet_;
    const SheetLayout& layout_;
};

} // namespace fc
