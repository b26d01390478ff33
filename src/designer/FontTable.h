#pragma once

#include "components/model/Style.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

// Colours as template files store them: a 32-bit value with red in the low byte. Font colour
// 0 is the automatic (black) colour of the model.
Color colorFromFile(std::uint32_t value);
std::uint32_t colorToFile(Color c, std::uint32_t automatic = 0);
Color fontColorFromFile(std::uint32_t value);
std::uint32_t fontColorToFile(Color c);

// One entry of a template's font table. Alignment and wrap belong to the text form's table.
struct TemplateFont {
    Font font;
    HAlign align = HAlign::Left;
    bool wrap = false;
    bool free() const { return font.size <= 0; }
};

// A parsed font line (";;" + number + "=" + name + "," + size + flags).
struct FontLine {
    int number = 0;
    TemplateFont entry;
};

// The font line of `line`, or nullopt when the line is not one or a value cannot be read.
// `textForm` also takes "align=" and "WR". Names are kept as written (not converted).
std::optional<FontLine> parseFontLine(std::string_view line, bool textForm);

// ";;N=name,size,b,i,u,s,color=V" for a cell font; ";;0=name,size" for the default font.
std::string formatFontLine(int number, const Font& f);
std::string formatDefaultFontLine(const Font& f);

// A sheet's font table: entry 0 the default font, 1 up the cell fonts. It holds 61 entries
// and grows past them when a sheet needs more fonts, so that no cell loses its font.
class FontTable {
public:
    static constexpr int kClassicSize = 61;
    // Font numbers beyond this are not taken from files.
    static constexpr int kMaxEntries = 4096;

    FontTable();
    void clear();

    // The entry, or nullptr when `n` is out of range or the entry is free.
    const TemplateFont* entry(int n) const;
    void set(int n, const TemplateFont& f);
    // The entry holding `f` (name compared case-insensitively, size rounded to points, flags,
    // colour) among entries 1 up, or the first free one, which then takes `f`.
    int registerFont(const Font& f);
    // Entries 1 up to (not including) the first free one.
    int usedCount() const;

    // Whether `f` differs from the default font `def` as the writers see it: another name
    // or size, any of the four flags, or a colour other than automatic.
    static bool differsFromDefault(const Font& f, const Font& def);

private:
    std::vector<TemplateFont> entries_;
};

} // namespace fc
