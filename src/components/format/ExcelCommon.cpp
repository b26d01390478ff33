#include "components/format/ExcelCommon.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstring>

namespace fc::xls {

namespace {

bool digitPlace(char c) { return c == '#' || c == '0'; }

// Replaces `from` by `to` where it stands between two digit placeholders, outside quoted
// texts, brackets and escapes.
std::string swapGrouping(std::string_view f, char from, char to) {
    std::string out(f);
    bool quoted = false;
    int bracket = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        char c = out[i];
        if (quoted) {
            quoted = c != '"';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;
        } else if (c == '[') {
            ++bracket;
        } else if (c == ']') {
            bracket = std::max(0, bracket - 1);
        } else if (bracket == 0 && c == from && i > 0 && i + 1 < out.size() &&
                   digitPlace(out[i - 1]) && digitPlace(out[i + 1])) {
            out[i] = to;
        }
    }
    return out;
}

struct Builtin {
    int index;
    const char* code; // as the program spells it
    bool exact;       // an Excel code that maps back to this index on writing
};

const Builtin kBuiltins[] = {
    {0, "General", true},
    {1, "0", true},
    {2, "0.00", true},
    {3, "# ##0", true},
    {4, "# ##0.00", true},
    {5, "# ##0;-# ##0", false},
    {6, "# ##0;[Red]-# ##0", false},
    {7, "# ##0.00;-# ##0.00", false},
    {8, "# ##0.00;[Red]-# ##0.00", false},
    {9, "0%", true},
    {10, "0.00%", true},
    {11, "0.00E+00", true},
    {12, "# ?/?", true},
    {13,
     "# ?"
     "?/?"
     "?",
     true},
    {14, "dd.mm.yyyy", false},
    {15, "d-mmm-yy", true},
    {16, "d-mmm", true},
    {17, "mmm-yy", true},
    {18, "h:mm AM/PM", true},
    {19, "h:mm:ss AM/PM", true},
    {20, "h:mm", true},
    {21, "h:mm:ss", true},
    {22, "dd.mm.yyyy h:mm", false},
    {37, "# ##0 ;(# ##0)", false},
    {38, "# ##0 ;[Red](# ##0)", false},
    {39, "# ##0.00;(# ##0.00)", false},
    {40, "# ##0.00;[Red](# ##0.00)", false},
    {41, "# ##0", false},
    {42, "# ##0", false},
    {43, "# ##0.00", false},
    {44, "# ##0.00", false},
    {45, "mm:ss", true},
    {46, "[h]:mm:ss", true},
    {47, "mm:ss.0", true},
    {48, "##0.0E+0", true},
    {49, "@", true},
};

// "$A$1" or "A1" or "$A" or "$1"; returns false when nothing of a reference was read.
bool parseRef(std::string_view s, int& row, int& col) {
    row = 0;
    col = 0;
    std::size_t i = 0;
    if (i < s.size() && s[i] == '$') {
        ++i;
    }
    std::size_t letters = 0;
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) && letters < 3) {
        col = col * 26 + (std::toupper(static_cast<unsigned char>(s[i])) - 'A' + 1);
        ++i;
        ++letters;
    }
    if (i < s.size() && s[i] == '$') {
        ++i;
    }
    std::size_t digits = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && digits < 6) {
        row = row * 10 + (s[i] - '0');
        ++i;
        ++digits;
    }
    if (i != s.size() || (letters == 0 && digits == 0)) {
        return false;
    }
    return (letters == 0 || validCol(col)) && (digits == 0 || validRow(row));
}

std::vector<std::string_view> splitList(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == ',' || text[i] == ';') {
            std::string_view p = text.substr(start, i - start);
            auto bang = p.rfind('!');
            if (bang != std::string_view::npos) {
                p = p.substr(bang + 1);
            }
            while (!p.empty() && p.front() == ' ') {
                p.remove_prefix(1);
            }
            while (!p.empty() && p.back() == ' ') {
                p.remove_suffix(1);
            }
            if (!p.empty()) {
                parts.push_back(p);
            }
            start = i + 1;
        }
    }
    return parts;
}

bool splitRange(std::string_view p, int& r1, int& c1, int& r2, int& c2) {
    auto colon = p.find(':');
    std::string_view a = p.substr(0, colon);
    std::string_view b = colon == std::string_view::npos ? a : p.substr(colon + 1);
    return parseRef(a, r1, c1) && parseRef(b, r2, c2);
}

} // namespace

std::string toExcelFormat(std::string_view f) {
    if (f.empty()) {
        return "General";
    }
    return swapGrouping(f, ' ', ',');
}

std::string fromExcelFormat(std::string_view f) {
    if (f.empty()) {
        return "General";
    }
    return swapGrouping(f, ',', ' ');
}

int builtinFormatIndex(std::string_view excelFormat) {
    std::string f = fromExcelFormat(excelFormat);
    for (const Builtin& b : kBuiltins) {
        if (b.exact && f == b.code) {
            return b.index;
        }
    }
    return -1;
}

std::string builtinFormatCode(int index) {
    for (const Builtin& b : kBuiltins) {
        if (b.index == index) {
            return b.code;
        }
    }
    return {};
}

bool isDateFormat(std::string_view f) {
    bool quoted = false;
    for (std::size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (quoted) {
            quoted = c != '"';
            continue;
        }
        switch (c) {
        case '"': quoted = true; break;
        case '\\':
        case '_':
        case '*': ++i; break;
        case '[': {
            auto end = f.find(']', i);
            std::string_view inside =
                f.substr(i + 1, end == std::string_view::npos ? 0 : end - i - 1);
            // [h], [mm], [ss]: elapsed time
            if (!inside.empty() && std::all_of(inside.begin(), inside.end(), [](char x) {
                    return x == 'h' || x == 'H' || x == 'm' || x == 'M' || x == 's' || x == 'S';
                })) {
                return true;
            }
            i = end == std::string_view::npos ? f.size() : end;
            break;
        }
        default:
            switch (std::tolower(static_cast<unsigned char>(c))) {
            case 'd':
            case 'm':
            case 'y':
            case 'h':
            case 's': return true;
            default: break;
            }
        }
    }
    return false;
}

std::vector<CellRange> parsePrintArea(std::string_view text) {
    std::vector<CellRange> out;
    for (std::string_view p : splitList(text)) {
        int r1, c1, r2, c2;
        if (!splitRange(p, r1, c1, r2, c2)) {
            continue;
        }
        // "$A:$B" means whole columns, "$1:$3" whole rows.
        CellRange rg{r1 ? r1 : 1, c1 ? c1 : 1, r2 ? r2 : kMaxRows, c2 ? c2 : kMaxCols};
        if ((r1 == 0) != (r2 == 0) || (c1 == 0) != (c2 == 0)) {
            continue;
        }
        out.push_back(rg.normalized());
    }
    return out;
}

PrintTitles parsePrintTitles(std::string_view text) {
    PrintTitles t;
    for (std::string_view p : splitList(text)) {
        int r1, c1, r2, c2;
        if (!splitRange(p, r1, c1, r2, c2)) {
            continue;
        }
        if (c1 == 0 && c2 == 0 && r1 && r2) {
            t.rows = std::make_pair(std::min(r1, r2), std::max(r1, r2));
        } else if (r1 == 0 && r2 == 0 && c1 && c2) {
            t.cols = std::make_pair(std::min(c1, c2), std::max(c1, c2));
        } else if (r1 && r2 && c1 && c2) {
            // A full reference: whole rows when it spans the columns, else columns.
            if (c1 == 1 && c2 == kMaxCols) {
                t.rows = std::make_pair(std::min(r1, r2), std::max(r1, r2));
            } else if (r1 == 1 && r2 == kMaxRows) {
                t.cols = std::make_pair(std::min(c1, c2), std::max(c1, c2));
            }
        }
    }
    return t;
}

std::vector<std::string> excelSheetNames(const Workbook& book) {
    std::vector<std::string> names;
    for (int s = 1; s <= book.numSheets(); ++s) {
        std::string n = book.sheet(s).name();
        for (char& c : n) {
            if (std::strchr("[]:*?/\\", c) || static_cast<unsigned char>(c) < 0x20) {
                c = '_';
            }
        }
        if (n.size() > 31) {
            n.resize(31);
        }
        if (n.empty()) {
            n = "Sheet" + std::to_string(s);
        }
        const std::string base = n;
        auto taken = [&](const std::string& x) {
            return std::any_of(names.begin(), names.end(), [&](const std::string& o) {
                return cp1251::upper(o) == cp1251::upper(x);
            });
        };
        for (int k = 2; taken(n); ++k) {
            std::string suffix = "(" + std::to_string(k) + ")";
            n = base.substr(0, 31 - suffix.size()) + suffix;
        }
        names.push_back(n);
    }
    return names;
}

std::string printAreaText(const std::vector<CellRange>& areas) {
    std::string out;
    for (const CellRange& r : areas) {
        if (!out.empty()) {
            out += ',';
        }
        out += '$' + columnName(r.c1) + '$' + std::to_string(r.r1) + ":$" + columnName(r.c2) + '$' +
               std::to_string(r.r2);
    }
    return out;
}

std::string printTitlesText(const PrintTitles& t) {
    std::string out;
    if (t.rows) {
        out = '$' + std::to_string(t.rows->first) + ":$" + std::to_string(t.rows->second);
    }
    if (t.cols) {
        if (!out.empty()) {
            out += ',';
        }
        out += '$' + columnName(t.cols->first) + ":$" + columnName(t.cols->second);
    }
    return out;
}

std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (char c : text) {
        out.push_back(static_cast<char16_t>(cp1251::toUnicode(static_cast<unsigned char>(c))));
    }
    return out;
}

std::string fromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        out.push_back(
            static_cast<char>(c < 0x80 ? static_cast<unsigned char>(c) : cp1251::fromUnicode(c)));
    }
    return out;
}

const std::array<Color, 56>& Palette::defaults() {
    static const std::array<Color, 56> p = {
        0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
        0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
        0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
        0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
        0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
        0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
        0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
    };
    return p;
}

Palette::Palette() : entries_(defaults()) {
    for (int i = 55; i >= 0; --i) {
        exact_[entries_[static_cast<std::size_t>(i)]] = i + 8;
    }
}

void Palette::setEntry(int index, Color c) {
    if (index >= 8 && index < 64) {
        entries_[static_cast<std::size_t>(index - 8)] = c & 0xFFFFFF;
        exact_.clear();
        for (int i = 55; i >= 0; --i) {
            exact_[entries_[static_cast<std::size_t>(i)]] = i + 8;
        }
    }
}

void Palette::build(const std::vector<Color>& used) {
    entries_ = defaults();
    std::vector<bool> taken(56, false);
    std::vector<Color> missing;
    for (Color c : used) {
        if (c == kAutoColor) {
            continue;
        }
        c &= 0xFFFFFF;
        auto it = std::find(entries_.begin(), entries_.end(), c);
        if (it != entries_.end()) {
            taken[static_cast<std::size_t>(it - entries_.begin())] = true;
        } else if (std::find(missing.begin(), missing.end(), c) == missing.end()) {
            missing.push_back(c);
        }
    }
    // Slots given up first: the default palette's duplicates, then from the end.
    std::vector<int> order;
    for (int i = 0; i < 56; ++i) {
        Color c = entries_[static_cast<std::size_t>(i)];
        if (std::find(entries_.begin(), entries_.begin() + i, c) != entries_.begin() + i) {
            order.push_back(i);
        }
    }
    for (int i = 55; i >= 0; --i) {
        if (std::find(order.begin(), order.end(), i) == order.end()) {
            order.push_back(i);
        }
    }
    std::size_t next = 0;
    for (Color c : missing) {
        while (next < order.size() && taken[static_cast<std::size_t>(order[next])]) {
            ++next;
        }
        if (next == order.size()) {
            break;
        }
        int slot = order[next++];
        entries_[static_cast<std::size_t>(slot)] = c;
        taken[static_cast<std::size_t>(slot)] = true;
    }
    exact_.clear();
    for (int i = 55; i >= 0; --i) {
        exact_[entries_[static_cast<std::size_t>(i)]] = i + 8;
    }
}

int Palette::index(Color c, int autoIndex) const {
    if (c == kAutoColor) {
        return autoIndex;
    }
    c &= 0xFFFFFF;
    auto it = exact_.find(c);
    if (it != exact_.end()) {
        return it->second;
    }
    long best = LONG_MAX;
    int at = 8;
    for (int i = 0; i < 56; ++i) {
        Color e = entries_[static_cast<std::size_t>(i)];
        long dr = redOf(e) - redOf(c), dg = greenOf(e) - greenOf(c), db = blueOf(e) - blueOf(c);
        long d = dr * dr + dg * dg + db * db;
        if (d < best) {
            best = d;
            at = i + 8;
        }
    }
    return at;
}

Color Palette::color(int index) const {
    static const Color kFixed[8] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00,
                                    0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF};
    if (index >= 0 && index < 8) {
        return kFixed[index];
    }
    if (index >= 8 && index < 64) {
        return entries_[static_cast<std::size_t>(index - 8)];
    }
    return kAutoColor;
}

} // namespace fc::xls
