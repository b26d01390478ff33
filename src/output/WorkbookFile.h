#pragma once

#include <memory>
#include <string>

namespace fc {

class Prompter;
class Workbook;

namespace output {

// The workbook as it leaves the program: a copy in which each sheet lacks the window's own
// parts (columns MaxCol + 1 to 256 and the 120 rows below MaxRow: row actions, drill-down
// keys, marks, the hidden state). The window's sheet keeps them.
std::unique_ptr<Workbook> outgoingCopy(const Workbook& book);

// Writes the outgoing copy of `book` to `path` (Windows-1251) as an Excel 97 workbook, or as
// an Excel 2007 one when the name ends in ".xlsx". The file appears whole or not at all; false
// with the reason in `error`.
bool writeWorkbookFile(const Workbook& book, const std::string& path, std::string& error);

// The same for the windows: a failure shows "Ошибка сохранения!".
bool saveWorkbookFile(const Workbook& book, const std::string& path, Prompter& prompter);

} // namespace output
} // namespace fc
