#include "exchange/GroupSubtotals.h"

#include "components/model/Sheet.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultRows.h"

#include <algorithm>

namespace fc {

std::string subtotalFormula(int level, int start, int row, int col) {
    const std::string s = std::to_string(start);
    const std::string e = std::to_string(row - 1);
    const std::string c = std::to_string(col);
    const char* criterion = level == 1 ? "\"<>[2]\"" : level == 2 ? "\"=[1]\"" : "\"=[2]\"";
    const char* tail = level == 1 ? "))))" : "))       ))";
    return "=(SUMIF(INDIRECT(ADDRESS(" + s + ";1;4)&\":\"&ADDRESS(" + e + ";1;4)); " + criterion +
           "; INDIRECT(ADDRESS(" + s + ";" + c + ";4)&\":\"&ADDRESS(" + e + ";" + c + ";4" + tail;
}

void addGroupSubtotals(Sheet& sheet, const ReportSettings& settings, bool formulas) {
    const int first = sheet.fixedRow() + sheet.fixedRows();
    const int last = sheet.maxRow();
    for (int level = 1; level <= 3; ++level) {
        const std::string marker = "[" + std::to_string(level) + "]";
        int start = first;
        for (int r = first; r <= last; ++r) {
            const Cell* first = sheet.cell(r, 1);
            if (!first || first->text.find(marker) == std::string::npos) {
                continue;
            }
            sheet.setText(r, answers::kActionCol, std::to_string(level) + "|;nsv");
            if (formulas) {
                sheet.setText(r, 1, marker);
                for (int c : settings.totalsColumns) {
                    if (c >= 2 && c <= sheet.maxCol()) {
                        sheet.setFormula(r, c, subtotalFormula(level, start, r, c));
                    }
                }
            }
            start = r + 1;
        }
    }
}

} // namespace fc
