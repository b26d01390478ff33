#include "designer/CellLine.h"

#include "designer/TemplateText.h"

#include <algorithm>
#include <optional>

namespace fc {

namespace {

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Whether the fixed fields (four border digits, then the two alignment letters) follow the
// "|" at `q`.
bool fieldsFollow(std::string_view rest, std::size_t q) {
    if (q + 6 >= rest.size()) {
        return false;
    }
    for (std::size_t i = q + 1; i <= q + 4; ++i) {
        if (!isDigit(rest[i])) {
            return false;
        }
    }
    const char h = rest[q + 5], v = rest[q + 6];
    return (h == 'l' || h == 'c' || h == 'r' || h == 'L' || h == 'C' || h == 'R') &&
           (v == 't' || v == 'c' || v == 'b' || v == 'T' || v == 'C' || v == 'B');
}

// The column number: two or three digits mostly, anything tpl::parseInt takes otherwise.
std::optional<int> columnNumber(std::string_view s) {
    if (s.size() == 2 && isDigit(s[0]) && isDigit(s[1])) {
        return (s[0] - '0') * 10 + (s[1] - '0');
    }
    if (s.size() == 3 && isDigit(s[0]) && isDigit(s[1]) && isDigit(s[2])) {
        return (s[0] - '0') * 100 + (s[1] - '0') * 10 + (s[2] - '0');
    }
    return tpl::parseInt(s);
}

std::string_view field(std::string_view seg, std::size_t pos, std::size_t len) {
    return pos < seg.size() ? seg.substr(pos, len) : std::string_view();
}

int intField(std::string_view seg, std::size_t pos, std::size_t len) {
    std::optional<int> v = tpl::parseInt(field(seg, pos, len));
    return v ? *v : 0;
}

} // namespace

int fontPrefix(std::string_view s, std::size_t& length) {
    length = 0;
    if (s.size() < 3 || s[0] != '<' || !isDigit(s[1])) {
        return -1;
    }
    std::size_t i = 1;
    long n = 0;
    while (i < s.size() && isDigit(s[i]) && i < 6) {
        n = n * 10 + (s[i] - '0');
        ++i;
    }
    if (i >= s.size() || s[i] != '>') {
        return -1;
    }
    length = i + 1;
    return static_cast<int>(n);
}

bool parseCellLine(std::string_view line, int colDigits, CellLine& out) {
    // Field by field, so that a reader that keeps `out` keeps the room of its texts.
    out.col = 0;
    out.font = -1;
    out.text.clear();
    out.borders = {};
    out.halign = 'l';
    out.valign = 'b';
    out.wrap = false;
    out.merged = false;
    out.mergeCols = 0;
    out.mergeRows = 0;
    out.pattern = 0;
    out.patternFg = 0;
    out.patternBg = 0;
    out.numberFormat.clear();
    if (line.empty() || line[0] != '&') {
        return false;
    }
    const std::size_t digits = static_cast<std::size_t>(colDigits);
    std::optional<int> col = columnNumber(line.substr(1, digits));
    if (!col) {
        return false;
    }
    out.col = *col;
    std::string_view rest = line.size() > 1 + digits ? line.substr(1 + digits) : std::string_view();
    std::size_t prefix = 0;
    out.font = fontPrefix(rest, prefix);
    rest.remove_prefix(prefix);

    std::size_t q = rest.find('|');
    if (q == std::string_view::npos) {
        out.text.assign(rest.data(), rest.size());
        return true;
    }
    for (std::size_t p = q; p != std::string_view::npos; p = rest.find('|', p + 1)) {
        if (fieldsFollow(rest, p)) {
            q = p;
            break;
        }
    }
    out.text.assign(rest.data(), q);
    std::size_t fmt = rest.find('|', q + 1);
    std::string_view seg = rest.substr(q + 1, fmt == std::string_view::npos ? fmt : fmt - q - 1);
    if (fmt != std::string_view::npos) {
        const std::string_view f = rest.substr(fmt + 1);
        out.numberFormat.assign(f.data(), f.size());
    }
    for (std::size_t i = 0; i < 4; ++i) {
        out.borders[i] = i < seg.size() && isDigit(seg[i]) ? seg[i] - '0' : 0;
    }
    const char h = seg.size() > 4 ? seg[4] : 'l';
    out.halign = (h == 'r' || h == 'R') ? 'r' : (h == 'c' || h == 'C') ? 'c' : 'l';
    const char v = seg.size() > 5 ? seg[5] : 'b';
    out.valign = (v == 't' || v == 'T') ? 't' : (v == 'c' || v == 'C') ? 'c' : 'b';
    out.wrap = seg.size() > 6 && (seg[6] == 'w' || seg[6] == 'W');
    if (seg.size() <= 7) {
        return true; // no merge or pattern fields
    }
    std::string_view mc = field(seg, 7, 2), mr = field(seg, 9, 2);
    if (!tpl::isBlank(mc) || !tpl::isBlank(mr)) {
        out.merged = true;
        out.mergeCols = std::max(0, intField(seg, 7, 2));
        out.mergeRows = std::max(0, intField(seg, 9, 2));
    }
    out.pattern = std::max(0, intField(seg, 11, 2));
    if (out.pattern > 0) {
        out.patternFg = static_cast<std::uint32_t>(std::max(0, intField(seg, 13, 8)));
        out.patternBg = static_cast<std::uint32_t>(std::max(0, intField(seg, 21, 8)));
    }
    return true;
}

std::string formatCellLine(const CellLine& c, int colDigits) {
    std::string tail;
    tail.reserve(c.text.size() + 40);
    if (c.font >= 0) {
        tail += '<';
        tail += std::to_string(c.font);
        tail += '>';
    }
    tail += c.text;
    tail += '|';
    for (int b : c.borders) {
        tail += static_cast<char>('0' + (b >= 0 && b <= 9 ? b : 0));
    }
    tail += c.halign;
    tail += c.valign;
    tail += c.wrap ? 'w' : ' ';
    if (c.merged) {
        tail += tpl::padLeft(c.mergeCols, 2);
        tail += tpl::padLeft(c.mergeRows, 2);
    } else {
        tail += "    ";
    }
    if (c.pattern >= 1) {
        tail += tpl::padLeft(c.pattern, 2);
        tail += tpl::padLeft(c.patternFg, 8);
        tail += tpl::padLeft(c.patternBg, 8);
    }
    if (!c.numberFormat.empty() && c.numberFormat != "General") {
        tail += '|';
        tail += c.numberFormat;
    }
    if (tpl::trimmed(tail) == "|0000lb") {
        return {};
    }
    return "&" + tpl::padRight(std::to_string(c.col), colDigits) + tail;
}

} // namespace fc
