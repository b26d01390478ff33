#pragma once

#include <string>
#include <string_view>

namespace fc {

class Workbook;

// What the main window's sheet commands do to a designer's workbook. The designer then
// refreshes its sheet properties (new sheets get the designer's defaults there).

// "Добавить стpаницу": one sheet more at the end, tabs shown, the new sheet current.
void addDesignerSheet(Workbook& book);
// "Вставить стpаницу": a new sheet before the current one, tabs shown, the new sheet current.
void insertDesignerSheet(Workbook& book);
// "Удалить стpаницу": the current sheet goes unless it is the only one. False when it stays.
bool deleteDesignerSheet(Workbook& book);
// "Масштаб": the view scale in percent.
void setDesignerScale(Workbook& book, int percent);
// "Сетка": grid lines shown and printed, on every sheet.
void setDesignerGrid(Workbook& book, bool on);

// The designer caption under the turbo format switch: down appends " [ext]" unless the
// caption holds "[ext]" already; up cuts the caption before "[ext]" and trims it.
std::string turboCaption(std::string_view caption, bool down);

} // namespace fc
