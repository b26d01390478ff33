#include "results/ResultSearch.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "results/ResultLayout.h"

#include <algorithm>
#include <array>

namespace fc {

namespace {

// The rows of a column as a search walks them: hidden rows skipped, a plain text cell read
// as it is stored, anything else as its format shows it (the searches walk tens of thousands
// of rows per key, so the row is found once and a style's format is compared once).
class ColumnWalk {
public:
    ColumnWalk(const Sheet& sheet, int col)
        : sheet_(sheet), rows_(sheet.rows()), styles_(sheet.workbook().styles()), col_(col) {}

    // False for a hidden row; otherwise `text` is the cell's displayed text.
    bool shown(int row, std::string_view& text) {
        const Row* r = row <= static_cast<int>(rows_.size())
                           ? &rows_[static_cast<std::size_t>(row - 1)]
                           : nullptr;
        if (r && r->hidden) {
            return false;
        }
        const Cell* cell = r ? r->find(col_) : nullptr;
        if (!cell) {
            text = {};
            return true;
        }
        if (cell->kind == ValueKind::Text && cell->formula == 0) {
            if (cell->style != style_) {
                style_ = cell->style;
                const std::string& format = styles_.get(style_).numberFormat;
                plain_ = format == "General" || format == "@";
            }
            if (plain_) {
                text = cell->text;
                return true;
            }
        }
        buffer_ = sheet_.text(row, col_);
        text = buffer_;
        return true;
    }

private:
    const Sheet& sheet_;
    const std::vector<Row>& rows_;
    const StyleTable& styles_;
    int col_;
    StyleId style_ = static_cast<StyleId>(-1);
    bool plain_ = false;
    std::string buffer_;
};

bool isLatin(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char upperAt(std::string_view s, std::size_t i, std::size_t head) {
    static const std::array<char, 256> kUpper = [] {
        std::array<char, 256> t{};
        for (int c = 0; c < 256; ++c) {
            t[static_cast<std::size_t>(c)] =
                static_cast<char>(cp1251::upper(static_cast<unsigned char>(c)));
        }
        return t;
    }();
    const auto c = static_cast<unsigned char>(s[i]);
    return i < head ? kUpper[c] : static_cast<char>(c);
}

// `s` with its first `head` characters upper-cased begins with `what` at `at`.
bool matchesAt(std::string_view s, std::size_t at, std::size_t head, std::string_view what) {
    if (at + what.size() > s.size()) {
        return false;
    }
    for (std::size_t k = 0; k < what.size(); ++k) {
        if (upperAt(s, at + k, head) != what[k]) {
            return false;
        }
    }
    return true;
}

// `s` with its first `head` characters upper-cased contains `what`.
bool containsUpperHead(std::string_view s, std::size_t head, std::string_view what) {
    for (std::size_t at = 0; at < head && at < s.size(); ++at) {
        if (matchesAt(s, at, head, what)) {
            return true;
        }
    }
    return s.size() > head && s.substr(head).find(what) != std::string_view::npos;
}

} // namespace

std::optional<int> findPrefix(const Sheet& sheet, int col, int fromRow, std::string_view text) {
    if (text.empty() || !validCol(col)) {
        return std::nullopt;
    }
    ColumnWalk walk(sheet, col);
    std::string_view shown;
    const int last = std::min(sheet.maxRow(), kMaxRows);
    for (int r = std::max(fromRow, 1); r <= last; ++r) {
        if (walk.shown(r, shown) && text::startsWith(shown, text)) {
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
    ColumnWalk walk(sheet, 2);
    std::string_view shown;
    const int last = std::min(sheet.maxRow(), kMaxRows);
    for (int r = std::max(activeRow + 1, 1); r <= last - 1; ++r) {
        if (walk.shown(r, shown) && containsUpperHead(text::trimView(shown), 20, text)) {
            return r;
        }
    }
    for (int r = std::max(sheet.fixedRows() + 1, 1); r <= std::min(activeRow - 1, last); ++r) {
        if (walk.shown(r, shown) && matchesAt(text::trimView(shown), 0, 200, text)) {
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
