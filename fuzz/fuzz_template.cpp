// Template readers over arbitrary bytes (table format and text form, the layout told by the
// first two lines), the object blocks decoded and their objects placed, then the writer over
// whatever they built: nothing may crash, and what the writer gives must read back without
// unreadable lines.
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "designer/ObjectBlock.h"
#include "designer/ObjectImage.h"
#include "designer/ObjectTransfer.h"
#include "designer/TableFormatWriter.h"
#include "designer/TemplateReader.h"

#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fc::Workbook book;
    const fc::TemplateReadReport first = fc::TemplateReader().read(bytes, book);
    static QTemporaryDir dir;
    const fc::ObjectImage image(fc::cp1251::fromQString(dir.path()));
    for (std::size_t i = 0; i < first.objectBlocks.size(); ++i) {
        const int sheet = static_cast<int>(i) + 1;
        fc::Workbook objects;
        std::string error;
        if (!first.objectBlocks[i].bytes.empty() && sheet <= book.numSheets() &&
            image.decode(sheet, first.objectBlocks[i], objects, error)) {
            fc::objects::place(book.sheet(sheet), objects.sheet(1));
        }
    }
    const std::string written = fc::TableFormatWriter(book).write();
    fc::Workbook again;
    const fc::TemplateReadReport report = fc::TemplateReader().read(written, again);
    if (report.unreadableLines != 0 || again.numSheets() != book.numSheets()) {
        std::fprintf(stderr,
                     "round trip: %d unreadable lines from line %d, %d sheets then %d\n%s\n",
                     report.unreadableLines, report.firstUnreadableLine, book.numSheets(),
                     again.numSheets(), written.c_str());
        __builtin_trap();
    }
    return 0;
}
