#pragma once

#include "components/model/Style.h"
#include "designer/CellLine.h"
#include "exchange/ReadState.h"
#include "exchange/ServiceInstructions.h"

#include <string>
#include <string_view>
#include <unordered_map>

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
    void finish();
    void placeObjects();
    Font cellFont(int number) const;
    bool nextLine(std::string& line);
    StyleId cellStyle(StyleId base);

    ResultContext& ctx_;
    ReadState st_;
    ServiceInstructions instructions_;
    bool stop_ = false;
    // Cell lines repeat a few layouts: each is made into a style once.
    std::unordered_map<std::string, StyleId> styles_;
    std::string styleKey_;
    CellLine cell_; // the cell line being read (kept to reuse its texts' storage)
};

// The readers under the names the window calls.
void read_table(ResultContext& ctx, const std::string& answerPath);

} // namespace fc
