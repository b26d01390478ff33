#include "designer/TemplateDump.h"

#include "components/format/JsonDump.h"
#include "components/format/JsonWriter.h"

namespace fc {

std::string dumpTemplate(const TemplateLoadResult& loaded, const Workbook& book) {
    JsonWriter j;
    j.beginObject();
    j.key("template");
    j.beginObject(true);
    j.field("layout", layoutName(loaded.layout));
    j.field("unreadableLines", loaded.report.unreadableLines);
    j.field("firstUnreadableLine", loaded.report.firstUnreadableLine);
    j.field("truncated", loaded.report.truncated);
    int blocks = 0;
    for (const ObjectBlock& b : loaded.report.objectBlocks) {
        blocks += b.bytes.empty() ? 0 : 1;
    }
    j.field("objectBlocks", blocks);
    j.field("unreadableObjectBlocks", loaded.report.unreadableObjectBlocks);
    j.endObject();
    j.key("workbook");
    dumpWorkbook(j, book);
    j.endObject();
    return j.take();
}

} // namespace fc
