#pragma once

#include <string>

namespace fc {

class Prompter;
class Workbook;

namespace output {

// "Отправить по почте": the report written as an Excel 97 file into `tempDir` under the cleaned
// caption + ".xls" (the file stays there), then handed to the mail composer with the window's
// address (";EMAIL=", none when not given), the caption as subject and a body of two blanks.
// False when the file could not be written ("Ошибка сохранения!") or no composer took it.
bool mailReport(Workbook& book, const std::string& caption, const std::string& email,
                const std::string& tempDir, Prompter& prompter);

// Where the report goes: `tempDir` + the cleaned caption + ".xls".
std::string mailAttachmentPath(const std::string& caption, const std::string& tempDir);

} // namespace output
} // namespace fc
