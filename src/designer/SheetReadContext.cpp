#include "designer/SheetReadContext.h"

#include "components/text/CodePage.h"
#include "designer/TemplateText.h"

namespace fc {

bool TemplateReadReport::hasObjects() const {
    for (const ObjectBlock& b : objectBlocks) {
        if (b.present) {
            return true;
        }
    }
    return false;
}

void SheetReadContext::setObjectBlock(int sheet, ObjectBlock block) {
    if (sheet < 1) {
        return;
    }
    if (static_cast<int>(report.objectBlocks.size()) < sheet) {
        report.objectBlocks.resize(static_cast<std::size_t>(sheet));
    }
    report.objectBlocks[static_cast<std::size_t>(sheet - 1)] = std::move(block);
}

bool sheetLineKeepsTable(std::string_view line) { return tpl::startsWith(line, ";table"); }

std::string sheetLineName(std::string_view line) {
    if (line.size() <= 7) {
        return {};
    }
    return codepage::toWindows(tpl::trimmed(line.substr(7)));
}

bool isSheetLine(std::string_view line) {
    return tpl::startsWithNoCase(line, ";table") || tpl::startsWithNoCase(line, ";sheet");
}

} // namespace fc
