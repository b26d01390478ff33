#include "components/formula/References.h"

namespace fc::formula {

namespace {

bool isLetter(unsigned char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }
bool isDigit(unsigned char ch) { return ch >= '0' && ch <= '9'; }

unsigned char at(std::string_view s, std::size_t i) {
    return i < s.size() ? static_cast<unsigned char>(s[i]) : 0;
}

// "$"? letters: a column up to IV. Returns the position after it, or npos.
std::size_t scanCol(std::string_view s, std::size_t p, int& col, bool& abs) {
    abs = at(s, p) == '$';
    if (abs) {
        ++p;
    }
    std::size_t start = p;
    int value = 0;
    while (isLetter(at(s, p)) && p - start < 3) {
        value = value * 26 + ((at(s, p) | 0x20) - 'a' + 1);
        ++p;
    }
    if (p == start || isLetter(at(s, p)) || value > kMaxCols) {
        return std::string_view::npos;
    }
    col = value;
    return p;
}

// "$"? digits: a row from 1 to 65536.
std::size_t scanRow(std::string_view s, std::size_t p, int& row, bool& abs) {
    abs = at(s, p) == '$';
    if (abs) {
        ++p;
    }
    std::size_t start = p;
    long value = 0;
    while (isDigit(at(s, p))) {
        if (value <= kMaxRows) {
            value = value * 10 + (at(s, p) - '0');
        }
        ++p;
    }
    if (p == start || value < 1 || value > kMaxRows) {
        return std::string_view::npos;
    }
    row = static_cast<int>(value);
    return p;
}

// A reference ends where a name could not go on.
bool endsHere(std::string_view s, std::size_t p) {
    unsigned char ch = at(s, p);
    return p >= s.size() || (!isNameChar(ch) && ch != '(');
}

std::size_t scanCell(std::string_view s, std::size_t p, RefEnd& e) {
    std::size_t q = scanCol(s, p, e.col, e.absCol);
    if (q == std::string_view::npos) {
        return q;
    }
    q = scanRow(s, q, e.row, e.absRow);
    if (q == std::string_view::npos || !endsHere(s, q)) {
        return std::string_view::npos;
    }
    return q;
}

std::size_t scanColEnd(std::string_view s, std::size_t p, RefEnd& e) {
    std::size_t q = scanCol(s, p, e.col, e.absCol);
    if (q == std::string_view::npos || !endsHere(s, q)) {
        return std::string_view::npos;
    }
    e.row = 0;
    return q;
}

std::size_t scanRowEnd(std::string_view s, std::size_t p, RefEnd& e) {
    std::size_t q = scanRow(s, p, e.row, e.absRow);
    if (q == std::string_view::npos || !endsHere(s, q)) {
        return std::string_view::npos;
    }
    e.col = 0;
    return q;
}

// The reference body (no sheet prefix) at p; fills kind, ends and spans relative to `base`.
std::size_t scanBody(std::string_view s, std::size_t p, std::size_t base, RefText& out) {
    constexpr std::size_t npos = std::string_view::npos;
    RefEnd a, b;
    std::size_t q = scanCell(s, p, a);
    if (q != npos) {
        out.a = a;
        out.aBegin = p - base;
        out.aEnd = q - base;
        std::size_t r = at(s, q) == ':' ? scanCell(s, q + 1, b) : npos;
        if (r != npos) {
            out.kind = RefText::Area;
            out.b = b;
            out.bBegin = q + 1 - base;
            out.bEnd = r - base;
            return r;
        }
        out.kind = RefText::Cell;
        out.b = a;
        out.bBegin = out.aBegin;
        out.bEnd = out.aEnd;
        return q;
    }
    using Scan = std::size_t (*)(std::string_view, std::size_t, RefEnd&);
    const Scan scans[2] = {scanColEnd, scanRowEnd};
    const RefText::Kind kinds[2] = {RefText::Cols, RefText::Rows};
    for (int i = 0; i < 2; ++i) {
        // The first end must stop at the ":", which endsHere accepts.
        q = scans[i](s, p, a);
        if (q == npos || at(s, q) != ':') {
            continue;
        }
        std::size_t r = scans[i](s, q + 1, b);
        if (r == npos) {
            continue;
        }
        out.kind = kinds[i];
        out.a = a;
        out.b = b;
        out.aBegin = p - base;
        out.aEnd = q - base;
        out.bBegin = q + 1 - base;
        out.bEnd = r - base;
        return r;
    }
    return npos;
}

} // namespace

bool isNameChar(unsigned char ch) {
    return isLetter(ch) || isDigit(ch) || ch == '_' || ch == '.' || ch >= 0x80;
}

std::size_t scanSheetPrefix(std::string_view text, std::size_t pos, std::string& sheet) {
    std::size_t p = pos;
    std::string name;
    if (at(text, p) == '\'') {
        ++p;
        for (;;) {
            if (p >= text.size()) {
                return 0;
            }
            if (text[p] == '\'') {
                if (at(text, p + 1) != '\'') {
                    ++p;
                    break;
                }
                ++p;
            }
            name += text[p++];
        }
        if (name.empty()) {
            return 0;
        }
    } else {
        while (p < text.size() && isNameChar(at(text, p))) {
            name += text[p++];
        }
        if (name.empty()) {
            return 0;
        }
    }
    if (at(text, p) != '!') {
        return 0;
    }
    sheet = std::move(name);
    return p + 1 - pos;
}

std::size_t scanReference(std::string_view text, std::size_t pos, RefText& out) {
    RefText r;
    std::size_t p = pos;
    std::size_t prefix = scanSheetPrefix(text, pos, r.sheet);
    if (prefix > 0) {
        r.hasSheet = true;
        p += prefix;
    }
    std::size_t end = scanBody(text, p, pos, r);
    if (end == std::string_view::npos) {
        return 0;
    }
    r.length = end - pos;
    out = std::move(r);
    return out.length;
}

bool parseReference(std::string_view text, RefText& out) {
    return !text.empty() && scanReference(text, 0, out) == text.size();
}

namespace {

// "R" or "C" with an optional number: absolute "R5", relative "R[-2]", current "R".
bool scanR1C1Part(std::string_view s, std::size_t& p, char letter, int base, int limit, int& v,
                  bool& abs) {
    if ((at(s, p) | 0x20) != (letter | 0x20)) {
        return false;
    }
    ++p;
    long n = 0;
    if (at(s, p) == '[') {
        ++p;
        bool neg = at(s, p) == '-';
        if (neg || at(s, p) == '+') {
            ++p;
        }
        std::size_t start = p;
        while (isDigit(at(s, p)) && n <= kMaxRows) {
            n = n * 10 + (at(s, p++) - '0');
        }
        if (p == start || at(s, p) != ']') {
            return false;
        }
        ++p;
        v = base + static_cast<int>(neg ? -n : n);
        abs = false;
    } else if (isDigit(at(s, p))) {
        while (isDigit(at(s, p)) && n <= kMaxRows) {
            n = n * 10 + (at(s, p++) - '0');
        }
        v = static_cast<int>(n);
        abs = true;
    } else {
        v = base;
        abs = false;
    }
    return v >= 1 && v <= limit;
}

bool scanR1C1Cell(std::string_view s, std::size_t& p, int baseRow, int baseCol, RefEnd& e) {
    return scanR1C1Part(s, p, 'R', baseRow, kMaxRows, e.row, e.absRow) &&
           scanR1C1Part(s, p, 'C', baseCol, kMaxCols, e.col, e.absCol);
}

} // namespace

bool parseReferenceR1C1(std::string_view text, int baseRow, int baseCol, RefText& out) {
    RefText r;
    std::size_t p = scanSheetPrefix(text, 0, r.sheet);
    r.hasSheet = p > 0;
    std::size_t body = p;
    RefEnd a, b;
    if (scanR1C1Cell(text, p, baseRow, baseCol, a)) {
        r.kind = RefText::Cell;
        b = a;
        if (at(text, p) == ':') {
            ++p;
            if (!scanR1C1Cell(text, p, baseRow, baseCol, b)) {
                return false;
            }
            r.kind = RefText::Area;
        }
    } else {
        // Whole rows "R1:R3" or whole columns "C2:C4".
        p = body;
        const bool rows = (at(text, p) | 0x20) == 'r';
        const char letter = rows ? 'R' : 'C';
        const int limit = rows ? kMaxRows : kMaxCols;
        const int base = rows ? baseRow : baseCol;
        int v1 = 0, v2 = 0;
        bool abs1 = false, abs2 = false;
        if (!scanR1C1Part(text, p, letter, base, limit, v1, abs1)) {
            return false;
        }
        v2 = v1;
        abs2 = abs1;
        if (at(text, p) == ':') {
            ++p;
            if (!scanR1C1Part(text, p, letter, base, limit, v2, abs2)) {
                return false;
            }
        }
        r.kind = rows ? RefText::Rows : RefText::Cols;
        if (rows) {
            a = {v1, 0, abs1, false};
            b = {v2, 0, abs2, false};
        } else {
            a = {0, v1, false, abs1};
            b = {0, v2, false, abs2};
        }
    }
    if (p != text.size()) {
        return false;
    }
    r.a = a;
    r.b = b;
    r.length = p;
    out = std::move(r);
    return true;
}

CellRange rangeOf(RefText::Kind kind, int r1, int c1, int r2, int c2) {
    switch (kind) {
    case RefText::Cols: return CellRange{1, c1, kMaxRows, c2}.normalized();
    case RefText::Rows: return CellRange{r1, 1, r2, kMaxCols}.normalized();
    default: return CellRange{r1, c1, r2, c2}.normalized();
    }
}

std::string columnName(int col) {
    std::string s;
    while (col > 0) {
        int d = (col - 1) % 26;
        s.insert(s.begin(), static_cast<char>('A' + d));
        col = (col - 1) / 26;
    }
    return s;
}

std::string formatEnd(const RefEnd& e, RefText::Kind kind) {
    std::string s;
    if (kind != RefText::Rows) {
        if (e.absCol) {
            s += '$';
        }
        s += columnName(e.col);
    }
    if (kind != RefText::Cols) {
        if (e.absRow) {
            s += '$';
        }
        s += std::to_string(e.row);
    }
    return s;
}

std::string quoteSheet(std::string_view name) {
    bool plain = !name.empty() && !isDigit(at(name, 0));
    for (char ch : name) {
        plain = plain && isNameChar(static_cast<unsigned char>(ch));
    }
    RefText probe;
    if (plain && !parseReference(name, probe)) {
        return std::string(name);
    }
    std::string s = "'";
    for (char ch : name) {
        s += ch;
        if (ch == '\'') {
            s += '\'';
        }
    }
    s += '\'';
    return s;
}

} // namespace fc::formula
