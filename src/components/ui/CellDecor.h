#pragma once

#include "components/model/Style.h"

#include <QBrush>
#include <QColor>

#include <map>
#include <tuple>

class QPainter;

namespace fc {

QColor toQColor(Color c, const QColor& automatic);

// Border lines and fill patterns, drawn pixel-exact with filled rectangles so that a border
// looks the same at any place and dashes line up across neighbouring cells.
namespace decor {

// Which of two border lines meeting on one edge is drawn: the heavier one.
int weight(BorderStyle s);
// Thickness in pixels across the line.
int thickness(BorderStyle s);

// A horizontal border along pixel row y (the edge's grid line), x1..x2 inclusive. Lines wider
// than a pixel grow downwards first, so a 2-pixel line covers y and y + 1, a 3-pixel one
// y - 1 to y + 1. A double line is two lines at y - 1 and y + 1 with `gap` between.
void hline(QPainter& p, BorderStyle s, const QColor& c, int x1, int x2, int y, const QColor& gap);
// The same for a vertical border along pixel column x, y1..y2 inclusive (grows rightwards).
void vline(QPainter& p, BorderStyle s, const QColor& c, int x, int y1, int y2, const QColor& gap);

} // namespace decor

// Brushes for the fill patterns (1 solid, 2..18 the hatches), built once per pattern and
// colour pair. Automatic colours give black foreground and `back` as background.
class PatternBrushes {
public:
    QBrush brush(const Fill& f, const QColor& back);
    void clear() { cache_.clear(); }

private:
    std::map<std::tuple<int, QRgb, QRgb>, QBrush> cache_;
};

} // namespace fc
