#pragma once

#include <QString>

#include <cstdint>
#include <string>

namespace fc {

class Workbook;

// Reads an Excel 97 workbook (.xls): sheets, values, texts, formulas (with their results;
// formulas the program cannot spell keep the result alone), fonts, colours, borders,
// alignment, fills, number formats, merged areas, column widths, row heights, hidden rows
// and columns, frozen panes and page setup. A `path` in Windows-1251 may separate folders by "\\".
// On failure `error` says why and `book` is left as it was; damaged files never crash the reader.
bool readXls(const std::string& path, Workbook& book, std::string& error);
bool readXls(const QString& path, Workbook& book, std::string& error);
bool readXlsBytes(const std::uint8_t* data, std::size_t size, Workbook& book, std::string& error);

// Whether the bytes are an Excel 5.0/95 workbook (a "Book" stream, or a "Workbook" stream in
// BIFF5/7), which the reader refuses as an older format rather than as damaged.
bool isOlderExcel(const std::uint8_t* data, std::size_t size);

} // namespace fc
