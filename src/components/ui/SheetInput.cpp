#include "components/ui/SheetInput.h"

#include "components/ui/ObjectInput.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/ui/SheetNavigator.h"
#include "components/ui/SheetView.h"

#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace fc {

SheetInput::SheetInput(SheetView& view) : v_(view), autoScroll_(new QTimer(&view)) {
    autoScroll_->setInterval(50);
    QObject::connect(autoScroll_, &QTimer::timeout, &view, [this] { autoScroll(); });
}

void SheetInput::selectRanges(const std::vector<CellRange>& ranges, CellRef active) {
    Sheet& s = v_.sheet();
    if (ranges == s.selection() && active == s.activeCell()) {
        return;
    }
    ownChange_ = true;
    s.setSelectionRanges(ranges, active);
    ownChange_ = false;
}

void SheetInput::moveTo(CellRef to, bool extend) {
    v_.ensureLayout();
    Sheet& s = v_.sheet();
    SheetNavigator nav(s, v_.layout_);
    if (extend) {
        const CellRef a = s.activeCell();
        std::vector<CellRange> ranges = s.selection();
        CellRange g = nav.withMerges(CellRange{a.row, a.col, to.row, to.col}.normalized());
        if (ranges.empty()) {
            ranges.push_back(g);
        } else {
            ranges.back() = g;
        }
        cursor_ = to;
        selectRanges(ranges, a);
    } else {
        cursor_ = to;
        selectRanges({nav.withMerges(CellRange::cell(to.row, to.col))}, to);
    }
    scrollTo(to);
}

void SheetInput::scrollTo(CellRef cell) {
    v_.ensureLayout();
    const int r = v_.layout_.rows().topToShow(cell.row);
    const int c = v_.layout_.cols().topToShow(cell.col);
    if (r != v_.layout_.rows().top() || c != v_.layout_.cols().top()) {
        v_.sheet().setTopLeft(r, c);
        v_.ensureLayout();
    }
}

void SheetInput::scrollBy(int rows, int cols) {
    v_.ensureLayout();
    const int r = v_.layout_.rows().topMovedBy(rows);
    const int c = v_.layout_.cols().topMovedBy(cols);
    if (r != v_.layout_.rows().top() || c != v_.layout_.cols().top()) {
        v_.sheet().setTopLeft(r, c);
        v_.ensureLayout();
    }
}

bool SheetInput::key(int key, Qt::KeyboardModifiers mods) {
    v_.ensureLayout();
    if (v_.objectInput_->key(key, mods)) {
        return true;
    }
    Sheet& s = v_.sheet();
    SheetNavigator nav(s, v_.layout_);
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const CellRef from = shift ? cursor_ : s.activeCell();
    auto arrow = [&](int dr, int dc) {
        moveTo(ctrl ? nav.dataEdge(from, dr, dc) : nav.step(from, dr, dc), shift);
    };
    switch (key) {
    case Qt::Key_Up: arrow(-1, 0); return true;
    case Qt::Key_Down: arrow(1, 0); return true;
    case Qt::Key_Left: arrow(0, -1); return true;
    case Qt::Key_Right: arrow(0, 1); return true;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        const int n = v_.layout_.rows().pageCount() * (key == Qt::Key_PageDown ? 1 : -1);
        scrollBy(n, 0);
        moveTo(nav.anchorOf({nav.rowsOn(from.row, n), from.col}), shift);
        return true;
    }
    case Qt::Key_Home: moveTo(ctrl ? nav.first() : nav.home(from), shift); return true;
    case Qt::Key_End: moveTo(ctrl ? nav.last() : nav.end(from), shift); return true;
    case Qt::Key_Tab: moveTo(nav.step(s.activeCell(), 0, 1), false); return true;
    case Qt::Key_Backtab: moveTo(nav.step(s.activeCell(), 0, -1), false); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (v_.enterMovesDown_) {
            moveTo(nav.step(s.activeCell(), shift ? -1 : 1, 0), false);
        }
        return true;
    case Qt::Key_F2: v_.startEditing(); return true;
    case Qt::Key_Backspace: v_.startEditing(QString(), true); return true;
    case Qt::Key_Delete:
        if (shift) {
            v_.cut();
        } else if (v_.book_->allow().allowDelete) {
            for (const CellRange& g : std::vector<CellRange>(s.selection())) {
                s.clear({g.r1, g.c1, std::min(g.r2, s.maxRow()), std::min(g.c2, s.maxCol())},
                        ClearWhat::Values);
            }
        }
        return true;
    case Qt::Key_Insert:
        if (ctrl) {
            v_.copy();
        } else if (shift) {
            v_.paste();
        }
        return true;
    case Qt::Key_C:
        if (ctrl) {
            v_.copy();
            return true;
        }
        break;
    case Qt::Key_V:
        if (ctrl) {
            v_.paste();
            return true;
        }
        break;
    case Qt::Key_X:
        if (ctrl) {
            v_.cut();
            return true;
        }
        break;
    case Qt::Key_A:
        if (ctrl) {
            selectRanges({{1, 1, kMaxRows, kMaxCols}}, s.activeCell());
            return true;
        }
        break;
    default: break;
    }
    return false;
}

// ---------------------------------------------------------------- mouse

int SheetInput::resizeTarget(const SheetLayout::Hit& hit, QPoint pos, bool cols) {
    const LayoutAxis& a = cols ? v_.layout_.cols() : v_.layout_.rows();
    const int i = cols ? hit.col : hit.row;
    const int p = cols ? pos.x() : pos.y();
    if (i <= 0) {
        return 0;
    }
    const int s = a.start(i), e = s + a.size(i);
    if (e - p <= 3) {
        return i;
    }
    if (p - s <= 2) {
        int prev = a.nextShown(i, -1);
        if (prev != 0 && a.onScreen(prev) && a.start(prev) + a.size(prev) == s) {
            return prev;
        }
    }
    return 0;
}

void SheetInput::press(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    lastMouse_ = pos;
    emit v_.mouseDown(e->button(), e->modifiers(), pos);
    // The edit ends before the focus moves, so that a veto is asked for once.
    if (v_.isEditing() && !v_.endEditing()) {
        return;
    }
    v_.setFocus(Qt::MouseFocusReason);
    v_.ensureLayout();
    Sheet& s = v_.sheet();
    SheetNavigator nav(s, v_.layout_);
    const SheetLayout::Hit hit = v_.layout_.hit(pos);
    pressHit_ = hit;
    suppressClick_ = false;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;

    if (v_.objectInput_->press(e)) {
        pressHit_ = {};
        return;
    }
    if (e->button() == Qt::RightButton) {
        // A right click outside the selection selects the cell it hits, for a context menu.
        if (hit.area == SheetLayout::Area::Cell) {
            bool inside =
                std::any_of(s.selection().begin(), s.selection().end(),
                            [&](const CellRange& g) { return g.contains(hit.row, hit.col); });
            if (!inside) {
                moveTo(nav.anchorOf({hit.row, hit.col}), false);
            }
        }
        return;
    }
    if (e->button() != Qt::LeftButton) {
        return;
    }
    const CellRef active = s.activeCell();
    baseSel_.clear();
    if (ctrl) {
        baseSel_ = s.selection();
    }
    switch (hit.area) {
    case SheetLayout::Area::Corner: selectRanges({{1, 1, kMaxRows, kMaxCols}}, active); break;
    case SheetLayout::Area::ColHeading: {
        if (v_.book_->allow().allowEditHeaders) {
            if (int c = resizeTarget(hit, pos, true)) {
                drag_ = Drag::ResizeCol;
                resizeIndex_ = c;
                resizeFrom_ = v_.layout_.cols().size(c);
                resizePress_ = pos.x();
                guide_ = pos.x();
                v_.viewport()->update();
                return;
            }
        }
        const int r = std::max(1, v_.layout_.rows().firstShown());
        dragAnchor_ = shift ? active : CellRef{r, hit.col};
        CellRange g{1, std::min(dragAnchor_.col, hit.col), kMaxRows,
                    std::max(dragAnchor_.col, hit.col)};
        std::vector<CellRange> ranges = baseSel_;
        if (shift && !s.selection().empty()) {
            ranges = s.selection();
            ranges.back() = g;
        } else {
            ranges.push_back(g);
        }
        cursor_ = {kMaxRows, hit.col};
        selectRanges(ranges, dragAnchor_);
        drag_ = Drag::Cols;
        break;
    }
    case SheetLayout::Area::RowHeading: {
        if (v_.book_->allow().allowEditHeaders) {
            if (int r = resizeTarget(hit, pos, false)) {
                drag_ = Drag::ResizeRow;
                resizeIndex_ = r;
                resizeFrom_ = v_.layout_.rows().size(r);
                resizePress_ = pos.y();
                guide_ = pos.y();
                v_.viewport()->update();
                return;
            }
        }
        const int c = std::max(1, v_.layout_.cols().firstShown());
        dragAnchor_ = shift ? active : CellRef{hit.row, c};
        CellRange g{std::min(dragAnchor_.row, hit.row), 1, std::max(dragAnchor_.row, hit.row),
                    kMaxCols};
        std::vector<CellRange> ranges = baseSel_;
        if (shift && !s.selection().empty()) {
            ranges = s.selection();
            ranges.back() = g;
        } else {
            ranges.push_back(g);
        }
        cursor_ = {hit.row, kMaxCols};
        selectRanges(ranges, dragAnchor_);
        drag_ = Drag::Rows;
        break;
    }
    case SheetLayout::Area::Cell: {
        const CellRef at = nav.anchorOf({hit.row, hit.col});
        if (shift) {
            dragAnchor_ = active;
            moveTo({hit.row, hit.col}, true);
        } else {
            dragAnchor_ = at;
            cursor_ = at;
            std::vector<CellRange> ranges = baseSel_;
            ranges.push_back(nav.withMerges(CellRange::cell(at.row, at.col)));
            selectRanges(ranges, at);
            scrollTo(at);
        }
        drag_ = Drag::Cells;
        break;
    }
    case SheetLayout::Area::Outside: break;
    }
}

void SheetInput::dragTo(QPoint pos) {
    v_.ensureLayout();
    Sheet& s = v_.sheet();
    SheetNavigator nav(s, v_.layout_);
    const LayoutAxis& ra = v_.layout_.rows();
    const LayoutAxis& ca = v_.layout_.cols();
    // Past the edge of the cells the nearest cell counts.
    QPoint q(std::clamp(pos.x(), ca.header(), std::max(ca.header(), ca.extent() - 1)),
             std::clamp(pos.y(), ra.header(), std::max(ra.header(), ra.extent() - 1)));
    int r = ra.at(q.y());
    int c = ca.at(q.x());
    if (r <= 0) {
        r = ra.lastShown();
    }
    if (c <= 0) {
        c = ca.lastShown();
    }
    if (r <= 0 || c <= 0) {
        return;
    }
    std::vector<CellRange> ranges = baseSel_;
    CellRange g;
    switch (drag_) {
    case Drag::Cells:
        if (CellRef{r, c} == cursor_) {
            return;
        }
        cursor_ = {r, c};
        g = nav.withMerges(CellRange{dragAnchor_.row, dragAnchor_.col, r, c}.normalized());
        break;
    case Drag::Cols:
        if (c == cursor_.col) {
            return;
        }
        cursor_ = {kMaxRows, c};
        g = {1, std::min(dragAnchor_.col, c), kMaxRows, std::max(dragAnchor_.col, c)};
        break;
    case Drag::Rows:
        if (r == cursor_.row) {
            return;
        }
        cursor_ = {r, kMaxCols};
        g = {std::min(dragAnchor_.row, r), 1, std::max(dragAnchor_.row, r), kMaxCols};
        break;
    default: return;
    }
    // Without Ctrl the dragged range is the selection's last one; with Ctrl it follows the
    // ranges there were before the press.
    if (baseSel_.empty() && !s.selection().empty()) {
        ranges = s.selection();
        ranges.back() = g;
    } else {
        ranges.push_back(g);
    }
    selectRanges(ranges, dragAnchor_);
}

void SheetInput::autoScroll() {
    if (drag_ != Drag::Cells && drag_ != Drag::Rows && drag_ != Drag::Cols) {
        autoScroll_->stop();
        return;
    }
    const LayoutAxis& ra = v_.layout_.rows();
    const LayoutAxis& ca = v_.layout_.cols();
    int dr = 0, dc = 0;
    if (drag_ != Drag::Cols) {
        dr = lastMouse_.y() >= ra.extent() ? 1 : lastMouse_.y() < ra.scrollBegin() ? -1 : 0;
    }
    if (drag_ != Drag::Rows) {
        dc = lastMouse_.x() >= ca.extent() ? 1 : lastMouse_.x() < ca.scrollBegin() ? -1 : 0;
    }
    if (dr == 0 && dc == 0) {
        autoScroll_->stop();
        return;
    }
    scrollBy(dr, dc);
    dragTo(lastMouse_);
}

void SheetInput::updateCursor(QPoint pos) {
    if (v_.book_->view().mousePointer != 0) {
        return;
    }
    if (drag_ == Drag::ResizeCol || drag_ == Drag::ResizeRow) {
        return;
    }
    const SheetLayout::Hit hit = v_.layout_.hit(pos);
    if (v_.book_->allow().allowEditHeaders) {
        if (hit.area == SheetLayout::Area::ColHeading && resizeTarget(hit, pos, true)) {
            v_.viewport()->setCursor(Qt::SplitHCursor);
            return;
        }
        if (hit.area == SheetLayout::Area::RowHeading && resizeTarget(hit, pos, false)) {
            v_.viewport()->setCursor(Qt::SplitVCursor);
            return;
        }
    }
    v_.viewport()->unsetCursor();
}

void SheetInput::move(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    lastMouse_ = pos;
    emit v_.mouseMove(e->buttons(), e->modifiers(), pos);
    v_.ensureLayout();
    if (drag_ == Drag::None && v_.objectInput_->move(e)) {
        return;
    }
    switch (drag_) {
    case Drag::ResizeCol:
        guide_ = std::max(pos.x(), v_.layout_.cols().start(resizeIndex_));
        v_.viewport()->update();
        return;
    case Drag::ResizeRow:
        guide_ = std::max(pos.y(), v_.layout_.rows().start(resizeIndex_));
        v_.viewport()->update();
        return;
    case Drag::Cells:
    case Drag::Rows:
    case Drag::Cols: {
        dragTo(pos);
        const bool outside =
            pos.x() < v_.layout_.cols().scrollBegin() || pos.x() >= v_.layout_.cols().extent() ||
            pos.y() < v_.layout_.rows().scrollBegin() || pos.y() >= v_.layout_.rows().extent();
        if (outside && !autoScroll_->isActive()) {
            autoScroll_->start();
        } else if (!outside) {
            autoScroll_->stop();
        }
        return;
    }
    case Drag::None: updateCursor(pos); return;
    }
}

void SheetInput::release(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    emit v_.mouseUp(e->button(), e->modifiers(), pos);
    autoScroll_->stop();
    if (v_.objectInput_->release(e)) {
        return;
    }
    const Drag was = drag_;
    drag_ = Drag::None;
    v_.ensureLayout();
    if (was == Drag::ResizeCol || was == Drag::ResizeRow) {
        const int scale = v_.book_->view().viewScale;
        guide_ = -1;
        // The edge moves by as much as the mouse did, wherever on the edge it was taken. A
        // click that moved nothing changes nothing (an owner may count every change).
        const int moved = was == Drag::ResizeCol ? pos.x() - resizePress_ : pos.y() - resizePress_;
        if (moved == 0) {
            v_.viewport()->update();
            return;
        }
        if (was == Drag::ResizeCol) {
            int px = std::max(0, resizeFrom_ + pos.x() - resizePress_);
            v_.sheet().setColWidth(
                resizeIndex_,
                static_cast<int>(std::lround(px * 25600.0 / (std::max(1, v_.unitPx_) * scale))));
        } else {
            int px = std::max(0, resizeFrom_ + pos.y() - resizePress_);
            v_.sheet().setRowHeight(resizeIndex_,
                                    static_cast<int>(std::lround(px * 1500.0 / scale)));
        }
        v_.viewport()->update();
        return;
    }
    if (was == Drag::None || e->button() != Qt::LeftButton) {
        return;
    }
    const SheetLayout::Hit hit = v_.layout_.hit(pos);
    if (!suppressClick_ && hit.area == pressHit_.area && hit.row == pressHit_.row &&
        hit.col == pressHit_.col && hit.area != SheetLayout::Area::Outside) {
        emit v_.click(hit.row, hit.col);
    }
    suppressClick_ = false;
}

void SheetInput::doubleClick(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    v_.ensureLayout();
    if (v_.objectInput_->doubleClick(e)) {
        suppressClick_ = true;
        return;
    }
    const SheetLayout::Hit hit = v_.layout_.hit(pos);
    suppressClick_ = true;
    if (hit.area == SheetLayout::Area::Outside || hit.area == SheetLayout::Area::Corner) {
        return;
    }
    if (e->button() == Qt::RightButton) {
        emit v_.rDblClick(hit.row, hit.col);
        return;
    }
    if (e->button() != Qt::LeftButton) {
        return;
    }
    const bool onColEdge = hit.area == SheetLayout::Area::ColHeading;
    if ((onColEdge || hit.area == SheetLayout::Area::RowHeading) &&
        v_.book_->allow().allowEditHeaders) {
        // A double click on a heading's edge fits the column or row to its contents.
        if (int i = resizeTarget(hit, pos, onColEdge)) {
            drag_ = Drag::None;
            guide_ = -1;
            Sheet& s = v_.sheet();
            if (onColEdge) {
                s.fitColWidths({1, i, s.maxRow(), i}, v_.measurer_);
            } else {
                s.fitRowHeights({i, 1, i, s.maxCol()}, v_.measurer_);
            }
            v_.viewport()->update();
            return;
        }
    }
    bool consumed = false;
    emit v_.dblClick(hit.row, hit.col, &consumed);
    if (!consumed && hit.area == SheetLayout::Area::Cell) {
        drag_ = Drag::None;
        v_.startEditing();
    }
}

} // namespace fc
