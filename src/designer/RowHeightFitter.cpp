#include "designer/RowHeightFitter.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "designer/MergeIndex.h"

#include <algorithm>

namespace fc {

namespace {

constexpr int kTwipsPerPixel = 15; // 96 dots per inch

int lineCount(const Sheet& s, const Style& st, const CellRange& area, int row, int col,
              const TextMeasurer& m, int unit) {
    if (!st.wrap) {
        return 1;
    }
    int px = 0;
    for (int c = area.c1; c <= area.c2; ++c) {
        px += s.colWidth(c) * unit / 256;
    }
    px = std::max(1, px - 4);
    int text = m.textWidth(st.font, s.text(row, col));
    return std::max(1, (text + px - 1) / px);
}

} // namespace

void fitAutomaticRows(Sheet& sheet, int lastRow, const std::vector<bool>& fixedRows,
                      const MergeIndex& merges, const TextMeasurer& m) {
    const Workbook& book = sheet.workbook();
    const int unit = std::max(1, m.charWidth(book.defaultFont()));
    const int plain = m.lineHeight(book.defaultFont());
    std::vector<int> share(static_cast<std::size_t>(lastRow) + 1, 0);
    std::vector<int> own(static_cast<std::size_t>(lastRow) + 1, 0);
    for (int r = 1; r <= lastRow && r <= sheet.storedRows(); ++r) {
        for (const Cell& c : sheet.rows()[static_cast<std::size_t>(r - 1)].cells) {
            const int col = c.col;
            const CellRange* area = merges.at(r, col);
            if (area && (area->r1 != r || area->c1 != col)) {
                continue;
            }
            const Style& st = book.styles().get(c.style);
            CellRange span = area ? *area : CellRange::cell(r, col);
            int lines = c.hasContent() ? lineCount(sheet, st, span, r, col, m, unit) : 1;
            int height = m.lineHeight(st.font) * lines;
            if (span.rows() > 1) {
                if (!st.wrap) {
                    continue;
                }
                int each = (height + span.rows() - 1) / span.rows();
                for (int k = span.r1; k <= std::min(span.r2, lastRow); ++k) {
                    share[static_cast<std::size_t>(k)] =
                        std::max(share[static_cast<std::size_t>(k)], each);
                }
            } else {
                own[static_cast<std::size_t>(r)] =
                    std::max(own[static_cast<std::size_t>(r)], height);
            }
        }
    }
    for (int r = 1; r <= lastRow; ++r) {
        if (r < static_cast<int>(fixedRows.size()) && fixedRows[static_cast<std::size_t>(r)]) {
            continue;
        }
        int px = std::max(own[static_cast<std::size_t>(r)], share[static_cast<std::size_t>(r)]);
        if (px == 0) {
            px = plain;
        }
        sheet.setRowHeight(r, px * kTwipsPerPixel);
    }
}

} // namespace fc
