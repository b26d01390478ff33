#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace fc {

class Workbook;

// Writes `book` as an Excel 97 workbook (BIFF8 in a compound document). A `path` in
// Windows-1251 may separate folders by "\\" as well. The file appears whole or not at all: on
// failure `error` tells why and an existing file at `path` stays as it was. Formulas the format
// cannot express are written as their last results.
bool writeXls(const std::string& path, const Workbook& book, std::string& error);
bool writeXls(const QString& path, const Workbook& book, std::string& error);

// The bytes such a file holds.
std::vector<std::uint8_t> xlsBytes(const Workbook& book);

} // namespace fc
