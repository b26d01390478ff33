#pragma once

#include "components/model/Types.h"

#include <string_view>

namespace fc {

class Sheet;

// A window opened to work on one row of the window that opened it hands values back: for each
// pair "p:q" of `columnMap` (pairs separated by ";") the text of `own` at (from.row, p) is
// entered into `owner` at (to.row, q), a number as its value; a p that is no column number means
// from.col, a q that is none to.col. Then the owner's row gets the modified mark "X" and, when the
// owner holds data it can save, the owner's sheet mark too.
void copyToOwner(const Sheet& own, CellRef from, Sheet& owner, CellRef to,
                 std::string_view columnMap, bool ownerSaves);

} // namespace fc
