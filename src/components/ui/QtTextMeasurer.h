#pragma once

#include "components/model/TextMeasurer.h"

namespace fc {

// Measures with the fonts the view draws with (at 100 percent), so that fitted column widths
// and row heights match the screen. A line is the font's height plus a pixel above and below,
// which makes the default 10-point row exactly the default 255 twips.
class QtTextMeasurer : public TextMeasurer {
public:
    int textWidth(const Font& font, std::string_view text) const override;
    int lineHeight(const Font& font) const override;
    int charWidth(const Font& font) const override;
};

} // namespace fc
