// Sorting, finding and fitting: the sheet operations that read many cells at once.
#include "components/formula/Formula.h"
#include "components/model/Sheet.h"
#include "components/model/TextMeasurer.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>

namespace fc {

namespace {

enum KeyClass : std::uint8_t { kNumber = 0, kText = 1, kEmpty = 2 };

struct Key {
    KeyClass cls = kEmpty;
    double number = 0;
    const std::string* text = nullptr;
    // The first eight letters as collation ranks, so that most comparisons of texts are one
    // integer comparison instead of a walk through both strings.
    std::uint64_t prefix = 0;
};

// Rank of each byte in the sort order (1..255, equal for letters that differ only in case),
// taken from the collation itself so that the two cannot disagree.
struct Ranks {
    std::array<std::uint8_t, 256> rank{};
    bool usable = true;
    Ranks() {
        std::array<int, 256> bytes{};
        std::iota(bytes.begin(), bytes.end(), 0);
        auto cmp = [](int a, int b) {
            const char x = static_cast<char>(a), y = static_cast<char>(b);
            return cp1251::collate(std::string_view(&x, 1), std::string_view(&y, 1));
        };
        std::stable_sort(bytes.begin(), bytes.end(), [&](int a, int b) { return cmp(a, b) < 0; });
        int r = 1;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0 && cmp(bytes[i - 1], bytes[i]) != 0) {
                ++r;
            }
            usable = usable && r <= 255;
            rank[static_cast<std::size_t>(bytes[i])] = static_cast<std::uint8_t>(r);
        }
    }
};

const Ranks& ranks() {
    static const Ranks r;
    return r;
}

constexpr std::size_t kPrefixLength = 8;

Key keyOf(const Cell* c) {
    Key k;
    if (!c) {
        return k;
    }
    switch (c->kind) {
    case ValueKind::Number:
    case ValueKind::Boolean:
        k.cls = kNumber;
        k.number = c->number;
        break;
    case ValueKind::Text: {
        k.cls = kText;
        k.text = &c->text;
        const Ranks& r = ranks();
        if (r.usable) {
            for (std::size_t i = 0; i < kPrefixLength; ++i) {
                const std::uint64_t b =
                    i < c->text.size() ? r.rank[static_cast<unsigned char>(c->text[i])] : 0;
                k.prefix = (k.prefix << 8) | b;
            }
        }
        break;
    }
    case ValueKind::Error:
    case ValueKind::Empty: break;
    }
    return k;
}

int compareKeys(const Key& a, const Key& b, bool ascending) {
    if (a.cls != b.cls) {
        if (a.cls == kEmpty || b.cls == kEmpty) {
            return a.cls == kEmpty ? 1 : -1; // empty last in either direction
        }
        int d = a.cls < b.cls ? -1 : 1;
        return ascending ? d : -d;
    }
    int d = 0;
    if (a.cls == kNumber) {
        d = a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
    } else if (a.cls == kText) {
        if (a.prefix != b.prefix) {
            d = a.prefix < b.prefix ? -1 : 1;
        } else if (!ranks().usable || a.text->size() > kPrefixLength ||
                   b.text->size() > kPrefixLength) {
            d = cp1251::collate(*a.text, *b.text);
        }
    }
    return ascending ? d : -d;
}

bool containsText(std::string_view hay, std::string_view needle, bool matchCase, bool wholeCell) {
    if (wholeCell) {
        if (hay.size() != needle.size()) {
            return false;
        }
        return matchCase ? hay == needle : cp1251::upper(hay) == cp1251::upper(needle);
    }
    if (matchCase) {
        return hay.find(needle) != std::string_view::npos;
    }
    return cp1251::upper(hay).find(cp1251::upper(needle)) != std::string::npos;
}

} // namespace

void Sheet::sortRows(const CellRange& range, const std::vector<SortKey>& keysIn) {
    CellRange rg = range.clamped();
    if (rg.empty() || keysIn.empty()) {
        return;
    }
    std::vector<SortKey> keys;
    for (const SortKey& k : keysIn) {
        if (k.col >= rg.c1 && k.col <= rg.c2 && keys.size() < 3) {
            keys.push_back(k);
        }
    }
    if (keys.empty()) {
        return;
    }
    book_->recalcIfNeeded();
    const int last = std::min(rg.r2, static_cast<int>(rows_.size()));
    const int n = last - rg.r1 + 1;
    if (n < 2) {
        return;
    }
    const std::size_t nk = keys.size();
    std::vector<Key> table(static_cast<std::size_t>(n) * nk);
    for (int i = 0; i < n; ++i) {
        const Row& row = rows_[static_cast<std::size_t>(rg.r1 - 1 + i)];
        for (std::size_t k = 0; k < nk; ++k) {
            table[static_cast<std::size_t>(i) * nk + k] = keyOf(row.find(keys[k].col));
        }
    }
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (std::size_t k = 0; k < nk; ++k) {
            int d = compareKeys(table[static_cast<std::size_t>(a) * nk + k],
                                table[static_cast<std::size_t>(b) * nk + k], keys[k].ascending);
            if (d != 0) {
                return d < 0;
            }
        }
        return false;
    });
    bool moved = false;
    for (int i = 0; i < n && !moved; ++i) {
        moved = order[static_cast<std::size_t>(i)] != i;
    }
    if (!moved) {
        return;
    }
    // Lift the sorted part of each row out, then put the parts back in the new order.
    std::vector<std::vector<Cell>> parts(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        Row& row = rows_[static_cast<std::size_t>(rg.r1 - 1 + i)];
        auto b = std::lower_bound(row.cells.begin(), row.cells.end(), rg.c1,
                                  [](const Cell& c, int col) { return c.col < col; });
        auto e = std::lower_bound(b, row.cells.end(), rg.c2 + 1,
                                  [](const Cell& c, int col) { return c.col < col; });
        if (b == row.cells.begin() && e == row.cells.end()) {
            parts[static_cast<std::size_t>(i)].swap(row.cells);
        } else {
            parts[static_cast<std::size_t>(i)].assign(std::make_move_iterator(b),
                                                      std::make_move_iterator(e));
            row.cells.erase(b, e);
        }
        for (const Cell& c : parts[static_cast<std::size_t>(i)]) {
            if (c.formula) {
                --row.formulas;
            }
        }
    }
    for (int i = 0; i < n; ++i) {
        const int from = order[static_cast<std::size_t>(i)];
        Row& row = rows_[static_cast<std::size_t>(rg.r1 - 1 + i)];
        std::vector<Cell>& part = parts[static_cast<std::size_t>(from)];
        for (Cell& c : part) {
            if (c.formula) {
                ++row.formulas;
                if (from != i) {
                    FormulaSlot& slot = formulaSlots_[c.formula - 1];
                    slot.source = formula::rebase(slot.source, i - from, 0);
                    slot.compiled = formula::compile(slot.source);
                }
            }
        }
        if (row.cells.empty()) {
            row.cells.swap(part);
        } else {
            auto pos = std::lower_bound(row.cells.begin(), row.cells.end(), rg.c1,
                                        [](const Cell& c, int col) { return c.col < col; });
            row.cells.insert(pos, std::make_move_iterator(part.begin()),
                             std::make_move_iterator(part.end()));
        }
    }
    changed({rg.r1, rg.c1, last, rg.c2});
}

std::optional<CellRef> Sheet::find(std::string_view what, const CellRange& within, CellRef from,
                                   const FindOptions& opt) const {
    CellRange rg = within.clamped();
    if (rg.empty() || what.empty()) {
        return std::nullopt;
    }
    auto matches = [&](int r, int c) {
        const Cell* x = cell(r, c);
        return x && x->hasContent() && containsText(text(r, c), what, opt.matchCase, opt.wholeCell);
    };
    if (!opt.byColumns) {
        const int lastRow = std::min(rg.r2, static_cast<int>(rows_.size()));
        auto scanRow = [&](int r, int cFrom, int cTo) -> std::optional<CellRef> {
            const Row* row = rowAt(r);
            if (!row) {
                return std::nullopt;
            }
            auto it = std::lower_bound(row->cells.begin(), row->cells.end(), cFrom,
                                       [](const Cell& c, int col) { return c.col < col; });
            for (; it != row->cells.end() && it->col <= cTo; ++it) {
                if (matches(r, it->col)) {
                    return CellRef{r, it->col};
                }
            }
            return std::nullopt;
        };
        int r0 = std::clamp(from.row, rg.r1, rg.r2);
        int c0 = std::clamp(from.col, rg.c1, rg.c2);
        if (auto hit = scanRow(r0, c0 + 1, rg.c2)) {
            return hit;
        }
        for (int r = r0 + 1; r <= lastRow; ++r) {
            if (auto hit = scanRow(r, rg.c1, rg.c2)) {
                return hit;
            }
        }
        for (int r = rg.r1; r < r0 && r <= lastRow; ++r) {
            if (auto hit = scanRow(r, rg.c1, rg.c2)) {
                return hit;
            }
        }
        return scanRow(r0, rg.c1, c0);
    }
    const int lastRow = std::min(rg.r2, static_cast<int>(rows_.size()));
    int r0 = std::clamp(from.row, rg.r1, rg.r2);
    int c0 = std::clamp(from.col, rg.c1, rg.c2);
    auto scanCol = [&](int c, int rFrom, int rTo) -> std::optional<CellRef> {
        for (int r = rFrom; r <= std::min(rTo, lastRow); ++r) {
            if (matches(r, c)) {
                return CellRef{r, c};
            }
        }
        return std::nullopt;
    };
    if (auto hit = scanCol(c0, r0 + 1, rg.r2)) {
        return hit;
    }
    for (int c = c0 + 1; c <= rg.c2; ++c) {
        if (auto hit = scanCol(c, rg.r1, rg.r2)) {
            return hit;
        }
    }
    for (int c = rg.c1; c < c0; ++c) {
        if (auto hit = scanCol(c, rg.r1, rg.r2)) {
            return hit;
        }
    }
    return scanCol(c0, rg.r1, r0);
}

void Sheet::fitColWidths(const CellRange& range, const TextMeasurer& m) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    const int unit = std::max(1, m.charWidth(defaultStyle().font));
    const int lastRow = std::min(rg.r2, static_cast<int>(rows_.size()));
    std::vector<int> widest(static_cast<std::size_t>(rg.cols()), 0);
    for (int r = rg.r1; r <= lastRow; ++r) {
        const Row& row = rows_[static_cast<std::size_t>(r - 1)];
        for (const Cell& c : row.cells) {
            if (c.col < rg.c1 || c.col > rg.c2 || !c.hasContent()) {
                continue;
            }
            const CellRange* mg = mergeAt(r, c.col);
            if (mg && mg->cols() > 1) {
                continue;
            }
            int w = m.textWidth(book_->styles().get(c.style).font, text(r, c.col));
            int& slot = widest[static_cast<std::size_t>(c.col - rg.c1)];
            slot = std::max(slot, w);
        }
    }
    for (int c = rg.c1; c <= rg.c2; ++c) {
        int px = widest[static_cast<std::size_t>(c - rg.c1)];
        if (px > 0) {
            // A few pixels of margin, as a cell's text is inset from its borders.
            setColWidth(c, static_cast<int>(std::lround((px + 5) * 256.0 / unit)));
        }
    }
}

void Sheet::fitRowHeights(const CellRange& range, const TextMeasurer& m) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    const int unit = std::max(1, m.charWidth(defaultStyle().font));
    const int lastRow = std::min(rg.r2, static_cast<int>(rows_.size()));
    for (int r = rg.r1; r <= lastRow; ++r) {
        const Row& row = rows_[static_cast<std::size_t>(r - 1)];
        int tallest = 0;
        for (const Cell& c : row.cells) {
            if (c.col < rg.c1 || c.col > rg.c2) {
                continue;
            }
            const CellRange* mg = mergeAt(r, c.col);
            if (mg && mg->rows() > 1) {
                continue;
            }
            const Style& st = book_->styles().get(c.style);
            int lines = 1;
            if (st.wrap && c.hasContent()) {
                int colPx = 0;
                int c2 = mg ? mg->c2 : c.col;
                for (int k = c.col; k <= c2; ++k) {
                    colPx += colWidth(k) * unit / 256;
                }
                colPx = std::max(1, colPx - 4);
                int textPx = m.textWidth(st.font, text(r, c.col));
                lines = std::max(1, (textPx + colPx - 1) / colPx);
            }
            tallest = std::max(tallest, m.lineHeight(st.font) * lines);
        }
        if (tallest == 0) {
            tallest = m.lineHeight(defaultStyle().font);
        }
        setRowHeight(r, tallest * 15); // 15 twips a pixel at 96 dpi
    }
}

} // namespace fc
