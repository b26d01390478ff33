#include "components/ui/SheetLayout.h"

#include "components/model/Sheet.h"
#include "components/model/SheetUnits.h"

#include <algorithm>
#include <cmath>

namespace fc {

int SheetLayout::rowPixels(int twips, int scale) { return units::rowPixels(twips, scale); }

int SheetLayout::colPixels(int width, int unitPx, int scale) {
    return units::colPixels(width, unitPx, scale);
}

void SheetLayout::build(const Sheet& s, const Params& p) {
    rows_.setSizes(s.maxRow(),
                   [&](int r) { return s.rowHidden(r) ? 0 : rowPixels(s.rowHeight(r), p.scale); });
    cols_.setSizes(s.maxCol(), [&](int c) {
        return s.colHidden(c) ? 0 : colPixels(s.colWidth(c), p.unitPx, p.scale);
    });
    place(s, p);
}

void SheetLayout::place(const Sheet& s, const Params& p) {
    rows_.place(p.headerHeight, p.viewport.height(), s.fixedRow(), s.fixedRows(), s.topRow());
    cols_.place(p.headerWidth, p.viewport.width(), s.fixedCol(), s.fixedCols(), s.leftCol());
}

void SheetLayout::setTopLeft(int row, int col) {
    rows_.setTop(row);
    cols_.setTop(col);
}

SheetLayout::Hit SheetLayout::hit(QPoint p) const {
    int r = rows_.at(p.y());
    int c = cols_.at(p.x());
    if (r < 0 || c < 0) {
        return {Area::Outside, r < 0 ? 0 : r, c < 0 ? 0 : c};
    }
    if (r == 0 && c == 0) {
        return {Area::Corner, 0, 0};
    }
    if (r == 0) {
        return {Area::ColHeading, 0, c};
    }
    if (c == 0) {
        return {Area::RowHeading, r, 0};
    }
    return {Area::Cell, r, c};
}

QRect SheetLayout::cellRect(int row, int col) const {
    return QRect(cols_.start(col), rows_.start(row), cols_.size(col), rows_.size(row));
}

QRect SheetLayout::rangeRect(const CellRange& range) const {
    CellRange g = range.normalized();
    int x1 = cols_.start(g.c1);
    int y1 = rows_.start(g.r1);
    int x2 = cols_.start(g.c2) + cols_.size(g.c2);
    int y2 = rows_.start(g.r2) + rows_.size(g.r2);
    return QRect(x1, y1, std::max(0, x2 - x1), std::max(0, y2 - y1));
}

QRectF SheetLayout::objectRect(double x1, double y1, double x2, double y2) const {
    auto edge = [](const LayoutAxis& a, double v) {
        int k = static_cast<int>(std::floor(v));
        int i = std::clamp(k + 1, 1, a.count() + 1);
        return a.start(i) + (v - k) * a.size(i);
    };
    return QRectF(QPointF(edge(cols_, x1), edge(rows_, y1)),
                  QPointF(edge(cols_, x2), edge(rows_, y2)))
        .normalized();
}

QPointF SheetLayout::unitsAt(QPointF p) const {
    auto unit = [](const LayoutAxis& a, double v) {
        if (a.count() == 0 || a.extent() <= a.header()) {
            return 0.0;
        }
        v = std::clamp(v, static_cast<double>(a.header()), a.extent() - 1.0);
        const int i = a.at(static_cast<int>(std::floor(v)));
        if (i <= 0) {
            return static_cast<double>(std::max(0, a.lastShown()));
        }
        const int size = a.size(i);
        return i - 1 + (size > 0 ? std::clamp((v - a.start(i)) / size, 0.0, 1.0) : 0.0);
    };
    return QPointF(unit(cols_, p.x()), unit(rows_, p.y()));
}

} // namespace fc
