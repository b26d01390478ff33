#pragma once

#include "components/formula/References.h"

#include "components/model/Types.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fc {
class Workbook;
}

// What the Excel writers and the reader share: number format codes, print ranges, the
// colour palette and text conversion. Rows and columns are 1-based as in the model.
namespace fc::xls {

// Number format codes. The program writes thousands grouping as "# ##0" (the separator it
// shows); Excel files spell it "#,##0". The other way round on reading.
std::string toExcelFormat(std::string_view modelFormat);
std::string fromExcelFormat(std::string_view excelFormat);
// Index of a built-in format of Excel files for an Excel-spelled code, or -1.
int builtinFormatIndex(std::string_view excelFormat);
// The code of built-in format `index` as the program spells it (locale ones as Russian
// Excel shows them), or empty for an unknown index.
std::string builtinFormatCode(int index);
// A format that shows dates or times (d, m, y, h or s outside quotes and brackets).
bool isDateFormat(std::string_view format);

// Print area ("$A$1:$H$40", several joined by ","; an optional "Sheet!" prefix is ignored)
// and print titles ("$1:$3" rows, "$A:$B" columns, or both joined by ","). Bad parts are
// skipped.
std::vector<CellRange> parsePrintArea(std::string_view text);
struct PrintTitles {
    std::optional<std::pair<int, int>> rows;
    std::optional<std::pair<int, int>> cols;
};
PrintTitles parsePrintTitles(std::string_view text);
std::string printAreaText(const std::vector<CellRange>& areas);
std::string printTitlesText(const PrintTitles& titles);
// Sheet names as Excel accepts them: 1 to 31 characters, none of []:*?/\, unique
// regardless of case (a clash gets "(2)", "(3)" ...). One per sheet of the workbook.
std::vector<std::string> excelSheetNames(const Workbook& book);

using formula::columnName; // column letters: 1 -> "A", 27 -> "AA"

// Windows-1251 text as UTF-16 and back (characters outside the code page become '?').
std::u16string toUtf16(std::string_view cp1251Text);
std::string fromUtf16(std::u16string_view text);

// The 56 colours of an Excel 97 file (indices 8 to 63). Colours the workbook uses keep
// their exact value: default entries no colour needs are given up for them; past 56
// colours the nearest entry serves.
class Palette {
public:
    static const std::array<Color, 56>& defaults();
    Palette();
    // `used` in order of first use; kAutoColor is ignored.
    void build(const std::vector<Color>& used);
    // Index 8..63 for a colour, or `autoIndex` for kAutoColor.
    int index(Color c, int autoIndex) const;
    const std::array<Color, 56>& entries() const { return entries_; }
    void setEntry(int index, Color c);
    // Colour of an index read from a file: 0..7 fixed, 8..63 the entries, others automatic.
    Color color(int index) const;

private:
    std::array<Color, 56> entries_;
    std::unordered_map<Color, int> exact_;
};

} // namespace fc::xls
