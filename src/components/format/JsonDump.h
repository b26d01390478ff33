#pragma once

#include <string>

namespace fc {

class JsonWriter;
class Workbook;

// The workbook as JSON (docs/dump-schema.md): deterministic, texts in UTF-8, so that tests
// compare workbooks through it and keep dumps as golden files.
std::string dumpWorkbook(const Workbook& book);
// The same as one value inside a larger document (templates, answers).
void dumpWorkbook(JsonWriter& out, const Workbook& book);

// "A1"-style names, 1-based.
std::string cellName(int row, int col);
std::string rangeName(int r1, int c1, int r2, int c2);

} // namespace fc
