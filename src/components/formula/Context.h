#pragma once

#include "components/formula/Operand.h"
#include "components/model/Workbook.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fc::formula {

// A cell as the evaluator sees it, without copying its text.
struct CellView {
    ValueKind kind = ValueKind::Empty;
    ErrorCode error = ErrorCode::None;
    double number = 0;
    const std::string* text = nullptr;

    Value value() const;
    static CellView of(const Cell& c) { return {c.kind, c.error, c.number, &c.text}; }
};

// The cell of `row` in column `col`. Rows are mostly filled from column 1 without gaps, so
// the cell usually sits at index col - 1 and the binary search is rarely needed.
inline const Cell* findCell(const Row& row, int col) {
    const std::size_t guess = static_cast<std::size_t>(col - 1);
    if (guess < row.cells.size() && row.cells[guess].col == col) {
        return &row.cells[guess];
    }
    return row.find(col);
}

// A formula cell that a recalculation still has to evaluate.
struct CellKey {
    int sheet = 0, row = 0, col = 0;
    std::uint32_t slot = 0;
};

// Everything an evaluation reads: the workbook's cells, and during a recalculation the state
// of every formula cell. A formula cell not yet evaluated in this recalculation reads as #N/A
// and is noted, so that the recalculation evaluates it first and tries again.
class Context {
public:
    explicit Context(const Workbook& book);
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
    ~Context();

    const Workbook& book() const { return *book_; }
    int numSheets() const { return book_->numSheets(); }
    // The sheet named `name` (case ignored), 0 when there is none.
    int sheetIndex(std::string_view name) const;

    CellView cell(int sheet, int r, int c);

    // Calls f(row, col, view) for each cell of `a` that holds something, row by row.
    template <typename F>
    void forEach(const Area& a, F&& f);

    // SUM's walk, the hottest of all: adds the numbers of `a` row by row to `sum`, counts
    // them in `count`, and returns the first error met.
    ErrorCode addNumbers(const Area& a, double& sum, double& count);

    // ---- recalculation
    static constexpr std::int32_t kPending = -1;
    static constexpr std::int32_t kDone = -2;
    // Switches to recalculation: every formula slot up to maxSlot[s] of sheet s starts
    // pending (maxSlot is indexed 1..numSheets).
    void beginRecalc(const std::vector<std::uint32_t>& maxSlot);
    std::int32_t& state(int sheet, std::uint32_t slot) {
        return state_[static_cast<std::size_t>(sheet)][slot];
    }
    // What the last evaluation met: pending cells it needs, and the lowest stack index of
    // cells in progress it read (INT_MAX for none).
    void resetTracking() {
        missing_.clear();
        lowestActive_ = INT_MAX;
    }
    std::vector<CellKey>& missing() { return missing_; }
    int lowestActive() const { return lowestActive_; }

private:
    struct ColumnCache {
        std::vector<std::uint8_t> kind; // 0 empty, 1 number, 2 other value, 3 formula
        std::vector<double> number;
    };
    // Column caches pay off for long, narrow ranges read again and again during a
    // recalculation; a wide range is read row by row as cheaply, without their memory.
    static constexpr int kCacheRows = 2048;
    static constexpr int kCacheCols = 8;

    CellView formulaView(int sheet, int r, int c, const Cell& x);
    const ColumnCache& column(int sheet, int col);

    const Workbook* book_;
    bool recalc_ = false;
    std::vector<std::vector<std::int32_t>> state_;
    std::vector<CellKey> missing_;
    int lowestActive_ = INT_MAX;
    std::vector<std::vector<std::unique_ptr<ColumnCache>>> columns_;
};

inline CellView Context::formulaView(int sheet, int r, int c, const Cell& x) {
    if (recalc_) {
        std::int32_t st = state_[static_cast<std::size_t>(sheet)][x.formula];
        if (st != kDone) {
            if (st == kPending) {
                missing_.push_back({sheet, r, c, x.formula});
            } else {
                lowestActive_ = std::min(lowestActive_, static_cast<int>(st));
            }
            return {ValueKind::Error, ErrorCode::NA, 0, nullptr};
        }
    }
    return CellView::of(x);
}

inline CellView Context::cell(int sheet, int r, int c) {
    if (sheet < 1 || sheet > book_->numSheets()) {
        return {};
    }
    const std::vector<Row>& rows = book_->sheet(sheet).rows();
    if (r < 1 || r > static_cast<int>(rows.size())) {
        return {};
    }
    const Cell* x = findCell(rows[static_cast<std::size_t>(r - 1)], c);
    if (!x) {
        return {};
    }
    return x->formula ? formulaView(sheet, r, c, *x) : CellView::of(*x);
}

template <typename F>
void Context::forEach(const Area& a, F&& f) {
    if (a.sheet < 1 || a.sheet > book_->numSheets() || a.rg.empty()) {
        return;
    }
    const std::vector<Row>& rows = book_->sheet(a.sheet).rows();
    const int last = std::min(a.rg.r2, static_cast<int>(rows.size()));
    if (last < a.rg.r1) {
        return;
    }
    if (recalc_ && last - a.rg.r1 + 1 >= kCacheRows && a.rg.cols() <= kCacheCols) {
        const int ncols = a.rg.cols();
        const ColumnCache* caches[kCacheCols];
        for (int c = a.rg.c1; c <= a.rg.c2; ++c) {
            caches[c - a.rg.c1] = &column(a.sheet, c);
        }
        for (int r = a.rg.r1; r <= last; ++r) {
            const std::size_t i = static_cast<std::size_t>(r - 1);
            for (int k = 0; k < ncols; ++k) {
                const ColumnCache& cc = *caches[k];
                const std::uint8_t kind = cc.kind[i];
                if (kind == 0) {
                    continue;
                }
                const int c = a.rg.c1 + k;
                if (kind == 1) {
                    f(r, c, CellView{ValueKind::Number, ErrorCode::None, cc.number[i], nullptr});
                    continue;
                }
                const Cell& x = *findCell(rows[i], c);
                f(r, c, kind == 3 ? formulaView(a.sheet, r, c, x) : CellView::of(x));
            }
        }
        return;
    }
    for (int r = a.rg.r1; r <= last; ++r) {
        const Row& row = rows[static_cast<std::size_t>(r - 1)];
        if (row.cells.empty()) {
            continue;
        }
        auto it = row.cells.begin();
        if (a.rg.c1 > 1) {
            const std::size_t guess = static_cast<std::size_t>(a.rg.c1 - 1);
            if (guess < row.cells.size() && row.cells[guess].col == a.rg.c1) {
                it += static_cast<std::ptrdiff_t>(guess);
            } else {
                it = std::lower_bound(row.cells.begin(), row.cells.end(), a.rg.c1,
                                      [](const Cell& x, int col) { return x.col < col; });
            }
        }
        for (; it != row.cells.end() && it->col <= a.rg.c2; ++it) {
            if (it->formula) {
                f(r, int(it->col), formulaView(a.sheet, r, it->col, *it));
            } else if (it->kind != ValueKind::Empty) {
                f(r, int(it->col), CellView::of(*it));
            }
        }
    }
}

} // namespace fc::formula
