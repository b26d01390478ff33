#include "components/model/Workbook.h"

#include "components/formula/Formula.h"

#include <algorithm>

namespace fc {

Workbook::Workbook() { reset(); }

Workbook::~Workbook() {
    // A listener that outlives the workbook (a view whose owner keeps the workbook as a member
    // that goes before the view) is told, so that it keeps no dangling pointer.
    std::vector<WorkbookListener*> left;
    left.swap(listeners_);
    for (WorkbookListener* l : left) {
        l->workbookDestroyed();
    }
}

void Workbook::reset() {
    sheets_.clear();
    sheets_.push_back(std::make_unique<Sheet>(*this, "Sheet1"));
    current_ = 0;
    styles_ = StyleTable();
    modified_ = false;
    date1904_ = false;
    autoRecalc_ = true;
    mode_ = 0;
    view_ = ViewOptions();
    allow_ = Permissions();
    events_ = EventSwitches();
    dirty_ = false;
    noteLayoutChange();
    noteViewChange();
}

void Workbook::swapContents(Workbook& other) {
    std::swap(sheets_, other.sheets_);
    for (auto& s : sheets_) {
        s->book_ = this;
    }
    for (auto& s : other.sheets_) {
        s->book_ = &other;
    }
    std::swap(current_, other.current_);
    std::swap(styles_, other.styles_);
    std::swap(modified_, other.modified_);
    std::swap(date1904_, other.date1904_);
    std::swap(autoRecalc_, other.autoRecalc_);
    std::swap(mode_, other.mode_);
    std::swap(view_, other.view_);
    std::swap(allow_, other.allow_);
    std::swap(events_, other.events_);
    std::swap(dirty_, other.dirty_);
    noteLayoutChange();
    noteViewChange();
    other.noteLayoutChange();
}

void Workbook::setNumSheets(int n) {
    n = std::clamp(n, 1, 256);
    if (n == numSheets()) {
        return;
    }
    if (n > numSheets()) {
        insertSheets(numSheets() + 1, n - numSheets());
    } else {
        deleteSheets(n + 1, numSheets() - n);
    }
}

void Workbook::setCurrentSheet(int n) {
    if (n < 1 || n > numSheets() || n - 1 == current_) {
        return;
    }
    current_ = n - 1;
    noteViewChange();
}

Sheet& Workbook::sheet(int n) {
    if (n < 1 || n > numSheets()) {
        return sheet();
    }
    return *sheets_[static_cast<std::size_t>(n - 1)];
}

const Sheet& Workbook::sheet(int n) const {
    if (n < 1 || n > numSheets()) {
        return sheet();
    }
    return *sheets_[static_cast<std::size_t>(n - 1)];
}

std::string Workbook::newSheetName() const {
    for (int i = 1;; ++i) {
        std::string name = "Sheet" + std::to_string(i);
        bool used = std::any_of(sheets_.begin(), sheets_.end(),
                                [&](const auto& s) { return s->name() == name; });
        if (!used) {
            return name;
        }
    }
}

void Workbook::insertSheets(int at, int count) {
    at = std::clamp(at, 1, numSheets() + 1);
    count = std::clamp(count, 0, 256 - numSheets());
    for (int i = 0; i < count; ++i) {
        auto s = std::make_unique<Sheet>(*this, newSheetName());
        sheets_.insert(sheets_.begin() + (at - 1 + i), std::move(s));
    }
    if (count > 0 && current_ >= at - 1 && numSheets() > count) {
        current_ += count;
    }
    noteLayoutChange();
    noteViewChange();
}

void Workbook::deleteSheets(int at, int count) {
    if (at < 1 || at > numSheets()) {
        return;
    }
    count = std::clamp(count, 0, numSheets() - at + 1);
    count = std::min(count, numSheets() - 1);
    if (count <= 0) {
        return;
    }
    sheets_.erase(sheets_.begin() + (at - 1), sheets_.begin() + (at - 1 + count));
    if (current_ >= at - 1 + count) {
        current_ -= count;
    } else if (current_ >= at - 1) {
        current_ = std::min(at - 1, numSheets() - 1);
    }
    dirty_ = true;
    noteLayoutChange();
    noteViewChange();
}

void Workbook::setDefaultFont(const std::string& name, double size) {
    Style s = styles_.get(0);
    s.font.name = name;
    s.font.size = size;
    styles_.setDefault(s);
    noteLayoutChange();
}

void Workbook::setAutoRecalc(bool on) {
    autoRecalc_ = on;
    if (on) {
        recalcIfNeeded();
    }
}

void Workbook::setRepaint(bool on) {
    if (repaint_ == on) {
        return;
    }
    repaint_ = on;
    if (on && pendingRepaint_) {
        pendingRepaint_ = false;
        notify([](WorkbookListener& l) { l.layoutChanged(); });
    }
}

void Workbook::setView(const ViewOptions& v) {
    if (v == view_) {
        return;
    }
    view_ = v;
    view_.viewScale = std::clamp(view_.viewScale, 10, 400);
    noteViewChange();
}

void Workbook::recalc() {
    if (inRecalc_) {
        return;
    }
    inRecalc_ = true;
    if (events_.doStartRecalc) {
        notify([](WorkbookListener& l) { l.startRecalc(); });
    }
    formula::recalculate(*this);
    dirty_ = false;
    inRecalc_ = false;
    if (events_.doEndRecalc) {
        notify([](WorkbookListener& l) { l.endRecalc(); });
    }
    // New results are shown, but they are no edit: the workbook stays clean and unmodified.
    // Marking it dirty here made every paint recalculate and repaint again, for ever.
    if (listeners_.empty()) {
        return;
    }
    if (!repaint_) {
        pendingRepaint_ = true;
        return;
    }
    const int idx = current_ + 1;
    notify([idx](WorkbookListener& l) { l.cellsChanged(idx, {1, 1, kMaxRows, kMaxCols}); });
}

void Workbook::recalcIfNeeded() const {
    if (dirty_ && autoRecalc_ && !inRecalc_) {
        // Reading a value is logically const; the cached results are what changes.
        const_cast<Workbook*>(this)->recalc();
    }
}

void Workbook::addListener(WorkbookListener* l) {
    if (l && std::find(listeners_.begin(), listeners_.end(), l) == listeners_.end()) {
        listeners_.push_back(l);
    }
}

void Workbook::removeListener(WorkbookListener* l) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), l), listeners_.end());
}

void Workbook::notify(const std::function<void(WorkbookListener&)>& f) {
    // A listener may remove itself while being told.
    std::vector<WorkbookListener*> copy = listeners_;
    for (WorkbookListener* l : copy) {
        if (std::find(listeners_.begin(), listeners_.end(), l) != listeners_.end()) {
            f(*l);
        }
    }
}

void Workbook::noteChange(const Sheet& s, const CellRange& r) {
    if (inRecalc_) {
        return;
    }
    for (std::size_t i = 0; i < sheets_.size() && !dirty_; ++i) {
        if (sheets_[i]->formulaCount() > 0) {
            dirty_ = true;
        }
    }
    modified_ = true;
    if (listeners_.empty()) {
        return;
    }
    if (!repaint_) {
        pendingRepaint_ = true;
        return;
    }
    int idx = indexOf(s);
    notify([&](WorkbookListener& l) { l.cellsChanged(idx, r); });
}

void Workbook::noteLayoutChange() {
    if (listeners_.empty()) {
        return;
    }
    if (!repaint_) {
        pendingRepaint_ = true;
        return;
    }
    notify([](WorkbookListener& l) { l.layoutChanged(); });
}

void Workbook::noteViewChange() {
    if (listeners_.empty()) {
        return;
    }
    if (!repaint_) {
        pendingRepaint_ = true;
        return;
    }
    notify([](WorkbookListener& l) { l.viewChanged(); });
}

void Workbook::noteSelChange() {
    if (events_.doSelChange) {
        notify([](WorkbookListener& l) { l.selChange(); });
    }
    // The selection is drawn: views repaint even while the event is switched off.
    noteViewChange();
}

void Workbook::noteTopLeftChange() {
    if (events_.doTopLeftChanged) {
        notify([](WorkbookListener& l) { l.topLeftChanged(); });
    }
    noteViewChange();
}

void Workbook::noteObjValueChange(int id) {
    if (events_.doObjValueChanged) {
        notify([id](WorkbookListener& l) { l.objValueChanged(id); });
    }
}

int Workbook::indexOf(const Sheet& s) const {
    for (std::size_t i = 0; i < sheets_.size(); ++i) {
        if (sheets_[i].get() == &s) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

} // namespace fc
