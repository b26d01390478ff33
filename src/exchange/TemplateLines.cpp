#include "exchange/TemplateLines.h"

#include "exchange/AnswerText.h"

#include <cmath>

namespace fc::answers {

namespace {

std::optional<Color> letterColour(char c) {
    switch (c) {
    case 'r': return rgb(255, 0, 0);
    case 'b': return rgb(0, 0, 128);
    case 'y': return rgb(255, 255, 0);
    case 's': return rgb(192, 192, 192);
    case 'g': return rgb(0, 128, 0);
    case 'z': return rgb(128, 128, 128);
    default: return std::nullopt;
    }
}

int digitAt(std::string_view s, std::size_t i) {
    return i < s.size() && s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : 0;
}

int numberAt(std::string_view s, std::size_t i, std::size_t n) {
    if (i >= s.size()) {
        return 0;
    }
    return answer::parseInt(s.substr(i, n)).value_or(0);
}

} // namespace

Color colorFromFileValue(std::uint32_t v) {
    return rgb(static_cast<int>(v & 255), static_cast<int>((v >> 8) & 255),
               static_cast<int>((v >> 16) & 255));
}

std::optional<FontEntry> parseFontEntry(std::string_view line) {
    if (!answer::startsWith(line, ";;")) {
        return std::nullopt;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    const std::optional<int> number = answer::parseInt(line.substr(2, eq - 2));
    if (!number || *number < 0) {
        return std::nullopt;
    }
    FontEntry e;
    e.number = *number;
    std::string_view rest = line.substr(eq + 1);
    const std::size_t comma = rest.find(',');
    e.font.name = std::string(answer::trimmed(rest.substr(0, comma)));
    e.font.size = 0;
    if (comma != std::string_view::npos) {
        std::string_view sizeText = rest.substr(comma + 1);
        sizeText = sizeText.substr(0, sizeText.find(','));
        const std::optional<double> size = answer::parseNumber(sizeText);
        if (size && *size > 0 && *size < 410) {
            e.font.size = *size;
        }
    }
    const std::string upper = answer::upperAscii(line);
    e.font.bold = upper.find(",B") != std::string::npos;
    e.font.italic = upper.find(",I") != std::string::npos;
    e.font.underline = upper.find(",U") != std::string::npos;
    e.font.strikeout = upper.find(",S") != std::string::npos;
    const std::size_t colour = upper.find("COLOR=");
    if (colour != std::string::npos) {
        const std::string_view v = line.substr(colour + 6);
        if (!v.empty() && letterColour(v[0])) {
            e.font.color = *letterColour(v[0]);
        } else if (std::optional<int> n = answer::leadingInt(v.substr(0, 8)); n && *n > 0) {
            e.font.color = colorFromFileValue(static_cast<std::uint32_t>(*n));
        }
    }
    return e;
}

CellFields parseCellFields(std::string_view s) {
    CellFields f;
    for (std::size_t i = 0; i < 4; ++i) {
        f.borders[i] = digitAt(s, i);
    }
    if (s.size() > 4) {
        f.halign = s[4];
    }
    if (s.size() > 5) {
        f.valign = s[5];
    }
    f.wrap = s.size() > 6 && (s[6] == 'w' || s[6] == 'W');
    const std::size_t bar = s.find('|');
    const std::string_view fixed = s.substr(0, bar);
    f.mergeCols = numberAt(fixed, 7, 2);
    f.mergeRows = numberAt(fixed, 9, 2);
    f.pattern = numberAt(fixed, 11, 2);
    if (f.pattern > 0) {
        f.patternFg = static_cast<std::uint32_t>(numberAt(fixed, 13, 8));
        f.patternBg = static_cast<std::uint32_t>(numberAt(fixed, 21, 8));
    }
    if (bar != std::string_view::npos) {
        f.numberFormat = std::string(answer::trimmed(s.substr(bar + 1)));
    }
    return f;
}

void applyCellFields(const CellFields& f, Style& st) {
    st.halign = f.halign == 'r' ? HAlign::Right : f.halign == 'c' ? HAlign::Center : HAlign::Left;
    st.valign = f.valign == 't' ? VAlign::Top : f.valign == 'c' ? VAlign::Center : VAlign::Bottom;
    st.wrap = f.wrap;
    for (std::size_t i = 0; i < 4; ++i) {
        if (f.borders[i] != 0) {
            st.borders[i].style = static_cast<BorderStyle>(f.borders[i]);
        }
    }
    if (f.pattern > 0) {
        st.fill.pattern = static_cast<std::uint8_t>(std::min(f.pattern, 18));
        st.fill.fg = colorFromFileValue(f.patternFg);
        st.fill.bg = colorFromFileValue(f.patternBg);
    }
    if (!f.numberFormat.empty()) {
        st.numberFormat = f.numberFormat;
    }
}

int fontPrefixOf(std::string_view s, std::size_t& length) {
    length = 0;
    if (s.size() < 3 || s[0] != '<') {
        return -1;
    }
    const std::size_t close = s.find('>');
    if (close == std::string_view::npos || close < 2 || close > 6) {
        return -1;
    }
    const std::optional<int> n = answer::parseInt(s.substr(1, close - 1));
    if (!n || *n < 0) {
        return -1;
    }
    length = close + 1;
    return *n;
}

} // namespace fc::answers
