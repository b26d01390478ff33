#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

namespace fc {
namespace {

// Records the events the workbook raises.
struct EventLog : WorkbookListener {
    std::vector<std::string> got;
    void objValueChanged(int id) override { got.push_back("value " + std::to_string(id)); }
    void selChange() override { got.push_back("sel"); }
};

TEST(SheetObjects, CreateWalkAndDelete) {
    Workbook book;
    Sheet& s = book.sheet();
    EXPECT_EQ(s.firstObject(), 0);
    EXPECT_EQ(s.createObject(static_cast<ObjectKind>(12), 0, 0, 1, 1), 0) << "unknown kind";
    EXPECT_EQ(s.createObject(ObjectKind::Oval, 0, 0, std::numeric_limits<double>::infinity(), 1), 0)
        << "not a finite corner";
    const int line = s.createObject(ObjectKind::Line, 3, 4, 1, 2);
    const int rect = s.createObject(ObjectKind::Rectangle, 3, 4, 1, 2);
    const int button = s.createObject(ObjectKind::Button, 1, 1, 2, 2);
    const int poly = s.createObject(ObjectKind::Polygon, 1, 1, 3, 2);
    EXPECT_TRUE(book.modified());

    std::vector<int> walked;
    for (int id = s.firstObject(); id != 0; id = s.nextObject(id)) {
        walked.push_back(id);
    }
    EXPECT_EQ(walked, (std::vector<int>{line, rect, button, poly}));
    EXPECT_EQ(s.nextObject(999), 0);

    const DrawnObject& l = *s.object(line);
    EXPECT_EQ((std::vector<double>{l.x1, l.y1, l.x2, l.y2}), (std::vector<double>{3, 4, 1, 2}))
        << "a line keeps its direction";
    const DrawnObject& r = *s.object(rect);
    EXPECT_EQ((std::vector<double>{r.x1, r.y1, r.x2, r.y2}), (std::vector<double>{1, 2, 3, 4}));
    EXPECT_EQ(s.object(button)->text, w("Кнопка") + " 3");
    EXPECT_EQ(s.object(poly)->points.size(), 3u);

    // A polygon's vertices follow its box when it is resized.
    ASSERT_TRUE(s.setObjectPosition(poly, 2, 2, 6, 4));
    const auto& pts = s.object(poly)->points;
    EXPECT_DOUBLE_EQ(pts[0].first, 2);
    EXPECT_DOUBLE_EQ(pts[0].second, 4);
    EXPECT_DOUBLE_EQ(pts[1].first, 4);
    EXPECT_DOUBLE_EQ(pts[1].second, 2);
    EXPECT_FALSE(s.setObjectPosition(999, 0, 0, 1, 1));

    s.selectObject(rect);
    s.selectObject(poly, true);
    EXPECT_EQ(s.selectedObjects(), (std::vector<int>{rect, poly}));
    EXPECT_EQ(s.deleteSelectedObjects(), 2);
    EXPECT_EQ(s.objects().size(), 2u);
    // "top-left corner in the range": the line starts at (1, 2) as a box, i.e. cell B3.
    EXPECT_EQ(s.deleteObjectsIn({3, 2, 3, 2}), 1);
    EXPECT_EQ(s.deleteObjectsIn({10, 10, 20, 20}), 0);
    EXPECT_EQ(s.firstObject(), button);
}

TEST(SheetObjects, LinkedCellsAreReadAndWritten) {
    Workbook book;
    book.setNumSheets(2);
    book.sheet(2).setName("Data");
    Sheet& s = book.sheet(1);
    EventLog log;
    book.addListener(&log);
    const int check = s.createObject(ObjectKind::CheckBox, 1, 1, 3, 2);
    const int list = s.createObject(ObjectKind::ListBox, 1, 3, 3, 6);
    s.object(check)->linkedCell = "$E$2";
    s.object(list)->linkedCell = "Data!B1";
    s.object(list)->inputRange = "Data!A1:A3";
    for (int r = 1; r <= 3; ++r) {
        book.sheet(2).setText(r, 1, "item" + std::to_string(r));
    }
    EXPECT_EQ(s.objectItems(list), (std::vector<std::string>{"item1", "item2", "item3"}));

    struct Case {
        const char* name;
        Value cell;
        int checked;
    };
    const Case cases[] = {
        {"empty", Value::empty(), 0},
        {"true", Value::fromBool(true), 1},
        {"textTRUE", Value::fromText("TRUE"), 1},
        {"one", Value::fromText("1"), 1},
        {"zero", Value::fromNumber(0), 0},
        {"word", Value::fromText("yes"), 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        s.setValue(2, 5, c.cell);
        EXPECT_EQ(s.objectValue(check), c.checked);
    }

    log.got.clear();
    s.setValue(2, 5, Value::empty());
    ASSERT_TRUE(s.setObjectValue(check, 5));
    EXPECT_EQ(s.value(2, 5), Value::fromBool(true));
    EXPECT_EQ(s.objectValue(check), 1);
    s.setObjectValue(check, 1); // unchanged: no event
    ASSERT_TRUE(s.setObjectValue(list, 2));
    EXPECT_EQ(book.sheet(2).number(1, 2), 2);
    EXPECT_EQ(s.objectValue(list), 2);
    EXPECT_EQ(log.got, (std::vector<std::string>{"value 1", "value 2"}));

    // The event switch stops the event, not the change.
    book.events().doObjValueChanged = false;
    s.setObjectValue(list, 3);
    EXPECT_EQ(s.objectValue(list), 3);
    EXPECT_EQ(log.got.size(), 2u);

    // A link naming nothing leaves the object with a value of its own.
    s.object(check)->linkedCell = "Nowhere!A1";
    s.setObjectValue(check, 0);
    EXPECT_EQ(s.objectValue(check), 0);
    s.object(list)->inputRange = "not a range";
    s.object(list)->items = {"a", "b"};
    EXPECT_EQ(s.objectItems(list), (std::vector<std::string>{"a", "b"}));
    book.removeListener(&log);
}

TEST(SheetObjects, MoveToRowKeepsFractionHeightAndLink) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxRow(40);
    s.setRowHeight(5, 600); // 40 pixels
    s.setRowHeight(6, 150); // 10 pixels
    const int rect = s.createObject(ObjectKind::Rectangle, 1, 2.25, 3, 3.75);
    const int pic = s.createObject(ObjectKind::Picture, 1, 9.5, 2, 11.5);
    const int list = s.createObject(ObjectKind::ListBox, 2, 7.5, 4, 9);
    s.object(list)->linkedCell = "$F$8";
    EXPECT_EQ(s.object(pic)->heightPx, 34) << "two default rows of 17 pixels";

    s.moveObjectToRow(rect, 20);
    EXPECT_DOUBLE_EQ(s.object(rect)->y1, 19.25);
    EXPECT_DOUBLE_EQ(s.object(rect)->y2, 20.75);

    // Row 5 is 40 pixels high: half of it is 20 pixels, 14 more reach into row 6 (10 px)
    // and 4 pixels into row 7.
    s.moveObjectToRow(pic, 5);
    EXPECT_DOUBLE_EQ(s.object(pic)->y1, 4.5);
    EXPECT_DOUBLE_EQ(s.object(pic)->y2, 6 + 4.0 / 17);
    EXPECT_EQ(s.object(pic)->heightPx, 34);

    s.moveObjectToRow(list, 3);
    EXPECT_DOUBLE_EQ(s.object(list)->y1, 2.5);
    EXPECT_EQ(s.object(list)->linkedCell, "$F$3");
    s.object(list)->linkedCell = "Other!B8:B9";
    s.moveObjectToRow(list, 8);
    EXPECT_EQ(s.object(list)->linkedCell, "Other!B13:B14") << "moved by as many rows";
}

TEST(SheetObjects, CopyAndPasteBetweenWorkbooks) {
    Workbook from;
    Sheet& a = from.sheet();
    a.setText(2, 2, "x");
    const int pic = a.createObject(ObjectKind::Picture, 1.5, 1.25, 3, 3);
    a.object(pic)->image = std::string("\x89PNG\r\n\x1a\n", 8) + "data";
    const int check = a.createObject(ObjectKind::CheckBox, 2, 2, 3, 2.5);
    a.object(check)->linkedCell = "D3";
    a.createObject(ObjectKind::Oval, 10, 10, 11, 11); // outside the copied range
    a.selectObject(pic);
    const ClipData clip = a.copy({2, 2, 4, 4});
    ASSERT_EQ(clip.objects.size(), 2u);

    Workbook to;
    Sheet& b = to.sheet();
    b.createObject(ObjectKind::Line, 0, 0, 1, 1);
    b.paste(clip, {5, 3});
    ASSERT_EQ(b.objects().size(), 3u);
    const DrawnObject& p = b.objects()[1];
    EXPECT_EQ(p.kind, ObjectKind::Picture);
    EXPECT_EQ(p.image, a.object(pic)->image);
    EXPECT_DOUBLE_EQ(p.x1, 2.5);
    EXPECT_DOUBLE_EQ(p.y1, 4.25);
    EXPECT_FALSE(p.selected);
    EXPECT_NE(p.id, b.objects()[0].id) << "new ids in the target";
    EXPECT_EQ(b.objects()[2].linkedCell, "D3");
    EXPECT_EQ(b.text(5, 3), "x");
}

TEST(SheetObjects, PixelHeights) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxRow(10);
    s.setRowHeight(2, 300); // 20 px; others 17 px
    EXPECT_DOUBLE_EQ(s.pixelsBetween(0.5, 2.5), 8.5 + 20 + 8.5);
    EXPECT_DOUBLE_EQ(s.pixelsBetween(3, 3), 0);
    EXPECT_DOUBLE_EQ(s.rowsBelow(0.5, 8.5 + 20 + 8.5), 2.5);
    EXPECT_DOUBLE_EQ(s.rowsBelow(8, 1000), 10) << "no lower than MaxRow";
}

} // namespace
} // namespace fc
