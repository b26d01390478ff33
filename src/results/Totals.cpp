#include "results/Totals.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "exchange/Progress.h"
#include "exchange/ReportSettings.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"

#include <algorithm>
#include <array>

namespace fc {

namespace {

constexpr Color kGreen = rgb(0, 128, 0);

} // namespace

void total_(ResultSession& s) {
    const ReportSettings& st = s.settings();
    Sheet& sh = s.sheet();
    std::vector<int> cols;
    for (int c : st.totalsColumns) {
        if (c >= 2 && c <= sh.maxCol() && std::find(cols.begin(), cols.end(), c) == cols.end()) {
            cols.push_back(c);
        }
    }
    if (!st.totals || cols.empty()) {
        return;
    }
    Workbook& book = s.book();
    const bool selChange = book.events().doSelChange;
    const bool recalc = book.autoRecalc();
    book.events().doSelChange = false;
    book.setAutoRecalc(false);
    // Green figures are the server's own subtotals; where the user may edit, every figure is
    // the user's and counts.
    const bool everyNumber = !st.editColumns.empty();
    std::array<std::vector<double>, 3> sums;
    for (auto& level : sums) {
        level.assign(cols.size(), 0.0);
    }
    // Where each summable column's sums are kept, by column (-1: not summed).
    std::vector<int> slot(kMaxCols + 1, -1);
    for (std::size_t j = 0; j < cols.size(); ++j) {
        slot[static_cast<std::size_t>(cols[j])] = static_cast<int>(j);
    }
    const StyleTable& styles = book.styles();
    const int first = result::firstDataRow(sh);
    int lastTotals = 0;
    for (int r = first; r <= sh.maxRow() && r <= sh.storedRows(); ++r) {
        if (sh.rowHidden(r)) {
            continue;
        }
        if (result::isTotalsRow(sh, r)) {
            const int level = std::clamp(result::totalsLevel(sh, r), 1, 3) - 1;
            std::vector<double>& sum = sums[static_cast<std::size_t>(level)];
            for (std::size_t j = 0; j < cols.size(); ++j) {
                sh.setNumber(r, cols[j], sum[j]);
                sum[j] = 0;
            }
            s.view.filter.texts.forgetRow(r);
            lastTotals = r;
            continue;
        }
        for (const Cell& x : sh.rows()[static_cast<std::size_t>(r - 1)].cells) {
            const int j = slot[static_cast<std::size_t>(x.col)];
            if (j < 0 || x.kind != ValueKind::Number ||
                (!everyNumber && styles.get(x.style).font.color == kGreen)) {
                continue;
            }
            for (auto& level : sums) {
                level[static_cast<std::size_t>(j)] += x.number;
            }
        }
    }
    // Each totals row re-fits its columns over the rows above it; the last fit covers all
    // the earlier ones, so one fit a column gives the same widths. A column only widens: the
    // fit reads no heading rows, and a narrower column would cut its heading.
    if (lastTotals > 0 && s.view.measurer) {
        const int from = sh.fixedRows() > 0 ? first : lastTotals;
        for (int c : cols) {
            if (!sh.colHidden(c)) {
                const int before = sh.colWidth(c);
                sh.fitColWidths(CellRange{from, c, lastTotals, c}, *s.view.measurer);
                if (sh.colWidth(c) < before) {
                    sh.setColWidth(c, before);
                }
            }
        }
    }
    book.setAutoRecalc(recalc);
    book.events().doSelChange = selChange;
    if (s.view.progress) {
        s.view.progress->ShowProgress(0);
    }
}

} // namespace fc
