// Template readers over arbitrary bytes (table format and text form, the layout told by the
// first two lines), then the writer over whatever they built: nothing may crash, and what the
// writer gives must read back without unreadable lines.
#include "components/model/Workbook.h"
#include "designer/TableFormatWriter.h"
#include "designer/TemplateReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fc::Workbook book;
    fc::TemplateReader().read(bytes, book);
    const std::string written = fc::TableFormatWriter(book).write();
    fc::Workbook again;
    const fc::TemplateReadReport report = fc::TemplateReader().read(written, again);
    if (report.unreadableLines != 0 || again.numSheets() != book.numSheets()) {
        __builtin_trap();
    }
    return 0;
}
