#pragma once

#include "components/model/Types.h"
#include "components/ui/LayoutAxis.h"

#include <QRect>
#include <QRectF>
#include <QSize>

namespace fc {

class Sheet;

// Where rows, columns and headings of one sheet lie in the view's viewport (pixels, origin at
// the viewport's top left). Rows and columns are 1-based.
class SheetLayout {
public:
    struct Params {
        int unitPx = 7;       // width of the default font's "0" at 100 percent
        int scale = 100;      // percent
        int headerWidth = 0;  // row headings, pixels (0: none)
        int headerHeight = 0; // column headings, pixels (0: none)
        QSize viewport;
    };

    // Rebuilds the sizes from the sheet (after rows, columns or the scale changed) and places.
    void build(const Sheet& s, const Params& p);
    // Places again without rebuilding sizes: headings, viewport, frozen block, top-left.
    void place(const Sheet& s, const Params& p);
    void setTopLeft(int row, int col);

    const LayoutAxis& rows() const { return rows_; }
    const LayoutAxis& cols() const { return cols_; }
    LayoutAxis& rows() { return rows_; }
    LayoutAxis& cols() { return cols_; }
    int headerWidth() const { return cols_.header(); }
    int headerHeight() const { return rows_.header(); }

    enum class Area { Cell, ColHeading, RowHeading, Corner, Outside };
    struct Hit {
        Area area = Area::Outside;
        int row = 0; // 0 on a column heading
        int col = 0; // 0 on a row heading
    };
    Hit hit(QPoint p) const;

    // Screen rectangle of a cell, or of `range` spanned whole (a merged area); may lie partly
    // or wholly outside the viewport.
    QRect cellRect(int row, int col) const;
    QRect rangeRect(const CellRange& range) const;
    // Screen rectangle of a drawn object, whose corners are 0-based columns and rows with
    // fractions (x = 1.5 is the middle of column B).
    QRectF objectRect(double x1, double y1, double x2, double y2) const;
    // The inverse: the sheet-unit position of a viewport point; points in the headings or
    // past the last row or column count as the nearest edge.
    QPointF unitsAt(QPointF p) const;

    // Pixel size of a row of `twips` and of a column of `width` (characters x 256).
    static int rowPixels(int twips, int scale);
    static int colPixels(int width, int unitPx, int scale);

private:
    LayoutAxis rows_;
    LayoutAxis cols_;
};

} // namespace fc
