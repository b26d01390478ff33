#pragma once

#include "components/model/Sheet.h"
#include "components/model/Style.h"

#include <memory>
#include <string>
#include <vector>

namespace fc {

// What the control shows and how (the view reads these, the program sets them).
struct ViewOptions {
    bool showGridLines = true;
    bool showRowHeading = true;
    bool showColHeading = true;
    bool showHScrollBar = true;
    bool showVScrollBar = true;
    bool showTabs = false;
    bool showFormulas = false;
    bool showZeroValues = true;
    int hdrHeight = -1;  // twips (255: one default row), -1: automatic
    int hdrWidth = -1;   // twips, -1: automatic
    int viewScale = 100; // percent
    Color backColor = kAutoColor;
    int mousePointer = 0; // 11: busy
    friend bool operator==(const ViewOptions& a, const ViewOptions& b);
};

struct Permissions {
    bool allowFormulas = true;
    bool allowInCellEditing = true;
    bool allowFillRange = true;
    bool allowMoveRange = true;
    bool allowDelete = true;
    bool allowEditHeaders = true;
    bool allowFormatByEntry = true;
    friend bool operator==(const Permissions& a, const Permissions& b);
};

// Event switches: while one is off, the control raises no such event.
struct EventSwitches {
    bool doSelChange = true;
    bool doEndEdit = true;
    bool doTopLeftChanged = true;
    bool doObjValueChanged = true;
    bool doStartRecalc = true;
    bool doEndRecalc = true;
    friend bool operator==(const EventSwitches& a, const EventSwitches& b);
};

// Receives what the workbook reports. The view repaints on the first group; the owning
// window handles the events, which arrive only while their switch is on.
class WorkbookListener {
public:
    virtual ~WorkbookListener() = default;
    // Cells of sheet `sheet` (1-based) changed; a full range means "everything".
    virtual void cellsChanged(int sheet, const CellRange& range) {}
    // Rows, columns, merges, objects or the sheet list changed.
    virtual void layoutChanged() {}
    // View options, the current sheet, frozen panes, the extent, the top-left cell or the
    // selection changed.
    virtual void viewChanged() {}
    virtual void selChange() {}
    virtual void topLeftChanged() {}
    virtual void startRecalc() {}
    virtual void endRecalc() {}
    virtual void objValueChanged(int objectId) {}
    // The workbook is being destroyed while the listener still listens; it must forget it.
    virtual void workbookDestroyed() {}
};

// A workbook of one or more sheets: the model behind every sheet of the program.
// Sheets count from 1; `sheet()` is the current one, on which the control-style calls act.
class Workbook {
public:
    Workbook();
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    // Exchanges everything but the listeners with `other` (a reader fills a fresh workbook and
    // swaps it in only when the whole file was read).
    void swapContents(Workbook& other);

    // Back to a new workbook: one empty sheet "Sheet1", default settings (listeners stay).
    void reset();

    int numSheets() const { return static_cast<int>(sheets_.size()); }
    // Adds sheets at the end or drops them from the end; at least one sheet stays.
    void setNumSheets(int n);
    int currentSheet() const { return current_ + 1; }
    void setCurrentSheet(int n);
    Sheet& sheet() { return *sheets_[static_cast<std::size_t>(current_)]; }
    const Sheet& sheet() const { return *sheets_[static_cast<std::size_t>(current_)]; }
    // n outside 1..numSheets() gives the current sheet.
    Sheet& sheet(int n);
    const Sheet& sheet(int n) const;
    // Inserts `count` new sheets before sheet `at` (numSheets()+1 appends).
    void insertSheets(int at, int count);
    void deleteSheets(int at, int count);
    // A name "SheetN" that no sheet has yet.
    std::string newSheetName() const;

    StyleTable& styles() { return styles_; }
    const StyleTable& styles() const { return styles_; }
    const Font& defaultFont() const { return styles_.get(0).font; }
    void setDefaultFont(const std::string& name, double size);

    // The workbook came from an Excel file whose dates count from 1904 (made on a Mac). Cell
    // values are in the 1900 count the program uses either way; an Excel file written of the
    // workbook counts from 1904 again.
    bool date1904() const { return date1904_; }
    void setDate1904(bool on) { date1904_ = on; }

    bool modified() const { return modified_; }
    void setModified(bool m) { modified_ = m; }
    bool autoRecalc() const { return autoRecalc_; }
    void setAutoRecalc(bool on);
    // While off, changes are not reported to listeners; turning it on reports one full change.
    bool repaint() const { return repaint_; }
    void setRepaint(bool on);
    int mode() const { return mode_; }
    void setMode(int m) { mode_ = m; }

    const ViewOptions& view() const { return view_; }
    void setView(const ViewOptions& v);
    Permissions& allow() { return allow_; }
    const Permissions& allow() const { return allow_; }
    EventSwitches& events() { return events_; }
    const EventSwitches& events() const { return events_; }

    // Recalculates every formula of every sheet now.
    void recalc();
    // Recalculates when something changed since the last recalculation and AutoRecalc is on.
    void recalcIfNeeded() const;
    bool needsRecalc() const { return dirty_; }

    void addListener(WorkbookListener* l);
    void removeListener(WorkbookListener* l);

    // ---- used by sheets and by the formula engine
    void noteChange(const Sheet& s, const CellRange& r);
    void noteLayoutChange();
    void noteViewChange();
    void noteSelChange();
    void noteTopLeftChange();
    void noteObjValueChange(int id);
    int indexOf(const Sheet& s) const; // 1-based, 0 when not ours
    bool inRecalc() const { return inRecalc_; }

private:
    void notify(const std::function<void(WorkbookListener&)>& f);

    std::vector<std::unique_ptr<Sheet>> sheets_;
    int current_ = 0;
    StyleTable styles_;
    bool modified_ = false;
    bool date1904_ = false;
    bool autoRecalc_ = true;
    bool repaint_ = true;
    bool pendingRepaint_ = false;
    int mode_ = 0;
    ViewOptions view_;
    Permissions allow_;
    EventSwitches events_;
    mutable bool dirty_ = false;
    mutable bool inRecalc_ = false;
    std::vector<WorkbookListener*> listeners_;
};

} // namespace fc
