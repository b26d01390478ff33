#pragma once

#include <string>

namespace fc {
class Workbook;
}

namespace rptool {

struct AnswerDocument;

// Saves a result by the extension of `path` (UTF-8): ".vts" the native workbook, ".json" the
// answer document with the workbook, ".xls" Excel 97, ".xlsx" Excel 2007. False with `error`
// (UTF-8) set when the type is unknown or the file could not be written.
bool writeResultFile(const std::string& path, const fc::Workbook& book, AnswerDocument doc,
                     std::string& error);

} // namespace rptool
