#pragma once

#include "components/model/Style.h"

#include <optional>
#include <string>
#include <string_view>

namespace fc {
struct CellLine;
}

// The template-format lines that a report result shares with templates, read by the
// designer's parsers and turned into what a result sheet needs.
namespace fc::answers {

// ";;" + number + "=" + name + "," + size + flags + "color=": the entry number and its font
// (size 0: a free entry). Nothing when the line cannot be read.
struct FontEntry {
    int number = 0;
    Font font;
};
std::optional<FontEntry> parseFontEntry(std::string_view line);

// The cell line's borders, alignment, wrap, pattern and number format laid onto `st`; border
// digits of 0 leave that side alone.
void applyCellLine(const CellLine& c, Style& st);

// A key that tells two cell lines of the same layout apart from others (text and column
// aside).
void appendLayoutKey(const CellLine& c, std::string& key);
// Whether the two lines have the same key, without making it.
bool sameLayout(const CellLine& a, const CellLine& b);

} // namespace fc::answers
