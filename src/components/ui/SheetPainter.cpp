#include "components/ui/SheetPainter.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace fc {

namespace {

struct ColLess {
    bool operator()(const Cell& c, int col) const { return c.col < col; }
    bool operator()(int col, const Cell& c) const { return col < c.col; }
};

// Fills `outer` except `hole`: the active cell stays clear inside a dimmed selection.
void fillAround(QPainter& p, const QRect& outer, const QRect& hole, const QColor& c) {
    QRect h = hole.intersected(outer);
    if (h.isEmpty()) {
        p.fillRect(outer, c);
        return;
    }
    p.fillRect(QRect(outer.left(), outer.top(), outer.width(), h.top() - outer.top()), c);
    p.fillRect(QRect(outer.left(), h.bottom() + 1, outer.width(), outer.bottom() - h.bottom()), c);
    p.fillRect(QRect(outer.left(), h.top(), h.left() - outer.left(), h.height()), c);
    p.fillRect(QRect(h.right() + 1, h.top(), outer.right() - h.right(), h.height()), c);
}

// A frame two pixels wide lying on the grid lines around `r` and just inside them.
void drawFrame(QPainter& p, const QRect& r, const QColor& c) {
    const int x1 = r.left() - 1, y1 = r.top() - 1;
    const int x2 = r.left() + r.width() - 1, y2 = r.top() + r.height() - 1;
    const int w = x2 - x1 + 1, h = y2 - y1 + 1;
    p.fillRect(QRect(x1, y1, w, 2), c);
    p.fillRect(QRect(x1, y2 - 1, w, 2), c);
    p.fillRect(QRect(x1, y1, 2, h), c);
    p.fillRect(QRect(x2 - 1, y1, 2, h), c);
}

bool sameRange(const CellRange* m, const CellRange& g) { return m && *m == g; }

} // namespace

QString SheetPainter::columnName(int col) {
    QString s;
    for (int c = col; c > 0; c = (c - 1) / 26) {
        s.prepend(QChar(u'A' + (c - 1) % 26));
    }
    return s;
}

const Row* SheetPainter::rowOf(int r) const {
    if (r < 1 || r > sheet_->storedRows()) {
        return nullptr;
    }
    return &sheet_->rows()[static_cast<std::size_t>(r - 1)];
}

bool SheetPainter::hasContent(const Row* row, int c) const {
    const Cell* x = row ? row->find(c) : nullptr;
    return x && x->hasContent();
}

const Style& SheetPainter::styleOf(const Row* row, int c) const {
    const Cell* x = row ? row->find(c) : nullptr;
    return sheet_->workbook().styles().get(x ? x->style : 0);
}

const CellRange* SheetPainter::mergeIn(int r, int c) const {
    for (const CellRange& m : merges_) {
        if (m.contains(r, c)) {
            return &m;
        }
    }
    return nullptr;
}

void SheetPainter::collect(const LayoutAxis& axis, const LayoutAxis::Piece& piece,
                           std::vector<Span>& out) {
    out.clear();
    int i = axis.shown(piece.first) ? piece.first : axis.nextShown(piece.first, +1);
    for (; i != 0 && i <= piece.last; i = axis.nextShown(i, +1)) {
        out.push_back({i, axis.start(i), axis.size(i)});
    }
}

void SheetPainter::paint(QPainter& p, const Sheet& s, const SheetLayout& l, const QRect& exposed,
                         const PaintOptions& o) {
    sheet_ = &s;
    layout_ = &l;
    opt_ = o;
    exposed_ = exposed;
    p.setBrushOrigin(0, 0);

    LayoutAxis::Piece rp[2], cp[2];
    const int nr = l.rows().pieces(rp);
    const int nc = l.cols().pieces(cp);
    const QRect cellsArea(l.headerWidth(), l.headerHeight(),
                          std::max(0, l.cols().extent() - l.headerWidth()),
                          std::max(0, l.rows().extent() - l.headerHeight()));
    if (!o.printing) {
        p.fillRect(cellsArea.intersected(exposed), beyondColor());
    }
    for (int i = 0; i < nr; ++i) {
        for (int j = 0; j < nc; ++j) {
            Pane pane{
                QRect(cp[j].begin, rp[i].begin, cp[j].end - cp[j].begin, rp[i].end - rp[i].begin),
                rp[i], cp[j]};
            if (pane.rect.intersects(exposed)) {
                paintPane(p, pane);
            }
        }
    }
    if (!s.objects().empty()) {
        p.save();
        p.setClipRect(cellsArea.intersected(exposed));
        paintObjects(p);
        p.restore();
    }
    // The frozen block's edge: a darker line over its last grid line.
    const QColor divider(0x80, 0x80, 0x80);
    if (nr == 2) {
        p.fillRect(QRect(cellsArea.left(), rp[0].end - 1, cellsArea.width(), 1), divider);
    }
    if (nc == 2) {
        p.fillRect(QRect(cp[0].end - 1, cellsArea.top(), 1, cellsArea.height()), divider);
    }
    if (l.headerHeight() > 0) {
        for (int j = 0; j < nc; ++j) {
            paintColHeadings(p, cp[j]);
        }
    }
    if (l.headerWidth() > 0) {
        for (int i = 0; i < nr; ++i) {
            paintRowHeadings(p, rp[i]);
        }
    }
    if (l.headerWidth() > 0 && l.headerHeight() > 0) {
        QRect corner(0, 0, l.headerWidth(), l.headerHeight());
        p.fillRect(corner, headingColor());
        p.fillRect(QRect(corner.right(), 0, 1, corner.height()), headingLineColor());
        p.fillRect(QRect(0, corner.bottom(), corner.width(), 1), headingLineColor());
    }
}

const QStaticText* SheetPainter::laidOut(const QString& text, const FontMapper::Entry& fe) {
    // A text seen once is only noted; laying it out pays from its second frame on, so that
    // a jump to unseen rows costs no more than plain drawing.
    const auto key = qMakePair(text, fe.serial);
    auto it = texts_.find(key);
    if (it == texts_.end()) {
        if (texts_.size() >= 4096) {
            texts_.clear();
        }
        texts_.insert(key, QStaticText());
        return nullptr;
    }
    if (it->text().isEmpty()) {
        it->setText(text);
        it->setTextFormat(Qt::PlainText);
        it->setPerformanceHint(QStaticText::AggressiveCaching);
        it->prepare(QTransform(), fe.qfont);
    }
    return &*it;
}

const QFont& SheetPainter::headingFont() {
    // Headings use the default font's face and size, never its emphasis.
    const Font& df = sheet_->defaultStyle().font;
    if (!headingValid_ || headingKey_.name != df.name || headingKey_.size != df.size ||
        headingScale_ != fonts_.scale()) {
        headingKey_ = Font();
        headingKey_.name = df.name;
        headingKey_.size = df.size;
        headingScale_ = fonts_.scale();
        headingFont_ = FontMapper::toQFont(headingKey_, headingScale_);
        headingValid_ = true;
    }
    return headingFont_;
}

int SheetPainter::visibleRight() const {
    const LayoutAxis& a = layout_->cols();
    int last = a.lastShown();
    return last == 0 ? a.header() : a.start(last) + a.size(last);
}

int SheetPainter::visibleBottom() const {
    const LayoutAxis& a = layout_->rows();
    int last = a.lastShown();
    return last == 0 ? a.header() : a.start(last) + a.size(last);
}

void SheetPainter::paintPane(QPainter& p, const Pane& pane) {
    p.save();
    const QRect clip = pane.rect.intersected(exposed_);
    p.setClipRect(clip);
    collect(layout_->rows(), pane.rows, rows_);
    collect(layout_->cols(), pane.cols, cols_);

    // The cells of the pane end at the sheet's last row and column; the rest stays grey.
    const int right = std::min(pane.rect.right() + 1, visibleRight());
    const int bottom = std::min(pane.rect.bottom() + 1, visibleBottom());
    if (right > pane.rect.left() && bottom > pane.rect.top()) {
        p.fillRect(QRect(pane.rect.left(), pane.rect.top(), right - pane.rect.left(),
                         bottom - pane.rect.top()),
                   opt_.back);
    }

    merges_.clear();
    if (!rows_.empty()) {
        const int r1 = rows_.front().index, r2 = rows_.back().index;
        for (const CellRange& m : sheet_->merges()) {
            if (m.r2 >= r1 && m.r1 <= r2) {
                merges_.push_back(m);
            }
        }
    }
    if (opt_.gridLines) {
        paintGrid(p, pane);
    }
    paintFills(p, pane);
    paintTexts(p, pane);
    // Borders on the pane's first grid lines belong to the cells before it.
    p.setClipRect(pane.rect.adjusted(-1, -1, 0, 0).intersected(exposed_));
    paintBorders(p, pane);
    p.setClipRect(clip);
    if (opt_.selection) {
        paintSelection(p, pane);
    }
    p.restore();
}

void SheetPainter::paintGrid(QPainter& p, const Pane& pane) {
    const int right = std::min(pane.rect.right() + 1, visibleRight());
    const int bottom = std::min(pane.rect.bottom() + 1, visibleBottom());
    const QColor grid = gridColor();
    for (const Span& r : rows_) {
        p.fillRect(QRect(pane.rect.left(), r.start + r.size - 1, right - pane.rect.left(), 1),
                   grid);
    }
    for (const Span& c : cols_) {
        p.fillRect(QRect(c.start + c.size - 1, pane.rect.top(), 1, bottom - pane.rect.top()), grid);
    }
}

void SheetPainter::paintFills(QPainter& p, const Pane& pane) {
    if (cols_.empty()) {
        return;
    }
    const int c1 = cols_.front().index, c2 = cols_.back().index;
    const StyleTable& styles = sheet_->workbook().styles();
    const bool defaultFilled = !opt_.monochrome && styles.get(0).fill.pattern != 0;
    for (const Span& rs : rows_) {
        const Row* row = rowOf(rs.index);
        if (defaultFilled) {
            const QBrush b = brushes_.brush(styles.get(0).fill, opt_.back);
            for (const Span& cs : cols_) {
                p.fillRect(QRect(cs.start, rs.start, cs.size, rs.size), b);
            }
        }
        if (!row) {
            continue;
        }
        auto it = std::lower_bound(row->cells.begin(), row->cells.end(), c1, ColLess());
        for (; it != row->cells.end() && it->col <= c2; ++it) {
            if (it->style == 0) {
                continue;
            }
            const Style& st = styles.get(it->style);
            const bool filled = st.fill.pattern != 0 && !opt_.monochrome;
            if (!filled && !defaultFilled) {
                continue;
            }
            if (mergeIn(rs.index, it->col)) {
                continue;
            }
            const LayoutAxis& ca = layout_->cols();
            if (!ca.shown(it->col)) {
                continue;
            }
            QRect r(ca.start(it->col), rs.start, ca.size(it->col), rs.size);
            p.fillRect(r, filled ? brushes_.brush(st.fill, opt_.back) : QBrush(opt_.back));
        }
    }
    // A merged area is one cell: its fill (or the background) covers the inner grid lines.
    for (const CellRange& m : merges_) {
        if (m.c2 < c1 || m.c1 > c2) {
            continue;
        }
        const Style& st = sheet_->style(m.r1, m.c1);
        QRect r = layout_->rangeRect(m);
        if (st.fill.pattern != 0 && !opt_.monochrome) {
            p.fillRect(r, brushes_.brush(st.fill, opt_.back));
        } else {
            p.fillRect(r.adjusted(0, 0, -1, -1), opt_.back);
        }
    }
}

void SheetPainter::paintTexts(QPainter& p, const Pane& pane) {
    for (const Span& rs : rows_) {
        paintRowTexts(p, pane, rs);
    }
    if (cols_.empty()) {
        return;
    }
    const int c1 = cols_.front().index, c2 = cols_.back().index;
    for (const CellRange& m : merges_) {
        if (m.c2 < c1 || m.c1 > c2) {
            continue;
        }
        const Row* row = rowOf(m.r1);
        const Cell* x = row ? row->find(m.c1) : nullptr;
        if (x && x->hasContent()) {
            paintCellText(p, pane, m.r1, *x, layout_->rangeRect(m), false, row);
        }
    }
}

void SheetPainter::paintRowTexts(QPainter& p, const Pane& pane, const Span& rs) {
    const Row* row = rowOf(rs.index);
    if (!row || row->cells.empty() || cols_.empty()) {
        return;
    }
    const int c1 = cols_.front().index, c2 = cols_.back().index;
    const auto& cells = row->cells;
    auto first = std::lower_bound(cells.begin(), cells.end(), c1, ColLess());
    auto last = std::upper_bound(cells.begin(), cells.end(), c2, ColLess());
    const LayoutAxis& ca = layout_->cols();
    auto paintOne = [&](const Cell& x) {
        if (!x.hasContent() || mergeIn(rs.index, x.col) || !ca.sameRegion(x.col, c1)) {
            return;
        }
        QRect box(ca.start(x.col), rs.start, ca.size(x.col), rs.size);
        paintCellText(p, pane, rs.index, x, box, true, row);
    };
    // Only the nearest filled cell outside the pane on either side can spill into it: any
    // farther one is stopped by that cell.
    for (auto it = first; it != cells.begin();) {
        --it;
        if (it->hasContent()) {
            paintOne(*it);
            break;
        }
    }
    for (auto it = first; it != last; ++it) {
        paintOne(*it);
    }
    for (auto it = last; it != cells.end(); ++it) {
        if (it->hasContent()) {
            paintOne(*it);
            break;
        }
    }
}

void SheetPainter::paintCellText(QPainter& p, const Pane& pane, int r, const Cell& cell,
                                 const QRect& box, bool mayOverflow, const Row* row) {
    const int c = cell.col;
    if (opt_.editing.row == r && opt_.editing.col == c) {
        return;
    }
    const Workbook& book = sheet_->workbook();
    const bool formulaShown = cell.formula != 0 && book.view().showFormulas;
    FormattedText ft = sheet_->display(r, c);
    if (ft.text.empty()) {
        return;
    }
    const ValueKind kind = cell.kind;
    if (!opt_.zeroValues && !formulaShown && kind == ValueKind::Number && cell.number == 0) {
        return;
    }
    const Style& st = book.styles().get(cell.style);
    const FontMapper::Entry& fe = fonts_.entry(cell.style, st.font);
    const bool numeric = !formulaShown && kind == ValueKind::Number;
    HAlign h = st.halign;
    if (h == HAlign::General) {
        if (numeric) {
            h = HAlign::Right;
        } else if (!formulaShown && (kind == ValueKind::Boolean || kind == ValueKind::Error)) {
            h = HAlign::Center;
        } else {
            h = HAlign::Left;
        }
    }
    const QColor color =
        opt_.monochrome
            ? QColor(Qt::black)
            : toQColor(ft.color != kAutoColor ? ft.color : st.font.color, QColor(Qt::black));
    const int pad = std::max(1, 2 * fonts_.scale() / 100);
    text_ = cp1251::toQString(ft.text);
    p.setFont(fe.qfont);
    p.setPen(color);

    Qt::Alignment va = st.valign == VAlign::Top      ? Qt::AlignTop
                       : st.valign == VAlign::Center ? Qt::AlignVCenter
                                                     : Qt::AlignBottom;
    if (st.wrap || h == HAlign::Justify) {
        Qt::Alignment ha = h == HAlign::Right     ? Qt::AlignRight
                           : h == HAlign::Center  ? Qt::AlignHCenter
                           : h == HAlign::Justify ? Qt::AlignJustify
                                                  : Qt::AlignLeft;
        p.save();
        p.setClipRect(box.intersected(pane.rect), Qt::IntersectClip);
        p.drawText(box.adjusted(pad, 0, -pad - 1, -1), int(ha | va) | Qt::TextWordWrap, text_);
        p.restore();
        return;
    }
    text_.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QFontMetricsF& fm = fe.metrics;
    const QStaticText* laid = laidOut(text_, fe);
    double tw = laid ? laid->size().width() : fm.horizontalAdvance(text_);
    const int avail = box.width() - 1 - 2 * pad;
    QRect area = box;
    const LayoutAxis& ca = layout_->cols();

    if (h == HAlign::Fill) {
        const double one = tw;
        if (one > 0 && one <= avail) {
            QString single = text_;
            int n = static_cast<int>(avail / one);
            text_ = single.repeated(n);
            tw = one * n;
            laid = laidOut(text_, fe);
        }
        h = HAlign::Left;
    } else if (numeric && tw > avail) {
        // A number that does not fit is never cut: it shows as "#" across the cell.
        double hash = fm.horizontalAdvance(QLatin1Char('#'));
        int n = hash > 0 ? std::max(1, static_cast<int>(avail / hash)) : 1;
        text_ = QString(n, QLatin1Char('#'));
        tw = hash * n;
        laid = laidOut(text_, fe);
    } else if (mayOverflow && !numeric) {
        // Text spills into empty neighbours that are not merged, as far as it needs.
        auto free = [&](int k) { return !hasContent(row, k) && !mergeIn(r, k); };
        int firstCol = c, lastCol = c;
        auto grow = [&](int dir, double need) {
            int k = c;
            while (need > 0) {
                int n = ca.nextShown(k, dir);
                if (n == 0 || !free(n) || !ca.sameRegion(n, c)) {
                    break;
                }
                k = n;
                need -= ca.size(n);
                if (dir > 0) {
                    area.setRight(ca.start(n) + ca.size(n) - 1);
                    lastCol = n;
                } else {
                    area.setLeft(ca.start(n));
                    firstCol = n;
                }
            }
        };
        if (h == HAlign::CenterAcross) {
            for (int n = ca.nextShown(c, +1); n != 0 && free(n) && ca.sameRegion(n, c) &&
                                              styleOf(row, n).halign == HAlign::CenterAcross;
                 n = ca.nextShown(n, +1)) {
                area.setRight(ca.start(n) + ca.size(n) - 1);
                lastCol = n;
            }
            h = HAlign::Center;
        } else if (tw > avail) {
            if (h == HAlign::Left) {
                grow(+1, tw - avail);
            } else if (h == HAlign::Right) {
                grow(-1, tw - avail);
            } else if (h == HAlign::Center) {
                grow(+1, (tw - avail) / 2);
                grow(-1, (tw - avail) / 2);
            }
        }
        if (opt_.gridLines) {
            // No grid lines under spilled text, except where a neighbour's fill shows.
            for (int k = firstCol; k != 0 && k < lastCol; k = ca.nextShown(k, +1)) {
                int next = ca.nextShown(k, +1);
                if (styleOf(row, k).fill.pattern == 0 &&
                    (next == 0 || styleOf(row, next).fill.pattern == 0)) {
                    p.fillRect(QRect(ca.start(k) + ca.size(k) - 1, box.top(), 1, box.height() - 1),
                               opt_.back);
                }
            }
        }
    }
    if (h == HAlign::CenterAcross) {
        h = HAlign::Center;
    }

    const int areaAvail = area.width() - 1 - 2 * pad;
    double x;
    if (h == HAlign::Right) {
        x = area.left() + pad + areaAvail - tw;
    } else if (h == HAlign::Center) {
        x = area.left() + pad + (areaAvail - tw) / 2.0;
    } else {
        x = area.left() + pad;
    }
    const double height = fm.height();
    double baseline;
    if (va == Qt::AlignTop) {
        baseline = area.top() + 1 + fm.ascent();
    } else if (va == Qt::AlignVCenter) {
        baseline = area.top() + (area.height() - 1 - height) / 2.0 + fm.ascent();
    } else {
        // Descenders end a pixel above the grid line.
        baseline = area.top() + area.height() - 1 - std::ceil(fm.descent());
    }
    const QPointF at(std::round(x), std::round(baseline));
    // A laid-out text is placed by its top left, one ascent above the baseline.
    auto draw = [&] {
        if (laid) {
            p.drawStaticText(at - QPointF(0, fm.ascent()), *laid);
        } else {
            p.drawText(at, text_);
        }
    };
    const bool clip = tw > areaAvail + 2 * pad || height > area.height() - 1;
    if (clip) {
        p.save();
        p.setClipRect(area.adjusted(0, 0, -1, -1).intersected(pane.rect), Qt::IntersectClip);
        draw();
        p.restore();
    } else {
        draw();
    }
}

void SheetPainter::paintBorders(QPainter& p, const Pane& pane) {
    if (rows_.empty() || cols_.empty()) {
        return;
    }
    const LayoutAxis& ra = layout_->rows();
    const LayoutAxis& ca = layout_->cols();
    const int c1 = std::max(1, ca.nextShown(cols_.front().index, -1));
    const int c2 = cols_.back().index;
    const StyleTable& styles = sheet_->workbook().styles();
    const int paneRow = rows_.front().index, paneCol = cols_.front().index;
    auto rowBorders = [&](int r) {
        const Row* row = rowOf(r);
        if (!row || !ra.sameRegion(r, paneRow)) {
            return;
        }
        auto it = std::lower_bound(row->cells.begin(), row->cells.end(), c1, ColLess());
        for (; it != row->cells.end() && it->col <= c2 + 1; ++it) {
            if (it->style == 0 || !ca.sameRegion(it->col, paneCol)) {
                continue;
            }
            const Style& st = styles.get(it->style);
            if (st.borders[0].style != BorderStyle::None ||
                st.borders[1].style != BorderStyle::None ||
                st.borders[2].style != BorderStyle::None ||
                st.borders[3].style != BorderStyle::None) {
                paintCellBorders(p, r, it->col, st, row);
            }
        }
    };
    int before = ra.nextShown(rows_.front().index, -1);
    if (before != 0) {
        rowBorders(before);
    }
    for (const Span& rs : rows_) {
        rowBorders(rs.index);
    }
    int after = ra.nextShown(rows_.back().index, +1);
    if (after != 0) {
        rowBorders(after);
    }
}

void SheetPainter::paintCellBorders(QPainter& p, int r, int c, const Style& st, const Row* row) {
    const LayoutAxis& ra = layout_->rows();
    const LayoutAxis& ca = layout_->cols();
    if (!ra.shown(r) || !ca.shown(c)) {
        return;
    }
    const int x1 = ca.start(c), x2 = x1 + ca.size(c) - 1;
    const int y1 = ra.start(r), y2 = y1 + ra.size(r) - 1;
    const CellRange* m = mergeIn(r, c);
    using decor::weight;
    const Border& left = st.border(BorderSide::Left);
    const Border& right = st.border(BorderSide::Right);
    const Border& top = st.border(BorderSide::Top);
    const Border& bottom = st.border(BorderSide::Bottom);
    // Of two lines on one edge the heavier is drawn; on a tie, the one of the cell before.
    if (left.style != BorderStyle::None && (!m || c == m->c1)) {
        int n = ca.nextShown(c, -1);
        BorderStyle other = n ? styleOf(row, n).border(BorderSide::Right).style : BorderStyle::None;
        if (weight(left.style) > weight(other)) {
            decor::vline(p, left.style, borderColor(left), x1 - 1, y1 - 1, y2, opt_.back);
        }
    }
    if (right.style != BorderStyle::None && (!m || c == m->c2)) {
        int n = ca.nextShown(c, +1);
        BorderStyle other = n ? styleOf(row, n).border(BorderSide::Left).style : BorderStyle::None;
        if (weight(right.style) >= weight(other)) {
            decor::vline(p, right.style, borderColor(right), x2, y1 - 1, y2, opt_.back);
        }
    }
    if (top.style != BorderStyle::None && (!m || r == m->r1)) {
        int n = ra.nextShown(r, -1);
        BorderStyle other =
            n ? styleOf(rowOf(n), c).border(BorderSide::Bottom).style : BorderStyle::None;
        if (weight(top.style) > weight(other)) {
            decor::hline(p, top.style, borderColor(top), x1 - 1, x2, y1 - 1, opt_.back);
        }
    }
    if (bottom.style != BorderStyle::None && (!m || r == m->r2)) {
        int n = ra.nextShown(r, +1);
        BorderStyle other =
            n ? styleOf(rowOf(n), c).border(BorderSide::Top).style : BorderStyle::None;
        if (weight(bottom.style) >= weight(other)) {
            decor::hline(p, bottom.style, borderColor(bottom), x1 - 1, x2, y2, opt_.back);
        }
    }
}

void SheetPainter::paintSelection(QPainter& p, const Pane& pane) {
    const auto& sel = sheet_->selection();
    const CellRef act = sheet_->activeCell();
    const CellRange* actMerge = sheet_->mergeAt(act.row, act.col);
    const CellRange actRange = actMerge ? *actMerge : CellRange::cell(act.row, act.col);
    const QRect actRect = layout_->rangeRect(actRange);
    const QColor dim(0x1F, 0x6F, 0xBF, 48);
    auto clampToSheet = [&](const CellRange& g) {
        CellRange n = g.normalized();
        return CellRange{n.r1, n.c1, std::min(n.r2, sheet_->maxRow()),
                         std::min(n.c2, sheet_->maxCol())};
    };
    for (const CellRange& g : sel) {
        CellRange s = clampToSheet(g);
        if (s.empty() ||
            (sel.size() == 1 && (s.rows() * s.cols() == 1 || sameRange(actMerge, s)))) {
            continue;
        }
        QRect r = layout_->rangeRect(s).intersected(pane.rect);
        if (!r.isEmpty()) {
            fillAround(p, r, actRect, dim);
        }
    }
    if (sel.size() == 1) {
        CellRange s = clampToSheet(sel.front());
        if (!s.empty()) {
            drawFrame(p, layout_->rangeRect(s), accentColor());
        }
    }
    if (sel.size() != 1 ||
        sheet_->selection().front().rows() * sheet_->selection().front().cols() > 1) {
        drawFrame(p, actRect, sel.size() == 1 ? accentColor() : accentColor().darker(120));
    }
}

void SheetPainter::paintColHeadings(QPainter& p, const LayoutAxis::Piece& piece) {
    const int h = layout_->headerHeight();
    QRect strip(piece.begin, 0, piece.end - piece.begin, h);
    if (!strip.intersects(exposed_)) {
        return;
    }
    p.save();
    p.setClipRect(strip.intersected(exposed_));
    p.fillRect(strip, beyondColor());
    collect(layout_->cols(), piece, cols_);
    p.setFont(headingFont());
    const auto& sel = sheet_->selection();
    const int right = std::min(strip.right() + 1, visibleRight());
    if (right > strip.left()) {
        p.fillRect(QRect(strip.left(), 0, right - strip.left(), h), headingColor());
    }
    for (const Span& cs : cols_) {
        QRect cell(cs.start, 0, cs.size, h);
        bool selected = std::any_of(sel.begin(), sel.end(), [&](const CellRange& g) {
            CellRange n = g.normalized();
            return cs.index >= n.c1 && cs.index <= n.c2;
        });
        if (selected) {
            p.fillRect(cell, QColor(0xD6, 0xE4, 0xF3));
            p.fillRect(QRect(cell.left(), h - 2, cell.width(), 2), accentColor());
        }
        p.fillRect(QRect(cell.right(), 0, 1, h), headingLineColor());
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawText(cell.adjusted(0, 0, -1, -1), Qt::AlignCenter | Qt::TextSingleLine,
                   columnName(cs.index));
    }
    p.fillRect(QRect(strip.left(), h - 1, strip.width(), 1), headingLineColor());
    p.restore();
}

void SheetPainter::paintRowHeadings(QPainter& p, const LayoutAxis::Piece& piece) {
    const int w = layout_->headerWidth();
    QRect strip(0, piece.begin, w, piece.end - piece.begin);
    if (!strip.intersects(exposed_)) {
        return;
    }
    p.save();
    p.setClipRect(strip.intersected(exposed_));
    p.fillRect(strip, beyondColor());
    collect(layout_->rows(), piece, rows_);
    p.setFont(headingFont());
    const auto& sel = sheet_->selection();
    const int bottom = std::min(strip.bottom() + 1, visibleBottom());
    if (bottom > strip.top()) {
        p.fillRect(QRect(0, strip.top(), w, bottom - strip.top()), headingColor());
    }
    for (const Span& rs : rows_) {
        QRect cell(0, rs.start, w, rs.size);
        bool selected = std::any_of(sel.begin(), sel.end(), [&](const CellRange& g) {
            CellRange n = g.normalized();
            return rs.index >= n.r1 && rs.index <= n.r2;
        });
        if (selected) {
            p.fillRect(cell, QColor(0xD6, 0xE4, 0xF3));
            p.fillRect(QRect(w - 2, cell.top(), 2, cell.height()), accentColor());
        }
        p.fillRect(QRect(0, cell.bottom(), w, 1), headingLineColor());
        const std::string& heading = sheet_->rowHeading(rs.index);
        QString label = heading.empty() ? QString::number(rs.index) : cp1251::toQString(heading);
        p.setPen(QColor(0x40, 0x40, 0x40));
        // Rows lower than the heading font keep their labels inside.
        p.save();
        p.setClipRect(cell.adjusted(0, 0, 0, -1).intersected(strip), Qt::IntersectClip);
        p.drawText(cell.adjusted(2, 0, -3, -1), Qt::AlignCenter | Qt::TextSingleLine, label);
        p.restore();
    }
    p.fillRect(QRect(w - 1, strip.top(), 1, strip.height()), headingLineColor());
    p.restore();
}

const QFont& SheetPainter::objectFont(const Sheet& s) {
    return fonts_.entry(0, s.workbook().defaultFont()).qfont;
}

void SheetPainter::paintObjects(QPainter& p) {
    if (opt_.printing) {
        objects_.paintPrinted(p, *sheet_, *layout_, objectFont(*sheet_));
    } else {
        objects_.paint(p, *sheet_, *layout_, objectFont(*sheet_));
    }
}

QColor SheetPainter::borderColor(const Border& b) const {
    return opt_.monochrome ? QColor(Qt::black) : toQColor(b.color, QColor(Qt::black));
}

} // namespace fc
