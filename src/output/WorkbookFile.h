#pragma once

#include <string>

namespace fc {

class Prompter;
class Workbook;

namespace output {

// Writes `book` to `path` (Windows-1251) as an Excel 97 workbook, or as an Excel 2007 one when
// the name ends in ".xlsx", without the window's own parts of each sheet (columns MaxCol + 1
// to 256 and the 120 rows below MaxRow: row actions, drill-down keys, marks, the hidden
// state). The window's sheet keeps them: they are set aside for the write and put back. The
// file appears whole or not at all; false with the reason in `error`.
bool writeWorkbookFile(Workbook& book, const std::string& path, std::string& error);

// The same for the windows: a failure shows "Ошибка сохранения!".
bool saveWorkbookFile(Workbook& book, const std::string& path, Prompter& prompter);

} // namespace output
} // namespace fc
