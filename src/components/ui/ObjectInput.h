#pragma once

#include "components/model/DrawnObject.h"

#include <QPoint>
#include <QPointF>
#include <Qt>

#include <vector>

class QMouseEvent;
class QPainter;

namespace fc {

class SheetView;

// What the mouse and keys do to the drawn objects of a sheet view. While the workbook's
// `Mode` is set, a drag draws an object of that kind (a polygon takes a click per vertex and
// ends with a double click, a right click or a click on its first vertex). Where objects are
// editable (the designer), a click selects an object, dragging it moves the selected ones and
// dragging a handle sizes it. Elsewhere (a result sheet) buttons, check boxes and list boxes
// work as controls: a click on any object is reported, and a check box or list box changes
// its value (written to its linked cell, reported while DoObjValueChanged is on).
// Every handler returns true when it took the event, so that the cells do not see it.
class ObjectInput {
public:
    explicit ObjectInput(SheetView& view) : v_(view) {}

    bool press(QMouseEvent* e);
    bool move(QMouseEvent* e);
    bool release(QMouseEvent* e);
    bool doubleClick(QMouseEvent* e);
    // Escape, Delete and the clipboard keys while objects are selected or drawn.
    bool key(int qtKey, Qt::KeyboardModifiers mods);
    // The shape being drawn, moved or sized, over the painted sheet.
    void paintOverlay(QPainter& p);

    // The topmost object under a viewport point, 0 when none.
    int objectAt(QPoint pos) const;
    // The selected objects to the program's object clipboard (cut: and removed); false when
    // none is selected.
    bool copyObjects(bool cut);
    // Objects from that clipboard, their group's top-left corner at the active cell's;
    // false when the clipboard holds none.
    bool pasteObjects();
    bool drawing() const { return drag_ == Drag::Draw || drag_ == Drag::Polygon; }

private:
    enum class Drag { None, Draw, Polygon, Move, Resize, Control };
    struct Placed {
        int id;
        DrawnObject at; // the object as it stands, or as the drag would leave it
    };

    bool editable() const;
    bool pressControl(int id, QPoint pos);
    void finishPolygon();
    void cancel();
    void updateCursor(QPoint pos);
    int handleAt(QPoint pos, int* handle) const;
    void dragTo(QPointF units);
    void apply();
    QPointF unitsAt(QPoint pos) const;

    SheetView& v_;
    Drag drag_ = Drag::None;
    int mode_ = 0;
    QPoint pressPx_;
    QPointF start_, cur_;         // sheet units
    std::vector<QPointF> points_; // polygon vertices so far
    std::vector<Placed> moving_;  // originals, then where they go
    std::vector<DrawnObject> originals_;
    int target_ = 0;
    int handle_ = 0;
    bool moved_ = false;
};

} // namespace fc
