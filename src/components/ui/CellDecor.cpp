#include "components/ui/CellDecor.h"

#include <QImage>
#include <QPainter>

#include <array>

namespace fc {

QColor toQColor(Color c, const QColor& automatic) {
    if (c == kAutoColor) {
        return automatic;
    }
    return QColor(redOf(c), greenOf(c), blueOf(c));
}

namespace decor {

namespace {

// On and off run lengths along a line; empty means solid.
struct Dash {
    std::array<int, 6> runs{};
    int n = 0;
};

Dash dashOf(BorderStyle s) {
    switch (s) {
    case BorderStyle::Hair: return {{1, 1}, 2};
    case BorderStyle::Dotted: return {{2, 2}, 2};
    case BorderStyle::Dashed: return {{4, 2}, 2};
    case BorderStyle::DashDot: return {{6, 2, 2, 2}, 4};
    case BorderStyle::DashDotDot: return {{6, 2, 2, 2, 2, 2}, 6};
    case BorderStyle::MediumDashed: return {{8, 3}, 2};
    case BorderStyle::MediumDashDot: return {{8, 3, 3, 3}, 4};
    case BorderStyle::MediumDashDotDot: return {{8, 3, 3, 3, 3, 3}, 6};
    case BorderStyle::SlantDashDot: return {{10, 2, 4, 2}, 4};
    default: return {};
    }
}

// Calls f(from, to) for each dash of the pattern along a..b; positions count from 0 so that
// the pattern continues seamlessly from one cell to the next.
template <typename F>
void eachDash(const Dash& d, int a, int b, F f) {
    if (d.n == 0) {
        f(a, b);
        return;
    }
    int period = 0;
    for (int i = 0; i < d.n; ++i) {
        period += d.runs[static_cast<std::size_t>(i)];
    }
    int phase = ((a % period) + period) % period;
    int i = 0;
    while (phase >= d.runs[static_cast<std::size_t>(i)]) {
        phase -= d.runs[static_cast<std::size_t>(i)];
        i = (i + 1) % d.n;
    }
    int x = a;
    int left = d.runs[static_cast<std::size_t>(i)] - phase;
    while (x <= b) {
        int end = std::min(b, x + left - 1);
        if (i % 2 == 0) {
            f(x, end);
        }
        x = end + 1;
        i = (i + 1) % d.n;
        left = d.runs[static_cast<std::size_t>(i)];
    }
}

} // namespace

int weight(BorderStyle s) {
    switch (s) {
    case BorderStyle::None: return 0;
    case BorderStyle::Hair: return 1;
    case BorderStyle::Dotted: return 2;
    case BorderStyle::DashDotDot: return 3;
    case BorderStyle::DashDot: return 4;
    case BorderStyle::Dashed: return 5;
    case BorderStyle::Thin: return 6;
    case BorderStyle::MediumDashDotDot: return 7;
    case BorderStyle::SlantDashDot: return 8;
    case BorderStyle::MediumDashDot: return 9;
    case BorderStyle::MediumDashed: return 10;
    case BorderStyle::Medium: return 11;
    case BorderStyle::Thick: return 12;
    case BorderStyle::Double: return 13;
    }
    return 0;
}

int thickness(BorderStyle s) {
    switch (s) {
    case BorderStyle::None: return 0;
    case BorderStyle::Medium:
    case BorderStyle::MediumDashed:
    case BorderStyle::MediumDashDot:
    case BorderStyle::MediumDashDotDot:
    case BorderStyle::SlantDashDot: return 2;
    case BorderStyle::Thick:
    case BorderStyle::Double: return 3;
    default: return 1;
    }
}

void hline(QPainter& p, BorderStyle s, const QColor& c, int x1, int x2, int y, const QColor& gap) {
    const int t = thickness(s);
    if (t == 0 || x2 < x1) {
        return;
    }
    if (t > 1) {
        // Wide lines reach one pixel further at both ends, so that corners close.
        --x1;
        ++x2;
    }
    if (s == BorderStyle::Double) {
        p.fillRect(QRect(x1, y, x2 - x1 + 1, 1), gap);
        p.fillRect(QRect(x1, y - 1, x2 - x1 + 1, 1), c);
        p.fillRect(QRect(x1, y + 1, x2 - x1 + 1, 1), c);
        return;
    }
    const int top = t == 3 ? y - 1 : y;
    eachDash(dashOf(s), x1, x2, [&](int a, int b) { p.fillRect(QRect(a, top, b - a + 1, t), c); });
}

void vline(QPainter& p, BorderStyle s, const QColor& c, int x, int y1, int y2, const QColor& gap) {
    const int t = thickness(s);
    if (t == 0 || y2 < y1) {
        return;
    }
    if (t > 1) {
        --y1;
        ++y2;
    }
    if (s == BorderStyle::Double) {
        p.fillRect(QRect(x, y1, 1, y2 - y1 + 1), gap);
        p.fillRect(QRect(x - 1, y1, 1, y2 - y1 + 1), c);
        p.fillRect(QRect(x + 1, y1, 1, y2 - y1 + 1), c);
        return;
    }
    const int left = t == 3 ? x - 1 : x;
    eachDash(dashOf(s), y1, y2, [&](int a, int b) { p.fillRect(QRect(left, a, t, b - a + 1), c); });
}

} // namespace decor

namespace {

// 8x8 bit patterns, one byte a row, the high bit leftmost; a set bit takes the pattern colour.
// Numbered as the fill patterns of spreadsheet files (2 = 50 % grey ... 18 = 6.25 % grey).
const std::array<std::array<unsigned char, 8>, 19> kPatterns = {{
    {{0, 0, 0, 0, 0, 0, 0, 0}},                         // 0 none
    {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}, // 1 solid
    {{0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55}}, // 2 50 % grey
    {{0xEE, 0xBB, 0xEE, 0xBB, 0xEE, 0xBB, 0xEE, 0xBB}}, // 3 75 % grey
    {{0x88, 0x22, 0x88, 0x22, 0x88, 0x22, 0x88, 0x22}}, // 4 25 % grey
    {{0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}}, // 5 horizontal stripe
    {{0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC}}, // 6 vertical stripe
    {{0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66, 0x33, 0x99}}, // 7 reverse diagonal stripe
    {{0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC, 0x99}}, // 8 diagonal stripe
    {{0x99, 0x66, 0x66, 0x99, 0x99, 0x66, 0x66, 0x99}}, // 9 diagonal crosshatch
    {{0xFF, 0x66, 0xFF, 0x99, 0xFF, 0x66, 0xFF, 0x99}}, // 10 thick diagonal crosshatch
    {{0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}}, // 11 thin horizontal stripe
    {{0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88}}, // 12 thin vertical stripe
    {{0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11}}, // 13 thin reverse diagonal
    {{0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88}}, // 14 thin diagonal
    {{0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88}}, // 15 thin horizontal crosshatch
    {{0x88, 0x55, 0x22, 0x55, 0x88, 0x55, 0x22, 0x55}}, // 16 thin diagonal crosshatch
    {{0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00}}, // 17 12.5 % grey
    {{0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00}}, // 18 6.25 % grey
}};

} // namespace

QBrush PatternBrushes::brush(const Fill& f, const QColor& back) {
    const QColor fg = toQColor(f.fg, Qt::black);
    const QColor bg = toQColor(f.bg, back);
    if (f.pattern == 1) {
        return QBrush(fg);
    }
    if (f.pattern == 0 || f.pattern >= kPatterns.size()) {
        // Unknown pattern numbers (from newer files) show as solid: the cell is meant coloured.
        return QBrush(f.pattern == 0 ? bg : fg);
    }
    auto key = std::make_tuple(int(f.pattern), fg.rgb(), bg.rgb());
    auto it = cache_.find(key);
    if (it != cache_.end()) {
        return it->second;
    }
    QImage img(8, 8, QImage::Format_RGB32);
    const auto& bits = kPatterns[f.pattern];
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool on = (bits[static_cast<std::size_t>(y)] >> (7 - x)) & 1;
            img.setPixel(x, y, on ? fg.rgb() : bg.rgb());
        }
    }
    QBrush b(img);
    cache_.emplace(key, b);
    return b;
}

} // namespace fc
