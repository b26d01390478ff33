#include "designer/ObjectCommands.h"

#include "components/model/TextMeasurer.h"
#include "components/model/Workbook.h"

#include <algorithm>
#include <cmath>

namespace fc {

double ObjectCommands::columnsFor(const Sheet& s, int col, double px, int unitPx) {
    double x = col - 1;
    for (int c = std::max(1, col); px > 0 && c <= kMaxCols; ++c) {
        const double w = s.colHidden(c) ? 0 : s.colWidth(c) * unitPx / 256.0;
        if (w >= px) {
            return x + px / w;
        }
        px -= w;
        x = c;
    }
    return x;
}

int ObjectCommands::insertPicture(Sheet& s, std::string bytes, int widthPx, int heightPx,
                                  const TextMeasurer& m) {
    if (bytes.empty() || widthPx <= 0 || heightPx <= 0) {
        return 0;
    }
    const CellRange g = s.selectionRange(0).clamped();
    const int unitPx = std::max(1, m.charWidth(s.workbook().defaultFont()));
    const double x1 = g.c1 - 1, y1 = g.r1 - 1;
    const double x2 = columnsFor(s, g.c1, widthPx, unitPx);
    const int id = s.createObject(ObjectKind::Picture, x1, y1, x2, y1 + 1);
    DrawnObject* o = s.object(id);
    o->image = std::move(bytes);
    // The picture's own height decides its bottom, whatever the rows there are.
    o->heightPx = heightPx;
    double y2 = y1;
    double need = heightPx;
    for (int r = g.r1; need > 0 && r <= kMaxRows; ++r) {
        const double h = s.rowHeight(r) / 15.0;
        if (h >= need) {
            y2 = r - 1 + need / h;
            need = 0;
        } else {
            need -= h;
            y2 = r;
        }
    }
    o->y2 = y2;
    s.selectObject(id);
    return id;
}

bool ObjectCommands::keepCellUnderObject(Sheet& s) {
    const std::vector<int> ids = s.selectedObjects();
    if (ids.empty()) {
        return false;
    }
    const DrawnObject* o = s.object(ids.front());
    const int row =
        std::clamp(static_cast<int>(std::floor(std::min(o->y1, o->y2))) + 1, 1, kMaxRows);
    const int col =
        std::clamp(static_cast<int>(std::floor(std::min(o->x1, o->x2))) + 1, 1, kMaxCols);
    EventSwitches& ev = s.workbook().events();
    const bool was = ev.doSelChange;
    ev.doSelChange = false;
    if (s.activeCell() != CellRef{row, col} || s.selectionCount() != 1 ||
        s.selectionRange(0) != CellRange::cell(row, col)) {
        s.setSelection(CellRange::cell(row, col));
    }
    for (int id : ids) {
        s.selectObject(id, true);
    }
    ev.doSelChange = was;
    return true;
}

int ObjectCommands::deleteSelection(Sheet& s) {
    int gone = s.deleteSelectedObjects();
    for (const CellRange& g : std::vector<CellRange>(s.selection())) {
        gone += s.deleteObjectsIn(g);
        const CellRange c = g.clamped();
        s.clear({c.r1, c.c1, std::min(c.r2, std::max(c.r1, s.maxRow())),
                 std::min(c.c2, std::max(c.c1, s.maxCol()))},
                ClearWhat::All);
    }
    return gone;
}

} // namespace fc
