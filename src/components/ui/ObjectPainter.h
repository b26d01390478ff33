#pragma once

#include "components/model/DrawnObject.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRectF>

#include <map>
#include <string>

class QPainter;

namespace fc {

class Sheet;
class SheetLayout;

// Paints the drawn objects of a sheet: pictures from their image bytes, buttons, check boxes
// and list boxes as the platform draws such controls, charts of their linked cells, and the
// graphics with their colours; selected objects get their handles. Decoded pictures are kept
// between frames.
class ObjectPainter {
public:
    void paint(QPainter& p, const Sheet& s, const SheetLayout& l, const QFont& font);
    // A printed page: only the objects whose top left cell the layout shows, without handles.
    void paintPrinted(QPainter& p, const Sheet& s, const SheetLayout& l, const QFont& font);
    void paintOne(QPainter& p, const Sheet& s, const DrawnObject& o, const QRectF& box,
                  const SheetLayout& l, const QFont& font);

    // Interaction state the view keeps for the painter: the first list item shown per list
    // box, the button held down.
    int listTop(int id) const;
    void setListTop(int id, int top) { listTops_[id] = top; }
    void setPressed(int id) { pressed_ = id; }

    // Item rows of a list box drawn in `box` with `font`: how many fit, and their height.
    static int listRowHeight(const QFont& font);
    static int listRows(const QRectF& box, const QFont& font);
    // The handle squares of an object, in the order the input reads them: corners and edge
    // middles clockwise from the top left, or the two ends of a line.
    static int handleCount(const DrawnObject& o) { return o.kind == ObjectKind::Line ? 2 : 8; }
    static QPointF handleAt(const DrawnObject& o, const QRectF& box, const SheetLayout& l, int i);
    static constexpr double kHandle = 6;

    // A picture's bytes as an image (scalable pictures drawn at `size`); null when they are
    // no image.
    QImage image(const std::string& bytes, QSize size);
    void clearCaches() { images_.clear(); }

private:
    void paintPicture(QPainter& p, const DrawnObject& o, const QRectF& box);
    void paintButton(QPainter& p, const DrawnObject& o, const QRectF& box, const QFont& font);
    void paintCheckBox(QPainter& p, const Sheet& s, const DrawnObject& o, const QRectF& box,
                       const QFont& font);
    void paintListBox(QPainter& p, const Sheet& s, const DrawnObject& o, const QRectF& box,
                      const QFont& font);
    void paintChart(QPainter& p, const Sheet& s, const DrawnObject& o, const QRectF& box,
                    const QFont& font);
    void paintHandles(QPainter& p, const DrawnObject& o, const QRectF& box, const SheetLayout& l);

    QHash<quint64, QImage> images_;
    std::map<int, int> listTops_;
    int pressed_ = 0;
    bool handles_ = true;
};

} // namespace fc
