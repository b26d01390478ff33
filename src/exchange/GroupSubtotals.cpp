#include "exchange/GroupSubtotals.h"

#include "components/model/Sheet.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultRows.h"

#include <algorithm>
#include <vector>

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
    // Markers are few among many rows: the rows whose column 1 holds one are found in one pass
    // and only they are looked at again for each level.
    std::vector<int> marked;
    const std::vector<Row>& rows = sheet.rows();
    for (int r = std::max(first, 1); r <= last && r <= sheet.storedRows(); ++r) {
        const std::vector<Cell>& cells = rows[static_cast<std::size_t>(r - 1)].cells;
        if (!cells.empty() && cells.front().col == 1 &&
            cells.front().text.find('[') != std::string::npos) {
            marked.push_back(r);
        }
    }
    for (int level = 1; level <= 3; ++level) {
        const std::string marker = "[" + std::to_string(level) + "]";
        int start = first;
        for (int r : marked) {
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
