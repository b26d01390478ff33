#pragma once

#include "components/model/Types.h"
#include "components/model/Workbook.h"
#include "components/ui/CellEditor.h"
#include "components/ui/FontMapper.h"
#include "components/ui/QtTextMeasurer.h"
#include "components/ui/SheetKeyEvent.h"
#include "components/ui/SheetLayout.h"
#include "components/ui/SheetPainter.h"

#include <QAbstractScrollArea>

#include <memory>
#include <string>
#include <vector>

class QTabBar;

namespace fc {

class SheetInput;
class ObjectInput;

// The spreadsheet surface of every window: draws the current sheet of a workbook and reports
// what the user does. The view keeps no copy of the sheet; it reads the model as it paints and
// changes it only through the model's calls, so that every change reaches every listener once.
//
// Events are Qt signals named after the control's events. Selection and top-left changes are
// forwarded from the workbook (they arrive whether the user or the program made them, and only
// while their switch is on); an owner listens either here or to the workbook, not to both.
// Rows and columns are 1-based; a heading reports row 0 (column headings) or column 0 (row
// headings). Handlers that may refuse get a flag to set (`consumed`, `cancel`).
class SheetView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit SheetView(QWidget* parent = nullptr);
    ~SheetView() override;

    // The workbook shown: the view's own unless another was set (not owned; it must outlive
    // the view or be replaced first). nullptr returns to the view's own.
    Workbook& workbook() { return *book_; }
    void setWorkbook(Workbook* book);
    Sheet& sheet();

    // Measures with the fonts the view draws with, for Sheet::fitColWidths/fitRowHeights.
    const TextMeasurer& measurer() const { return measurer_; }

    // ---- geometry (viewport coordinates)
    SheetLayout::Hit hitTest(QPoint p);
    QRect cellRect(int row, int col); // the merged area when the cell is merged
    const SheetLayout& sheetLayout(); // laid out for the current state

    // ---- the control's operations
    void showActiveCell();
    bool enterMovesDown() const { return enterMovesDown_; }
    void setEnterMovesDown(bool on) { enterMovesDown_ = on; }
    // Drawn objects: editable (selected, moved and sized with the mouse, as in the designer)
    // or working as controls (a result sheet, the default). Drawing while the workbook's Mode
    // is set works either way.
    bool objectsEditable() const { return objectsEditable_; }
    void setObjectsEditable(bool on);

    // ---- in-cell editing
    bool isEditing() const { return editSheet_ != nullptr; }
    CellRef editCell() const { return editCell_; }
    // Opens the editor on the active cell with its entry (or `text`); false when editing is
    // not allowed or the owner cancelled.
    bool startEditing();
    bool startEditing(const QString& text, bool typing);
    // Stores the editor's text through Sheet::setEntry; false when the owner vetoed (the
    // editor then stays open).
    bool endEditing();
    void cancelEditing();
    CellEditor* editor() const { return editor_; }

    // ---- clipboard, as tab-separated text; selected objects are copied instead of cells,
    // and objects on the clipboard paste at the active cell
    void copy();
    void paste();
    void cut();

    // ---- keys sent by the program: raised as if typed (key down also gets the default
    // handling when nobody consumed it). Returns true when a handler consumed the key.
    enum class KeyPhase { Down, Press, Up };
    bool sendKey(KeyPhase phase, int virtualKey, Qt::KeyboardModifiers mods = {},
                 const QString& text = {});
    // The same, queued: it runs once the current event has been handled.
    void postKey(KeyPhase phase, int virtualKey, Qt::KeyboardModifiers mods = {});

signals:
    void keyDown(fc::SheetKeyEvent* e);
    void keyPress(fc::SheetKeyEvent* e);
    void keyUp(fc::SheetKeyEvent* e);
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPoint pos);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint pos);
    // A press and release on the same cell or heading.
    void click(int row, int col);
    // Set *consumed to keep the view from opening its editor.
    void dblClick(int row, int col, bool* consumed);
    void rDblClick(int row, int col);
    // The editor is about to open with *text; the owner may change it or cancel.
    void startEdit(QString* text, bool* cancel);
    // The user ends an edit with *text (only while DoEndEdit is on); the owner may replace the
    // text or veto, which keeps the editor open.
    void endEdit(QString* text, bool* cancel);
    void cancelEdit(int row, int col);
    void selChange();
    void topLeftChanged();
    void objClick(int id);
    void objValueChanged(int id);
    void startRecalc();
    void endRecalc();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void scrollContentsBy(int dx, int dy) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    bool viewportEvent(QEvent* e) override;

private:
    class Bridge;
    friend class Bridge;
    friend class SheetInput;
    friend class ObjectInput;

    void attach(Workbook* book);
    void detach();
    void ensureLayout();
    SheetLayout::Params params();
    void syncScrollBars();
    void applyViewOptions();
    void syncTabs();
    void placeTabs();

    bool handleKeyDown(SheetKeyEvent& e);

    void onEditorFinished(CellEditor::End how);
    void placeEditor();
    void closeEditor();
    bool endEditingForced();
    void onScroll(Qt::Orientation o, int value);

    std::unique_ptr<Workbook> own_;
    Workbook* book_ = nullptr;
    std::unique_ptr<Bridge> bridge_;
    FontMapper fonts_;
    SheetPainter painter_{fonts_};
    QtTextMeasurer measurer_;
    SheetLayout layout_;
    bool sizesDirty_ = true;
    bool placeDirty_ = true;
    bool inPaint_ = false;
    bool syncing_ = false;
    bool syncingTabs_ = false;
    bool enterMovesDown_ = true;

    CellEditor* editor_ = nullptr;
    Sheet* editSheet_ = nullptr;
    CellRef editCell_{0, 0};

    QTabBar* tabs_ = nullptr;
    std::unique_ptr<SheetInput> input_;
    std::unique_ptr<ObjectInput> objectInput_;
    bool objectsEditable_ = false;

    struct SizeKey {
        const Sheet* sheet = nullptr;
        int scale = 0, maxRow = 0, maxCol = 0, hdrW = 0, hdrH = 0;
        bool rowHeads = false, colHeads = false;
        std::string font;
        double fontSize = 0;
        bool operator==(const SizeKey& o) const;
    };
    SizeKey sizeKey() const;
    SizeKey built_;
    int unitPx_ = 7;
    int headerW_ = 0, headerH_ = 0;
    ViewOptions applied_;
    bool appliedOnce_ = false;
};

} // namespace fc
