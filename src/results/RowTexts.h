#pragma once

#include "components/model/Workbook.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fc {

// The upper-cased display texts of a result sheet's rows over columns 2 to MaxCol, as the
// filter searches them. Formatting a number for display is the costly part of a filter pass,
// so each row's texts are made once and kept until the workbook reports a change: cells of
// the row, the layout, or a recalculation. The filter's own changes (hidden rows, totals)
// are made under a Hold and do not count; the totals rows it writes are forgotten one by one.
class RowTexts : private WorkbookListener {
public:
    RowTexts() = default;
    RowTexts(const RowTexts&) = delete;
    RowTexts& operator=(const RowTexts&) = delete;
    ~RowTexts() override;

    // Row r's cells c1..c2 (within 2..MaxCol), upper-cased, TAB between them, appended to
    // `out`, as the control's clipboard text shows one row of a range.
    void append(const Sheet& sheet, int r, int c1, int c2, std::string& out);
    void forget();
    void forgetRow(int r);
    // Makes the texts of up to `rows` more rows ahead of need (the window does it while it is
    // idle, so that the first filter of a large answer is as quick as the next ones); false
    // once every row up to MaxRow has its texts.
    bool prepare(const Sheet& sheet, int rows);

    // While a Hold lives, changes reported by the workbook are the holder's own.
    class Hold {
    public:
        explicit Hold(RowTexts& t);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        RowTexts& t_;
    };

private:
    void attach(const Sheet& sheet);
    void build(const Sheet& sheet, int r);
    void detach();

    void cellsChanged(int sheet, const CellRange& range) override;
    void layoutChanged() override;
    void endRecalc() override;
    void workbookDestroyed() override;

    Workbook* book_ = nullptr;
    int cols_ = 0; // MaxCol - 1 columns from column 2
    std::vector<std::string> rows_;
    std::vector<std::uint32_t> offsets_; // cols_ + 1 a row: where each column's text starts
    std::vector<char> built_;
    int holds_ = 0;
    int prepared_ = 0; // rows up to this one were looked at by prepare()
};

} // namespace fc
