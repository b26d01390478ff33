#pragma once

#include "components/model/Style.h"

#include <QString>

#include <string>
#include <utility>
#include <vector>

namespace fc {

class Sheet;
class Workbook;

// The designer window's sheet commands that need no widgets.
namespace designercmd {

// The save dialog's first filter: ".rpt" appended unless the name ends in "RPT" (any case).
QString withRptExtension(const QString& name);
// The second filter: ".xls" appended unless the name ends in ".xls" (any case).
QString withXlsExtension(const QString& name);

// The cells right of the form, columns MaxCol+1 to 100 of rows 1 to MaxRow+1, cleared before
// a workbook file is written or printed.
void clearRightOfForm(Sheet& s);
// F10: every sheet cleared right of its form and its used area selected.
void prepareForPrint(Workbook& book);

// F13: the selected whole columns (MaxCol less their number) or whole rows (MaxRow less
// theirs) go. False when the selection is neither.
bool deleteSelectedRowsOrCols(Sheet& s);
// F14: a column before the selected whole column (MaxCol + 1; the height column stays at
// column 255) or a row before the selected whole row (MaxRow + 1).
bool insertRowOrCol(Sheet& s);

// F18: each selected row's current height into its height column; F19: 0 into it; F20:
// whether any selected row has a fixed height.
void fixSelectedRowHeights(Sheet& s);
void unfixSelectedRowHeights(Sheet& s);
bool anySelectedRowFixed(const Sheet& s);

// F9 on OK: the new default font (name and size) as the current sheet takes it. On the
// first sheet the workbook default font changes and every red or grey statement row takes
// its name and size; on another sheet the red or grey statement rows and the form cells in
// exactly the old default font take them, and so does cell row 1, column 1.
void applyDefaultFont(Workbook& book, const std::string& name, double size);
// The font the F9 dialog starts from.
Font defaultFontOf(const Workbook& book);

// "Вставить": rows to insert before pasting `lines` lines into a selection of `rows` rows.
int rowsToInsertForPaste(int lines, int rows);
// Lines of clipboard text (CR LF or LF; a last line break ends the last line).
int clipboardLines(const QString& text);

// The least MaxCol and MaxRow that keep everything the sheet holds within its extent: cells
// with content or formats, merged areas, fixed heights, page breaks, the top rows of drawn
// objects and placement records waiting in the object column.
struct Extent {
    int cols = 1;
    int rows = 1;
};
Extent usedExtent(const Sheet& s);
// F7: MaxCol and MaxRow from the columns and rows dialog, the records waiting in the object
// column moving with it. A count that would cut used cells changes nothing and gives the
// message to show (empty when applied).
std::string setExtent(Sheet& s, int cols, int rows);

// Placement records waiting in a sheet's object column ("OBJ=..."), by row, taken out while a
// workbook file is written and put back afterwards.
using WaitingRecords = std::vector<std::pair<int, std::string>>;
WaitingRecords takeWaitingRecords(Sheet& s);
void putWaitingRecords(Sheet& s, const WaitingRecords& records);

// The view settings of a designer workbook: white background, headings 255 high and 450
// wide, no grid lines, both scroll bars.
void applyDesignerView(Workbook& book);

} // namespace designercmd
} // namespace fc
