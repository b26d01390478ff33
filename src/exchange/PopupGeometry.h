#pragma once

#include <QRect>

#include <string_view>

namespace fc {

// Where a pop-up report window opened with ";size=W:H;X:Y" goes: the rectangle of its client
// area, W x H. All rectangles are in screen coordinates. X and Y are "center" (centred on the
// opener), "at" (beside the opener's active cell, narrowed or shortened where the main window
// ends) or a number (that client coordinate of the opener). The window is then moved, never
// resized, so that it lies within the main window above its status bar as far as its size
// allows. A geometry that does not parse gives an empty rectangle.
struct PopupPlacement {
    QRect opener;     // the opening window's client area
    QRect cell;       // its active cell
    QRect mainWindow; // the main window's client area
    int statusBarHeight = 0;
};

QRect popupGeometry(std::string_view geometry, const PopupPlacement& where);

} // namespace fc
