#pragma once

#include "components/model/DrawnObject.h"
#include "components/model/NumberFormat.h"
#include "components/model/PrintSettings.h"
#include "components/model/Style.h"
#include "components/model/Types.h"
#include "components/model/Value.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

class Workbook;
class TextMeasurer;
struct ClipData;

namespace formula {
class Compiled;
}

// One cell as stored. A formula cell keeps its last result in kind/number/text/error.
struct Cell {
    std::string text; // Text value (Windows-1251)
    double number = 0;
    StyleId style = 0;
    std::uint32_t formula = 0; // 1-based slot in the sheet's formula table, 0: none
    std::uint16_t col = 0;
    ValueKind kind = ValueKind::Empty;
    ErrorCode error = ErrorCode::None;

    bool hasContent() const { return kind != ValueKind::Empty || formula != 0; }
    Value value() const;
};

// Rows keep their cells sorted by column; most rows hold a few dozen cells at most.
struct Row {
    std::vector<Cell> cells;
    std::int32_t height = -1; // twentieths of a point; -1: the sheet's default
    bool hidden = false;
    bool pageBreak = false; // a page break above this row
    std::string heading;    // row heading text; empty shows the row number
    std::uint32_t formulas = 0;

    const Cell* find(int col) const;
    Cell* find(int col);
    Cell& obtain(int col);
};

struct Column {
    std::int32_t width = -1; // characters x 256; -1: the sheet's default
    bool hidden = false;
    bool pageBreak = false; // a page break left of this column
};

struct FormulaSlot {
    std::string source; // without the leading "="
    std::shared_ptr<const formula::Compiled> compiled;
};

enum class ClearWhat { All, Values, Formats };

// What a paste carries over.
struct PasteWhat {
    bool values = true;
    bool formulas = true; // false: formula cells paste their results
    bool formats = true;
    bool rowHeights = false;
    bool objects = true;
    static PasteWhat all() { return {}; }
    static PasteWhat valuesOnly() { return {true, false, false, false, false}; }
};

struct SortKey {
    int col = 1;
    bool ascending = true;
};

struct FindOptions {
    bool matchCase = false;
    bool wholeCell = false;
    bool byColumns = false;
};

// A sheet of the workbook. Every index is 1-based; calls outside rows 1..65536 or columns
// 1..256 are ignored (writes) or read as empty (reads), never out of bounds.
class Sheet {
public:
    explicit Sheet(Workbook& book, std::string name);
    Sheet(const Sheet&) = delete;
    Sheet& operator=(const Sheet&) = delete;

    Workbook& workbook() { return *book_; }
    const Workbook& workbook() const { return *book_; }

    const std::string& name() const { return name_; }
    void setName(std::string name);

    // ---- extent: the area the view shows and the program treats as the sheet
    int maxRow() const { return maxRow_; }
    int maxCol() const { return maxCol_; }
    void setMaxRow(int n);
    void setMaxCol(int n);
    // The last row and column that hold content or a style, 0 for an empty sheet.
    int lastUsedRow() const;
    int lastUsedCol() const;

    // ---- cell values
    const Cell* cell(int r, int c) const;
    Value value(int r, int c) const;
    // Text as the cell's number format displays it (the control's CellText read).
    std::string text(int r, int c) const;
    // The same text with the colour a "[Red]"-style format gives it (kAutoColor: none).
    FormattedText display(int r, int c) const;
    // What an editor shows: the formula with "=", or the value unformatted.
    std::string entry(int r, int c) const;
    // A number, or 0 for empty, text and error cells.
    double number(int r, int c) const;
    // "=..." source, or empty when the cell holds no formula.
    std::string formula(int r, int c) const;

    // Stores text as it is (an empty text empties the value, the style stays).
    void setText(int r, int c, std::string_view text);
    // Interprets a typed text: formula, number, date, percent, boolean or text.
    void setEntry(int r, int c, std::string_view typed);
    void setNumber(int r, int c, double d);
    void setValue(int r, int c, const Value& v);
    // `source` with or without the leading "="; a formula that does not parse is kept and
    // evaluates to an error.
    void setFormula(int r, int c, std::string_view source);

    // ---- styles
    StyleId styleId(int r, int c) const;
    const Style& style(int r, int c) const;
    void setStyleId(int r, int c, StyleId id);
    void setStyle(int r, int c, const Style& s);
    // Rewrites the style of every cell of the range through `edit` (equal results share ids).
    void editStyle(const CellRange& range, const std::function<void(Style&)>& edit);
    const Style& defaultStyle() const;

    // ---- rows and columns
    int defaultRowHeight() const { return defaultRowHeight_; }
    void setDefaultRowHeight(int twips);
    int defaultColWidth() const { return defaultColWidth_; }
    void setDefaultColWidth(int width);
    int rowHeight(int r) const; // effective, twips
    void setRowHeight(int r, int twips);
    bool rowHasOwnHeight(int r) const;
    bool rowHidden(int r) const;
    void setRowHidden(int r, bool hidden);
    const std::string& rowHeading(int r) const;
    void setRowHeading(int r, std::string text);
    bool rowPageBreak(int r) const;
    void setRowPageBreak(int r, bool on);
    int colWidth(int c) const; // effective, characters x 256
    void setColWidth(int c, int width);
    bool colHasOwnWidth(int c) const;
    bool colHidden(int c) const;
    void setColHidden(int c, bool hidden);
    bool colPageBreak(int c) const;
    void setColPageBreak(int c, bool on);

    // Fits widths and heights of the range's columns and rows to their texts.
    void fitColWidths(const CellRange& range, const TextMeasurer& m);
    void fitRowHeights(const CellRange& range, const TextMeasurer& m);

    // ---- merged areas
    const std::vector<CellRange>& merges() const { return merges_; }
    // Merges the range; areas that intersect it are unmerged first. A single cell unmerges.
    void merge(const CellRange& range);
    void unmerge(const CellRange& range); // every area intersecting the range
    const CellRange* mergeAt(int r, int c) const;

    // ---- frozen panes and view position
    int fixedRow() const { return fixedRow_; }
    int fixedRows() const { return fixedRows_; }
    int fixedCol() const { return fixedCol_; }
    int fixedCols() const { return fixedCols_; }
    void setFixedRows(int first, int count);
    void setFixedCols(int first, int count);
    int topRow() const { return topRow_; }
    int leftCol() const { return leftCol_; }
    void setTopLeft(int row, int col);

    // ---- selection: one or more ranges and the active cell
    const std::vector<CellRange>& selection() const { return selection_; }
    CellRange selectionRange(int index = 0) const; // 0-based index
    int selectionCount() const { return static_cast<int>(selection_.size()); }
    // Replaces the selection (add = false) or adds a range to it; the active cell moves to
    // the new range's first cell.
    void setSelection(const CellRange& range, bool add = false);
    // Replaces the whole selection in one change, as a mouse drag or a shift-click makes it;
    // `active` is kept when inside the last range, else it moves to that range's first cell.
    // Empty ranges are dropped; nothing changes when none is left.
    void setSelectionRanges(const std::vector<CellRange>& ranges, CellRef active);
    CellRef activeCell() const { return active_; }
    // Moves the active cell; the selection becomes that cell unless it already contains it.
    void setActiveCell(int r, int c);

    // ---- the current selection, as the control's properties see it
    std::string selectionText() const;              // active cell text
    std::string selectionEntry() const;             // active cell entry
    void setSelectionEntry(std::string_view typed); // every cell of the selection
    std::string selectionFormula() const;
    std::string selectionNumberFormat() const;
    void setSelectionNumberFormat(std::string_view fmt);
    Font selectionFont() const;
    void editSelectionStyle(const std::function<void(Style&)>& edit);

    // The first selection range as tab-separated display texts, lines ended by CR LF.
    std::string clip() const;
    // Tab-separated lines (CR LF or LF) pasted from the active cell as values; a cell with
    // the text format "@" keeps the text as is. Fields right of `lastCol` and lines below the
    // sheet are left out; false when one of them held text.
    bool setClipValues(std::string_view tsv, int lastCol = kMaxCols);

    // ---- clearing, copying and pasting
    void clear(const CellRange& range, ClearWhat what = ClearWhat::All);
    ClipData copy(const CellRange& range) const;
    // Pastes at `at`; a paste that would run past the sheet is cut at its edge.
    void paste(const ClipData& data, CellRef at, PasteWhat what = PasteWhat::all());

    // ---- structure
    void insertRows(int at, int count);
    void deleteRows(int at, int count);
    void insertCols(int at, int count);
    void deleteCols(int at, int count);
    void insertShiftRight(const CellRange& range); // cells of the range's rows move right
    void insertShiftDown(const CellRange& range);  // cells of the range's columns move down
    void deleteShiftLeft(const CellRange& range);
    void deleteShiftUp(const CellRange& range);

    // Sorts the rows of the range by up to three keys; rows with equal keys keep their order.
    // Numbers sort before texts, empty cells last in either direction.
    void sortRows(const CellRange& range, const std::vector<SortKey>& keys);

    // The next cell after `from` (row by row, or column by column) whose display text
    // contains `what`, wrapping around the range once.
    std::optional<CellRef> find(std::string_view what, const CellRange& within, CellRef from,
                                const FindOptions& opt = {}) const;

    // ---- print settings and drawn objects
    PrintSettings& print() { return print_; }
    const PrintSettings& print() const { return print_; }

    const std::vector<DrawnObject>& objects() const { return objects_; }
    std::vector<DrawnObject>& objects() { return objects_; }
    DrawnObject* object(int id);
    const DrawnObject* object(int id) const;
    // Adds an object; its id is set to a new one for the sheet.
    int addObject(DrawnObject obj);
    bool removeObject(int id);
    // Moves object `id` so that its top lies in `row` (1-based), keeping the fraction of a
    // row its top had and its height (a picture its own height in pixels); a linked cell of
    // a check box or list box moves by as many rows. Used when sorting carries objects with
    // their rows.
    void moveObjectToRow(int id, int row);

    // The control's object operations (SheetObjects.cpp). Ids count from 1; 0 means none.
    // Corners are in sheet units; a line keeps its direction, other kinds are normalized.
    // Returns 0 for an unknown kind.
    int createObject(ObjectKind kind, double x1, double y1, double x2, double y2);
    int firstObject() const;
    int nextObject(int id) const; // 0 after the last one or for an unknown id
    // False for an unknown id. A polygon's vertices follow its box; a picture's own height
    // becomes the new one.
    bool setObjectPosition(int id, double x1, double y1, double x2, double y2);
    bool setObjectText(int id, std::string text);
    // A check box 0 or 1, a list box the 1-based item (0: none). With a linked cell the value
    // is the cell's: read from it and written into it (TRUE/FALSE for a check box, the item
    // number for a list box). Setting raises ObjValueChanged when the value changed.
    int objectValue(int id) const;
    bool setObjectValue(int id, int value);
    // A list box's items: the texts of its input range, else its own list.
    std::vector<std::string> objectItems(int id) const;
    // The sheet and cells of a reference such as "B2", "$C$1:D5" or "Sheet2!A1" in this
    // workbook; nullptr when it names nothing.
    const Sheet* resolveRange(std::string_view ref, CellRange& out) const;
    Sheet* resolveRange(std::string_view ref, CellRange& out) {
        return const_cast<Sheet*>(static_cast<const Sheet*>(this)->resolveRange(ref, out));
    }

    // Object selection (drawn with handles). Each change is a selection change.
    void selectObject(int id, bool add = false);
    void clearObjectSelection();
    std::vector<int> selectedObjects() const;
    // Removes the selected objects, or those whose top-left corner lies in `range`.
    int deleteSelectedObjects();
    int deleteObjectsIn(const CellRange& range);

    // Row-unit positions and pixel heights at 100 percent (15 twips a pixel), as a
    // picture's own height is kept: the pixels from y1 down to y2, and the position reached
    // `px` pixels below y1 (no lower than MaxRow).
    double pixelsBetween(double y1, double y2) const;
    double rowsBelow(double y1, double px) const;

    // ---- formulas: the engine's view of the sheet
    const std::vector<Row>& rows() const { return rows_; }
    const FormulaSlot* formulaSlot(const Cell& c) const;
    int formulaCount() const { return formulaCount_; }
    // Stores a formula's result without touching the formula.
    void setFormulaResult(int r, int c, const Value& v);
    // Number of rows that hold cells (the vector's size); rows beyond it are empty.
    int storedRows() const { return static_cast<int>(rows_.size()); }

    // Loaders of the native file fill a sheet directly.
    Row& rowForLoad(int r) { return obtainRow(r); }
    // Room for `n` rows, so that a loader that knows about how many come does not move the
    // rows it has each time they outgrow their room.
    void reserveRows(int n) { rows_.reserve(static_cast<std::size_t>(std::clamp(n, 0, kMaxRows))); }
    std::uint32_t addFormulaSlot(std::string source);
    void setMergesForLoad(std::vector<CellRange> m) { merges_ = std::move(m); }
    Column& columnForLoad(int c) { return cols_[static_cast<std::size_t>(c - 1)]; }
    // Objects keep their stored ids; new ones are numbered from `nextId` (at least one past
    // the highest stored id).
    void setObjectsForLoad(std::vector<DrawnObject> objs, int nextId);
    int nextObjectId() const { return nextObjectId_; }
    void recountFormulas();

private:
    friend class Workbook;
    Row& obtainRow(int r);
    const Row* rowAt(int r) const;
    Row* rowAt(int r);
    Cell* obtainCell(int r, int c);
    void dropFormula(Row& row, Cell& cell);
    void clearValue(Row& row, Cell& cell);
    void removeEmptyCells(Row& row);
    void changed(const CellRange& r);
    void structureChanged();
    void adjustFormulas(int kind, int at, int count, int limitFirst, int limitLast);
    void shiftObjectsRows(int at, int delta);
    void shiftObjectsCols(int at, int delta);
    void adjustMerges(bool rows, int at, int delta);

    Workbook* book_;
    std::string name_;
    std::vector<Row> rows_;
    std::array<Column, kMaxCols> cols_{};
    std::vector<FormulaSlot> formulaSlots_;
    std::vector<std::uint32_t> freeSlots_;
    int formulaCount_ = 0;
    std::vector<CellRange> merges_;
    std::vector<CellRange> selection_{CellRange{}};
    CellRef active_{};
    int maxRow_ = kMaxRows;
    int maxCol_ = kMaxCols;
    int defaultRowHeight_ = 255;
    int defaultColWidth_ = 9 * 256;
    int fixedRow_ = 1, fixedRows_ = 0, fixedCol_ = 1, fixedCols_ = 0;
    int topRow_ = 1, leftCol_ = 1;
    PrintSettings print_;
    std::vector<DrawnObject> objects_;
    int nextObjectId_ = 1;
};

// Cells, merges and objects lifted out of a sheet, with styles resolved so that they paste
// into any workbook. Positions are relative to the copied range's top-left cell (0-based).
struct ClipData {
    struct Item {
        int dr = 0, dc = 0;
        Value value;
        std::string formula; // source without "=", empty: none
        Style style;
    };
    int rows = 0, cols = 0;
    int srcRow = 1, srcCol = 1;
    std::vector<Item> items;
    std::vector<CellRange> merges;    // relative, 0-based
    std::vector<int> rowHeights;      // twips or -1, one per row
    std::vector<DrawnObject> objects; // positions relative to the range origin
};

} // namespace fc
