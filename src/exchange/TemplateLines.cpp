#include "exchange/TemplateLines.h"

#include "designer/CellLine.h"
#include "designer/FontTable.h"

#include <algorithm>

namespace fc::answers {

std::optional<FontEntry> parseFontEntry(std::string_view line) {
    const std::optional<FontLine> f = parseFontLine(line, false);
    if (!f) {
        return std::nullopt;
    }
    return FontEntry{f->number, f->entry.font};
}

void applyCellLine(const CellLine& c, Style& st) {
    st.halign = c.halign == 'r' ? HAlign::Right : c.halign == 'c' ? HAlign::Center : HAlign::Left;
    st.valign = c.valign == 't' ? VAlign::Top : c.valign == 'c' ? VAlign::Center : VAlign::Bottom;
    st.wrap = c.wrap;
    for (std::size_t i = 0; i < 4; ++i) {
        if (c.borders[i] != 0) {
            st.borders[i].style = static_cast<BorderStyle>(std::min(c.borders[i], 13));
        }
    }
    if (c.pattern > 0) {
        st.fill.pattern = static_cast<std::uint8_t>(std::min(c.pattern, 255));
        st.fill.fg = colorFromFile(c.patternFg);
        st.fill.bg = colorFromFile(c.patternBg);
    }
    if (!c.numberFormat.empty()) {
        st.numberFormat = c.numberFormat;
    }
}

void appendLayoutKey(const CellLine& c, std::string& key) {
    auto raw = [&key](const auto& v) { key.append(reinterpret_cast<const char*>(&v), sizeof v); };
    raw(c.font);
    raw(c.borders);
    key += c.halign;
    key += c.valign;
    key += c.wrap ? 'w' : ' ';
    raw(c.pattern);
    raw(c.patternFg);
    raw(c.patternBg);
    key += c.numberFormat;
}

bool sameLayout(const CellLine& a, const CellLine& b) {
    return a.font == b.font && a.borders == b.borders && a.halign == b.halign &&
           a.valign == b.valign && a.wrap == b.wrap && a.pattern == b.pattern &&
           a.patternFg == b.patternFg && a.patternBg == b.patternBg &&
           a.numberFormat == b.numberFormat;
}

} // namespace fc::answers
