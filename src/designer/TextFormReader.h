#pragma once

#include "designer/FontTable.h"
#include "designer/SheetReadContext.h"

#include <string>
#include <string_view>
#include <vector>

namespace fc {

class Workbook;
class Sheet;

// Reads one sheet of the text form, a report page drawn with characters of code page 866:
// text lines go to column 1, table lines are cut into cells at their vertical box-drawing
// characters, horizontal rules become borders. Cells are placed one column per distinct
// separator position of the sheet, so that cells of differently shaped lines line up and a
// cell spanning several positions is merged across them. At most 1000 rows and the form's
// columns are read; the rest of the sheet is skipped and reported as truncated.
class TextFormReader {
public:
    static constexpr int kMaxRows = 1000;
    // More rows than this count as a page that may not have been loaded whole.
    static constexpr int kFullRows = 998;

    TextFormReader(Workbook& book, int sheetIndex, SheetReadContext& ctx);
    void read();

    // Whether `line` (code page 866) reads back as a text line holding exactly it (right
    // blanks aside), rather than a directive, rule or table line or a font prefix.
    static bool readsAsTextLine(std::string_view line);

    struct Span {
        int a = 0, b = 0; // separator positions around a cell (character offsets)
        int style = 0;
    };
    struct Cell {
        Span span;
        std::string text; // code page 866, font prefix removed
        int font = -1;
        int left = 0, right = 0, bottom = 0;
        bool shade = false;
    };
    struct Row {
        bool table = false;
        std::string text; // text line, code page 866
        int font = -1;
        bool pageBreak = false;
        int lineNo = 0;
        std::vector<Cell> cells;
        std::vector<Span> top, bottom; // horizontal rules above and below
    };

private:
    bool line(std::string_view raw);
    void ruleSpans(std::vector<Span> spans);
    void tableLine(std::string_view raw);
    void textLine(std::string_view raw);
    Row& newRow();
    void place();
    const TemplateFont* font(int number) const;

    Workbook& book_;
    Sheet& sheet_;
    int sheetIndex_;
    SheetReadContext& ctx_;
    FontTable fonts_;
    std::vector<Row> rows_;
    std::vector<Span> pendingTop_;
    std::vector<int> boundaries_;
    std::vector<std::pair<int, int>> widths_; // ";colw[" column, characters
};

} // namespace fc
