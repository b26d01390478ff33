#pragma once

#include "components/model/Style.h"
#include "designer/CellLine.h"
#include "exchange/ReadState.h"
#include "exchange/ResultRows.h"
#include "exchange/ServiceInstructions.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace fc {

struct ResultContext;

// `read_table`: a report result in the table format, read from the answer's read position
// to its end into the current sheet of the result workbook (and the sheets ";TABLE" adds).
// Every line kind and service instruction is taken; broken lines are skipped.
class TableResultReader {
public:
    explicit TableResultReader(ResultContext& ctx);
    // `answerPath`: where the answer came from (kept for the window; not opened again).
    void read(const std::string& answerPath);

private:
    void prepare();
    void startSheet(const std::string& name);
    void fontLine(std::string_view line);
    void rowLine(std::string_view line);
    void cellLine(std::string_view line);
    void notice();
    void textLine(std::string_view line);
    // An "E-" line of the server in row `row` (0: past the last row).
    void serverError(const std::string& text, int row);
    // Content left out: of a row past the last result row, or right of the last column.
    void leftOut(bool row);
    void finish();
    void placeObjects();
    Font cellFont(int number) const;
    bool nextLine(std::string& line);
    StyleId cellStyle(StyleId base);
    // Font lines and sheets change what a layout means.
    void forgetStyles();

    ResultContext& ctx_;
    ReadState st_;
    ServiceInstructions instructions_;
    bool stop_ = false;
    bool pastLastRow_ = false; // the sheet is full: the lines of later rows are left out
    // Cell lines repeat a few layouts: each is made into a style once.
    std::unordered_map<std::string, StyleId> styles_;
    std::string styleKey_;
    // For each column the style of its last cell line and what it was made of.
    struct LayoutMemo {
        std::optional<StyleId> id;
        StyleId base = 0;
        CellLine layout;
    };
    std::vector<LayoutMemo> layouts_ = std::vector<LayoutMemo>(answers::kLastAnswerCol + 1);
    CellLine cell_;         // the cell line being read (kept to reuse its texts' storage)
    std::string converted_; // its text in Windows-1251
};

// The readers under the names the window calls.
void read_table(ResultContext& ctx, const std::string& answerPath);

} // namespace fc
