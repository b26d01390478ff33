#include "results/ResultLayout.h"

#include "components/model/Sheet.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"

#include <algorithm>
#include <cstdlib>

namespace fc::result {

int runningNumberCol(const Sheet& s) { return s.maxCol() + 1; }
int heightCol(const Sheet& s) { return s.maxCol() + 2; }
int sortKeyCol(const Sheet& s) { return s.maxCol() + 3; }

int firstDataRow(const Sheet& s) { return s.fixedRow() + s.fixedRows(); }
int lastHeadingRow(const Sheet& s) { return firstDataRow(s) - 1; }

bool borderBelow(const Sheet& s, int r, int c1, int c2) {
    for (int c = c1; c <= c2; ++c) {
        if (s.style(r, c).border(BorderSide::Bottom).style != BorderStyle::None ||
            s.style(r + 1, c).border(BorderSide::Top).style != BorderStyle::None) {
            return true;
        }
    }
    return false;
}

bool isGroupHeading(const Sheet& s, int r) {
    const std::string t = s.text(r, 2);
    return t.size() > 2 && t[0] == ' ' && t[1] == ' ' && !text::trimView(t).empty();
}

bool isSeparator(const Sheet& s, int r) { return s.text(r, 2) == "-"; }

bool isTotalsRow(const Sheet& s, int r) {
    static const std::string mark = w("ИТОГО:");
    for (int c = 2; c <= s.maxCol(); ++c) {
        const Cell* cell = s.cell(r, c);
        if (cell && cell->kind == ValueKind::Text &&
            cp1251::upper(cell->text).find(mark) != std::string::npos) {
            return true;
        }
    }
    return false;
}

int totalsLevel(const Sheet& s, int r) {
    const std::string a = s.text(r, kActionCol);
    const std::size_t brace = a.rfind('}');
    const std::size_t from = brace == std::string::npos ? 0 : brace + 1;
    const std::string number = text::trim(a.substr(from, a.find('|', from) - from));
    char* end = nullptr;
    const long n = std::strtol(number.c_str(), &end, 10);
    return !number.empty() && end && *end == '\0' && n > 0 ? static_cast<int>(n) : 1;
}

std::string columnHeading(const Sheet& s, int col) {
    std::string heading;
    for (int r = 1; r <= lastHeadingRow(s); ++r) {
        const CellRange* m = s.mergeAt(r, col);
        if (m && m->c1 != m->c2) {
            continue;
        }
        const std::string t = s.text(r, col);
        if (!t.empty()) {
            heading += (heading.empty() ? "" : " ") + t;
        }
    }
    return text::trim(heading);
}

std::vector<Block> blocks(const Sheet& s, int c1, int c2) {
    std::vector<Block> out;
    const int last = s.maxRow();
    for (int r = firstDataRow(s); r <= last;) {
        Block b{r, r};
        while (b.last < last && !borderBelow(s, b.last, c1, c2)) {
            ++b.last;
        }
        out.push_back(b);
        r = b.last + 1;
    }
    return out;
}

} // namespace fc::result
