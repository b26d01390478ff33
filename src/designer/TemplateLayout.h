#pragma once

#include <string>
#include <string_view>

namespace fc {

// The layouts that share the ".rpt" extension.
enum class TemplateLayout {
    Table, // one file, directives and cell lines
    Ext,   // tab-separated form rows and a companion workbook
    Turbo, // form rows compiled to "printstr" statements, with a companion workbook
    Text,  // a character-drawn page
};

// The layout of a template, told by its first two lines (trimmed and joined): ";table"
// without ";ext" is the table format, with ";ext" the extended layout (";turbo" for its turbo
// variant), neither the text form. The keywords are compared as the writers spell them.
TemplateLayout detectLayout(std::string_view bytes);

const char* layoutName(TemplateLayout l);

} // namespace fc
