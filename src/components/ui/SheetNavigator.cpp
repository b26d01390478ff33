#include "components/ui/SheetNavigator.h"

#include "components/model/Sheet.h"
#include "components/ui/SheetLayout.h"

#include <algorithm>

namespace fc {

bool SheetNavigator::filled(int r, int c) const {
    const Cell* x = sheet_.cell(r, c);
    return x && x->hasContent();
}

int SheetNavigator::firstRow() const {
    int r = layout_.rows().firstShown();
    return r == 0 ? 1 : r;
}

int SheetNavigator::firstCol() const {
    int c = layout_.cols().firstShown();
    return c == 0 ? 1 : c;
}

CellRef SheetNavigator::anchorOf(CellRef at) const {
    const CellRange* m = sheet_.mergeAt(at.row, at.col);
    return m ? CellRef{m->r1, m->c1} : at;
}

CellRef SheetNavigator::step(CellRef from, int dRow, int dCol) const {
    const CellRange* m = sheet_.mergeAt(from.row, from.col);
    CellRef to = from;
    if (dRow != 0) {
        int edge = m ? (dRow > 0 ? m->r2 : m->r1) : from.row;
        int n = layout_.rows().nextShown(edge, dRow);
        if (n != 0) {
            to.row = n;
        }
    }
    if (dCol != 0) {
        int edge = m ? (dCol > 0 ? m->c2 : m->c1) : from.col;
        int n = layout_.cols().nextShown(edge, dCol);
        if (n != 0) {
            to.col = n;
        }
    }
    return to == from ? from : anchorOf(to);
}

CellRef SheetNavigator::dataEdge(CellRef from, int dRow, int dCol) const {
    const LayoutAxis& axis = dRow != 0 ? layout_.rows() : layout_.cols();
    const int dir = dRow != 0 ? dRow : dCol;
    auto at = [&](int i) { return dRow != 0 ? CellRef{i, from.col} : CellRef{from.row, i}; };
    auto isFilled = [&](int i) {
        CellRef c = at(i);
        return filled(c.row, c.col);
    };
    int i = dRow != 0 ? from.row : from.col;
    int next = axis.nextShown(i, dir);
    if (next == 0) {
        return from;
    }
    if (isFilled(i) && isFilled(next)) {
        // Along the run to its last filled cell.
        while (true) {
            int n = axis.nextShown(next, dir);
            if (n == 0 || !isFilled(n)) {
                break;
            }
            next = n;
        }
        return anchorOf(at(next));
    }
    // Over the gap to the next filled cell, or to the edge.
    while (!isFilled(next)) {
        int n = axis.nextShown(next, dir);
        if (n == 0) {
            break;
        }
        next = n;
    }
    return anchorOf(at(next));
}

int SheetNavigator::rowsOn(int row, int count) const {
    const LayoutAxis& rows = layout_.rows();
    int dir = count < 0 ? -1 : 1;
    for (int k = std::abs(count); k > 0; --k) {
        int n = rows.nextShown(row, dir);
        if (n == 0) {
            break;
        }
        row = n;
    }
    return row;
}

CellRef SheetNavigator::home(CellRef from) const { return anchorOf({from.row, firstCol()}); }

CellRef SheetNavigator::end(CellRef from) const {
    int c = layout_.cols().lastShown();
    return anchorOf({from.row, c == 0 ? from.col : c});
}

CellRef SheetNavigator::first() const {
    const LayoutAxis& rows = layout_.rows();
    const LayoutAxis& cols = layout_.cols();
    int r = rows.hasFrozen() ? rows.nextShown(rows.frozenLast(), +1) : firstRow();
    int c = cols.hasFrozen() ? cols.nextShown(cols.frozenLast(), +1) : firstCol();
    return anchorOf({r == 0 ? firstRow() : r, c == 0 ? firstCol() : c});
}

CellRef SheetNavigator::last() const {
    // Cells beyond the extent (the program's hidden columns) do not count.
    int lastRow = 0, lastCol = 0;
    const int maxRow = std::min(sheet_.maxRow(), sheet_.storedRows());
    for (int r = 1; r <= maxRow; ++r) {
        for (const Cell& x : sheet_.rows()[static_cast<std::size_t>(r - 1)].cells) {
            if (x.col > sheet_.maxCol()) {
                break;
            }
            if (x.hasContent()) {
                lastRow = r;
                lastCol = std::max(lastCol, static_cast<int>(x.col));
            }
        }
    }
    const LayoutAxis& rows = layout_.rows();
    const LayoutAxis& cols = layout_.cols();
    int r = std::max(lastRow, firstRow());
    int c = std::max(lastCol, firstCol());
    if (!rows.shown(r)) {
        int n = rows.nextShown(r, -1);
        r = n == 0 ? firstRow() : n;
    }
    if (!cols.shown(c)) {
        int n = cols.nextShown(c, -1);
        c = n == 0 ? firstCol() : n;
    }
    return anchorOf({r, c});
}

CellRange SheetNavigator::withMerges(const CellRange& range) const {
    CellRange g = range.normalized();
    const auto& merges = sheet_.merges();
    if (merges.empty() || g.wholeRows() || g.wholeCols()) {
        return g;
    }
    bool grown = true;
    while (grown) {
        grown = false;
        for (const CellRange& m : merges) {
            if (m.intersects(g) && !g.contains(m)) {
                g = {std::min(g.r1, m.r1), std::min(g.c1, m.c1), std::max(g.r2, m.r2),
                     std::max(g.c2, m.c2)};
                grown = true;
            }
        }
    }
    return g;
}

} // namespace fc
