#include "results/QuickSum.h"

#include "components/model/NumberFormat.h"
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/text/TextOps.h"
#include "results/Filter.h"
#include "results/ResultSession.h"

#include <algorithm>
#include <cmath>

namespace fc {

CellRange trimNewest(const CellRange& newest, const std::vector<CellRange>& earlier) {
    CellRange r = newest.normalized();
    const CellRange none{1, 1, 0, 0};
    for (const CellRange& any : earlier) {
        const CellRange e = any.normalized();
        if (r.empty()) {
            return none;
        }
        if (!r.intersects(e)) {
            continue;
        }
        if (e.contains(r)) {
            return none;
        }
        const bool tl = e.contains(r.r1, r.c1), tr = e.contains(r.r1, r.c2);
        const bool bl = e.contains(r.r2, r.c1), br = e.contains(r.r2, r.c2);
        if (tl && tr) {
            r.r1 = e.r2 + 1;
        } else if (bl && br) {
            r.r2 = e.r1 - 1;
        } else if (tl && bl) {
            r.c1 = e.c2 + 1;
        } else if (tr && br) {
            r.c2 = e.c1 - 1;
        } else if (tl || tr || bl || br) {
            // One corner inside: cut the rows or the columns it covers, whichever is less.
            const int rowsIn = tl || tr ? e.r2 - r.r1 + 1 : r.r2 - e.r1 + 1;
            const int colsIn = tl || bl ? e.c2 - r.c1 + 1 : r.c2 - e.c1 + 1;
            if (static_cast<long long>(rowsIn) * r.cols() <=
                static_cast<long long>(colsIn) * r.rows()) {
                (tl || tr ? r.r1 = e.r2 + 1 : r.r2 = e.r1 - 1);
            } else {
                (tl || bl ? r.c1 = e.c2 + 1 : r.c2 = e.c1 - 1);
            }
        }
        // An earlier range inside this one, or one crossing it, cannot be cut out of a
        // rectangle: the sum counts such cells once all the same.
    }
    return r.empty() ? none : r;
}

std::optional<double> quickSumValue(const Sheet& sh, int row, int col) {
    const Cell* x = sh.cell(row, col);
    if (!x || !x->hasContent()) {
        return 0.0;
    }
    if (x->kind == ValueKind::Number) {
        return x->number;
    }
    std::string t = text::trim(sh.text(row, col));
    if (t.empty() || t == "-") {
        return 0.0;
    }
    t = t.substr(0, t.find('+'));
    if (!t.empty() && t[0] == '(') {
        t.erase(0, 1);
    }
    t = t.substr(0, t.find(')'));
    if (text::trimView(t).empty()) {
        return 0.0;
    }
    return readAmount(t);
}

double quickSum(const Sheet& sh, const std::vector<CellRange>& ranges) {
    double sum = 0;
    for (std::size_t i = 0; i < ranges.size(); ++i) {
        const CellRange g = ranges[i].normalized();
        const int lastRow = std::min(g.r2, sh.maxRow());
        const int lastCol = std::min(g.c2, std::max(sh.maxCol(), 1));
        for (int r = std::max(g.r1, 1); r <= lastRow; ++r) {
            if (sh.rowHidden(r)) {
                continue;
            }
            for (int c = std::max(g.c1, 1); c <= lastCol; ++c) {
                const bool counted =
                    std::any_of(ranges.begin(), ranges.begin() + static_cast<long>(i),
                                [&](const CellRange& e) { return e.normalized().contains(r, c); });
                if (!counted) {
                    sum += quickSumValue(sh, r, c).value_or(0.0);
                }
            }
        }
    }
    return std::round(sum * 1e6) / 1e6;
}

void quickSumRangeAdded(ResultSession& s) {
    Sheet& sh = s.sheet();
    std::vector<CellRange> ranges = sh.selection();
    if (ranges.size() >= 2) {
        const CellRange newest = ranges.back();
        ranges.pop_back();
        const CellRange trimmed = trimNewest(newest, ranges);
        if (!trimmed.empty()) {
            ranges.push_back(trimmed);
        }
        if (trimmed != newest.normalized()) {
            Workbook& book = s.book();
            const bool selChange = book.events().doSelChange;
            book.events().doSelChange = false;
            sh.setSelectionRanges(ranges, sh.activeCell());
            book.events().doSelChange = selChange;
        }
    }
    const double sum = quickSum(sh, ranges);
    if (sum != 0) {
        s.view.quickSum.shown = sum;
    } else {
        s.view.quickSum.shown.reset();
    }
}

void hideQuickSum(ResultSession& s) { s.view.quickSum.shown.reset(); }

std::string quickSumText(double value) {
    return formatValue(Value::fromNumber(value), "# ### ##0.##").text;
}

} // namespace fc
