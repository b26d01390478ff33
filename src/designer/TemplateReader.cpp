#include "designer/TemplateReader.h"

#include "components/model/Workbook.h"
#include "designer/DesignerSheet.h"
#include "designer/StatementColour.h"
#include "designer/TableFormatReader.h"
#include "designer/TemplateText.h"
#include "designer/TextFormReader.h"

namespace fc {

TemplateReadReport TemplateReader::read(std::string_view bytes, Workbook& book) const {
    return read(bytes, detectLayout(bytes), book);
}

TemplateReadReport TemplateReader::read(std::string_view bytes, TemplateLayout layout,
                                        Workbook& book) const {
    TemplateReadReport report;
    book.reset();
    book.setRepaint(false);
    designer::applyNewSheetDefaults(book.sheet(1));
    const std::vector<std::string_view> lines = tpl::splitLines(bytes);
    StatementColourer colour(options_.prototypes);
    SheetReadContext ctx{lines, 0, false, options_, report, colour};
    bool table = layout != TemplateLayout::Text;
    for (int sheet = 1;; ++sheet) {
        if (table) {
            TableFormatReader(book, sheet, ctx).read();
        } else {
            TextFormReader(book, sheet, ctx).read();
        }
        if (ctx.pos >= lines.size()) {
            break;
        }
        // Stopped at the sheet line of the next sheet.
        const std::string_view line = lines[ctx.pos];
        if (book.numSheets() >= kMaxCols) {
            ctx.unreadable();
            break;
        }
        table = sheetLineKeepsTable(line);
        book.insertSheets(book.numSheets() + 1, 1);
        Sheet& added = book.sheet(book.numSheets());
        designer::applyNewSheetDefaults(added);
        std::string name = sheetLineName(line);
        if (!name.empty()) {
            added.setName(name);
        }
        ViewOptions v = book.view();
        v.showTabs = true;
        book.setView(v);
        ++ctx.pos;
    }
    book.setCurrentSheet(1);
    Sheet& first = book.sheet(1);
    first.setActiveCell(first.fixedRows() + 1, 1);
    book.setRepaint(true);
    book.setModified(false);
    return report;
}

} // namespace fc
