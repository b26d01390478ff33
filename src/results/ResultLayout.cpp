#include "results/ResultLayout.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
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
    const StyleTable& styles = s.workbook().styles();
    if (c2 - c1 < 4) {
        for (int c = c1; c <= c2; ++c) {
            if (s.style(r, c).border(BorderSide::Bottom).style != BorderStyle::None ||
                s.style(r + 1, c).border(BorderSide::Top).style != BorderStyle::None) {
                return true;
            }
        }
        return false;
    }
    // Only cells that exist can carry a border: over many columns the rows' own cells are
    // looked at, not every column (a filter pass asks this for every row of the sheet).
    auto any = [&](int row, BorderSide side) {
        if (row < 1 || row > s.storedRows()) {
            return false;
        }
        for (const Cell& c : s.rows()[static_cast<std::size_t>(row - 1)].cells) {
            if (c.col >= c1 && c.col <= c2 &&
                styles.get(c.style).border(side).style != BorderStyle::None) {
                return true;
            }
        }
        return false;
    };
    return any(r, BorderSide::Bottom) || any(r + 1, BorderSide::Top);
}

bool isGroupHeading(const Sheet& s, int r) {
    const std::string t = s.text(r, 2);
    return t.size() > 2 && t[0] == ' ' && t[1] == ' ' && !text::trimView(t).empty();
}

bool isSeparator(const Sheet& s, int r) { return s.text(r, 2) == "-"; }

bool hasTotalsMark(std::string_view text) {
    // "ИТОГО:" in any letter case, without upper-casing a copy of every text of the row: most
    // texts hold no "И" at all.
    static const std::string mark = w("ИТОГО:");
    for (std::size_t i = 0; i + mark.size() <= text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) | 0x20) != 0xE8) {
            continue; // neither "И" (0xC8) nor "и" (0xE8)
        }
        std::size_t k = 1;
        while (k < mark.size() && cp1251::upper(static_cast<unsigned char>(text[i + k])) ==
                                      static_cast<unsigned char>(mark[k])) {
            ++k;
        }
        if (k == mark.size()) {
            return true;
        }
    }
    return false;
}

bool isTotalsRow(const Sheet& s, int r) {
    if (r < 1 || r > s.storedRows()) {
        return false;
    }
    for (const Cell& c : s.rows()[static_cast<std::size_t>(r - 1)].cells) {
        if (c.col >= 2 && c.col <= s.maxCol() && c.kind == ValueKind::Text &&
            hasTotalsMark(c.text)) {
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
