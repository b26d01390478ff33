#pragma once

#include <string>
#include <string_view>

namespace fc::print {

// What the "&" codes of a header or footer stand for on one page. Texts are Windows-1251.
struct PageFields {
    int page = 1;      // "&P"
    int pages = 1;     // "&N"
    std::string sheet; // "&A"
    std::string file;  // "&F"
    std::string date;  // "&D"
    std::string time;  // "&T"
};

// One of the three parts of a header or footer line, with the look its codes gave it ("&B",
// "&I", "&U", "&S", "&\"Font,Style\"", "&10"); an empty font name or a size of 0 leave the
// default.
struct HeaderPart {
    std::string text; // may hold line breaks
    bool bold = false, italic = false, underline = false, strikeout = false;
    std::string fontName;
    double fontSize = 0;
};

struct HeaderFooter {
    HeaderPart left, center, right;
    bool empty() const { return left.text.empty() && center.text.empty() && right.text.empty(); }
};

// Expands a header or footer as page setups keep it: "&L", "&C" and "&R" start the left,
// centre and right part (text before any of them is centred); "&P" (also "&P+1", "&P-1"),
// "&N", "&A", "&F", "&D" and "&T" are replaced; "&&" is one "&". Codes the program does not
// know are dropped, so that they never print.
HeaderFooter expandHeaderFooter(std::string_view codes, const PageFields& fields);

} // namespace fc::print
