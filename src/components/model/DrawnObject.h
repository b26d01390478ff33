#pragma once

#include "components/model/Types.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace fc {

// Kinds numbered as the control reports them; for the drawable ones the number is also the
// sheet's object-drawing `Mode`.
enum class ObjectKind : std::uint8_t {
    Line = 1,
    Rectangle = 2,
    Oval = 3,
    Arc = 4,
    Chart = 5,
    TextBox = 6,
    Button = 7,
    Polygon = 8,
    CheckBox = 9,
    ListBox = 10,
    Picture = 11,
};

bool validObjectKind(int kind);

// A drawn object of a sheet. Positions are in sheet units: 0-based columns and rows with
// fractions (x1 = 1.5 is the middle of column B).
struct DrawnObject {
    int id = 0;
    ObjectKind kind = ObjectKind::Rectangle;
    double x1 = 0, y1 = 0, x2 = 1, y2 = 1;
    std::string text;               // caption of buttons and check boxes
    int value = 0;                  // check box state, list box selection (1-based)
    std::string linkedCell;         // "A1"-style cell that a control reads and writes
    std::string inputRange;         // list box items or chart data, "A1:B5"-style
    std::vector<std::string> items; // list box items when no input range is set
    std::string image;              // picture bytes as loaded (BMP, PNG, JPEG, ...)
    int heightPx = 0;               // kind 11: the picture's own height
    std::vector<std::pair<double, double>> points; // polygon vertices, sheet units
    Color lineColor = kAutoColor;
    Color fillColor = kAutoColor;
    int lineStyle = 0; // 0 solid, 1 dashed, 2 dotted
    int chartType = 0; // 0 bars, 1 lines
    bool selected = false;
};

} // namespace fc
