#pragma once

#include <QRect>

#include <string_view>

namespace fc {

// Where a pop-up report window opened with ";size=W:H;X:Y" goes. All rectangles are in screen
// coordinates; `frame` is the outer size less the client size of such a window. X and Y are
// "center" (centred on the opener), "at" (beside the opener's active cell) or a number (that
// client coordinate of the opener). A geometry that does not parse gives an empty rectangle.
struct PopupPlacement {
    QRect opener;     // the opening window's client area
    QRect cell;       // its active cell
    QRect mainWindow; // the main window
    int statusBarHeight = 0;
    QSize frame;
};

QRect popupGeometry(std::string_view geometry, const PopupPlacement& where);

} // namespace fc
