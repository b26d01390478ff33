#pragma once

namespace fc {

class Workbook;

// `Sheet_Property`: the result sheet's defaults, set each time a result is read into the
// workbook before the answer's own settings: A4 page with the result margins, black-and-white
// printing without grid lines, the view of a result (column headings only, no grid, no zeros),
// the permissions of a result (no in-cell editing, moving, deleting or heading edits: editing
// is opened cell by cell where the answer allows it) and the default font "FixedSys" 10.
void Sheet_Property(Workbook& book);

// The permissions alone, for a result that comes back whole from the answer cache.
void resultPermissions(Workbook& book);

} // namespace fc
