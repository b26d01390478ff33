#pragma once

#include "components/model/TextMeasurer.h"
#include "designer/ObjectBlock.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

class Sheet;
class PrototypeTable;
class StatementColourer;

// How a template is read.
struct TemplateReadOptions {
    // Fits the automatic row heights when given (the designer passes the view's measurer).
    const TextMeasurer* measurer = nullptr;
    // The system decimal separator is a comma: the text form rewrites "1.25" as "1,25".
    bool decimalComma = false;
    // The fact prototypes statements are checked against (not owned); the built-in one
    // without them.
    const PrototypeTable* prototypes = nullptr;
};

// What one reading found, beside the workbook it filled.
struct TemplateReadReport {
    int unreadableLines = 0; // lines skipped because they could not be read
    int firstUnreadableLine = 0;
    bool truncated = false;         // a text form went past its 1000 rows or 256 columns
    bool textFormFull = false;      // a text form filled more than 998 of its 1000 rows
    int unreadableObjectBlocks = 0; // object images that could not be decoded or read
    // The object block of each sheet (index 0 is sheet 1), empty bytes when none.
    std::vector<ObjectBlock> objectBlocks;
    bool hasObjects() const;
};

// The lines of a file as the sheet readers walk them; a sheet reader stops at the sheet
// line that starts the next sheet and leaves it to the caller.
struct SheetReadContext {
    const std::vector<std::string_view>& lines;
    std::size_t pos = 0;
    bool sheetLineSeen = false; // the file's first sheet line only names the first sheet
    const TemplateReadOptions& options;
    TemplateReadReport& report;
    StatementColourer& colour;

    // The file line number of lines[pos] (row headings show it).
    int lineNo() const { return static_cast<int>(pos) + 1; }
    void unreadable() {
        if (report.unreadableLines++ == 0) {
            report.firstUnreadableLine = lineNo();
        }
    }
    void setObjectBlock(int sheet, ObjectBlock block);
};

// The reader that takes over after a sheet line: exactly ";table" continues in the table
// format, every other spelling of ";table" or ";sheet" switches to the text form.
bool sheetLineKeepsTable(std::string_view line);
// The sheet name a sheet line carries (from its eighth character, trimmed, converted).
std::string sheetLineName(std::string_view line);
// Whether `line` is a sheet line (";table" or ";sheet" in any case).
bool isSheetLine(std::string_view line);

} // namespace fc
