#pragma once

#include <QString>

#include <string>

namespace fc {

class Workbook;

// Writes `book` as an Excel 2007+ workbook (.xlsx) through libxlsxwriter in its
// constant-memory mode, with the content the Excel 97 writer gives (formulas Excel 97
// cannot express are written as their results there too). A `path` in Windows-1251 may
// separate folders by "\\". The file appears whole or not at all, and on failure `error` tells why.
bool writeXlsx(const std::string& path, const Workbook& book, std::string& error);
bool writeXlsx(const QString& path, const Workbook& book, std::string& error);

} // namespace fc
