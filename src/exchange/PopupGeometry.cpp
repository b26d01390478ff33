#include "exchange/PopupGeometry.h"

#include "components/text/TextOps.h"

#include <string>

namespace fc {

namespace {

enum class Anchor { Number, Center, At, Bad };

Anchor anchorOf(std::string_view part, int* number) {
    std::string t = text::trim(part);
    if (text::equalsNoCase(t, "center")) {
        return Anchor::Center;
    }
    if (text::equalsNoCase(t, "at")) {
        return Anchor::At;
    }
    long long v = 0;
    if (text::parseInt(t, &v) && v > -100000 && v < 100000) {
        *number = static_cast<int>(v);
        return Anchor::Number;
    }
    return Anchor::Bad;
}

} // namespace

QRect popupGeometry(std::string_view geometry, const PopupPlacement& where) {
    std::size_t semi = geometry.find(';');
    std::string_view size = geometry.substr(0, semi);
    std::string_view pos =
        semi == std::string_view::npos ? std::string_view() : geometry.substr(semi + 1);
    std::size_t colon = size.find(':');
    std::size_t colon2 = pos.find(':');
    if (colon == std::string_view::npos || colon2 == std::string_view::npos) {
        return {};
    }
    long long w = 0, h = 0;
    if (!text::parseInt(size.substr(0, colon), &w) || !text::parseInt(size.substr(colon + 1), &h) ||
        w <= 0 || h <= 0 || w > 100000 || h > 100000) {
        return {};
    }
    std::string_view ypart = text::trimView(pos.substr(colon2 + 1));
    ypart = ypart.substr(0, ypart.find(' '));
    int x = 0, y = 0;
    const Anchor ax = anchorOf(pos.substr(0, colon2), &x);
    const Anchor ay = anchorOf(ypart, &y);
    if (ax == Anchor::Bad || ay == Anchor::Bad) {
        return {};
    }

    const int width = static_cast<int>(w);
    const int height = static_cast<int>(h);
    const QRect& m = where.mainWindow;
    const QRect& c = where.cell;
    QRect r(0, 0, width, height);

    switch (ax) {
    case Anchor::Center:
        r.moveLeft(where.opener.left() + where.opener.width() / 2 - width / 2);
        break;
    case Anchor::Number: r.moveLeft(where.opener.left() + x); break;
    case Anchor::At:
        r.moveLeft(c.left());
        if (r.right() > m.right() - 2) {
            r.moveRight(c.right());
            if (r.left() < m.left()) {
                r.setLeft(c.left());
                r.setRight(m.right() - 2);
            }
        }
        break;
    case Anchor::Bad: break;
    }
    const int bottomLimit = m.bottom() - where.statusBarHeight;
    switch (ay) {
    case Anchor::Center:
        r.moveTop(where.opener.top() + where.opener.height() / 2 - height / 2);
        break;
    case Anchor::Number: r.moveTop(where.opener.top() + y); break;
    case Anchor::At:
        r.moveTop(c.bottom() + 1);
        if (r.bottom() > bottomLimit) {
            r.moveBottom(c.top() - 1);
            if (r.top() < m.top()) {
                r.setTop(c.bottom() + 1);
                r.setBottom(bottomLimit);
            }
        }
        break;
    case Anchor::Bad: break;
    }
    // Within the main window, above its status bar: moved in, the left and top edges first.
    if (!m.isEmpty()) {
        if (r.right() > m.right()) {
            r.moveRight(m.right());
        }
        if (r.left() < m.left()) {
            r.moveLeft(m.left());
        }
        if (r.bottom() > bottomLimit) {
            r.moveBottom(bottomLimit);
        }
        if (r.top() < m.top()) {
            r.moveTop(m.top());
        }
    }
    return r;
}

} // namespace fc
