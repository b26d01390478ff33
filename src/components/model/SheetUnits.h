#pragma once

#include <cmath>

namespace fc::units {

// Sheet sizes as pixels at 96 dots per inch, as the view and the printed page both draw them:
// 15 twips make a pixel, and a column of `width` (characters x 256) is that many widths of the
// default font's "0" (`unitPx` pixels at 100 percent).
inline int rowPixels(int twips, int scale) {
    return static_cast<int>(std::lround(twips * scale / 1500.0));
}
inline int colPixels(int width, int unitPx, int scale) {
    return static_cast<int>(std::lround(width * static_cast<double>(unitPx) * scale / 25600.0));
}

} // namespace fc::units
