#include "ViewFixture.h"

#include "components/model/Sheet.h"
#include "components/ui/ObjectPainter.h"

#include <QBuffer>
#include <QColor>

#include <cmath>

namespace fc {
namespace {

using Log = std::vector<std::string>;

// Mouse work on drawn objects: drawing while Mode is set, editing in the designer's way, and
// controls in a result sheet.
class ObjectMouse : public ViewFixture {
protected:
    void SetUp() override {
        ViewFixture::SetUp();
        QObject::connect(&view, &SheetView::objValueChanged, [this](int id) {
            log.push_back("objValueChanged(" + std::to_string(id) + ")");
        });
        take();
    }
    QWidget* vp() { return view.viewport(); }
    void drag(QPoint from, QPoint to) {
        QTest::mousePress(vp(), Qt::LeftButton, {}, from);
        // Two steps, as a hand makes them: the first gets past the slop.
        QTest::mouseMove(vp(), (from + to) / 2);
        QTest::mouseMove(vp(), to);
        QTest::mouseRelease(vp(), Qt::LeftButton, {}, to);
    }
    QPointF units(QPoint p) { return view.sheetLayout().unitsAt(QPointF(p)); }
    const DrawnObject& only() {
        EXPECT_EQ(sheet().objects().size(), 1u);
        return sheet().objects().front();
    }
    QPoint cornerOf(int r, int c) { return view.cellRect(r, c).topLeft(); }
};

TEST_F(ObjectMouse, DrawingModeMakesObjectsOfItsKind) {
    const int modes[] = {1, 2, 3, 4, 5, 7, 9, 10};
    for (int mode : modes) {
        SCOPED_TRACE(mode);
        sheet().objects().clear();
        book().setMode(mode);
        const QPoint from = at(3, 2), to = at(6, 4);
        drag(from, to);
        const DrawnObject& o = only();
        EXPECT_EQ(static_cast<int>(o.kind), mode);
        EXPECT_NEAR(std::min(o.x1, o.x2), units(from).x(), 1e-9);
        EXPECT_NEAR(std::max(o.y1, o.y2), units(to).y(), 1e-9);
        EXPECT_DOUBLE_EQ(std::floor(o.y1), 2) << "0-based rows: row 3 starts at 2";
        EXPECT_TRUE(o.selected);
        EXPECT_EQ(book().mode(), 0) << "one object per choice of the menu";
    }
    // A click without a drag still gives an object, of a usual size.
    sheet().objects().clear();
    book().setMode(2);
    QTest::mouseClick(vp(), Qt::LeftButton, {}, at(3, 2));
    const DrawnObject& o = only();
    const QRectF box = view.sheetLayout().objectRect(o.x1, o.y1, o.x2, o.y2);
    EXPECT_NEAR(box.width(), 64, 1);
    EXPECT_NEAR(box.height(), 24, 1);
    // Escape leaves the mode with nothing drawn; cells are selected again.
    sheet().objects().clear();
    book().setMode(3);
    QTest::mousePress(vp(), Qt::LeftButton, {}, at(3, 2));
    QTest::mouseMove(vp(), at(5, 5));
    key(Qt::Key_Escape);
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, at(5, 5));
    EXPECT_TRUE(sheet().objects().empty());
    EXPECT_EQ(book().mode(), 0);
}

TEST_F(ObjectMouse, PolygonTakesAClickPerVertex) {
    book().setMode(8);
    const QPoint a = at(3, 2), b = at(3, 5), c = at(7, 4);
    QTest::mouseClick(vp(), Qt::LeftButton, {}, a);
    QTest::mouseClick(vp(), Qt::LeftButton, {}, b);
    QTest::mouseClick(vp(), Qt::LeftButton, {}, c);
    QTest::mouseDClick(vp(), Qt::LeftButton, {}, c);
    const DrawnObject& o = only();
    EXPECT_EQ(o.kind, ObjectKind::Polygon);
    ASSERT_EQ(o.points.size(), 3u);
    EXPECT_NEAR(o.points[1].first, units(b).x(), 1e-9);
    EXPECT_NEAR(o.points[2].second, units(c).y(), 1e-9);
    EXPECT_NEAR(o.y2, units(c).y(), 1e-9) << "the box holds the vertices";
    EXPECT_EQ(book().mode(), 0);
}

TEST_F(ObjectMouse, DesignerSelectsMovesAndSizes) {
    view.setObjectsEditable(true);
    const int rect = sheet().createObject(ObjectKind::Rectangle, 1, 2, 3, 4);
    const int line = sheet().createObject(ObjectKind::Line, 4, 6, 6, 8);
    take();
    // A click on an object selects it and reports a selection change, not a cell click.
    QTest::mouseClick(vp(), Qt::LeftButton, {}, at(4, 3));
    EXPECT_EQ(sheet().selectedObjects(), (std::vector<int>{rect}));
    EXPECT_EQ(take({"selChange", "click", "objClick"}), (Log{"selChange"}));
    // Shift adds one; a click on a bare cell lets them go.
    QTest::mouseClick(vp(), Qt::LeftButton, Qt::ShiftModifier, at(7, 5));
    EXPECT_EQ(sheet().selectedObjects(), (std::vector<int>{rect, line}));
    QTest::mouseClick(vp(), Qt::LeftButton, {}, at(12, 8));
    EXPECT_TRUE(sheet().selectedObjects().empty());
    EXPECT_EQ(sheet().activeCell(), (CellRef{12, 8}));

    // Dragging the body moves it by whole cells here: from the middle of C4 to that of E7.
    QTest::mouseClick(vp(), Qt::LeftButton, {}, at(4, 3));
    drag(at(4, 3), at(7, 5));
    const DrawnObject* r = sheet().object(rect);
    EXPECT_NEAR(r->x1, 3, 1e-9);
    EXPECT_NEAR(r->y1, 5, 1e-9);
    EXPECT_NEAR(r->x2, 5, 1e-9);
    EXPECT_NEAR(r->y2, 7, 1e-9);
    EXPECT_EQ(sheet().activeCell(), (CellRef{12, 8})) << "the cells stay as they were";

    // The bottom-right handle sizes it; the top-left corner stays.
    drag(cornerOf(8, 6), cornerOf(10, 9));
    EXPECT_NEAR(r->x1, 3, 1e-9);
    EXPECT_NEAR(r->x2, 8, 1e-9);
    EXPECT_NEAR(r->y2, 9, 1e-9);

    // A line's end handle moves that end only.
    sheet().selectObject(line);
    drag(cornerOf(9, 7), cornerOf(11, 2));
    const DrawnObject* l = sheet().object(line);
    EXPECT_NEAR(l->x1, 4, 1e-9);
    EXPECT_NEAR(l->y1, 6, 1e-9);
    EXPECT_NEAR(l->x2, 1, 1e-9);
    EXPECT_NEAR(l->y2, 10, 1e-9);

    // A press that does not move changes nothing; Delete removes the selected object only.
    QTest::mouseClick(vp(), Qt::LeftButton, {}, at(7, 5));
    EXPECT_NEAR(r->x1, 3, 1e-9);
    sheet().setText(6, 5, "kept");
    key(Qt::Key_Delete);
    ASSERT_EQ(sheet().objects().size(), 1u);
    EXPECT_EQ(sheet().objects()[0].id, line);
    EXPECT_EQ(sheet().text(6, 5), "kept");
}

TEST_F(ObjectMouse, ResultSheetControlsWork) {
    Sheet& s = sheet();
    const int button = s.createObject(ObjectKind::Button, 1, 1, 3, 2);
    const int check = s.createObject(ObjectKind::CheckBox, 1, 3, 3, 4);
    s.object(check)->linkedCell = "F4";
    const int list = s.createObject(ObjectKind::ListBox, 1, 5, 3, 12);
    s.object(list)->items = {"one", "two", "three"};
    s.object(list)->linkedCell = "F6";
    const CellRef before = s.activeCell();
    take();

    QTest::mouseClick(vp(), Qt::LeftButton, {}, at(2, 2));
    // Pressed on the button and let go elsewhere: no click.
    QTest::mousePress(vp(), Qt::LeftButton, {}, at(2, 2));
    QTest::mouseRelease(vp(), Qt::LeftButton, {}, at(9, 7));
    EXPECT_EQ(take({"objClick", "objValue", "click", "selChange"}),
              (Log{"objClick(" + std::to_string(button) + ")"}));

    QTest::mouseClick(vp(), Qt::LeftButton, {}, at(4, 2));
    EXPECT_EQ(s.value(4, 6), Value::fromBool(true));
    QTest::mouseClick(vp(), Qt::LeftButton, {}, at(4, 2));
    EXPECT_EQ(s.value(4, 6), Value::fromBool(false));
    const std::string c = std::to_string(check);
    EXPECT_EQ(take({"objClick", "objValue", "click"}),
              (Log{"objValueChanged(" + c + ")", "objClick(" + c + ")",
                   "objValueChanged(" + c + ")", "objClick(" + c + ")"}));

    // The second line of the list box.
    const QRectF box = view.sheetLayout().objectRect(1, 5, 3, 12);
    const int rowH = ObjectPainter::listRowHeight(FontMapper::toQFont(book().defaultFont()));
    book().events().doObjValueChanged = false;
    const QPoint second(static_cast<int>(box.left()) + 10,
                        static_cast<int>(box.top()) + 2 + rowH + rowH / 2);
    QTest::mouseClick(vp(), Qt::LeftButton, {}, second);
    EXPECT_EQ(s.objectValue(list), 2);
    EXPECT_EQ(s.number(6, 6), s.objectValue(list));
    EXPECT_EQ(take({"objClick", "objValue"}), (Log{"objClick(" + std::to_string(list) + ")"}))
        << "no value event while DoObjValueChanged is off";
    EXPECT_EQ(s.activeCell(), before) << "controls leave the cells alone";
    EXPECT_TRUE(s.selectedObjects().empty());
}

TEST_F(ObjectMouse, ObjectsCopyAndPasteBetweenWorkbooks) {
    view.setObjectsEditable(true);
    const int pic = sheet().createObject(ObjectKind::Picture, 1.5, 2.25, 3, 4);
    sheet().object(pic)->image = "bytes";
    sheet().createObject(ObjectKind::Oval, 5, 5, 6, 6);
    sheet().selectObject(pic);
    key(Qt::Key_C, Qt::ControlModifier);

    SheetView other;
    other.resize(400, 300);
    other.show();
    other.workbook().sheet().setActiveCell(10, 4);
    QTest::keyClick(&other, Qt::Key_V, Qt::ControlModifier);
    const auto& objs = other.workbook().sheet().objects();
    ASSERT_EQ(objs.size(), 1u);
    EXPECT_EQ(objs[0].image, "bytes");
    EXPECT_DOUBLE_EQ(objs[0].x1, 3.5) << "the fraction of the cell is kept";
    EXPECT_DOUBLE_EQ(objs[0].y1, 9.25);
    EXPECT_TRUE(objs[0].selected);
    EXPECT_EQ(other.workbook().sheet().text(10, 4), "") << "no cell text pasted";

    // Cut takes them away; a later copy of text replaces them on the clipboard.
    key(Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(sheet().objects().size(), 1u);
    sheet().setText(1, 1, "t");
    sheet().setSelection(CellRange::cell(1, 1));
    view.copy();
    other.paste();
    EXPECT_EQ(other.workbook().sheet().objects().size(), 1u);
}

// Pixels of each kind: every one paints, with its colours.
class ObjectPaint : public ViewFixture {
protected:
    void SetUp() override {
        ViewFixture::SetUp();
        sheet().setSelection(CellRange::cell(300, 100));
    }
    QRect boxOf(int id) {
        const DrawnObject& o = *sheet().object(id);
        return view.sheetLayout().objectRect(o.x1, o.y1, o.x2, o.y2).toRect();
    }
    int count(const QImage& img, const QRect& r, const std::function<bool(QColor)>& f) {
        int n = 0;
        for (int y = std::max(0, r.top()); y <= std::min(img.height() - 1, r.bottom()); ++y) {
            for (int x = std::max(0, r.left()); x <= std::min(img.width() - 1, r.right()); ++x) {
                n += f(QColor(img.pixel(x, y))) ? 1 : 0;
            }
        }
        return n;
    }
    static bool near(QColor a, QColor b) {
        return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
               std::abs(a.blue() - b.blue()) < 40;
    }
};

TEST_F(ObjectPaint, GraphicsWithTheirColours) {
    struct Case {
        const char* name;
        ObjectKind kind;
        Color fill;
        bool fillAtCentre;  // the fill colour at the box's middle
        bool fillAtCorner;  // and at its far corner (inside by 3 pixels)
        bool farIsTopRight; // an arc bows away from its top-right corner
    };
    const Case cases[] = {
        {"rectangle", ObjectKind::Rectangle, rgb(0, 200, 0), true, true, false},
        {"oval", ObjectKind::Oval, rgb(0, 200, 0), true, false, false},
        {"polygon", ObjectKind::Polygon, rgb(0, 200, 0), true, false, false},
        {"arcFilled", ObjectKind::Arc, rgb(0, 200, 0), true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sheet().objects().clear();
        const int id = sheet().createObject(c.kind, 1, 2, 5, 10);
        sheet().object(id)->fillColor = c.fill;
        sheet().object(id)->lineColor = rgb(255, 0, 0);
        const QImage img = grab();
        const QRect box = boxOf(id);
        const QColor fill(0, 200, 0);
        EXPECT_EQ(near(QColor(img.pixel(box.center())), fill), c.fillAtCentre);
        const QPoint corner =
            c.farIsTopRight ? box.topRight() + QPoint(-3, 3) : box.topLeft() + QPoint(3, 3);
        EXPECT_EQ(near(QColor(img.pixel(corner)), fill), c.fillAtCorner);
        EXPECT_GT(count(img, box.adjusted(-1, -1, 1, 1),
                        [](QColor q) { return near(q, QColor(255, 0, 0)); }),
                  box.height() / 2)
            << "the outline in its line colour";
    }
    // A line runs from its first corner to its second.
    sheet().objects().clear();
    const int line = sheet().createObject(ObjectKind::Line, 5, 2, 1, 10);
    sheet().object(line)->lineColor = rgb(0, 0, 255);
    const QImage img = grab();
    const QRect box = boxOf(line);
    auto blue = [](QColor q) { return near(q, QColor(0, 0, 255)); };
    EXPECT_GT(count(img, QRect(box.topRight() - QPoint(4, 0), QSize(5, 5)), blue), 0);
    EXPECT_GT(count(img, QRect(box.bottomLeft() - QPoint(0, 4), QSize(5, 5)), blue), 0);
    EXPECT_EQ(count(img, QRect(box.topLeft(), QSize(5, 5)), blue), 0);
}

TEST_F(ObjectPaint, PicturesFromTheirBytes) {
    QImage src(20, 10, QImage::Format_RGB32);
    src.fill(QColor(250, 120, 0));
    for (const char* format : {"PNG", "BMP", "JPG"}) {
        SCOPED_TRACE(format);
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        ASSERT_TRUE(src.save(&buf, format));
        sheet().objects().clear();
        const int id = sheet().createObject(ObjectKind::Picture, 1, 2, 4, 6);
        sheet().object(id)->image = bytes.toStdString();
        const QImage img = grab();
        EXPECT_TRUE(near(QColor(img.pixel(boxOf(id).center())), QColor(250, 120, 0)));
    }
    // An SVG picture is drawn at the object's size.
    sheet().objects().clear();
    const int svg = sheet().createObject(ObjectKind::Picture, 1, 2, 4, 6);
    sheet().object(svg)->image = "<svg xmlns='http://www.w3.org/2000/svg' width='10' height='10'>"
                                 "<rect width='10' height='10' fill='#0000ff'/></svg>";
    QImage img = grab();
    if (!ObjectPainter().image(sheet().object(svg)->image, QSize(8, 8)).isNull()) {
        EXPECT_TRUE(near(QColor(img.pixel(boxOf(svg).center())), QColor(0, 0, 255)));
        EXPECT_TRUE(
            near(QColor(img.pixel(boxOf(svg).bottomRight() - QPoint(2, 2))), QColor(0, 0, 255)));
    }
    // Bytes that are no picture show a crossed box.
    sheet().object(svg)->image = "not a picture";
    img = grab();
    EXPECT_GT(inkIn(img, boxOf(svg)), 0);
}

TEST_F(ObjectPaint, ControlsLookLikeControls) {
    Sheet& s = sheet();
    const int button = s.createObject(ObjectKind::Button, 1, 2, 4, 4);
    const int check = s.createObject(ObjectKind::CheckBox, 1, 5, 4, 6);
    const int list = s.createObject(ObjectKind::ListBox, 5, 2, 7, 8);
    s.object(list)->items = {"first", "second", "third"};
    QImage img = grab();
    const QRect b = boxOf(button);
    EXPECT_GT(count(img, b, [](QColor q) { return q != QColor(Qt::white); }),
              b.width() * b.height() * 3 / 4)
        << "a button face, not the sheet";
    EXPECT_GT(inkIn(img, b.adjusted(4, 4, -4, -4)), 0) << "its caption";

    const QRect c = boxOf(check);
    const int unchecked = inkIn(img, c);
    s.setObjectValue(check, 1);
    img = grab();
    EXPECT_GT(inkIn(img, c), unchecked) << "the tick";

    const QRect l = boxOf(list);
    const int plain = inkIn(img, l);
    EXPECT_GT(plain, 0) << "the items";
    const QColor highlight = QApplication::palette().color(QPalette::Highlight);
    auto lit = [&](QColor q) { return near(q, highlight); };
    EXPECT_EQ(count(img, l, lit), 0);
    s.setObjectValue(list, 2);
    img = grab();
    EXPECT_GT(count(img, l, lit), 20) << "the chosen item";
}

TEST_F(ObjectPaint, ChartFollowsItsCells) {
    Sheet& s = sheet();
    s.setNumber(1, 10, 1);
    s.setNumber(2, 10, 2);
    s.setNumber(3, 10, 3);
    const int chart = s.createObject(ObjectKind::Chart, 1, 2, 6, 12);
    s.object(chart)->inputRange = "J1:J3";
    const QColor series(0x33, 0x66, 0x99);
    auto inSeries = [&](QColor q) { return near(q, series); };
    QImage img = grab();
    const int bars = count(img, boxOf(chart), inSeries);
    EXPECT_GT(bars, 100);
    // A change of a cell is drawn at once.
    s.setNumber(1, 10, 3);
    QApplication::processEvents();
    img = grab();
    EXPECT_GT(count(img, boxOf(chart), inSeries), bars);
    // As lines the same data take far fewer pixels.
    s.object(chart)->chartType = 1;
    img = grab();
    const int lines = count(img, boxOf(chart), inSeries);
    EXPECT_GT(lines, 10);
    EXPECT_LT(lines, bars);
}

TEST_F(ObjectPaint, SelectedObjectsShowHandles) {
    const int id = sheet().createObject(ObjectKind::Rectangle, 2, 3, 5, 8);
    const QRect box = boxOf(id);
    const QColor accent(0x1F, 0x6F, 0xBF);
    auto handle = [&](QColor q) { return near(q, accent); };
    EXPECT_EQ(count(grab(), box.adjusted(-4, -4, 4, 4), handle), 0);
    sheet().selectObject(id);
    const QImage img = grab();
    for (QPoint p : {box.topLeft(), box.bottomRight(), QPoint(box.center().x(), box.top())}) {
        EXPECT_GT(count(img, QRect(p - QPoint(2, 2), QSize(5, 5)), handle), 4);
    }
}

} // namespace
} // namespace fc
