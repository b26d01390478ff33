#pragma once

#include <algorithm>
#include <cstdint>

namespace fc {

// Rows and columns count from 1, as the program's code and its files do.
constexpr int kMaxRows = 65536;
constexpr int kMaxCols = 256;

constexpr bool validRow(int r) { return r >= 1 && r <= kMaxRows; }
constexpr bool validCol(int c) { return c >= 1 && c <= kMaxCols; }
constexpr bool validCell(int r, int c) { return validRow(r) && validCol(c); }

struct CellRef {
    int row = 1;
    int col = 1;
    friend bool operator==(CellRef a, CellRef b) { return a.row == b.row && a.col == b.col; }
    friend bool operator!=(CellRef a, CellRef b) { return !(a == b); }
};

// An inclusive rectangle of cells; r1 <= r2 and c1 <= c2 once normalized().
struct CellRange {
    int r1 = 1, c1 = 1, r2 = 1, c2 = 1;

    static CellRange cell(int r, int c) { return {r, c, r, c}; }
    CellRange normalized() const {
        return {std::min(r1, r2), std::min(c1, c2), std::max(r1, r2), std::max(c1, c2)};
    }
    // Clamped into the sheet; empty() when nothing of it lies inside.
    CellRange clamped() const {
        CellRange n = normalized();
        return {std::max(n.r1, 1), std::max(n.c1, 1), std::min(n.r2, kMaxRows),
                std::min(n.c2, kMaxCols)};
    }
    bool empty() const { return r1 > r2 || c1 > c2; }
    bool contains(int r, int c) const { return r >= r1 && r <= r2 && c >= c1 && c <= c2; }
    bool contains(const CellRange& o) const {
        return o.r1 >= r1 && o.r2 <= r2 && o.c1 >= c1 && o.c2 <= c2;
    }
    bool intersects(const CellRange& o) const {
        return !(o.r2 < r1 || o.r1 > r2 || o.c2 < c1 || o.c1 > c2);
    }
    int rows() const { return r2 - r1 + 1; }
    int cols() const { return c2 - c1 + 1; }
    bool wholeRows() const { return c1 == 1 && c2 == kMaxCols; }
    bool wholeCols() const { return r1 == 1 && r2 == kMaxRows; }
    friend bool operator==(const CellRange& a, const CellRange& b) {
        return a.r1 == b.r1 && a.c1 == b.c1 && a.r2 == b.r2 && a.c2 == b.c2;
    }
    friend bool operator!=(const CellRange& a, const CellRange& b) { return !(a == b); }
};

// 0xRRGGBB; kAutoColor means "the default" (black text, no fill colour).
using Color = std::uint32_t;
constexpr Color kAutoColor = 0xFF000000u;
constexpr Color rgb(int r, int g, int b) {
    return (Color(r & 255) << 16) | (Color(g & 255) << 8) | Color(b & 255);
}
constexpr int redOf(Color c) { return int((c >> 16) & 255); }
constexpr int greenOf(Color c) { return int((c >> 8) & 255); }
constexpr int blueOf(Color c) { return int(c & 255); }

} // namespace fc
