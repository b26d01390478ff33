#include "components/print/PageLayout.h"

#include "components/format/ExcelCommon.h"
#include "components/model/Sheet.h"
#include "components/model/SheetUnits.h"
#include "components/model/TextMeasurer.h"
#include "components/model/Workbook.h"

#include <algorithm>

namespace fc::print {

namespace {

constexpr double kPxPerInch = 96;
constexpr double kPxPerMm = kPxPerInch / 25.4;
constexpr int kMinScale = 10;
constexpr int kMaxScale = 400;

bool rowBreak(const Sheet& s, int r) { return s.rowPageBreak(r); }
bool colBreak(const Sheet& s, int c) { return s.colPageBreak(c); }

// Titles clamped into the sheet's extent.
Band titlesWithin(const std::optional<std::pair<int, int>>& t, int extent) {
    if (!t) {
        return {};
    }
    return {std::max(1, t->first), std::min(t->second, extent)};
}

} // namespace

PageLayout::PageLayout(const Sheet& sheet, const TextMeasurer& measurer) : sheet_(sheet) {
    const PrintSettings& ps = sheet.print();
    unitPx_ = std::max(1, measurer.charWidth(sheet.workbook().defaultFont()));

    paper_.size = paperSize(ps.paperSize);
    paper_.landscape = ps.landscape;
    paper_.width = paper_.size.widthMm * kPxPerMm;
    paper_.height = paper_.size.heightMm * kPxPerMm;
    if (ps.landscape) {
        std::swap(paper_.width, paper_.height);
    }
    auto margin = [](double inches) { return std::clamp(inches, 0.0, 20.0) * kPxPerInch; };
    paper_.left = margin(ps.leftMargin);
    paper_.right = margin(ps.rightMargin);
    paper_.top = margin(ps.topMargin);
    paper_.bottom = margin(ps.bottomMargin);
    paper_.header = margin(ps.headerMargin);
    paper_.footer = margin(ps.footerMargin);
    // Margins that leave no room keep at least a tenth of the paper for the cells.
    if (paper_.left + paper_.right > paper_.width * 0.9) {
        paper_.left = paper_.right = paper_.width * 0.05;
    }
    if (paper_.top + paper_.bottom > paper_.height * 0.9) {
        paper_.top = paper_.bottom = paper_.height * 0.05;
    }

    const int maxRow = std::max(1, sheet.maxRow());
    const int maxCol = std::max(1, sheet.maxCol());
    const CellRange extent{1, 1, maxRow, maxCol};
    for (const CellRange& a : xls::parsePrintArea(ps.area)) {
        if (a.intersects(extent)) {
            areas_.push_back({std::max(a.r1, 1), std::max(a.c1, 1), std::min(a.r2, maxRow),
                              std::min(a.c2, maxCol)});
        }
    }
    if (areas_.empty()) {
        areas_.push_back(extent);
    }
    const xls::PrintTitles titles = xls::parsePrintTitles(ps.titles);
    titleRows_ = titlesWithin(titles.rows, maxRow);
    titleCols_ = titlesWithin(titles.cols, maxCol);

    rowSizes_.assign(static_cast<std::size_t>(maxRow) + 1, 0);
    for (int r = 1; r <= maxRow; ++r) {
        rowSizes_[static_cast<std::size_t>(r)] =
            sheet.rowHidden(r) ? 0 : units::rowPixels(sheet.rowHeight(r), 100);
    }
    colSizes_.assign(static_cast<std::size_t>(maxCol) + 1, 0);
    for (int c = 1; c <= maxCol; ++c) {
        colSizes_[static_cast<std::size_t>(c)] =
            sheet.colHidden(c) ? 0 : units::colPixels(sheet.colWidth(c), unitPx_, 100);
    }

    int across = 0, down = 0;
    if (!ps.fitToPage) {
        scale_ = std::clamp(ps.scale, kMinScale, kMaxScale);
        layOut(scale_, true, across, down);
        return;
    }
    // The largest whole percent at which the pages fit; fewer pages never need a larger
    // scale, so a binary search finds it. A count of 0 pages leaves that direction free.
    auto fits = [&](int scale) {
        layOut(scale, false, across, down);
        return (ps.fitHPages <= 0 || across <= ps.fitHPages) &&
               (ps.fitVPages <= 0 || down <= ps.fitVPages);
    };
    int lo = kMinScale, hi = 100;
    if (fits(hi)) {
        lo = hi;
    } else {
        while (hi - lo > 1) {
            const int mid = (lo + hi) / 2;
            (fits(mid) ? lo : hi) = mid;
        }
    }
    scale_ = lo;
    layOut(scale_, true, across, down);
}

int PageLayout::rowSize(int r) const {
    return r >= 1 && r < static_cast<int>(rowSizes_.size()) ? rowSizes_[static_cast<std::size_t>(r)]
                                                            : 0;
}

int PageLayout::colSize(int c) const {
    return c >= 1 && c < static_cast<int>(colSizes_.size()) ? colSizes_[static_cast<std::size_t>(c)]
                                                            : 0;
}

int PageLayout::sum(const std::vector<int>& sizes, const Band& b) const {
    int total = 0;
    for (int i = b.first; i <= b.last; ++i) {
        total += sizes[static_cast<std::size_t>(i)];
    }
    return total;
}

std::vector<PageLayout::Cut> PageLayout::split(const Band& area, const Band& titles,
                                               const std::vector<int>& sizes, Breaks breakBefore,
                                               double capacity) const {
    std::vector<Cut> cuts;
    int start = area.first;
    while (start <= area.last) {
        // The titles repeat above a page that starts below them, as far as they lie above it.
        Band t;
        if (!titles.empty() && titles.first < start) {
            t = {titles.first, std::min(titles.last, start - 1)};
        }
        double room = capacity - sum(sizes, t);
        if (room < capacity / 2) {
            // Titles that would leave less than half the page are not repeated.
            t = {};
            room = capacity;
        }
        double used = 0;
        int i = start;
        for (; i <= area.last; ++i) {
            const int size = sizes[static_cast<std::size_t>(i)];
            if (i > start &&
                (breakBefore(sheet_, i) || (size > 0 && used > 0 && used + size > room))) {
                break;
            }
            used += size;
        }
        const Band band{start, i - 1};
        if (used == 0 && !cuts.empty()) {
            // Only hidden rows are left: they belong to the page before, not to a blank one.
            cuts.back().band.last = band.last;
        } else if (!cuts.empty() && sum(sizes, cuts.back().band) == 0) {
            cuts.back().band.last = band.last;
            cuts.back().titles = t;
        } else {
            cuts.push_back({band, t});
        }
        start = i;
    }
    return cuts;
}

void PageLayout::layOut(int scale, bool keep, int& across, int& down) {
    const double factor = scale / 100.0;
    const double width = (paper_.width - paper_.left - paper_.right) / factor;
    const double height = (paper_.height - paper_.top - paper_.bottom) / factor;
    across = down = 0;
    if (keep) {
        pages_.clear();
    }
    for (const CellRange& a : areas_) {
        const std::vector<Cut> cols =
            split({a.c1, a.c2}, titleCols_, colSizes_, &colBreak, std::max(width, 1.0));
        const std::vector<Cut> rows =
            split({a.r1, a.r2}, titleRows_, rowSizes_, &rowBreak, std::max(height, 1.0));
        across = std::max(across, static_cast<int>(cols.size()));
        down = std::max(down, static_cast<int>(rows.size()));
        if (!keep) {
            continue;
        }
        for (const Cut& c : cols) {
            for (const Cut& r : rows) {
                Page p;
                p.number = static_cast<int>(pages_.size()) + 1;
                p.titleRows = r.titles;
                p.rows = r.band;
                p.titleCols = c.titles;
                p.cols = c.band;
                pages_.push_back(p);
            }
        }
    }
}

double PageLayout::contentWidth(const Page& p) const {
    return sum(colSizes_, p.titleCols) + sum(colSizes_, p.cols);
}

double PageLayout::contentHeight(const Page& p) const {
    return sum(rowSizes_, p.titleRows) + sum(rowSizes_, p.rows);
}

double PageLayout::originX(const Page& p) const {
    double x = paper_.left;
    if (sheet_.print().hCenter) {
        const double room = paper_.width - paper_.left - paper_.right;
        x += std::max(0.0, (room - contentWidth(p) * scale_ / 100.0) / 2);
    }
    return x;
}

double PageLayout::originY(const Page& p) const {
    double y = paper_.top;
    if (sheet_.print().vCenter) {
        const double room = paper_.height - paper_.top - paper_.bottom;
        y += std::max(0.0, (room - contentHeight(p) * scale_ / 100.0) / 2);
    }
    return y;
}

} // namespace fc::print
