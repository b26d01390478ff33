#pragma once

#include <functional>

namespace fc {

// The progress bar of the main window's status bar. The readers report how far they are;
// the status bar paints (plain for the table format, teal for the turbo format).
class Progress {
public:
    enum class Colour { Plain, Teal };
    // `paint(value, colour)`: value 0 clears the area; otherwise the bar is `value` pixels
    // long. `width`: the width of the progress area in pixels.
    explicit Progress(std::function<void(int, Colour)> paint = {}, int width = 200)
        : paint_(std::move(paint)), width_(width) {}

    int width() const { return width_; }
    void ShowProgress(int value) { show(value, Colour::Plain); }
    void ShowProgressTeal(int value) { show(value, Colour::Teal); }
    // `done` of `total` over `share` of the area (1.0 the whole of it).
    void showShare(double done, double total, Colour colour, double share = 1.0);

private:
    void show(int value, Colour colour);

    std::function<void(int, Colour)> paint_;
    int width_;
    int last_ = -1;
    Colour lastColour_ = Colour::Plain;
};

} // namespace fc
