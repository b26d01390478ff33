#include "components/ui/SheetView.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/ui/ObjectInput.h"
#include "components/ui/SheetInput.h"
#include "components/ui/SheetNavigator.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTabBar>

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
        // Names and count change with the layout; here only the current sheet can have.
        if (v_.tabs_->currentIndex() != v_.book_->currentSheet() - 1) {
            v_.syncTabs();
        }
        v_.viewport()->update();
    }
    void selChange() override {
        v_.input_->selectionChanged(v_.book_->sheet().activeCell());
        emit v_.selChange();
    }
    void topLeftChanged() override { emit v_.topLeftChanged(); }
    void startRecalc() override { emit v_.startRecalc(); }
    void endRecalc() override { emit v_.endRecalc(); }
    void objValueChanged(int id) override { emit v_.objValueChanged(id); }
    void workbookDestroyed() override {
        // The view falls back to its own workbook, so nothing it does later reaches the
        // freed one.
        v_.editSheet_ = nullptr;
        v_.editor_->hide();
        v_.book_ = nullptr;
        v_.attach(v_.own_.get());
    }

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

    input_ = std::make_unique<SheetInput>(*this);
    objectInput_ = std::make_unique<ObjectInput>(*this);

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
    input_->selectionChanged(book_->sheet().activeCell());
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

void SheetView::setObjectsEditable(bool on) {
    if (objectsEditable_ == on) {
        return;
    }
    objectsEditable_ = on;
    if (!on) {
        sheet().clearObjectSelection();
    }
    viewport()->update();
}

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
    objectInput_->paintOverlay(p);
    if (const int guide = input_->guide(); guide >= 0) {
        QPen pen(QColor(0x40, 0x40, 0x40));
        pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        if (input_->guideIsVertical()) {
            p.drawLine(guide, 0, guide, viewport()->height());
        } else {
            p.drawLine(0, guide, viewport()->width(), guide);
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

void SheetView::showActiveCell() {
    CellRef a = sheet().activeCell();
    const CellRange* m = sheet().mergeAt(a.row, a.col);
    input_->scrollTo(m ? CellRef{m->r1, m->c1} : a);
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
    input_->key(e.qtKey, e.modifiers);
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

void SheetView::mousePressEvent(QMouseEvent* e) { input_->press(e); }
void SheetView::mouseMoveEvent(QMouseEvent* e) { input_->move(e); }
void SheetView::mouseReleaseEvent(QMouseEvent* e) { input_->release(e); }
void SheetView::mouseDoubleClickEvent(QMouseEvent* e) { input_->doubleClick(e); }

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
    input_->scrollTo(a);
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
            input_->moveTo(nav.step(a, 1, 0), false);
        }
        break;
    case CellEditor::End::ShiftEnter:
        if (enterMovesDown_) {
            input_->moveTo(nav.step(a, -1, 0), false);
        }
        break;
    case CellEditor::End::Tab: input_->moveTo(nav.step(a, 0, 1), false); break;
    case CellEditor::End::BackTab: input_->moveTo(nav.step(a, 0, -1), false); break;
    case CellEditor::End::Up: input_->moveTo(nav.step(a, -1, 0), false); break;
    case CellEditor::End::Down: input_->moveTo(nav.step(a, 1, 0), false); break;
    case CellEditor::End::Left: input_->moveTo(nav.step(a, 0, -1), false); break;
    case CellEditor::End::Right: input_->moveTo(nav.step(a, 0, 1), false); break;
    default: break;
    }
}

// ---------------------------------------------------------------- clipboard

void SheetView::copy() {
    if (objectsEditable_ && objectInput_->copyObjects(false)) {
        return;
    }
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
    if (!isEditing() && objectInput_->pasteObjects()) {
        return;
    }
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
    if (objectsEditable_ && objectInput_->copyObjects(true)) {
        return;
    }
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
