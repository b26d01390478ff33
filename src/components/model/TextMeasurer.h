#pragma once

#include "components/model/Style.h"

#include <string_view>

namespace fc {

// Measures text for fitting column widths and row heights. The view supplies one built on
// the real fonts; tests use a fixed-width one. Sizes are pixels at 96 dots per inch.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    virtual int textWidth(const Font& font, std::string_view text) const = 0;
    virtual int lineHeight(const Font& font) const = 0;
    // Width of the digit "0" of the default font: one unit of column width.
    virtual int charWidth(const Font& font) const = 0;
};

// Every character is 0.6 of the point size wide and a line 1.2 of it high (tests, rptool).
class FixedTextMeasurer : public TextMeasurer {
public:
    int textWidth(const Font& font, std::string_view text) const override;
    int lineHeight(const Font& font) const override;
    int charWidth(const Font& font) const override;
};

} // namespace fc
