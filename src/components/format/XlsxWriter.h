#pragma once

#include <string>

namespace fc {

class Workbook;

// Writes `book` as an Excel 2007+ workbook (.xlsx) through libxlsxwriter in its
// constant-memory mode, with the content the Excel 97 writer gives (formulas Excel 97
// cannot express are written as their results there too). `path` is Windows-1251; the
// file appears whole or not at all, and on failure `error` tells why.
bool writeXlsx(const std::string& path, const Workbook& book, std::string& error);

} // namespace fc
