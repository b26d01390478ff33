#include "components/ui/SheetView.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/ui/SheetNavigator.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace fc {

// Turns what the workbook reports into repaints and signals.
class SheetView::Bridge : public WorkbookListener {
public:
    explicit Bridge(SheetView& v) : v_(v) {}

    void cellsChanged(int sheet, const CellRange&) override {
        // A recalculation that the paint itself started needs no further paint.
        if (!v_.inPaint_ && sheet == v_.book_->currentSheet()) {
            v_.viewport()->update();
        }
    }
    void layoutChanged() override {
        v_.sizesDirty_ = true;
        if (v_.editSheet_ && v_.book_->indexOf(*v_.editSheet_) == 0) {
            // The sheet under the editor is gone (reset, swap, deletion): nothing to store.
            const CellRef at = v_.editCell_;
            v_.editSheet_ = nullptr;
            v_.closeEditor();
            emit v_.cancelEdit(at.row, at.col);
        }
        v_.syncTabs();
        v_.viewport()->update();
    }
    void viewChanged() override {
        v_.placeDirty_ = true;
        if (v_.editSheet_ && v_.editSheet_ != &v_.book_->sheet()) {
            v_.endEditingForced();
        }
        v_.applyViewOptions();
        v_.syncTabs();
        v_.viewport()->update();
    }
    void selChange() override {
        if (!v_.ownSelChange_) {
            v_.cursor_ = v_.book_->sheet().activeCell();
        }
        emit v_.selChange();
    }
    void topLeftChanged() override { emit v_.topLeftChanged(); }
    void startRecalc() override { emit v_.startRecalc(); }
    void endRecalc() override { emit v_.endRecalc(); }
    void objValueChanged(int id) override { emit v_.objValueChanged(id); }

private:
    SheetView& v_;
};

bool SheetView::SizeKey::operator==(const SizeKey& o) const {
    return sheet == o.sheet && scale == o.scale && maxRow == o.maxRow && maxCol == o.maxCol &&
           hdrW == o.hdrW && hdrH == o.hdrH && rowHeads == o.rowHeads && colHeads == o.colHeads &&
           font == o.font && fontSize == o.fontSize;
}

SheetView::SheetView(QWidget* parent)
    : QAbstractScrollArea(parent), own_(std::make_unique<Workbook>()),
      bridge_(std::make_unique<Bridge>(*this)) {
    setObjectName(QStringLiteral("sheetView"));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    editor_ = new CellEditor(viewport());
    connect(editor_, &CellEditor::finished, this, &SheetView::onEditorFinished);
    connect(editor_, &QLineEdit::textChanged, this, [this] { placeEditor(); });

    tabs_ = new QTabBar(this);
    tabs_->setObjectName(QStringLiteral("sheetTabs"));
    tabs_->setShape(QTabBar::RoundedSouth);
    tabs_->setDrawBase(false);
    tabs_->setExpanding(false);
    tabs_->setFocusPolicy(Qt::NoFocus);
    tabs_->hide();
    connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
        if (!syncingTabs_ && index >= 0) {
            endEditingForced();
            book_->setCurrentSheet(index + 1);
        }
    });

    autoScroll_ = new QTimer(this);
    autoScroll_->setInterval(50);
    connect(autoScroll_, &QTimer::timeout, this, &SheetView::autoScroll);

    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { onScroll(Qt::Vertical, v); });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int v) { onScroll(Qt::Horizontal, v); });

    attach(own_.get());
}

SheetView::~SheetView() {
    // Children outlive this part of the object: nothing they emit may reach it.
    editor_->disconnect(this);
    tabs_->disconnect(this);
    verticalScrollBar()->disconnect(this);
    horizontalScrollBar()->disconnect(this);
    editSheet_ = nullptr;
    detach();
}

void SheetView::attach(Workbook* book) {
    book_ = book;
    book_->addListener(bridge_.get());
    sizesDirty_ = true;
    cursor_ = book_->sheet().activeCell();
    appliedOnce_ = false;
    applyViewOptions();
    syncTabs();
    viewport()->update();
}

void SheetView::detach() {
    if (book_) {
        book_->removeListener(bridge_.get());
    }
}

void SheetView::setWorkbook(Workbook* book) {
    Workbook* next = book ? book : own_.get();
    if (next == book_) {
        return;
    }
    if (isEditing()) {
        endEditingForced();
    }
    detach();
    attach(next);
}

Sheet& SheetView::sheet() { return book_->sheet(); }

// ---------------------------------------------------------------- layout

SheetView::SizeKey SheetView::sizeKey() const {
    const Sheet& s = book_->sheet();
    const ViewOptions& v = book_->view();
    const Font& f = book_->defaultFont();
    return {&s,          v.viewScale,      s.maxRow(),       s.maxCol(), v.hdrWidth,
            v.hdrHeight, v.showRowHeading, v.showColHeading, f.name,     f.size};
}

SheetLayout::Params SheetView::params() {
    SheetLayout::Params p;
    p.unitPx = unitPx_;
    p.scale = book_->view().viewScale;
    p.headerWidth = headerW_;
    p.headerHeight = headerH_;
    p.viewport = viewport()->size();
    return p;
}

void SheetView::ensureLayout() {
    // With Repaint off the workbook reports nothing, so any cached size may be stale.
    if (!book_->repaint()) {
        sizesDirty_ = true;
    }
    const SizeKey key = sizeKey();
    if (sizesDirty_ || !(key == built_)) {
        const Sheet& s = sheet();
        const ViewOptions& v = book_->view();
        const Font& df = book_->defaultFont();
        fonts_.setScale(v.viewScale);
        unitPx_ = measurer_.charWidth(df);
        // Headings: HdrHeight and HdrWidth are twips; automatic ones fit the default font
        // and the longest row number or row heading text.
        if (!v.showColHeading) {
            headerH_ = 0;
        } else if (v.hdrHeight >= 0) {
            headerH_ = SheetLayout::rowPixels(v.hdrHeight, v.viewScale);
        } else {
            headerH_ =
                static_cast<int>(std::lround(measurer_.lineHeight(df) * v.viewScale / 100.0));
        }
        if (!v.showRowHeading) {
            headerW_ = 0;
        } else if (v.hdrWidth >= 0) {
            headerW_ = SheetLayout::rowPixels(v.hdrWidth, v.viewScale);
        } else {
            std::size_t longest = std::max<std::size_t>(3, std::to_string(s.maxRow()).size());
            const std::string* widest = nullptr;
            const int rows = std::min(s.storedRows(), s.maxRow());
            for (int r = 1; r <= rows; ++r) {
                const std::string& h = s.rows()[static_cast<std::size_t>(r - 1)].heading;
                if (h.size() > longest) {
                    longest = h.size();
                    widest = &h;
                }
            }
            Font plain;
            plain.name = df.name;
            plain.size = df.size;
            int textPx = widest ? measurer_.textWidth(plain, *widest)
                                : measurer_.textWidth(plain, std::string(longest, '0'));
            headerW_ = static_cast<int>(std::lround((textPx + 10) * v.viewScale / 100.0));
        }
        layout_.build(s, params());
        built_ = key;
        sizesDirty_ = false;
        placeDirty_ = false;
        syncScrollBars();
        placeEditor();
    } else if (placeDirty_) {
        layout_.place(sheet(), params());
        placeDirty_ = false;
        syncScrollBars();
        placeEditor();
    }
}

const SheetLayout& SheetView::sheetLayout() {
    ensureLayout();
    return layout_;
}

void SheetView::syncScrollBars() {
    syncing_ = true;
    const int step =
        std::max(1, SheetLayout::rowPixels(sheet().defaultRowHeight(), book_->view().viewScale));
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, layout_.rows().scrollMax());
    v->setPageStep(layout_.rows().pageSize());
    v->setSingleStep(step);
    v->setValue(layout_.rows().scrollValue());
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, layout_.cols().scrollMax());
    h->setPageStep(layout_.cols().pageSize());
    h->setSingleStep(std::max(1, unitPx_ * 4));
    h->setValue(layout_.cols().scrollValue());
    syncing_ = false;
}

void SheetView::onScroll(Qt::Orientation o, int value) {
    if (syncing_) {
        return;
    }
    ensureLayout();
    const LayoutAxis& a = o == Qt::Vertical ? layout_.rows() : layout_.cols();
    const int now = a.scrollValue();
    const int t = a.topForValue(value, value > now ? 1 : value < now ? -1 : 0);
    if (t != a.top()) {
        if (o == Qt::Vertical) {
            sheet().setTopLeft(t, layout_.cols().top());
        } else {
            sheet().setTopLeft(layout_.rows().top(), t);
        }
    }
    ensureLayout();
    syncScrollBars(); // snaps the bar to the start of the new top row or column
}

void SheetView::scrollContentsBy(int, int) {
    // Everything is painted from the layout; nothing to move.
}

void SheetView::applyViewOptions() {
    const ViewOptions& v = book_->view();
    if (appliedOnce_ && v == applied_) {
        return;
    }
    const bool first = !appliedOnce_;
    appliedOnce_ = true;
    if (first || v.showHScrollBar != applied_.showHScrollBar) {
        setHorizontalScrollBarPolicy(v.showHScrollBar ? Qt::ScrollBarAlwaysOn
                                                      : Qt::ScrollBarAlwaysOff);
    }
    if (first || v.showVScrollBar != applied_.showVScrollBar) {
        setVerticalScrollBarPolicy(v.showVScrollBar ? Qt::ScrollBarAlwaysOn
                                                    : Qt::ScrollBarAlwaysOff);
    }
    if (first || v.showTabs != applied_.showTabs) {
        tabs_->setVisible(v.showTabs);
        setViewportMargins(0, 0, 0, v.showTabs ? tabs_->sizeHint().height() : 0);
        placeTabs();
    }
    if (first || v.mousePointer != applied_.mousePointer) {
        // A set pointer covers the whole control, scroll bars and tabs included; the cells
        // then inherit it instead of their own resize pointers.
        viewport()->unsetCursor();
        switch (v.mousePointer) {
        case 0: unsetCursor(); break;
        case 2: setCursor(Qt::CrossCursor); break;
        case 3: setCursor(Qt::IBeamCursor); break;
        case 7: setCursor(Qt::SizeVerCursor); break;
        case 9: setCursor(Qt::SizeHorCursor); break;
        case 11: setCursor(Qt::WaitCursor); break;
        case 12: setCursor(Qt::ForbiddenCursor); break;
        case 13: setCursor(Qt::BusyCursor); break;
        default: setCursor(Qt::ArrowCursor); break;
        }
    }
    applied_ = v;
}

void SheetView::syncTabs() {
    syncingTabs_ = true;
    const int n = book_->numSheets();
    while (tabs_->count() > n) {
        tabs_->removeTab(tabs_->count() - 1);
    }
    for (int i = 0; i < n; ++i) {
        QString name = cp1251::toQString(book_->sheet(i + 1).name());
        if (i >= tabs_->count()) {
            tabs_->addTab(name);
        } else if (tabs_->tabText(i) != name) {
            tabs_->setTabText(i, name);
        }
    }
    tabs_->setCurrentIndex(book_->currentSheet() - 1);
    syncingTabs_ = false;
}

void SheetView::placeTabs() {
    if (!book_->view().showTabs) {
        return;
    }
    const QRect vp = viewport()->geometry();
    tabs_->setGeometry(vp.left(), vp.bottom() + 1, vp.width(), tabs_->sizeHint().height());
}

void SheetView::resizeEvent(QResizeEvent* e) {
    QAbstractScrollArea::resizeEvent(e);
    placeDirty_ = true;
    placeTabs();
    ensureLayout();
}

// ---------------------------------------------------------------- painting

void SheetView::paintEvent(QPaintEvent* e) {
    inPaint_ = true;
    book_->recalcIfNeeded();
    inPaint_ = false;
    ensureLayout();
    QPainter p(viewport());
    PaintOptions o;
    const ViewOptions& v = book_->view();
    o.gridLines = v.showGridLines;
    o.zeroValues = v.showZeroValues;
    o.back = toQColor(v.backColor, Qt::white);
    o.editing = isEditing() ? editCell_ : CellRef{0, 0};
    painter_.paint(p, sheet(), layout_, e->rect(), o);
    if (guide_ >= 0) {
        QPen pen(QColor(0x40, 0x40, 0x40));
        pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        if (drag_ == Drag::ResizeCol) {
            p.drawLine(guide_, 0, guide_, viewport()->height());
        } else {
            p.drawLine(0, guide_, viewport()->width(), guide_);
        }
    }
}

bool SheetView::viewportEvent(QEvent* e) {
    // The resize of the viewport arrives here first; the layout follows it.
    if (e->type() == QEvent::Resize) {
        placeDirty_ = true;
    }
    return QAbstractScrollArea::viewportEvent(e);
}

// ---------------------------------------------------------------- geometry

SheetLayout::Hit SheetView::hitTest(QPoint p) {
    ensureLayout();
    return layout_.hit(p);
}

QRect SheetView::cellRect(int row, int col) {
    ensureLayout();
    const CellRange* m = sheet().mergeAt(row, col);
    return m ? layout_.rangeRect(*m) : layout_.cellRect(row, col);
}

// ---------------------------------------------------------------- selection and scrolling

void SheetView::selectRanges(const std::vector<CellRange>& ranges, CellRef active) {
    Sheet& s = sheet();
    if (ranges == s.selection() && active == s.activeCell()) {
        return;
    }
    ownSelChange_ = true;
    s.setSelectionRanges(ranges, active);
    ownSelChange_ = false;
}

void SheetView::moveTo(CellRef to, bool extend) {
    ensureLayout();
    Sheet& s = sheet();
    SheetNavigator nav(s, layout_);
    if (extend) {
        const CellRef a = s.activeCell();
        std::vector<CellRange> ranges = s.selection();
        CellRange g = nav.withMerges(CellRange{a.row, a.col, to.row, to.col}.normalized());
        if (ranges.empty()) {
            ranges.push_back(g);
        } else {
            ranges.back() = g;
        }
        cursor_ = to;
        selectRanges(ranges, a);
    } else {
        cursor_ = to;
        selectRanges({nav.withMerges(CellRange::cell(to.row, to.col))}, to);
    }
    scrollTo(to);
}

void SheetView::scrollTo(CellRef cell) {
    ensureLayout();
    const int r = layout_.rows().topToShow(cell.row);
    const int c = layout_.cols().topToShow(cell.col);
    if (r != layout_.rows().top() || c != layout_.cols().top()) {
        sheet().setTopLeft(r, c);
        ensureLayout();
    }
}

void SheetView::scrollBy(int rows, int cols) {
    ensureLayout();
    const int r = layout_.rows().topMovedBy(rows);
    const int c = layout_.cols().topMovedBy(cols);
    if (r != layout_.rows().top() || c != layout_.cols().top()) {
        sheet().setTopLeft(r, c);
        ensureLayout();
    }
}

void SheetView::showActiveCell() {
    CellRef a = sheet().activeCell();
    const CellRange* m = sheet().mergeAt(a.row, a.col);
    scrollTo(m ? CellRef{m->r1, m->c1} : a);
}

// ---------------------------------------------------------------- keys

bool SheetView::handleKeyDown(SheetKeyEvent& e) {
    emit keyDown(&e);
    if (e.consumed) {
        return true;
    }
    if (!e.text.isEmpty() && !(e.modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
        emit keyPress(&e);
        if (e.consumed) {
            return true;
        }
        if (e.text.at(0).isPrint()) {
            if (isEditing()) {
                editor_->insert(e.text);
            } else {
                startEditing(e.text, true);
            }
            return false;
        }
    }
    if (isEditing()) {
        // A key sent by the program while the editor is open: a character goes into the
        // editor, anything else ends the edit first.
        if (!e.text.isEmpty() && e.text.at(0).isPrint() &&
            !(e.modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
            editor_->insert(e.text);
            return false;
        }
        if (!endEditing()) {
            return false;
        }
    }
    defaultKey(e.qtKey, e.modifiers);
    return false;
}

bool SheetView::defaultKey(int key, Qt::KeyboardModifiers mods) {
    ensureLayout();
    Sheet& s = sheet();
    SheetNavigator nav(s, layout_);
    const bool shift = mods & Qt::ShiftModifier;
    const bool ctrl = mods & Qt::ControlModifier;
    const CellRef from = shift ? cursor_ : s.activeCell();
    auto arrow = [&](int dr, int dc) {
        moveTo(ctrl ? nav.dataEdge(from, dr, dc) : nav.step(from, dr, dc), shift);
    };
    switch (key) {
    case Qt::Key_Up: arrow(-1, 0); return true;
    case Qt::Key_Down: arrow(1, 0); return true;
    case Qt::Key_Left: arrow(0, -1); return true;
    case Qt::Key_Right: arrow(0, 1); return true;
    case Qt::Key_PageDown:
    case Qt::Key_PageUp: {
        const int n = layout_.rows().pageCount() * (key == Qt::Key_PageDown ? 1 : -1);
        scrollBy(n, 0);
        moveTo(nav.anchorOf({nav.rowsOn(from.row, n), from.col}), shift);
        return true;
    }
    case Qt::Key_Home: moveTo(ctrl ? nav.first() : nav.home(from), shift); return true;
    case Qt::Key_End: moveTo(ctrl ? nav.last() : nav.end(from), shift); return true;
    case Qt::Key_Tab: moveTo(nav.step(s.activeCell(), 0, 1), false); return true;
    case Qt::Key_Backtab: moveTo(nav.step(s.activeCell(), 0, -1), false); return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (enterMovesDown_) {
            moveTo(nav.step(s.activeCell(), shift ? -1 : 1, 0), false);
        }
        return true;
    case Qt::Key_F2: startEditing(); return true;
    case Qt::Key_Backspace: startEditing(QString(), true); return true;
    case Qt::Key_Delete:
        if (shift) {
            cut();
        } else if (book_->allow().allowDelete) {
            for (const CellRange& g : std::vector<CellRange>(s.selection())) {
                s.clear({g.r1, g.c1, std::min(g.r2, s.maxRow()), std::min(g.c2, s.maxCol())},
                        ClearWhat::Values);
            }
        }
        return true;
    case Qt::Key_Insert:
        if (ctrl) {
            copy();
        } else if (shift) {
            paste();
        }
        return true;
    case Qt::Key_C:
        if (ctrl) {
            copy();
            return true;
        }
        break;
    case Qt::Key_V:
        if (ctrl) {
            paste();
            return true;
        }
        break;
    case Qt::Key_X:
        if (ctrl) {
            cut();
            return true;
        }
        break;
    case Qt::Key_A:
        if (ctrl) {
            selectRanges({{1, 1, kMaxRows, kMaxCols}}, s.activeCell());
            return true;
        }
        break;
    default: break;
    }
    return false;
}

void SheetView::keyPressEvent(QKeyEvent* e) {
    if (isEditing()) {
        // Keys typed faster than the focus moved belong to the open editor.
        QApplication::sendEvent(editor_, e);
        return;
    }
    SheetKeyEvent k;
    k.key = virtualKeyFromQt(e->key());
    k.qtKey = e->key();
    k.modifiers = e->modifiers();
    k.text = e->text();
    handleKeyDown(k);
    e->accept();
}

void SheetView::keyReleaseEvent(QKeyEvent* e) {
    if (e->isAutoRepeat()) {
        return;
    }
    SheetKeyEvent k;
    k.key = virtualKeyFromQt(e->key());
    k.qtKey = e->key();
    k.modifiers = e->modifiers();
    emit keyUp(&k);
    e->accept();
}

bool SheetView::sendKey(KeyPhase phase, int virtualKey, Qt::KeyboardModifiers mods,
                        const QString& text) {
    SheetKeyEvent k;
    k.key = virtualKey;
    k.qtKey = qtKeyFromVirtual(virtualKey);
    k.modifiers = mods;
    k.text = text;
    switch (phase) {
    case KeyPhase::Down: return handleKeyDown(k);
    case KeyPhase::Up: emit keyUp(&k); return k.consumed;
    case KeyPhase::Press:
        emit keyPress(&k);
        if (!k.consumed && !text.isEmpty() && text.at(0).isPrint()) {
            if (isEditing()) {
                editor_->insert(text);
            } else {
                startEditing(text, true);
            }
        }
        return k.consumed;
    }
    return false;
}

void SheetView::postKey(KeyPhase phase, int virtualKey, Qt::KeyboardModifiers mods) {
    QMetaObject::invokeMethod(
        this, [this, phase, virtualKey, mods] { sendKey(phase, virtualKey, mods); },
        Qt::QueuedConnection);
}

void SheetView::inputMethodEvent(QInputMethodEvent* e) {
    // Text composed by an input method starts an edit as a typed character does.
    if (!isEditing() && !e->commitString().isEmpty()) {
        SheetKeyEvent k;
        k.text = e->commitString();
        emit keyPress(&k);
        if (!k.consumed) {
            startEditing(k.text, true);
        }
    } else if (isEditing()) {
        QApplication::sendEvent(editor_, e);
    }
    e->accept();
}

bool SheetView::focusNextPrevChild(bool) {
    // Tab moves between cells, not out of the sheet.
    return false;
}

// ---------------------------------------------------------------- mouse

int SheetView::resizeTarget(const SheetLayout::Hit& hit, QPoint pos, bool cols) {
    const LayoutAxis& a = cols ? layout_.cols() : layout_.rows();
    const int i = cols ? hit.col : hit.row;
    const int p = cols ? pos.x() : pos.y();
    if (i <= 0) {
        return 0;
    }
    const int s = a.start(i), e = s + a.size(i);
    if (e - p <= 3) {
        return i;
    }
    if (p - s <= 2) {
        int prev = a.nextShown(i, -1);
        if (prev != 0 && a.onScreen(prev) && a.start(prev) + a.size(prev) == s) {
            return prev;
        }
    }
    return 0;
}

int SheetView::objectAt(QPoint pos) {
    const auto& objs = sheet().objects();
    for (auto it = objs.rbegin(); it != objs.rend(); ++it) {
        QRectF r = layout_.objectRect(it->x1, it->y1, it->x2, it->y2).adjusted(-2, -2, 2, 2);
        if (r.contains(pos)) {
            return it->id;
        }
    }
    return 0;
}

void SheetView::mousePressEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    lastMouse_ = pos;
    emit mouseDown(e->button(), e->modifiers(), pos);
    // The edit ends before the focus moves, so that a veto is asked for once.
    if (isEditing() && !endEditing()) {
        return;
    }
    setFocus(Qt::MouseFocusReason);
    ensureLayout();
    Sheet& s = sheet();
    SheetNavigator nav(s, layout_);
    const SheetLayout::Hit hit = layout_.hit(pos);
    pressHit_ = hit;
    suppressClick_ = false;
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;

    if (hit.area == SheetLayout::Area::Cell) {
        if (int id = objectAt(pos)) {
            pressHit_ = {};
            emit objClick(id);
            return;
        }
    }
    if (e->button() == Qt::RightButton) {
        // A right click outside the selection selects the cell it hits, for a context menu.
        if (hit.area == SheetLayout::Area::Cell) {
            bool inside =
                std::any_of(s.selection().begin(), s.selection().end(),
                            [&](const CellRange& g) { return g.contains(hit.row, hit.col); });
            if (!inside) {
                moveTo(nav.anchorOf({hit.row, hit.col}), false);
            }
        }
        return;
    }
    if (e->button() != Qt::LeftButton) {
        return;
    }
    const CellRef active = s.activeCell();
    baseSel_.clear();
    if (ctrl) {
        baseSel_ = s.selection();
    }
    switch (hit.area) {
    case SheetLayout::Area::Corner: selectRanges({{1, 1, kMaxRows, kMaxCols}}, active); break;
    case SheetLayout::Area::ColHeading: {
        if (book_->allow().allowEditHeaders) {
            if (int c = resizeTarget(hit, pos, true)) {
                drag_ = Drag::ResizeCol;
                resizeIndex_ = c;
                resizeFrom_ = layout_.cols().size(c);
                resizePress_ = pos.x();
                guide_ = pos.x();
                viewport()->update();
                return;
            }
        }
        const int r = std::max(1, layout_.rows().firstShown());
        dragAnchor_ = shift ? active : CellRef{r, hit.col};
        CellRange g{1, std::min(dragAnchor_.col, hit.col), kMaxRows,
                    std::max(dragAnchor_.col, hit.col)};
        std::vector<CellRange> ranges = baseSel_;
        if (shift && !s.selection().empty()) {
            ranges = s.selection();
            ranges.back() = g;
        } else {
            ranges.push_back(g);
        }
        cursor_ = {kMaxRows, hit.col};
        selectRanges(ranges, dragAnchor_);
        drag_ = Drag::Cols;
        break;
    }
    case SheetLayout::Area::RowHeading: {
        if (book_->allow().allowEditHeaders) {
            if (int r = resizeTarget(hit, pos, false)) {
                drag_ = Drag::ResizeRow;
                resizeIndex_ = r;
                resizeFrom_ = layout_.rows().size(r);
                resizePress_ = pos.y();
                guide_ = pos.y();
                viewport()->update();
                return;
            }
        }
        const int c = std::max(1, layout_.cols().firstShown());
        dragAnchor_ = shift ? active : CellRef{hit.row, c};
        CellRange g{std::min(dragAnchor_.row, hit.row), 1, std::max(dragAnchor_.row, hit.row),
                    kMaxCols};
        std::vector<CellRange> ranges = baseSel_;
        if (shift && !s.selection().empty()) {
            ranges = s.selection();
            ranges.back() = g;
        } else {
            ranges.push_back(g);
        }
        cursor_ = {hit.row, kMaxCols};
        selectRanges(ranges, dragAnchor_);
        drag_ = Drag::Rows;
        break;
    }
    case SheetLayout::Area::Cell: {
        const CellRef at = nav.anchorOf({hit.row, hit.col});
        if (shift) {
            dragAnchor_ = active;
            moveTo({hit.row, hit.col}, true);
        } else {
            dragAnchor_ = at;
            cursor_ = at;
            std::vector<CellRange> ranges = baseSel_;
            ranges.push_back(nav.withMerges(CellRange::cell(at.row, at.col)));
            selectRanges(ranges, at);
            scrollTo(at);
        }
        drag_ = Drag::Cells;
        break;
    }
    case SheetLayout::Area::Outside: break;
    }
}

void SheetView::dragTo(QPoint pos) {
    ensureLayout();
    Sheet& s = sheet();
    SheetNavigator nav(s, layout_);
    const LayoutAxis& ra = layout_.rows();
    const LayoutAxis& ca = layout_.cols();
    // Past the edge of the cells the nearest cell counts.
    QPoint q(std::clamp(pos.x(), ca.header(), std::max(ca.header(), ca.extent() - 1)),
             std::clamp(pos.y(), ra.header(), std::max(ra.header(), ra.extent() - 1)));
    int r = ra.at(q.y());
    int c = ca.at(q.x());
    if (r <= 0) {
        r = ra.lastShown();
    }
    if (c <= 0) {
        c = ca.lastShown();
    }
    if (r <= 0 || c <= 0) {
        return;
    }
    std::vector<CellRange> ranges = baseSel_;
    CellRange g;
    switch (drag_) {
    case Drag::Cells:
        if (CellRef{r, c} == cursor_) {
            return;
        }
        cursor_ = {r, c};
        g = nav.withMerges(CellRange{dragAnchor_.row, dragAnchor_.col, r, c}.normalized());
        break;
    case Drag::Cols:
        if (c == cursor_.col) {
            return;
        }
        cursor_ = {kMaxRows, c};
        g = {1, std::min(dragAnchor_.col, c), kMaxRows, std::max(dragAnchor_.col, c)};
        break;
    case Drag::Rows:
        if (r == cursor_.row) {
            return;
        }
        cursor_ = {r, kMaxCols};
        g = {std::min(dragAnchor_.row, r), 1, std::max(dragAnchor_.row, r), kMaxCols};
        break;
    default: return;
    }
    // Without Ctrl the dragged range is the selection's last one; with Ctrl it follows the
    // ranges there were before the press.
    if (baseSel_.empty() && !s.selection().empty()) {
        ranges = s.selection();
        ranges.back() = g;
    } else {
        ranges.push_back(g);
    }
    selectRanges(ranges, dragAnchor_);
}

void SheetView::autoScroll() {
    if (drag_ != Drag::Cells && drag_ != Drag::Rows && drag_ != Drag::Cols) {
        autoScroll_->stop();
        return;
    }
    const LayoutAxis& ra = layout_.rows();
    const LayoutAxis& ca = layout_.cols();
    int dr = 0, dc = 0;
    if (drag_ != Drag::Cols) {
        dr = lastMouse_.y() >= ra.extent() ? 1 : lastMouse_.y() < ra.scrollBegin() ? -1 : 0;
    }
    if (drag_ != Drag::Rows) {
        dc = lastMouse_.x() >= ca.extent() ? 1 : lastMouse_.x() < ca.scrollBegin() ? -1 : 0;
    }
    if (dr == 0 && dc == 0) {
        autoScroll_->stop();
        return;
    }
    scrollBy(dr, dc);
    dragTo(lastMouse_);
}

void SheetView::updateCursor(QPoint pos) {
    if (book_->view().mousePointer != 0) {
        return;
    }
    if (drag_ == Drag::ResizeCol || drag_ == Drag::ResizeRow) {
        return;
    }
    const SheetLayout::Hit hit = layout_.hit(pos);
    if (book_->allow().allowEditHeaders) {
        if (hit.area == SheetLayout::Area::ColHeading && resizeTarget(hit, pos, true)) {
            viewport()->setCursor(Qt::SplitHCursor);
            return;
        }
        if (hit.area == SheetLayout::Area::RowHeading && resizeTarget(hit, pos, false)) {
            viewport()->setCursor(Qt::SplitVCursor);
            return;
        }
    }
    viewport()->unsetCursor();
}

void SheetView::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    lastMouse_ = pos;
    emit mouseMove(e->buttons(), e->modifiers(), pos);
    ensureLayout();
    switch (drag_) {
    case Drag::ResizeCol:
        guide_ = std::max(pos.x(), layout_.cols().start(resizeIndex_));
        viewport()->update();
        return;
    case Drag::ResizeRow:
        guide_ = std::max(pos.y(), layout_.rows().start(resizeIndex_));
        viewport()->update();
        return;
    case Drag::Cells:
    case Drag::Rows:
    case Drag::Cols: {
        dragTo(pos);
        const bool outside =
            pos.x() < layout_.cols().scrollBegin() || pos.x() >= layout_.cols().extent() ||
            pos.y() < layout_.rows().scrollBegin() || pos.y() >= layout_.rows().extent();
        if (outside && !autoScroll_->isActive()) {
            autoScroll_->start();
        } else if (!outside) {
            autoScroll_->stop();
        }
        return;
    }
    case Drag::None: updateCursor(pos); return;
    }
}

void SheetView::mouseReleaseEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    emit mouseUp(e->button(), e->modifiers(), pos);
    autoScroll_->stop();
    const Drag was = drag_;
    drag_ = Drag::None;
    ensureLayout();
    if (was == Drag::ResizeCol || was == Drag::ResizeRow) {
        const int scale = book_->view().viewScale;
        guide_ = -1;
        // The edge moves by as much as the mouse did, wherever on the edge it was taken. A
        // click that moved nothing changes nothing (an owner may count every change).
        const int moved = was == Drag::ResizeCol ? pos.x() - resizePress_ : pos.y() - resizePress_;
        if (moved == 0) {
            viewport()->update();
            return;
        }
        if (was == Drag::ResizeCol) {
            int px = std::max(0, resizeFrom_ + pos.x() - resizePress_);
            sheet().setColWidth(resizeIndex_, static_cast<int>(std::lround(
                                                  px * 25600.0 / (std::max(1, unitPx_) * scale))));
        } else {
            int px = std::max(0, resizeFrom_ + pos.y() - resizePress_);
            sheet().setRowHeight(resizeIndex_, static_cast<int>(std::lround(px * 1500.0 / scale)));
        }
        viewport()->update();
        return;
    }
    if (was == Drag::None || e->button() != Qt::LeftButton) {
        return;
    }
    const SheetLayout::Hit hit = layout_.hit(pos);
    if (!suppressClick_ && hit.area == pressHit_.area && hit.row == pressHit_.row &&
        hit.col == pressHit_.col && hit.area != SheetLayout::Area::Outside) {
        emit click(hit.row, hit.col);
    }
    suppressClick_ = false;
}

void SheetView::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    ensureLayout();
    const SheetLayout::Hit hit = layout_.hit(pos);
    suppressClick_ = true;
    if (hit.area == SheetLayout::Area::Outside || hit.area == SheetLayout::Area::Corner) {
        return;
    }
    if (e->button() == Qt::RightButton) {
        emit rDblClick(hit.row, hit.col);
        return;
    }
    if (e->button() != Qt::LeftButton) {
        return;
    }
    const bool onColEdge = hit.area == SheetLayout::Area::ColHeading;
    if ((onColEdge || hit.area == SheetLayout::Area::RowHeading) &&
        book_->allow().allowEditHeaders) {
        // A double click on a heading's edge fits the column or row to its contents.
        if (int i = resizeTarget(hit, pos, onColEdge)) {
            drag_ = Drag::None;
            guide_ = -1;
            Sheet& s = sheet();
            if (onColEdge) {
                s.fitColWidths({1, i, s.maxRow(), i}, measurer_);
            } else {
                s.fitRowHeights({i, 1, i, s.maxCol()}, measurer_);
            }
            viewport()->update();
            return;
        }
    }
    bool consumed = false;
    emit dblClick(hit.row, hit.col, &consumed);
    if (!consumed && hit.area == SheetLayout::Area::Cell) {
        drag_ = Drag::None;
        startEditing();
    }
}

// ---------------------------------------------------------------- editing

bool SheetView::startEditing() {
    ensureLayout();
    Sheet& s = sheet();
    SheetNavigator nav(s, layout_);
    const CellRef a = nav.anchorOf(s.activeCell());
    return startEditing(cp1251::toQString(s.entry(a.row, a.col)), false);
}

bool SheetView::startEditing(const QString& initial, bool typing) {
    if (isEditing()) {
        return true;
    }
    if (!book_->allow().allowInCellEditing) {
        return false;
    }
    ensureLayout();
    Sheet& s = sheet();
    SheetNavigator nav(s, layout_);
    const CellRef a = nav.anchorOf(s.activeCell());
    if (!layout_.rows().shown(a.row) || !layout_.cols().shown(a.col)) {
        return false;
    }
    QString text = initial;
    bool cancel = false;
    emit startEdit(&text, &cancel);
    if (cancel) {
        return false;
    }
    scrollTo(a);
    editSheet_ = &s;
    editCell_ = a;
    placeEditor();
    editor_->begin(text, typing);
    viewport()->update();
    return true;
}

void SheetView::placeEditor() {
    if (!isEditing()) {
        return;
    }
    const Sheet& s = *editSheet_;
    const CellRange* m = s.mergeAt(editCell_.row, editCell_.col);
    QRect r = m ? layout_.rangeRect(*m) : layout_.cellRect(editCell_.row, editCell_.col);
    const Style& st = s.style(editCell_.row, editCell_.col);
    const FontMapper::Entry& fe = fonts_.entry(s.styleId(editCell_.row, editCell_.col), st.font);
    if (editor_->font() != fe.qfont) {
        editor_->setFont(fe.qfont);
    }
    editor_->setAlignment(st.halign == HAlign::Right    ? Qt::AlignRight
                          : st.halign == HAlign::Center ? Qt::AlignHCenter
                                                        : Qt::AlignLeft);
    QPalette pal = editor_->palette();
    const QColor back = toQColor(book_->view().backColor, Qt::white);
    pal.setColor(QPalette::Base, st.fill.pattern == 1 ? toQColor(st.fill.fg, back) : back);
    pal.setColor(QPalette::Text, toQColor(st.font.color, Qt::black));
    editor_->setPalette(pal);
    // The editor grows to the right as the text gets longer, as far as the window goes.
    const int need = static_cast<int>(std::ceil(fe.metrics.horizontalAdvance(editor_->text()))) + 8;
    const int room = std::max(r.width(), viewport()->width() - r.left());
    const int w = std::clamp(need, r.width(), room);
    editor_->setGeometry(r.left(), r.top(), std::max(1, w - 1), std::max(1, r.height() - 1));
}

void SheetView::closeEditor() {
    editSheet_ = nullptr;
    editCell_ = {0, 0};
    const bool hadFocus = editor_->hasFocus();
    editor_->quietHide();
    if (hadFocus) {
        setFocus(Qt::OtherFocusReason);
    }
    viewport()->update();
}

bool SheetView::endEditing() {
    if (!isEditing()) {
        return true;
    }
    QString text = editor_->text();
    bool cancel = false;
    if (book_->events().doEndEdit) {
        emit endEdit(&text, &cancel);
    }
    if (!isEditing()) {
        return true; // the owner closed it from its handler
    }
    if (cancel) {
        if (hasFocus()) {
            editor_->setFocus(Qt::OtherFocusReason);
        }
        return false;
    }
    Sheet* s = editSheet_;
    const CellRef at = editCell_;
    closeEditor();
    s->setEntry(at.row, at.col, cp1251::fromQString(text));
    return true;
}

bool SheetView::endEditingForced() {
    if (!isEditing()) {
        return true;
    }
    if (endEditing()) {
        return true;
    }
    // Vetoed where the editor cannot stay (another sheet, another workbook): it is dropped.
    cancelEditing();
    return false;
}

void SheetView::cancelEditing() {
    if (!isEditing()) {
        return;
    }
    const CellRef at = editCell_;
    closeEditor();
    emit cancelEdit(at.row, at.col);
}

void SheetView::onEditorFinished(CellEditor::End how) {
    if (how == CellEditor::End::FocusOut && QApplication::focusWidget() == this) {
        // A click on the sheet: its press handler ends the edit (and asks the owner once).
        return;
    }
    if (how == CellEditor::End::Escape) {
        cancelEditing();
        return;
    }
    if (!endEditing()) {
        return;
    }
    ensureLayout();
    SheetNavigator nav(sheet(), layout_);
    const CellRef a = sheet().activeCell();
    switch (how) {
    case CellEditor::End::Enter:
        if (enterMovesDown_) {
            moveTo(nav.step(a, 1, 0), false);
        }
        break;
    case CellEditor::End::ShiftEnter:
        if (enterMovesDown_) {
            moveTo(nav.step(a, -1, 0), false);
        }
        break;
    case CellEditor::End::Tab: moveTo(nav.step(a, 0, 1), false); break;
    case CellEditor::End::BackTab: moveTo(nav.step(a, 0, -1), false); break;
    case CellEditor::End::Up: moveTo(nav.step(a, -1, 0), false); break;
    case CellEditor::End::Down: moveTo(nav.step(a, 1, 0), false); break;
    case CellEditor::End::Left: moveTo(nav.step(a, 0, -1), false); break;
    case CellEditor::End::Right: moveTo(nav.step(a, 0, 1), false); break;
    default: break;
    }
}

// ---------------------------------------------------------------- clipboard

void SheetView::copy() {
    Sheet& s = sheet();
    CellRange g = s.selectionRange(0).clamped();
    std::string text;
    if (g.r2 <= s.maxRow() && g.c2 <= s.maxCol()) {
        text = s.clip();
    } else {
        // A whole row or column copies what the sheet shows, not 65,536 empty lines.
        g.r2 = std::min(g.r2, s.maxRow());
        g.c2 = std::min(g.c2, s.maxCol());
        for (int r = g.r1; r <= g.r2; ++r) {
            for (int c = g.c1; c <= g.c2; ++c) {
                if (c > g.c1) {
                    text += '\t';
                }
                text += s.text(r, c);
            }
            text += "\r\n";
        }
    }
    QApplication::clipboard()->setText(cp1251::toQString(text));
}

void SheetView::paste() {
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty()) {
        return;
    }
    if (isEditing()) {
        editor_->insert(text);
        return;
    }
    sheet().setClipValues(cp1251::fromQString(text));
}

void SheetView::cut() {
    copy();
    if (!book_->allow().allowDelete) {
        return;
    }
    Sheet& s = sheet();
    CellRange g = s.selectionRange(0).clamped();
    s.clear({g.r1, g.c1, std::min(g.r2, s.maxRow()), std::min(g.c2, s.maxCol())},
            ClearWhat::Values);
}

} // namespace fc
