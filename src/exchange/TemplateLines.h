#pragma once

#include "components/model/Style.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The template-format lines that a report result shares with templates: font lines and
// cell lines, read into model values.
namespace fc::answers {

// ";;" + number + "=" + name + "," + size + flags + "color=": the entry number and its font
// (size 0: a free entry). Nothing when the number cannot be read.
struct FontEntry {
    int number = 0;
    Font font;
};
std::optional<FontEntry> parseFontEntry(std::string_view line);

// A colour as files store it (red in the low byte) in the model's form.
Color colorFromFileValue(std::uint32_t value);

// The fixed fields of a cell line after its first "|" (borders, alignment, wrap, merge,
// pattern, number format). Missing trailing fields keep their defaults.
struct CellFields {
    std::array<int, 4> borders{}; // left, right, top, bottom; 0 leaves the side alone
    char halign = 'l';
    char valign = 'b';
    bool wrap = false;
    int mergeCols = 0, mergeRows = 0;
    int pattern = 0;
    std::uint32_t patternFg = 0, patternBg = 0;
    std::string numberFormat; // empty for General
};
CellFields parseCellFields(std::string_view afterBar);

// Applies the fields to a cell style (alignment left 2, centre 3, right 4 in the control's
// numbering become the model's).
void applyCellFields(const CellFields& f, Style& st);

// "<N>" at the front of `s`: the number and the prefix length, or -1 and 0.
int fontPrefixOf(std::string_view s, std::size_t& length);

} // namespace fc::answers
