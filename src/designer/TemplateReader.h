#pragma once

#include "designer/SheetReadContext.h"
#include "designer/TemplateLayout.h"

#include <string_view>

namespace fc {

class Workbook;

// Reads a template of the table format or the text form from its bytes into a designer
// workbook (reset first): one sheet per sheet line, each read by the reader its sheet line
// chooses. Never fails: what cannot be read is skipped and counted in the report. The
// extended layouts need their companion workbook and have their own reader.
class TemplateReader {
public:
    explicit TemplateReader(TemplateReadOptions options = {}) : options_(options) {}

    TemplateReadReport read(std::string_view bytes, Workbook& book) const;
    // As read(), with the layout already decided (Text or Table).
    TemplateReadReport read(std::string_view bytes, TemplateLayout layout, Workbook& book) const;

private:
    TemplateReadOptions options_;
};

} // namespace fc
