#include "ViewFixture.h"

#include "components/model/Sheet.h"
#include "components/text/Cp1251.h"

#include <QClipboard>
#include <QScrollBar>
#include <QTabBar>

namespace fc {
namespace {

using Log = std::vector<std::string>;

class SheetViewEvents : public ViewFixture {};

TEST_F(SheetViewEvents, ClickSelectsTheCellAndReportsEachChangeOnce) {
    click(3, 2);
    EXPECT_EQ(take(), (Log{"mouseDown", "selChange", "mouseUp", "click(3,2)"}));
    EXPECT_EQ(sheet().activeCell(), (CellRef{3, 2}));
    EXPECT_EQ(sheet().selectionRange(0), CellRange::cell(3, 2));
    click(3, 2); // the same cell again: nothing changed, so no selection event
    EXPECT_EQ(take({"selChange", "click"}), (Log{"click(3,2)"}));
    // A program's change arrives once, through the workbook.
    sheet().setSelection({1, 1, 2, 2});
    EXPECT_EQ(take(), (Log{"selChange"}));
}

TEST_F(SheetViewEvents, ShiftClickAndDragExtendCtrlAddsRanges) {
    click(2, 2);
    click(4, 3, Qt::ShiftModifier);
    EXPECT_EQ(sheet().selectionRange(0), (CellRange{2, 2, 4, 3}));
    EXPECT_EQ(sheet().activeCell(), (CellRef{2, 2})); // the anchor stays active
    click(6, 5, Qt::ControlModifier);
    ASSERT_EQ(sheet().selectionCount(), 2);
    EXPECT_EQ(sheet().selectionRange(1), CellRange::cell(6, 5));
    // A Ctrl drag grows the new range only.
    take();
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::ControlModifier, at(8, 1));
    QTest::mouseMove(view.viewport(), at(9, 3));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::ControlModifier, at(9, 3));
    ASSERT_EQ(sheet().selectionCount(), 3);
    EXPECT_EQ(sheet().selectionRange(1), CellRange::cell(6, 5));
    EXPECT_EQ(sheet().selectionRange(2), (CellRange{8, 1, 9, 3}));
    EXPECT_EQ(sheet().activeCell(), (CellRef{8, 1}));
    // Released on another cell than pressed: a drag, not a click.
    EXPECT_EQ(take({"selChange", "click"}), (Log{"selChange", "selChange"}));
}

TEST_F(SheetViewEvents, DragGrowsOverMergedAreas) {
    sheet().merge({3, 2, 4, 3});
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, at(2, 1));
    QTest::mouseMove(view.viewport(), at(3, 2));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, at(3, 2));
    EXPECT_EQ(sheet().selectionRange(0), (CellRange{2, 1, 4, 3}));
    click(4, 3); // inside the merge: the merged area is the cell
    EXPECT_EQ(sheet().activeCell(), (CellRef{3, 2}));
    EXPECT_EQ(sheet().selectionRange(0), (CellRange{3, 2, 4, 3}));
}

TEST_F(SheetViewEvents, HeadingsSelectWholeColumnsAndRows) {
    const QRect b3 = view.cellRect(1, 3);
    const QPoint colHead(b3.center().x(), view.sheetLayout().headerHeight() / 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, colHead);
    EXPECT_EQ(sheet().selectionRange(0), (CellRange{1, 3, kMaxRows, 3}));
    EXPECT_TRUE(sheet().selectionRange(0).wholeCols());
    EXPECT_EQ(take({"click"}), (Log{"click(0,3)"}));

    const QRect a5 = view.cellRect(5, 1);
    const QPoint rowHead(view.sheetLayout().headerWidth() / 2, a5.center().y());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, rowHead);
    ASSERT_EQ(sheet().selectionCount(), 2);
    EXPECT_EQ(sheet().selectionRange(1), (CellRange{5, 1, 5, kMaxCols}));
    EXPECT_EQ(take({"click"}), (Log{"click(5,0)"}));

    // Shift on a row heading extends the rows from the anchor row.
    const QPoint rowHead8(rowHead.x(), view.cellRect(8, 1).center().y());
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, rowHead8);
    EXPECT_EQ(sheet().selectionRange(1), (CellRange{5, 1, 8, kMaxCols}));

    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(2, 2)); // the corner
    EXPECT_EQ(sheet().selectionRange(0), (CellRange{1, 1, kMaxRows, kMaxCols}));
}

TEST_F(SheetViewEvents, EventSwitchesSilenceSelectionAndTopLeftEvents) {
    book().events().doSelChange = false;
    book().events().doTopLeftChanged = false;
    click(2, 2);
    key(Qt::Key_Down);
    sheet().setTopLeft(30, 1);
    EXPECT_EQ(take({"selChange", "topLeft"}), Log{});
    EXPECT_EQ(sheet().activeCell(), (CellRef{3, 2})); // the selection still moved
    book().events().doSelChange = true;
    book().events().doTopLeftChanged = true;
    sheet().setTopLeft(1, 1);
    key(Qt::Key_Down);
    EXPECT_EQ(take({"selChange", "topLeft"}), (Log{"topLeftChanged", "selChange"}));
}

TEST_F(SheetViewEvents, ArrowsSkipHiddenRowsAndColumnsAndStopAtTheExtent) {
    sheet().setRowHidden(3, true);
    sheet().setColHidden(2, true);
    sheet().setMaxRow(5);
    sheet().setMaxCol(4);
    struct Step {
        int key;
        Qt::KeyboardModifiers mods;
        CellRef want;
    };
    const Step steps[] = {
        {Qt::Key_Down, {}, {2, 1}},
        {Qt::Key_Down, {}, {4, 1}},
        {Qt::Key_Down, {}, {5, 1}},
        {Qt::Key_Down, {}, {5, 1}},
        {Qt::Key_Right, {}, {5, 3}},
        {Qt::Key_Right, {}, {5, 4}},
        {Qt::Key_Right, {}, {5, 4}},
        {Qt::Key_Up, {}, {4, 4}},
        {Qt::Key_Up, {}, {2, 4}},
        {Qt::Key_Home, {}, {2, 1}},
        {Qt::Key_End, {}, {2, 4}},
        {Qt::Key_Tab, {}, {2, 4}},
        {Qt::Key_Backtab, Qt::ShiftModifier, {2, 3}},
    };
    click(1, 1);
    for (const Step& s : steps) {
        key(s.key, s.mods);
        EXPECT_EQ(sheet().activeCell(), s.want)
            << "after key " << std::hex << s.key << ": " << sheet().activeCell().row << ","
            << sheet().activeCell().col;
    }
}

TEST_F(SheetViewEvents, AnActiveCellBeyondAShrunkExtentMovesBackIn) {
    sheet().setActiveCell(40, 30);
    sheet().setMaxRow(10);
    sheet().setMaxCol(5);
    key(Qt::Key_Up);
    EXPECT_EQ(sheet().activeCell(), (CellRef{10, 30}));
    key(Qt::Key_Left);
    EXPECT_EQ(sheet().activeCell(), (CellRef{10, 5}));
}

TEST_F(SheetViewEvents, ShiftAndCtrlArrowsExtendAndJumpOverData) {
    for (int r = 3; r <= 6; ++r) {
        sheet().setNumber(r, 2, r);
    }
    sheet().setNumber(12, 2, 1);
    click(3, 2);
    key(Qt::Key_Down, Qt::ControlModifier); // to the end of the filled run
    EXPECT_EQ(sheet().activeCell(), (CellRef{6, 2}));
    key(Qt::Key_Down, Qt::ControlModifier); // over the gap to the next filled cell
    EXPECT_EQ(sheet().activeCell(), (CellRef{12, 2}));
    key(Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(sheet().activeCell(), (CellRef{6, 2}));
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(sheet().selectionRange(0), (CellRange{6, 2, 7, 3}));
    EXPECT_EQ(sheet().activeCell(), (CellRef{6, 2}));
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(sheet().activeCell(), (CellRef{12, 2}));
    EXPECT_EQ(sheet().selectionCount(), 1);
}

TEST_F(SheetViewEvents, KeyboardMovesScrollAndScrollingFollowsTopLeft) {
    sheet().setFixedRows(1, 1);
    click(2, 1);
    take();
    key(Qt::Key_PageDown);
    const int top = sheet().topRow();
    EXPECT_GT(top, 2);
    EXPECT_GT(sheet().activeCell().row, 2);
    EXPECT_EQ(take({"selChange", "topLeft"}), (Log{"topLeftChanged", "selChange"}));
    // The active cell stays in view: its rectangle lies inside the viewport.
    QRect r = view.cellRect(sheet().activeCell().row, 1);
    EXPECT_TRUE(view.viewport()->rect().contains(r))
        << r.y() << " in " << view.viewport()->height();
    key(Qt::Key_Home, Qt::ControlModifier); // the first cell past the frozen row
    EXPECT_EQ(sheet().activeCell(), (CellRef{2, 1}));
    EXPECT_EQ(sheet().topRow(), 2);

    // The program sets TopRow: the scroll bar follows; the user scrolls: TopRow follows.
    sheet().setTopLeft(60000, 1);
    QApplication::processEvents();
    view.sheetLayout();
    QScrollBar* bar = view.verticalScrollBar();
    const int at60000 = bar->value();
    EXPECT_GT(at60000, 0);
    take();
    bar->setValue(bar->value() + bar->singleStep());
    EXPECT_EQ(sheet().topRow(), 60001);
    EXPECT_EQ(take({"topLeft"}), (Log{"topLeftChanged"}));
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(sheet().topRow(), 60000);
    EXPECT_EQ(bar->value(), at60000);
    // ShowActiveCell brings the active cell back.
    view.showActiveCell();
    EXPECT_EQ(sheet().topRow(), 2);
}

TEST_F(SheetViewEvents, EditingCommitsThroughTheSheetAndMovesOn) {
    click(2, 2);
    take();
    QTest::keyClicks(&view, "12");
    ASSERT_TRUE(view.isEditing());
    EXPECT_EQ(view.editor()->text(), "12");
    QTest::keyClick(view.editor(), Qt::Key_Return);
    EXPECT_FALSE(view.isEditing());
    EXPECT_EQ(sheet().value(2, 2), Value::fromNumber(12));
    EXPECT_EQ(sheet().activeCell(), (CellRef{3, 2}));
    EXPECT_EQ(take({"keyPress", "startEdit", "endEdit", "selChange"}),
              (Log{"keyPress(1)", "startEdit(1)", "endEdit(12)", "selChange"}));

    // F2 opens the entry for editing; arrows then move the caret, Escape drops the edit.
    sheet().setFormula(3, 2, "B2*2");
    key(Qt::Key_F2);
    ASSERT_TRUE(view.isEditing());
    EXPECT_EQ(view.editor()->text(), "=B2*2");
    QTest::keyClick(view.editor(), Qt::Key_Left);
    EXPECT_TRUE(view.isEditing());
    QTest::keyClick(view.editor(), Qt::Key_Escape);
    EXPECT_FALSE(view.isEditing());
    EXPECT_EQ(sheet().formula(3, 2), "=B2*2");
    EXPECT_EQ(take({"startEdit", "endEdit", "cancelEdit"}),
              (Log{"startEdit(=B2*2)", "cancelEdit(3,2)"}));

    // Started by typing, an arrow ends the edit and moves.
    QTest::keyClicks(&view, "x");
    QTest::keyClick(view.editor(), Qt::Key_Right);
    EXPECT_EQ(sheet().text(3, 2), "x");
    EXPECT_EQ(sheet().activeCell(), (CellRef{3, 3}));
}

TEST_F(SheetViewEvents, OwnerMayVetoOrReplaceAndSwitchesAndPermissionsApply) {
    click(2, 2);
    vetoEnd = true;
    QTest::keyClicks(&view, "7");
    QTest::keyClick(view.editor(), Qt::Key_Return);
    EXPECT_TRUE(view.isEditing()); // vetoed: the editor stays
    EXPECT_EQ(sheet().text(2, 2), "");
    take();
    click(6, 6); // a click elsewhere asks once and stays put
    EXPECT_EQ(take({"endEdit", "selChange"}), (Log{"endEdit(7)"}));
    EXPECT_TRUE(view.isEditing());
    vetoEnd = false;
    replaceWith = "8";
    QTest::keyClick(view.editor(), Qt::Key_Return);
    EXPECT_EQ(sheet().value(2, 2), Value::fromNumber(8));

    // DoEndEdit off: no event, the text goes in as typed.
    book().events().doEndEdit = false;
    take();
    QTest::keyClicks(&view, "9");
    QTest::keyClick(view.editor(), Qt::Key_Return);
    EXPECT_EQ(sheet().value(3, 2), Value::fromNumber(9));
    EXPECT_EQ(take({"endEdit"}), Log{});

    // AllowInCellEditing off: typing and F2 open nothing.
    book().allow().allowInCellEditing = false;
    QTest::keyClicks(&view, "5");
    key(Qt::Key_F2);
    EXPECT_FALSE(view.isEditing());
}

TEST_F(SheetViewEvents, DoubleClickEditsUnlessTheOwnerTakesIt) {
    sheet().setText(2, 3, "abc");
    consumeDblClick = true;
    doubleClick(2, 3);
    EXPECT_FALSE(view.isEditing());
    // The first half of a double click is a click.
    EXPECT_EQ(take({"dblClick", "click"}), (Log{"click(2,3)", "dblClick(2,3)"}));
    consumeDblClick = false;
    doubleClick(2, 3);
    ASSERT_TRUE(view.isEditing());
    EXPECT_EQ(view.editor()->text(), "abc");
    // Clicking another cell ends the edit (stored) and selects that cell.
    QTest::keyClicks(view.editor(), "d");
    click(5, 5);
    EXPECT_FALSE(view.isEditing());
    EXPECT_EQ(sheet().text(2, 3), "abcd");
    EXPECT_EQ(sheet().activeCell(), (CellRef{5, 5}));
    doubleClick(4, 4, Qt::RightButton);
    EXPECT_EQ(take({"rDblClick"}), (Log{"rDblClick(4,4)"}));
}

TEST_F(SheetViewEvents, KeysReachTheOwnerFirstAndProgramKeysCanBeInjected) {
    click(2, 2);
    take();
    QTest::keyClick(&view, Qt::Key_F8);
    EXPECT_EQ(take({"key"}), (Log{"keyDown(119)", "keyUp(119)"}));
    QTest::keyClick(&view, Qt::Key_A);
    EXPECT_EQ(take({"key"}), (Log{"keyDown(65)", "keyPress(a)", "keyUp(65)"}));
    view.cancelEditing();
    consumeKeys = true; // a consumed key does nothing more
    key(Qt::Key_Down);
    EXPECT_EQ(sheet().activeCell(), (CellRef{2, 2}));
    QTest::keyClicks(&view, "z");
    EXPECT_FALSE(view.isEditing());
    consumeKeys = false;
    take();

    EXPECT_FALSE(view.sendKey(SheetView::KeyPhase::Up, 129));
    EXPECT_FALSE(view.sendKey(SheetView::KeyPhase::Down, 40)); // a code with a default action
    EXPECT_EQ(sheet().activeCell(), (CellRef{3, 2}));
    EXPECT_EQ(take({"key"}), (Log{"keyUp(129)", "keyDown(40)"}));
    // While editing, a sent character goes into the editor and other keys end the edit.
    view.startEditing();
    view.sendKey(SheetView::KeyPhase::Press, 'Q', {}, "Q");
    EXPECT_EQ(view.editor()->text(), "Q");
    view.sendKey(SheetView::KeyPhase::Down, 40);
    EXPECT_EQ(sheet().text(3, 2), "Q");
    EXPECT_EQ(sheet().activeCell(), (CellRef{4, 2}));
    take();
    view.postKey(SheetView::KeyPhase::Down, 0x81);
    EXPECT_EQ(take({"key"}), Log{});
    QApplication::processEvents(); // a posted key arrives after the current event
    EXPECT_EQ(take({"key"}), (Log{"keyDown(129)"}));
}

TEST_F(SheetViewEvents, ClipboardRoundTripsTabSeparatedText) {
    sheet().setText(1, 1, w("Счет"));
    sheet().setNumber(1, 2, 1.5);
    sheet().setNumber(2, 2, 3);
    sheet().setSelection({1, 1, 2, 2});
    view.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("Счет\t1.5\r\n\t3\r\n"));
    click(5, 3);
    view.paste();
    EXPECT_EQ(sheet().text(5, 3), w("Счет"));
    EXPECT_EQ(sheet().value(5, 4), Value::fromNumber(1.5));
    EXPECT_EQ(sheet().value(6, 4), Value::fromNumber(3));
    // A whole column copies as far as the sheet goes, not 65,536 lines.
    sheet().setMaxRow(3);
    sheet().setSelection({1, 2, kMaxRows, 2});
    view.copy();
    EXPECT_EQ(QApplication::clipboard()->text(), QString("1.5\r\n3\r\n\r\n"));
}

TEST_F(SheetViewEvents, HeadingEdgesResizeWhereAllowed) {
    const int before = sheet().colWidth(2);
    const QRect b = view.cellRect(1, 2);
    const int y = view.sheetLayout().headerHeight() / 2;
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(b.right(), y));
    QTest::mouseMove(view.viewport(), QPoint(b.right() + 40, y));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(b.right() + 40, y));
    EXPECT_GT(sheet().colWidth(2), before);
    EXPECT_EQ(view.cellRect(1, 2).width(), b.width() + 40);
    EXPECT_EQ(sheet().selectionRange(0), CellRange::cell(1, 1)); // no column got selected

    // A row edge the same way, in twips; a double click on it fits the row to its text.
    const QRect r3 = view.cellRect(3, 1);
    const int x = view.sheetLayout().headerWidth() / 2;
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(x, r3.bottom()));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(x, r3.bottom() + 10));
    EXPECT_EQ(sheet().rowHeight(3), (r3.height() + 10) * 15);
    Style big;
    big.font.size = 20;
    sheet().setStyle(3, 2, big);
    sheet().setText(3, 2, "tall");
    const QPoint edge(x, view.cellRect(3, 1).bottom());
    book().setModified(false);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, edge);
    EXPECT_FALSE(book().modified()); // a click on an edge moves nothing
    QTest::mouseDClick(view.viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, edge);
    EXPECT_EQ(sheet().rowHeight(3), view.measurer().lineHeight(big.font) * 15);

    book().allow().allowEditHeaders = false;
    const int now = sheet().colWidth(2);
    const QRect b2 = view.cellRect(1, 2);
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, QPoint(b2.right(), y));
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, QPoint(b2.right() + 40, y));
    EXPECT_EQ(sheet().colWidth(2), now);
}

TEST_F(SheetViewEvents, ViewOptionsDriveTabsScrollBarsAndPointer) {
    book().insertSheets(2, 1);
    ViewOptions v = book().view();
    v.showTabs = true;
    v.showHScrollBar = false;
    v.mousePointer = 11;
    book().setView(v);
    auto* tabs = view.findChild<QTabBar*>("sheetTabs");
    ASSERT_NE(tabs, nullptr);
    EXPECT_TRUE(tabs->isVisible());
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::WaitCursor);
    tabs->setCurrentIndex(1);
    EXPECT_EQ(book().currentSheet(), 2);
    book().setCurrentSheet(1);
    EXPECT_EQ(tabs->currentIndex(), 0);
    v.mousePointer = 0;
    book().setView(v);
    EXPECT_EQ(view.viewport()->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(SheetViewEvents, SwitchingSheetsWhileEditingStoresIntoTheEditedSheet) {
    book().insertSheets(2, 1);
    click(2, 2);
    QTest::keyClicks(&view, "41");
    book().setCurrentSheet(2);
    EXPECT_FALSE(view.isEditing());
    EXPECT_EQ(book().sheet(1).value(2, 2), Value::fromNumber(41));
    EXPECT_EQ(book().sheet(2).text(2, 2), "");
    // A workbook reset under an open editor drops the edit without touching anything.
    QTest::keyClicks(&view, "5"); // on sheet 2, whose active cell is A1
    ASSERT_TRUE(view.isEditing());
    take();
    book().reset();
    EXPECT_FALSE(view.isEditing());
    EXPECT_EQ(sheet().text(1, 1), "");
    EXPECT_EQ(take({"endEdit", "cancelEdit"}), (Log{"cancelEdit(1,1)"}));
}

TEST_F(SheetViewEvents, ObjectsReportClicksInsteadOfSelectingCells) {
    DrawnObject o;
    o.kind = ObjectKind::Button;
    o.x1 = 2;
    o.y1 = 3;
    o.x2 = 4;
    o.y2 = 5;
    const int id = sheet().addObject(o);
    take();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at(5, 4)); // row 5, column D
    EXPECT_EQ(take({"objClick", "selChange"}), (Log{"objClick(" + std::to_string(id) + ")"}));
    // A value change comes from the workbook, only while its switch is on.
    int changed = 0;
    QObject::connect(&view, &SheetView::objValueChanged, [&](int) { ++changed; });
    book().noteObjValueChange(id);
    book().events().doObjValueChanged = false;
    book().noteObjValueChange(id);
    EXPECT_EQ(changed, 1);
    // Its outline is drawn over the cells.
    const QImage img = grab();
    const QRect box = view.cellRect(4, 3).united(view.cellRect(5, 4));
    int edge = 0;
    for (int x = box.left() + 2; x < box.right() - 2; ++x) {
        edge += qGray(img.pixel(x, box.top())) < 192 || qGray(img.pixel(x, box.top() - 1)) < 192;
    }
    EXPECT_GT(edge, box.width() / 2);
}

// A window that keeps its workbook as a member loses it before its child view: the view must
// not touch the freed workbook afterwards (painting, editing, its own destruction).
TEST(SheetViewLifetime, AWorkbookThatGoesFirstLeavesTheViewOnItsOwn) {
    auto view = std::make_unique<SheetView>();
    view->resize(300, 200);
    view->show();
    {
        Workbook book;
        book.sheet().setText(1, 1, "gone");
        view->setWorkbook(&book);
        EXPECT_TRUE(view->startEditing());
    }
    EXPECT_FALSE(view->isEditing());
    EXPECT_TRUE(view->workbook().sheet().text(1, 1).empty()) << "its own, empty workbook";
    view->workbook().sheet().setText(2, 2, "x");
    view->grab();
    view.reset();
}

} // namespace
} // namespace fc
