#include "results/ResultSearch.h"

#include "components/model/Sheet.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "results/ResultLayout.h"

#include <algorithm>

namespace fc {

namespace {

// The displayed text of a cell, without formatting a plain text cell again (the searches walk
// tens of thousands of rows per key).
std::string_view shown(const Sheet& sheet, int row, int col, std::string& buffer) {
    if (const Cell* cell = sheet.cell(row, col);
        cell && cell->kind == ValueKind::Text && cell->formula == 0) {
        const std::string& format = sheet.style(row, col).numberFormat;
        if (format == "General" || format == "@") {
            return cell->text;
        }
    }
    buffer = sheet.text(row, col);
    return buffer;
}

bool isLatin(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// The text with its first `n` characters upper-cased.
std::string upperHead(std::string_view s, std::size_t n) {
    std::string out = cp1251::upper(s.substr(0, std::min(n, s.size())));
    if (s.size() > n) {
        out.append(s.substr(n));
    }
    return out;
}

} // namespace

std::optional<int> findPrefix(const Sheet& sheet, int col, int fromRow, std::string_view text) {
    if (text.empty() || !validCol(col)) {
        return std::nullopt;
    }
    std::string buffer;
    const int last = std::min(sheet.maxRow(), kMaxRows);
    for (int r = std::max(fromRow, 1); r <= last; ++r) {
        if (!sheet.rowHidden(r) && text::startsWith(shown(sheet, r, col, buffer), text)) {
            return r;
        }
    }
    return std::nullopt;
}

bool TypeAhead::takes(unsigned char c) { return c > ' ' && c != 0x7F && !isLatin(c); }

std::optional<int> TypeAhead::type(const Sheet& sheet, int activeRow, int col, unsigned char c) {
    const int from = text_.empty() ? result::firstDataRow(sheet) : activeRow;
    text_ = cp1251::upper(text_ + static_cast<char>(c));
    ticks_ = 0;
    return findPrefix(sheet, col, from, text_);
}

bool TypeAhead::tick() {
    if (text_.empty()) {
        return false;
    }
    if (++ticks_ >= kIdleTicks) {
        clear();
        return true;
    }
    return false;
}

void TypeAhead::clear() {
    text_.clear();
    ticks_ = 0;
}

std::optional<int> altFind(const Sheet& sheet, int activeRow, std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    std::string buffer;
    const int last = std::min(sheet.maxRow(), kMaxRows);
    for (int r = std::max(activeRow + 1, 1); r <= last - 1; ++r) {
        if (!sheet.rowHidden(r) &&
            upperHead(text::trimView(shown(sheet, r, 2, buffer)), 20).find(text) !=
                std::string::npos) {
            return r;
        }
    }
    for (int r = std::max(sheet.fixedRows() + 1, 1); r <= std::min(activeRow - 1, last); ++r) {
        if (!sheet.rowHidden(r) &&
            text::startsWith(upperHead(text::trimView(shown(sheet, r, 2, buffer)), 200), text)) {
            return r;
        }
    }
    return std::nullopt;
}

std::optional<int> AltSearch::finish(const Sheet& sheet, int activeRow) {
    std::optional<int> row = altFind(sheet, activeRow, text_);
    if (row) {
        text_.clear();
    }
    return row;
}

AltSearch& altSearch() {
    static AltSearch search;
    return search;
}

char latinOfKey(int keyCode, char32_t key) {
    // The rows of a PC keyboard by key code (evdev + 8): digits, then the three letter rows.
    struct Run {
        int first;
        const char* keys;
    };
    static constexpr Run kRuns[] = {
        {10, "1234567890"}, {24, "QWERTYUIOP"}, {38, "ASDFGHJKL"}, {52, "ZXCVBNM"}};
    for (const Run& run : kRuns) {
        const int n = static_cast<int>(std::char_traits<char>::length(run.keys));
        if (keyCode >= run.first && keyCode < run.first + n) {
            return run.keys[keyCode - run.first];
        }
    }
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) {
        return static_cast<char>(key);
    }
    if (key >= 'a' && key <= 'z') {
        return static_cast<char>(key - 'a' + 'A');
    }
    // The Russian layout: the Latin letter on the same key, А to Я (Ё is on no letter key).
    static constexpr char kRussian[] = "F,DULT;PBQRKVYJGHCNEA[WXIO]SM'.Z";
    char32_t upper = key;
    if (key >= 0x430 && key <= 0x44F) {
        upper = key - 0x20;
    }
    if (upper >= 0x410 && upper <= 0x42F) {
        const char c = kRussian[upper - 0x410];
        return (c >= 'A' && c <= 'Z') ? c : 0;
    }
    return 0;
}

} // namespace fc
