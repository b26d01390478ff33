#include "designer/FontTable.h"

#include "components/text/Cp1251.h"
#include "designer/TemplateText.h"

#include <algorithm>
#include <cmath>

namespace fc {

Color colorFromFile(std::uint32_t value) {
    return rgb(int(value & 255), int((value >> 8) & 255), int((value >> 16) & 255));
}

std::uint32_t colorToFile(Color c, std::uint32_t automatic) {
    if (c == kAutoColor) {
        return automatic;
    }
    return std::uint32_t(redOf(c)) | (std::uint32_t(greenOf(c)) << 8) |
           (std::uint32_t(blueOf(c)) << 16);
}

Color fontColorFromFile(std::uint32_t value) {
    value &= 0xFFFFFFu;
    return value == 0 ? kAutoColor : colorFromFile(value);
}

std::uint32_t fontColorToFile(Color c) { return colorToFile(c, 0); }

namespace {

int pointSize(double size) { return static_cast<int>(std::lround(size)); }

// The one-letter colours of font lines.
std::optional<std::uint32_t> letterColor(char ch) {
    switch (ch) {
    case 'r':
    case 'R': return 255u;
    case 'b':
    case 'B': return 8388608u;
    case 'y':
    case 'Y': return 65535u;
    case 's':
    case 'S': return 12632256u;
    case 'g':
    case 'G': return 32768u;
    case 'z':
    case 'Z': return 8421504u;
    default: return std::nullopt;
    }
}

bool hasFlag(std::string_view rest, char lower) {
    const char upper = static_cast<char>(lower - 'a' + 'A');
    for (std::size_t i = 0; i + 1 < rest.size(); ++i) {
        if (rest[i] == ',' && (rest[i + 1] == lower || rest[i + 1] == upper)) {
            return true;
        }
    }
    return false;
}

} // namespace

std::optional<FontLine> parseFontLine(std::string_view line, bool textForm) {
    if (!tpl::startsWith(line, ";;")) {
        return std::nullopt;
    }
    const std::size_t eq = line.find('=', 2);
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    std::optional<int> number = tpl::parseInt(line.substr(2, eq - 2));
    if (!number || *number < 0 || *number >= FontTable::kMaxEntries) {
        return std::nullopt;
    }
    std::string_view body = line.substr(eq + 1);
    const std::size_t c1 = body.find(',');
    std::string_view name = tpl::trimmed(body.substr(0, c1));
    if (name.empty()) {
        return std::nullopt;
    }
    std::string_view rest = c1 == std::string_view::npos ? std::string_view() : body.substr(c1);
    std::string_view sizeField = rest.empty() ? std::string_view() : rest.substr(1);
    sizeField = sizeField.substr(0, sizeField.find(','));
    std::optional<double> size = tpl::parseNumber(sizeField);
    if (!size || *size < 0 || *size > 255) {
        return std::nullopt;
    }
    FontLine out;
    out.number = *number;
    Font& f = out.entry.font;
    f.name = std::string(name);
    f.size = pointSize(*size);
    f.bold = hasFlag(rest, 'b');
    f.italic = hasFlag(rest, 'i');
    f.underline = hasFlag(rest, 'u');
    f.strikeout = hasFlag(rest, 's');
    f.color = kAutoColor;
    const std::string upper = tpl::upperAscii(rest);
    const std::size_t cp = upper.find("COLOR=");
    if (cp != std::string::npos) {
        std::string_view value = rest.substr(cp + 6);
        if (!value.empty() && letterColor(value[0])) {
            f.color = fontColorFromFile(*letterColor(value[0]));
        } else if (!textForm) {
            std::size_t n = 0;
            while (n < value.size() && n < 8 && value[n] >= '0' && value[n] <= '9') {
                ++n;
            }
            if (std::optional<int> v = tpl::parseInt(value.substr(0, n))) {
                f.color = fontColorFromFile(static_cast<std::uint32_t>(*v));
            }
        }
    }
    if (textForm) {
        const std::size_t ap = upper.find("ALIGN=");
        if (ap != std::string::npos && ap + 6 < rest.size()) {
            char a = rest[ap + 6];
            if (a == 'r' || a == 'R') {
                out.entry.align = HAlign::Right;
            } else if (a == 'c' || a == 'C') {
                out.entry.align = HAlign::Center;
            }
        }
        // Without "align=" the font's cells are left-aligned and do not wrap.
        out.entry.wrap = ap != std::string::npos && rest.find("WR") != std::string_view::npos;
    }
    return out;
}

std::string formatFontLine(int number, const Font& f) {
    std::string s = ";;" + std::to_string(number) + "=" + f.name + "," +
                    std::to_string(pointSize(f.size)) + ",";
    s += f.bold ? "b," : ",";
    s += f.italic ? "i," : ",";
    s += f.underline ? "u," : ",";
    s += f.strikeout ? "s," : ",";
    if (std::uint32_t c = fontColorToFile(f.color)) {
        s += "color=" + std::to_string(c);
    }
    return s;
}

std::string formatDefaultFontLine(const Font& f) {
    return ";;0=" + f.name + "," + std::to_string(pointSize(f.size));
}

FontTable::FontTable() { clear(); }

void FontTable::clear() {
    entries_.assign(kClassicSize, TemplateFont{});
    for (TemplateFont& e : entries_) {
        e.font.size = 0;
    }
}

const TemplateFont* FontTable::entry(int n) const {
    if (n < 0 || n >= static_cast<int>(entries_.size())) {
        return nullptr;
    }
    const TemplateFont& e = entries_[static_cast<std::size_t>(n)];
    return e.free() ? nullptr : &e;
}

void FontTable::set(int n, const TemplateFont& f) {
    if (n < 0 || n >= kMaxEntries) {
        return;
    }
    if (n >= static_cast<int>(entries_.size())) {
        TemplateFont empty;
        empty.font.size = 0;
        entries_.resize(static_cast<std::size_t>(n) + 1, empty);
    }
    entries_[static_cast<std::size_t>(n)] = f;
}

int FontTable::registerFont(const Font& f) {
    const std::string name = cp1251::upper(f.name);
    const int size = std::max(1, pointSize(f.size));
    const std::uint32_t color = fontColorToFile(f.color);
    for (std::size_t i = 1; i < entries_.size(); ++i) {
        const TemplateFont& e = entries_[i];
        if (e.free()) {
            TemplateFont add;
            add.font = f;
            add.font.size = size;
            entries_[i] = add;
            return static_cast<int>(i);
        }
        const Font& g = e.font;
        if (pointSize(g.size) == size && g.bold == f.bold && g.italic == f.italic &&
            g.underline == f.underline && g.strikeout == f.strikeout &&
            fontColorToFile(g.color) == color && cp1251::upper(g.name) == name) {
            return static_cast<int>(i);
        }
    }
    TemplateFont add;
    add.font = f;
    add.font.size = size;
    entries_.push_back(add);
    return static_cast<int>(entries_.size()) - 1;
}

int FontTable::usedCount() const {
    int n = 0;
    for (std::size_t i = 1; i < entries_.size() && !entries_[i].free(); ++i) {
        ++n;
    }
    return n;
}

bool FontTable::differsFromDefault(const Font& f, const Font& def) {
    return cp1251::upper(f.name) != cp1251::upper(def.name) ||
           pointSize(f.size) != pointSize(def.size) || f.bold || f.italic || f.underline ||
           f.strikeout || fontColorToFile(f.color) != 0;
}

} // namespace fc
