#pragma once

#include "components/model/Types.h"

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace fc {

struct Font {
    std::string name = "Arial"; // the name as the template gives it (Windows-1251)
    double size = 10;           // points
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    Color color = kAutoColor;

    friend bool operator==(const Font& a, const Font& b) {
        return a.name == b.name && a.size == b.size && a.bold == b.bold && a.italic == b.italic &&
               a.underline == b.underline && a.strikeout == b.strikeout && a.color == b.color;
    }
    friend bool operator!=(const Font& a, const Font& b) { return !(a == b); }
};

// Line styles numbered as in Excel files, so writers and readers map them one to one.
enum class BorderStyle : std::uint8_t {
    None = 0,
    Thin = 1,
    Medium = 2,
    Dashed = 3,
    Dotted = 4,
    Thick = 5,
    Double = 6,
    Hair = 7,
    MediumDashed = 8,
    DashDot = 9,
    MediumDashDot = 10,
    DashDotDot = 11,
    MediumDashDotDot = 12,
    SlantDashDot = 13,
};

struct Border {
    BorderStyle style = BorderStyle::None;
    Color color = kAutoColor;
    friend bool operator==(const Border& a, const Border& b) {
        return a.style == b.style && a.color == b.color;
    }
    friend bool operator!=(const Border& a, const Border& b) { return !(a == b); }
};

enum class BorderSide : std::uint8_t { Left = 0, Right = 1, Top = 2, Bottom = 3 };

enum class HAlign : std::uint8_t { General, Left, Center, Right, Fill, Justify, CenterAcross };
enum class VAlign : std::uint8_t { Top, Center, Bottom };

// Fill pattern numbered as in Excel files: 0 none, 1 solid, 2.. the hatch patterns.
struct Fill {
    std::uint8_t pattern = 0;
    Color fg = kAutoColor;
    Color bg = kAutoColor;
    friend bool operator==(const Fill& a, const Fill& b) {
        return a.pattern == b.pattern && a.fg == b.fg && a.bg == b.bg;
    }
    friend bool operator!=(const Fill& a, const Fill& b) { return !(a == b); }
};

struct Style {
    Font font;
    HAlign halign = HAlign::General;
    VAlign valign = VAlign::Bottom;
    bool wrap = false;
    std::array<Border, 4> borders{}; // indexed by BorderSide
    Fill fill;
    std::string numberFormat = "General";

    Border& border(BorderSide s) { return borders[static_cast<int>(s)]; }
    const Border& border(BorderSide s) const { return borders[static_cast<int>(s)]; }

    friend bool operator==(const Style& a, const Style& b) {
        return a.font == b.font && a.halign == b.halign && a.valign == b.valign &&
               a.wrap == b.wrap && a.borders == b.borders && a.fill == b.fill &&
               a.numberFormat == b.numberFormat;
    }
    friend bool operator!=(const Style& a, const Style& b) { return !(a == b); }
};

using StyleId = std::uint32_t;

// Equal styles share one id; cells keep the id. Id 0 is the default style, whose font is
// the workbook's default font. Ids stay valid for the table's life (entries are never removed).
class StyleTable {
public:
    StyleTable();

    StyleId intern(const Style& s);
    const Style& get(StyleId id) const { return id < styles_.size() ? styles_[id] : styles_[0]; }
    std::size_t size() const { return styles_.size(); }

    // Changes the default style in place (the default font); every cell with id 0 follows.
    void setDefault(const Style& s);

private:
    struct Hash {
        std::size_t operator()(const Style& s) const;
    };
    std::vector<Style> styles_;
    std::unordered_map<Style, StyleId, Hash> index_;
};

} // namespace fc
