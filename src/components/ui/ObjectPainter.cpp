#include "components/ui/ObjectPainter.h"

#include "components/model/Sheet.h"
#include "components/text/Cp1251.h"
#include "components/ui/CellDecor.h"
#include "components/ui/SheetLayout.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionSlider>

#include <algorithm>
#include <cmath>
#include <vector>

namespace fc {

namespace {

QStyle* style() { return QApplication::style(); }

QColor lineColorOf(const DrawnObject& o) { return toQColor(o.lineColor, Qt::black); }

QPen penOf(const DrawnObject& o) {
    QPen pen(lineColorOf(o));
    pen.setStyle(o.lineStyle == 1 ? Qt::DashLine : o.lineStyle == 2 ? Qt::DotLine : Qt::SolidLine);
    return pen;
}

QBrush brushOf(const DrawnObject& o) {
    return o.fillColor == kAutoColor ? QBrush(Qt::NoBrush)
                                     : QBrush(toQColor(o.fillColor, Qt::white));
}

// A cheap digest for the picture cache: the size and bytes sampled across the whole image, so
// that a picture of some megabytes costs nothing per frame.
quint64 digest(const std::string& bytes) {
    quint64 h = 1469598103934665603ull ^ bytes.size();
    const std::size_t n = bytes.size();
    const std::size_t step = std::max<std::size_t>(1, n / 4096);
    for (std::size_t i = 0; i < n; i += step) {
        h = (h ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
    }
    return h;
}

bool scalable(const std::string& bytes) {
    const std::string head = bytes.substr(0, 512);
    return head.find("<svg") != std::string::npos || head.rfind("<?xml", 0) == 0;
}

// Series colours of charts, as office charts start them.
const QColor kSeries[] = {QColor(0x33, 0x66, 0x99), QColor(0x99, 0x33, 0x33),
                          QColor(0x66, 0x99, 0x33), QColor(0xCC, 0x99, 0x00),
                          QColor(0x66, 0x33, 0x99), QColor(0x33, 0x99, 0x99)};

} // namespace

int ObjectPainter::listTop(int id) const {
    auto it = listTops_.find(id);
    return it == listTops_.end() ? 0 : it->second;
}

int ObjectPainter::listRowHeight(const QFont& font) { return QFontMetrics(font).height() + 2; }

int ObjectPainter::listRows(const QRectF& box, const QFont& font) {
    return std::max(1, static_cast<int>((box.height() - 4) / listRowHeight(font)));
}

QPointF ObjectPainter::handleAt(const DrawnObject& o, const QRectF& box, const SheetLayout& l,
                                int i) {
    if (o.kind == ObjectKind::Line) {
        return i == 0 ? l.objectRect(o.x1, o.y1, o.x1, o.y1).topLeft()
                      : l.objectRect(o.x2, o.y2, o.x2, o.y2).topLeft();
    }
    const double cx = box.center().x(), cy = box.center().y();
    switch (i) {
    case 0: return box.topLeft();
    case 1: return {cx, box.top()};
    case 2: return box.topRight();
    case 3: return {box.right(), cy};
    case 4: return box.bottomRight();
    case 5: return {cx, box.bottom()};
    case 6: return box.bottomLeft();
    default: return {box.left(), cy};
    }
}

QImage ObjectPainter::image(const std::string& bytes, QSize size) {
    if (bytes.empty()) {
        return {};
    }
    const bool svg = scalable(bytes);
    quint64 key = digest(bytes);
    if (svg) {
        key ^= (static_cast<quint64>(size.width()) << 40) ^
               (static_cast<quint64>(size.height()) << 20);
    }
    auto it = images_.constFind(key);
    if (it != images_.constEnd()) {
        return *it;
    }
    if (images_.size() > 64) {
        images_.clear();
    }
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buf(&data);
    buf.open(QIODevice::ReadOnly);
    QImageReader reader(&buf);
    if (svg && size.width() > 0 && size.height() > 0) {
        reader.setScaledSize(size);
    }
    QImage img = reader.read();
    images_.insert(key, img);
    return img;
}

void ObjectPainter::paint(QPainter& p, const Sheet& s, const SheetLayout& l, const QFont& font) {
    // Only what the frame shows: a result sheet may carry thousands of buttons.
    const QRectF clip = p.hasClipping() ? p.clipBoundingRect() : QRectF();
    for (const DrawnObject& o : s.objects()) {
        const QRectF box = l.objectRect(o.x1, o.y1, o.x2, o.y2);
        if (!clip.isEmpty() &&
            !clip.intersects(box.adjusted(-kHandle, -kHandle, kHandle, kHandle))) {
            continue;
        }
        paintOne(p, s, o, box, l, font);
    }
}

void ObjectPainter::paintPrinted(QPainter& p, const Sheet& s, const SheetLayout& l,
                                 const QFont& font) {
    handles_ = false;
    for (const DrawnObject& o : s.objects()) {
        const int row = static_cast<int>(std::floor(std::min(o.y1, o.y2))) + 1;
        const int col = static_cast<int>(std::floor(std::min(o.x1, o.x2))) + 1;
        if (l.rows().shown(row) && l.cols().shown(col)) {
            paintOne(p, s, o, l.objectRect(o.x1, o.y1, o.x2, o.y2), l, font);
        }
    }
    handles_ = true;
}

void ObjectPainter::paintOne(QPainter& p, const Sheet& s, const DrawnObject& o, const QRectF& box,
                             const SheetLayout& l, const QFont& font) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(penOf(o));
    p.setBrush(brushOf(o));
    p.setFont(font);
    switch (o.kind) {
    case ObjectKind::Line: p.drawLine(handleAt(o, box, l, 0), handleAt(o, box, l, 1)); break;
    case ObjectKind::Rectangle:
        // Straight edges on whole pixels, as the control draws them.
        p.setRenderHint(QPainter::Antialiasing, false);
        p.drawRect(box.toRect().adjusted(0, 0, -1, -1));
        break;
    case ObjectKind::Oval: p.drawEllipse(box); break;
    case ObjectKind::Arc: {
        // A quarter of the ellipse centred on the box's bottom left corner, from its top left
        // to its bottom right.
        const QRectF whole(box.left() - box.width(), box.top(), 2 * box.width(), 2 * box.height());
        if (o.fillColor == kAutoColor) {
            p.drawArc(whole, 0, 90 * 16);
        } else {
            p.drawPie(whole, 0, 90 * 16);
        }
        break;
    }
    case ObjectKind::Polygon: {
        QPolygonF poly;
        for (const auto& [x, y] : o.points) {
            poly << l.objectRect(x, y, x, y).topLeft();
        }
        p.drawPolygon(poly);
        break;
    }
    case ObjectKind::TextBox:
        p.setBrush(o.fillColor == kAutoColor ? QBrush(Qt::white) : brushOf(o));
        p.drawRect(box);
        p.setPen(Qt::black);
        p.drawText(box.adjusted(3, 2, -3, -2), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   cp1251::toQString(o.text));
        break;
    case ObjectKind::Picture: paintPicture(p, o, box); break;
    case ObjectKind::Button: paintButton(p, o, box, font); break;
    case ObjectKind::CheckBox: paintCheckBox(p, s, o, box, font); break;
    case ObjectKind::ListBox: paintListBox(p, s, o, box, font); break;
    case ObjectKind::Chart: paintChart(p, s, o, box, font); break;
    }
    p.restore();
    if (o.selected && handles_) {
        paintHandles(p, o, box, l);
    }
}

void ObjectPainter::paintPicture(QPainter& p, const DrawnObject& o, const QRectF& box) {
    const QSize size(std::max(1, static_cast<int>(std::lround(box.width()))),
                     std::max(1, static_cast<int>(std::lround(box.height()))));
    const QImage img = image(o.image, size);
    if (img.isNull()) {
        // Bytes that are no picture still show where the object lies.
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.setBrush(QColor(0xF0, 0xF0, 0xF0));
        p.drawRect(box);
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomLeft());
        return;
    }
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    p.drawImage(box, img);
    if (o.lineColor != kAutoColor) {
        p.setBrush(Qt::NoBrush);
        p.drawRect(box);
    }
}

void ObjectPainter::paintButton(QPainter& p, const DrawnObject& o, const QRectF& box,
                                const QFont& font) {
    QStyleOptionButton opt;
    opt.rect = box.toRect();
    opt.text = cp1251::toQString(o.text);
    opt.state =
        QStyle::State_Enabled | (pressed_ == o.id ? QStyle::State_Sunken : QStyle::State_Raised);
    opt.palette = QApplication::palette();
    if (o.fillColor != kAutoColor) {
        opt.palette.setColor(QPalette::Button, toQColor(o.fillColor, Qt::lightGray));
    }
    if (o.lineColor != kAutoColor) {
        opt.palette.setColor(QPalette::ButtonText, toQColor(o.lineColor, Qt::black));
    }
    opt.fontMetrics = QFontMetrics(font);
    p.setRenderHint(QPainter::Antialiasing, false);
    style()->drawControl(QStyle::CE_PushButton, &opt, &p, nullptr);
}

void ObjectPainter::paintCheckBox(QPainter& p, const Sheet& s, const DrawnObject& o,
                                  const QRectF& box, const QFont& font) {
    if (o.fillColor != kAutoColor) {
        p.fillRect(box, toQColor(o.fillColor, Qt::white));
    }
    QStyleOptionButton opt;
    opt.rect = box.toRect();
    opt.text = cp1251::toQString(o.text);
    opt.state =
        QStyle::State_Enabled | (s.objectValue(o.id) ? QStyle::State_On : QStyle::State_Off);
    opt.palette = QApplication::palette();
    if (o.lineColor != kAutoColor) {
        opt.palette.setColor(QPalette::WindowText, toQColor(o.lineColor, Qt::black));
    }
    opt.fontMetrics = QFontMetrics(font);
    p.setRenderHint(QPainter::Antialiasing, false);
    style()->drawControl(QStyle::CE_CheckBox, &opt, &p, nullptr);
}

void ObjectPainter::paintListBox(QPainter& p, const Sheet& s, const DrawnObject& o,
                                 const QRectF& box, const QFont& font) {
    const QPalette pal = QApplication::palette();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QRect r = box.toRect();
    p.fillRect(r, o.fillColor == kAutoColor ? pal.color(QPalette::Base)
                                            : toQColor(o.fillColor, Qt::white));
    p.setPen(QColor(0x7A, 0x7A, 0x7A));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const std::vector<std::string> items = s.objectItems(o.id);
    const int rows = listRows(box, font);
    const int n = static_cast<int>(items.size());
    const int top = std::clamp(listTop(o.id), 0, std::max(0, n - rows));
    const int value = s.objectValue(o.id);
    const bool scroll = n > rows;
    const int barW = scroll ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    const int rowH = listRowHeight(font);
    const QRect inner = r.adjusted(2, 2, -2 - barW, -2);
    p.save();
    p.setClipRect(inner);
    for (int i = top; i < n && i < top + rows + 1; ++i) {
        const QRect line(inner.left(), inner.top() + (i - top) * rowH, inner.width(), rowH);
        const bool chosen = i + 1 == value;
        if (chosen) {
            p.fillRect(line, pal.color(QPalette::Highlight));
        }
        p.setPen(chosen ? pal.color(QPalette::HighlightedText)
                        : toQColor(o.lineColor, pal.color(QPalette::Text)));
        p.drawText(line.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   cp1251::toQString(items[static_cast<std::size_t>(i)]));
    }
    p.restore();
    if (scroll) {
        QStyleOptionSlider bar;
        bar.rect = QRect(r.right() - 1 - barW, r.top() + 1, barW, r.height() - 2);
        bar.orientation = Qt::Vertical;
        bar.minimum = 0;
        bar.maximum = n - rows;
        bar.sliderPosition = bar.sliderValue = top;
        bar.pageStep = rows;
        bar.singleStep = 1;
        bar.state = QStyle::State_Enabled;
        bar.palette = pal;
        bar.subControls = QStyle::SC_All;
        style()->drawComplexControl(QStyle::CC_ScrollBar, &bar, &p, nullptr);
    }
}

void ObjectPainter::paintChart(QPainter& p, const Sheet& s, const DrawnObject& o, const QRectF& box,
                               const QFont& font) {
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.setBrush(o.fillColor == kAutoColor ? QBrush(Qt::white) : brushOf(o));
    p.drawRect(box);

    // Series run down the columns of the linked range (or along its only row).
    std::vector<std::vector<double>> series;
    CellRange g;
    if (const Sheet* src = o.inputRange.empty() ? nullptr : s.resolveRange(o.inputRange, g)) {
        g.r2 = std::min(g.r2, g.r1 + 499);
        g.c2 = std::min(g.c2, g.c1 + 31);
        if (g.rows() == 1) {
            series.emplace_back();
            for (int c = g.c1; c <= g.c2; ++c) {
                series.back().push_back(src->number(g.r1, c));
            }
        } else {
            for (int c = g.c1; c <= g.c2; ++c) {
                series.emplace_back();
                for (int r = g.r1; r <= g.r2; ++r) {
                    series.back().push_back(src->number(r, c));
                }
            }
        }
    }
    double lo = 0, hi = 0;
    std::size_t count = 0;
    for (const auto& one : series) {
        count = std::max(count, one.size());
        for (double v : one) {
            if (std::isfinite(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
    }
    if (hi - lo <= 0) {
        hi = lo + 1;
    }
    QFont small = font;
    small.setPointSizeF(std::max(5.0, font.pointSizeF() * 0.8));
    p.setFont(small);
    const QFontMetricsF fm(small);
    const QString hiText = QString::number(hi, 'g', 6), loText = QString::number(lo, 'g', 6);
    const double labelW = std::max(fm.horizontalAdvance(hiText), fm.horizontalAdvance(loText));
    const QRectF plot = box.adjusted(labelW + 8, fm.height() / 2 + 4, -6, -fm.height() / 2 - 4);
    if (plot.width() < 4 || plot.height() < 4) {
        return;
    }
    auto yOf = [&](double v) { return plot.bottom() - (v - lo) / (hi - lo) * plot.height(); };
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawText(QRectF(box.left() + 2, plot.top() - fm.height() / 2, labelW + 2, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, hiText);
    p.drawText(QRectF(box.left() + 2, plot.bottom() - fm.height() / 2, labelW + 2, fm.height()),
               Qt::AlignRight | Qt::AlignVCenter, loText);
    p.drawLine(QPointF(plot.left(), plot.top()), QPointF(plot.left(), plot.bottom()));
    const double zero = yOf(0);
    p.drawLine(QPointF(plot.left(), zero), QPointF(plot.right(), zero));
    if (count == 0) {
        return;
    }
    const double slot = plot.width() / static_cast<double>(count);
    const std::size_t n = series.size();
    for (std::size_t k = 0; k < n; ++k) {
        const QColor colour = kSeries[k % std::size(kSeries)];
        const auto& one = series[k];
        if (o.chartType == 1) {
            p.setRenderHint(QPainter::Antialiasing, true);
            QPolygonF line;
            for (std::size_t i = 0; i < one.size(); ++i) {
                line << QPointF(plot.left() + slot * (i + 0.5), yOf(one[i]));
            }
            p.setPen(QPen(colour, 2));
            p.drawPolyline(line);
            p.setBrush(colour);
            for (const QPointF& pt : line) {
                p.drawRect(QRectF(pt - QPointF(2, 2), QSizeF(4, 4)));
            }
        } else {
            const double w = slot * 0.8 / static_cast<double>(n);
            p.setPen(colour.darker(130));
            p.setBrush(colour);
            for (std::size_t i = 0; i < one.size(); ++i) {
                const double x = plot.left() + slot * (i + 0.1) + w * static_cast<double>(k);
                const double y = yOf(one[i]);
                p.drawRect(QRectF(QPointF(x, std::min(y, zero)),
                                  QPointF(x + std::max(1.0, w - 1), std::max(y, zero))));
            }
        }
    }
}

void ObjectPainter::paintHandles(QPainter& p, const DrawnObject& o, const QRectF& box,
                                 const SheetLayout& l) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::white);
    p.setBrush(QColor(0x1F, 0x6F, 0xBF));
    const int n = handleCount(o);
    for (int i = 0; i < n; ++i) {
        const QPointF c = handleAt(o, box, l, i);
        p.drawRect(QRectF(c - QPointF(kHandle / 2, kHandle / 2), QSizeF(kHandle, kHandle)));
    }
    p.restore();
}

} // namespace fc
