#include "designer/ObjectCommands.h"
#include "components/model/TextMeasurer.h"
#include "components/model/Workbook.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

struct SelLog : WorkbookListener {
    int changes = 0;
    void selChange() override { ++changes; }
};

TEST(ObjectCommands, PictureGoesToTheSelectionAtItsOwnSize) {
    Workbook book;
    book.setDefaultFont("Fixedsys", 10); // 6 pixels a character with the fixed measurer
    Sheet& s = book.sheet();
    s.setColWidth(3, 10 * 256); // 60 px
    s.setColWidth(4, 5 * 256);  // 30 px
    s.setRowHeight(4, 300);     // 20 px; other rows 17 px
    s.setSelection({4, 3, 6, 5});
    const int other = s.createObject(ObjectKind::Oval, 0, 0, 1, 1);
    s.selectObject(other);
    FixedTextMeasurer m;
    const int id = ObjectCommands::insertPicture(s, "png bytes", 75, 37, m);
    ASSERT_NE(id, 0);
    const DrawnObject& p = *s.object(id);
    EXPECT_EQ(p.kind, ObjectKind::Picture);
    EXPECT_DOUBLE_EQ(p.x1, 2);
    EXPECT_DOUBLE_EQ(p.y1, 3);
    EXPECT_DOUBLE_EQ(p.x2, 3 + 15.0 / 30) << "60 px of column C, 15 of D's 30";
    EXPECT_DOUBLE_EQ(p.y2, 4 + 17.0 / 17) << "20 px of row 4 and all 17 of row 5";
    EXPECT_EQ(p.heightPx, 37);
    EXPECT_EQ(p.image, "png bytes");
    EXPECT_EQ(s.selectedObjects(), (std::vector<int>{id}));
    EXPECT_EQ(ObjectCommands::insertPicture(s, "", 10, 10, m), 0);
    EXPECT_EQ(ObjectCommands::insertPicture(s, "x", 0, 10, m), 0);
}

TEST(ObjectCommands, SelectedObjectKeepsTheCellUnderItsCorner) {
    Workbook book;
    Sheet& s = book.sheet();
    SelLog log;
    book.addListener(&log);
    EXPECT_FALSE(ObjectCommands::keepCellUnderObject(s));
    const int a = s.createObject(ObjectKind::Rectangle, 2.5, 6.75, 5, 9);
    const int b = s.createObject(ObjectKind::Button, 7, 1, 8, 2);
    s.selectObject(a);
    s.selectObject(b, true);
    log.changes = 0;
    EXPECT_TRUE(ObjectCommands::keepCellUnderObject(s));
    EXPECT_EQ(s.activeCell(), (CellRef{7, 3}));
    EXPECT_EQ(s.selectionRange(0), CellRange::cell(7, 3));
    EXPECT_EQ(s.selectedObjects(), (std::vector<int>{a, b})) << "selected again";
    EXPECT_EQ(log.changes, 0) << "no selection-change event meanwhile";
    EXPECT_TRUE(book.events().doSelChange);
    book.removeListener(&log);
}

TEST(ObjectCommands, DeleteTakesObjectsInTheSelection) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxRow(20);
    s.setMaxCol(10);
    s.setText(3, 3, "gone");
    s.setText(9, 9, "kept");
    const int inside = s.createObject(ObjectKind::Line, 2.5, 2.5, 8, 8); // starts in C3
    const int outside = s.createObject(ObjectKind::Oval, 6, 6, 7, 7);
    const int chosen = s.createObject(ObjectKind::Button, 8, 12, 9, 13);
    const int second = s.createObject(ObjectKind::Chart, 0, 15, 2, 19); // A16, second range
    s.setSelection({2, 2, 4, 4});
    s.setSelection({16, 1, 16, 1}, true);
    s.selectObject(chosen);
    EXPECT_EQ(ObjectCommands::deleteSelection(s), 3);
    EXPECT_EQ(s.object(inside), nullptr);
    EXPECT_EQ(s.object(chosen), nullptr);
    EXPECT_EQ(s.object(second), nullptr);
    EXPECT_NE(s.object(outside), nullptr);
    EXPECT_EQ(s.text(3, 3), "");
    EXPECT_EQ(s.text(9, 9), "kept");
}

} // namespace
} // namespace fc
