#include "exchange/CopyBack.h"

#include "components/model/Sheet.h"
#include "components/text/TextOps.h"
#include "exchange/AnswerText.h"
#include "exchange/ReportRun.h"

#include <optional>
#include <string>

namespace fc {

void copyToOwner(const Sheet& own, CellRef from, Sheet& owner, CellRef to,
                 std::string_view columnMap, bool ownerSaves) {
    const std::string map = std::string(columnMap) + ";";
    std::size_t i = 0;
    for (std::size_t e = map.find(';'); e != std::string::npos; e = map.find(';', i)) {
        const std::string pair = map.substr(i, e - i);
        i = e + 1;
        if (text::trimView(pair).empty()) {
            continue;
        }
        const std::size_t colon = pair.find(':');
        std::optional<int> p = answer::parseInt(pair.substr(0, colon));
        std::optional<int> q =
            colon == std::string::npos ? std::nullopt : answer::parseInt(pair.substr(colon + 1));
        const int pc = p && validCol(*p) ? *p : from.col;
        const int qc = q && validCol(*q) ? *q : to.col;
        // A number goes over as a number: its shown text ("175 000.00") would enter as text.
        const Value v = own.value(from.row, pc);
        if (v.kind == ValueKind::Number) {
            owner.setNumber(to.row, qc, v.number);
        } else {
            owner.setEntry(to.row, qc, own.text(from.row, pc));
        }
    }
    owner.setText(to.row, ReportRun::kMarkCol, "X");
    if (ownerSaves && owner.maxRow() < kMaxRows) {
        owner.setText(owner.maxRow() + 1, ReportRun::kMarkCol, "X");
    }
}

} // namespace fc
