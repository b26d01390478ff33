#include "exchange/Progress.h"

namespace fc {

void Progress::show(int value, Colour colour) {
    // A bar longer than the area starts again from the left.
    if (value > width_ - 2 || value < 0) {
        value = 0;
    }
    // Painting once per pixel of change keeps a long answer from repainting per line.
    if (value == last_ && colour == lastColour_) {
        return;
    }
    last_ = value;
    lastColour_ = colour;
    if (paint_) {
        paint_(value, colour);
    }
}

void Progress::showShare(double done, double total, Colour colour, double share) {
    if (total <= 0) {
        return;
    }
    show(static_cast<int>(done / total * width_ * share), colour);
}

} // namespace fc
