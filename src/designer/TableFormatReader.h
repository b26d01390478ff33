#pragma once

#include "components/model/Style.h"
#include "designer/FontTable.h"
#include "designer/SheetReadContext.h"

#include <string_view>
#include <vector>

namespace fc {

class Workbook;
class Sheet;
struct CellLine;

// Reads one sheet of the table format: directives, font lines, statement rows, "&&" form rows
// and their cell lines. It starts at the context's position and stops before the sheet line
// of the next sheet (or at the end). Unreadable lines are skipped and counted.
class TableFormatReader {
public:
    TableFormatReader(Workbook& book, int sheetIndex, SheetReadContext& ctx);
    void read();

private:
    void prepare();
    // Handles a line beginning with ";"; false when it is a statement row after all.
    bool directive(std::string_view line);
    void statementRow(std::string_view line);
    void formRow(std::string_view line);
    void cellLine(std::string_view line);
    void finish();

    Font prefixFont(int number) const;
    Font defaultCellFont() const;
    void setCellValue(int row, int col, const std::string& text, const Style& st);

    Workbook& book_;
    Sheet& sheet_;
    int sheetIndex_;
    SheetReadContext& ctx_;
    FontTable fonts_;
    Font default_;
    int colDigits_ = 2;
    int rows_ = 0;
    std::vector<CellRange> merges_;
    std::vector<bool> fixedRows_;
};

} // namespace fc
