#pragma once

#include "components/model/Types.h"
#include "components/ui/SheetLayout.h"

#include <QPoint>
#include <Qt>

#include <vector>

class QMouseEvent;
class QTimer;

namespace fc {

class SheetView;

// Selection and input of a sheet view: mouse clicks and drags on cells and headings, resizing
// at heading edges, keyboard moves and the keys with a default action. Every selection change
// goes through the sheet in one call, so the workbook reports it once.
class SheetInput {
public:
    explicit SheetInput(SheetView& view);

    void press(QMouseEvent* e);
    void move(QMouseEvent* e);
    void release(QMouseEvent* e);
    void doubleClick(QMouseEvent* e);
    // The default action of a key nobody consumed; false when it has none.
    bool key(int qtKey, Qt::KeyboardModifiers mods);

    // Moves the active cell (extend: the moving corner of the last range) and shows it.
    void moveTo(CellRef to, bool extend);
    void selectRanges(const std::vector<CellRange>& ranges, CellRef active);
    void scrollTo(CellRef cell);
    void scrollBy(int rows, int cols);

    // The selection changed; unless this object made the change, the moving corner starts
    // again at the active cell.
    void selectionChanged(CellRef active) {
        if (!ownChange_) {
            cursor_ = active;
        }
    }
    // The dashed line of a heading edge being dragged, -1 when none.
    int guide() const { return guide_; }
    bool guideIsVertical() const { return drag_ == Drag::ResizeCol; }

private:
    enum class Drag { None, Cells, Rows, Cols, ResizeRow, ResizeCol };

    void dragTo(QPoint pos);
    void autoScroll();
    void updateCursor(QPoint pos);
    int resizeTarget(const SheetLayout::Hit& hit, QPoint pos, bool cols);

    SheetView& v_;
    QTimer* autoScroll_;
    bool ownChange_ = false;
    Drag drag_ = Drag::None;
    CellRef cursor_{1, 1};           // the moving corner of the last selection range
    CellRef dragAnchor_{1, 1};       // where a drag began (stays active)
    std::vector<CellRange> baseSel_; // ranges kept while Ctrl-dragging a new one
    SheetLayout::Hit pressHit_;
    bool suppressClick_ = false;
    int resizeIndex_ = 0;
    int resizeFrom_ = 0;  // size in pixels when the drag began
    int resizePress_ = 0; // where the mouse took the edge
    int guide_ = -1;
    QPoint lastMouse_;
};

} // namespace fc
