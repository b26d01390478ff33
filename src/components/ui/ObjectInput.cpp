#include "components/ui/ObjectInput.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/ui/ObjectPainter.h"
#include "components/ui/SheetView.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace fc {

namespace {

// The objects last copied in this program, so that they paste into any workbook; the
// clipboard holds a mark naming them, and another program's copy replaces the mark.
const char* const kClipFormat = "application/x-formconstructor-objects";
ClipData& objectClip() {
    static ClipData clip;
    return clip;
}
quint64& clipSerial() {
    static quint64 serial = 0;
    return serial;
}

bool drawableMode(int mode) { return mode >= 1 && mode <= 10; }

constexpr int kSlop = 3;      // pixels the mouse may wander before a press is a drag
constexpr int kDefaultW = 64; // size of an object drawn with a mere click
constexpr int kDefaultH = 24;

void shift(DrawnObject& o, double dx, double dy) {
    o.x1 += dx, o.x2 += dx, o.y1 += dy, o.y2 += dy;
    for (auto& [x, y] : o.points) {
        x += dx, y += dy;
    }
}

} // namespace

bool ObjectInput::editable() const { return v_.objectsEditable_; }

QPointF ObjectInput::unitsAt(QPoint pos) const { return v_.layout_.unitsAt(QPointF(pos)); }

int ObjectInput::objectAt(QPoint pos) const {
    const auto& objs = v_.book_->sheet().objects();
    for (auto it = objs.rbegin(); it != objs.rend(); ++it) {
        const QRectF r =
            v_.layout_.objectRect(it->x1, it->y1, it->x2, it->y2).adjusted(-2, -2, 2, 2);
        if (r.contains(pos)) {
            return it->id;
        }
    }
    return 0;
}

int ObjectInput::handleAt(QPoint pos, int* handle) const {
    const auto& objs = v_.book_->sheet().objects();
    for (auto it = objs.rbegin(); it != objs.rend(); ++it) {
        if (!it->selected) {
            continue;
        }
        const QRectF box = v_.layout_.objectRect(it->x1, it->y1, it->x2, it->y2);
        for (int i = 0; i < ObjectPainter::handleCount(*it); ++i) {
            const QPointF c = ObjectPainter::handleAt(*it, box, v_.layout_, i);
            if (std::fabs(c.x() - pos.x()) <= ObjectPainter::kHandle / 2 + 1 &&
                std::fabs(c.y() - pos.y()) <= ObjectPainter::kHandle / 2 + 1) {
                *handle = i;
                return it->id;
            }
        }
    }
    return 0;
}

bool ObjectInput::press(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    v_.ensureLayout();
    Workbook& book = *v_.book_;
    Sheet& s = book.sheet();
    const SheetLayout::Hit hit = v_.layout_.hit(pos);
    pressPx_ = pos;
    moved_ = false;

    if (drag_ == Drag::Polygon) {
        if (e->button() != Qt::LeftButton) {
            finishPolygon();
            return true;
        }
        const QRectF first =
            v_.layout_.objectRect(points_[0].x(), points_[0].y(), points_[0].x(), points_[0].y());
        if (points_.size() >= 3 && std::abs(first.left() - pos.x()) <= kSlop + 1 &&
            std::abs(first.top() - pos.y()) <= kSlop + 1) {
            finishPolygon();
            return true;
        }
        points_.push_back(unitsAt(pos));
        cur_ = points_.back();
        v_.viewport()->update();
        return true;
    }
    if (book.mode() != 0) {
        mode_ = book.mode();
        if (!drawableMode(mode_)) {
            book.setMode(0);
        } else if (e->button() == Qt::LeftButton && hit.area == SheetLayout::Area::Cell) {
            start_ = cur_ = unitsAt(pos);
            if (mode_ == static_cast<int>(ObjectKind::Polygon)) {
                drag_ = Drag::Polygon;
                points_ = {start_};
            } else {
                drag_ = Drag::Draw;
            }
            v_.viewport()->update();
            return true;
        } else {
            // Any other press leaves the drawing mode, as Escape does.
            book.setMode(0);
        }
    }

    if (editable()) {
        int handle = 0;
        if (e->button() == Qt::LeftButton) {
            if (int id = handleAt(pos, &handle)) {
                drag_ = Drag::Resize;
                target_ = id;
                handle_ = handle;
                start_ = unitsAt(pos);
                moving_ = {{id, *s.object(id)}};
                originals_ = {*s.object(id)};
                return true;
            }
        }
        if (hit.area != SheetLayout::Area::Cell) {
            return false;
        }
        const int id = objectAt(pos);
        if (id == 0) {
            s.clearObjectSelection();
            return false;
        }
        const DrawnObject* o = s.object(id);
        const bool extend = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier);
        if (extend && e->button() == Qt::LeftButton) {
            if (o->selected) {
                std::vector<int> keep = s.selectedObjects();
                keep.erase(std::remove(keep.begin(), keep.end(), id), keep.end());
                s.clearObjectSelection();
                for (int k : keep) {
                    s.selectObject(k, true);
                }
                return true;
            }
            s.selectObject(id, true);
        } else if (!o->selected) {
            s.selectObject(id);
        }
        if (e->button() != Qt::LeftButton) {
            return true;
        }
        drag_ = Drag::Move;
        start_ = unitsAt(pos);
        moving_.clear();
        originals_.clear();
        for (int k : s.selectedObjects()) {
            moving_.push_back({k, *s.object(k)});
            originals_.push_back(*s.object(k));
        }
        return true;
    }

    if (hit.area != SheetLayout::Area::Cell) {
        return false;
    }
    const int id = objectAt(pos);
    if (id == 0) {
        return false;
    }
    if (e->button() == Qt::LeftButton) {
        pressControl(id, pos);
    }
    return true;
}

bool ObjectInput::pressControl(int id, QPoint pos) {
    Sheet& s = v_.book_->sheet();
    const DrawnObject& o = *s.object(id);
    ObjectPainter& painter = v_.painter_.objects();
    switch (o.kind) {
    case ObjectKind::Button:
        painter.setPressed(id);
        drag_ = Drag::Control;
        target_ = id;
        v_.viewport()->update();
        return true;
    case ObjectKind::CheckBox:
        drag_ = Drag::Control;
        target_ = id;
        return true;
    case ObjectKind::ListBox: {
        const QRectF box = v_.layout_.objectRect(o.x1, o.y1, o.x2, o.y2);
        const QFont& font = v_.painter_.objectFont(s);
        const int rows = ObjectPainter::listRows(box, font);
        const int n = static_cast<int>(s.objectItems(id).size());
        const int top = std::clamp(painter.listTop(id), 0, std::max(0, n - rows));
        const int barW =
            n > rows ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
        if (barW > 0 && pos.x() >= box.right() - 1 - barW) {
            // The scroll bar: the upper half scrolls up a line, the lower half down.
            painter.setListTop(
                id, std::clamp(top + (pos.y() < box.center().y() ? -1 : 1), 0, n - rows));
            v_.viewport()->update();
            return true;
        }
        const int item =
            top + static_cast<int>((pos.y() - box.top() - 2) / ObjectPainter::listRowHeight(font));
        if (item >= 0 && item < n) {
            s.setObjectValue(id, item + 1);
        }
        emit v_.objClick(id);
        return true;
    }
    default: emit v_.objClick(id); return true;
    }
}

bool ObjectInput::move(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    v_.ensureLayout();
    switch (drag_) {
    case Drag::None: updateCursor(pos); return v_.viewport()->cursor().shape() != Qt::ArrowCursor;
    case Drag::Control: return true;
    case Drag::Draw:
    case Drag::Polygon:
        cur_ = unitsAt(pos);
        v_.viewport()->update();
        return true;
    case Drag::Move:
    case Drag::Resize:
        if (!moved_ && (pos - pressPx_).manhattanLength() < kSlop) {
            return true;
        }
        moved_ = true;
        dragTo(unitsAt(pos));
        v_.viewport()->update();
        return true;
    }
    return false;
}

void ObjectInput::dragTo(QPointF units) {
    const double dx = units.x() - start_.x(), dy = units.y() - start_.y();
    if (drag_ == Drag::Move) {
        // The group moves as one and stays on the sheet.
        double minX = 1e9, minY = 1e9;
        for (const DrawnObject& o : originals_) {
            minX = std::min({minX, o.x1, o.x2});
            minY = std::min({minY, o.y1, o.y2});
        }
        const double mx = std::max(dx, -minX), my = std::max(dy, -minY);
        for (std::size_t i = 0; i < moving_.size(); ++i) {
            moving_[i].at = originals_[i];
            shift(moving_[i].at, mx, my);
        }
        return;
    }
    DrawnObject o = originals_[0];
    const double x = std::max(0.0, units.x()), y = std::max(0.0, units.y());
    if (o.kind == ObjectKind::Line) {
        (handle_ == 0 ? o.x1 : o.x2) = x;
        (handle_ == 0 ? o.y1 : o.y2) = y;
    } else {
        double l = std::min(o.x1, o.x2), r = std::max(o.x1, o.x2);
        double t = std::min(o.y1, o.y2), b = std::max(o.y1, o.y2);
        if (handle_ == 0 || handle_ == 6 || handle_ == 7) {
            l = x;
        }
        if (handle_ >= 2 && handle_ <= 4) {
            r = x;
        }
        if (handle_ <= 2) {
            t = y;
        }
        if (handle_ >= 4 && handle_ <= 6) {
            b = y;
        }
        o.x1 = l, o.x2 = r, o.y1 = t, o.y2 = b;
    }
    moving_[0].at = o;
}

void ObjectInput::apply() {
    // Vertices of a polygon follow its box, so a move shifts them and a resize scales them.
    Sheet& s = v_.book_->sheet();
    for (const Placed& p : moving_) {
        s.setObjectPosition(p.id, p.at.x1, p.at.y1, p.at.x2, p.at.y2);
    }
}

bool ObjectInput::release(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    v_.ensureLayout();
    Workbook& book = *v_.book_;
    Sheet& s = book.sheet();
    switch (drag_) {
    case Drag::None: return false;
    case Drag::Polygon: return true; // vertices come with presses
    case Drag::Draw: {
        drag_ = Drag::None;
        QPointF end = unitsAt(pos);
        if ((pos - pressPx_).manhattanLength() < kSlop) {
            // A click without a drag gives an object of a usual size.
            const int h = mode_ == static_cast<int>(ObjectKind::Line) ? 0 : kDefaultH;
            end = unitsAt(pressPx_ + QPoint(kDefaultW, h));
        }
        const int id = s.createObject(static_cast<ObjectKind>(mode_), start_.x(), start_.y(),
                                      end.x(), end.y());
        book.setMode(0);
        if (id != 0) {
            s.selectObject(id);
        }
        v_.viewport()->update();
        return true;
    }
    case Drag::Move:
    case Drag::Resize:
        if (moved_) {
            apply();
            // Where the selection lies has changed with it (the designer keeps the cell
            // under the object's corner).
            book.noteSelChange();
        }
        drag_ = Drag::None;
        moving_.clear();
        originals_.clear();
        v_.viewport()->update();
        return true;
    case Drag::Control: {
        drag_ = Drag::None;
        const int id = target_;
        target_ = 0;
        v_.painter_.objects().setPressed(0);
        v_.viewport()->update();
        const DrawnObject* o = s.object(id);
        if (o && objectAt(pos) == id) {
            if (o->kind == ObjectKind::CheckBox) {
                s.setObjectValue(id, s.objectValue(id) ? 0 : 1);
            }
            emit v_.objClick(id);
        }
        return true;
    }
    }
    return false;
}

bool ObjectInput::doubleClick(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    v_.ensureLayout();
    if (drag_ == Drag::Polygon) {
        finishPolygon();
        return true;
    }
    return drag_ != Drag::None || objectAt(pos) != 0;
}

void ObjectInput::finishPolygon() {
    drag_ = Drag::None;
    // A double click's second press repeats the last vertex.
    std::vector<QPointF> pts;
    for (const QPointF& p : points_) {
        if (pts.empty() || std::fabs(pts.back().x() - p.x()) > 1e-9 ||
            std::fabs(pts.back().y() - p.y()) > 1e-9) {
            pts.push_back(p);
        }
    }
    points_.clear();
    Workbook& book = *v_.book_;
    book.setMode(0);
    v_.viewport()->update();
    if (pts.size() < 2) {
        return;
    }
    double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
    for (const QPointF& p : pts) {
        l = std::min(l, p.x()), r = std::max(r, p.x());
        t = std::min(t, p.y()), b = std::max(b, p.y());
    }
    Sheet& s = book.sheet();
    const int id = s.createObject(ObjectKind::Polygon, l, t, r, b);
    if (DrawnObject* o = s.object(id)) {
        o->points.clear();
        for (const QPointF& p : pts) {
            o->points.emplace_back(p.x(), p.y());
        }
        s.selectObject(id);
    }
}

void ObjectInput::cancel() {
    drag_ = Drag::None;
    points_.clear();
    moving_.clear();
    originals_.clear();
    v_.painter_.objects().setPressed(0);
    v_.book_->setMode(0);
    v_.viewport()->update();
}

bool ObjectInput::key(int qtKey, Qt::KeyboardModifiers mods) {
    Workbook& book = *v_.book_;
    Sheet& s = book.sheet();
    if (qtKey == Qt::Key_Escape && (drag_ != Drag::None || book.mode() != 0)) {
        cancel();
        return true;
    }
    if (!editable() || s.selectedObjects().empty()) {
        if ((qtKey == Qt::Key_V && (mods & Qt::ControlModifier)) ||
            (qtKey == Qt::Key_Insert && (mods & Qt::ShiftModifier))) {
            return pasteObjects();
        }
        return false;
    }
    const bool ctrl = mods & Qt::ControlModifier;
    const bool shiftKey = mods & Qt::ShiftModifier;
    switch (qtKey) {
    case Qt::Key_Escape: s.clearObjectSelection(); return true;
    case Qt::Key_Delete:
        if (shiftKey) {
            return copyObjects(true);
        }
        if (book.allow().allowDelete) {
            s.deleteSelectedObjects();
        }
        return true;
    case Qt::Key_C: return ctrl && copyObjects(false);
    case Qt::Key_X: return ctrl && copyObjects(true);
    case Qt::Key_Insert: return ctrl && copyObjects(false);
    default: return false;
    }
}

bool ObjectInput::copyObjects(bool cut) {
    Sheet& s = v_.book_->sheet();
    const std::vector<int> ids = s.selectedObjects();
    if (ids.empty()) {
        return false;
    }
    double minX = 1e9, minY = 1e9;
    for (int id : ids) {
        const DrawnObject& o = *s.object(id);
        minX = std::min({minX, o.x1, o.x2});
        minY = std::min({minY, o.y1, o.y2});
    }
    // Relative to the cell holding the group's top-left corner, so that the fractions of the
    // cell stay as they were.
    const double ox = std::floor(minX), oy = std::floor(minY);
    ClipData clip;
    clip.rows = clip.cols = 1;
    clip.srcRow = static_cast<int>(oy) + 1;
    clip.srcCol = static_cast<int>(ox) + 1;
    for (int id : ids) {
        DrawnObject o = *s.object(id);
        shift(o, -ox, -oy);
        o.selected = false;
        clip.objects.push_back(std::move(o));
    }
    objectClip() = std::move(clip);
    auto* mime = new QMimeData;
    mime->setData(kClipFormat, QByteArray::number(++clipSerial()));
    QApplication::clipboard()->setMimeData(mime);
    if (cut && v_.book_->allow().allowDelete) {
        s.deleteSelectedObjects();
    }
    return true;
}

bool ObjectInput::pasteObjects() {
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime || !mime->hasFormat(kClipFormat) ||
        mime->data(kClipFormat) != QByteArray::number(clipSerial()) ||
        objectClip().objects.empty()) {
        return false;
    }
    Workbook& book = *v_.book_;
    Sheet& s = book.sheet();
    const int before = static_cast<int>(s.objects().size());
    PasteWhat what{false, false, false, false, true};
    s.paste(objectClip(), s.activeCell(), what);
    s.clearObjectSelection();
    for (std::size_t i = static_cast<std::size_t>(before); i < s.objects().size(); ++i) {
        s.selectObject(s.objects()[i].id, true);
    }
    book.setModified(true);
    return true;
}

void ObjectInput::updateCursor(QPoint pos) {
    if (v_.book_->view().mousePointer != 0) {
        return;
    }
    if (drawableMode(v_.book_->mode())) {
        v_.viewport()->setCursor(Qt::CrossCursor);
        return;
    }
    if (!editable()) {
        v_.viewport()->setCursor(objectAt(pos) ? Qt::PointingHandCursor : Qt::ArrowCursor);
        return;
    }
    int handle = 0;
    if (const int id = handleAt(pos, &handle)) {
        const DrawnObject* o = v_.book_->sheet().object(id);
        Qt::CursorShape shape = Qt::SizeAllCursor;
        if (o->kind != ObjectKind::Line) {
            static const Qt::CursorShape shapes[] = {
                Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor,
                Qt::SizeFDiagCursor, Qt::SizeVerCursor, Qt::SizeBDiagCursor, Qt::SizeHorCursor};
            shape = shapes[handle];
        } else {
            shape = Qt::CrossCursor;
        }
        v_.viewport()->setCursor(shape);
        return;
    }
    v_.viewport()->setCursor(objectAt(pos) ? Qt::SizeAllCursor : Qt::ArrowCursor);
}

void ObjectInput::paintOverlay(QPainter& p) {
    if (drag_ == Drag::None || drag_ == Drag::Control ||
        (!moved_ && drag_ != Drag::Draw && drag_ != Drag::Polygon)) {
        return;
    }
    const SheetLayout& l = v_.layout_;
    p.save();
    QPen pen(QColor(0x20, 0x20, 0x20));
    pen.setStyle(Qt::DashLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto px = [&](double x, double y) { return l.objectRect(x, y, x, y).topLeft(); };
    if (drag_ == Drag::Draw) {
        const QPointF a = px(start_.x(), start_.y()), b = px(cur_.x(), cur_.y());
        if (mode_ == static_cast<int>(ObjectKind::Line)) {
            p.drawLine(a, b);
        } else if (mode_ == static_cast<int>(ObjectKind::Oval)) {
            p.drawEllipse(QRectF(a, b).normalized());
        } else {
            p.drawRect(QRectF(a, b).normalized());
        }
    } else if (drag_ == Drag::Polygon) {
        QPolygonF poly;
        for (const QPointF& pt : points_) {
            poly << px(pt.x(), pt.y());
        }
        poly << px(cur_.x(), cur_.y());
        p.drawPolyline(poly);
    } else {
        for (const Placed& m : moving_) {
            const DrawnObject& o = m.at;
            if (o.kind == ObjectKind::Line) {
                p.drawLine(px(o.x1, o.y1), px(o.x2, o.y2));
            } else {
                p.drawRect(l.objectRect(o.x1, o.y1, o.x2, o.y2));
            }
        }
    }
    p.restore();
}

} // namespace fc
