// Moving references in formula text: copies (rebase) and inserted or deleted rows and
// columns (adjust). Only reference tokens change; every other byte stays as typed.
#include "components/formula/Formula.h"

#include "components/formula/Lexer.h"
#include "components/text/Cp1251.h"

#include <algorithm>

namespace fc::formula {

namespace {

bool sameEnd(const RefEnd& x, const RefEnd& y) {
    return x.row == y.row && x.col == y.col && x.absRow == y.absRow && x.absCol == y.absCol;
}

// The reference with new ends; an end that did not change keeps its spelling.
std::string respell(const RefText& r, std::string_view text, const RefEnd& a, const RefEnd& b) {
    std::string s(text.substr(0, r.aBegin));
    s += sameEnd(a, r.a) ? std::string(text.substr(r.aBegin, r.aEnd - r.aBegin))
                         : formatEnd(a, r.kind);
    if (r.kind != RefText::Cell) {
        s += text.substr(r.aEnd, r.bBegin - r.aEnd);
        s += sameEnd(b, r.b) ? std::string(text.substr(r.bBegin, r.bEnd - r.bBegin))
                             : formatEnd(b, r.kind);
    }
    return s;
}

// A reference that points nowhere any more keeps its sheet prefix, as spreadsheets write it.
std::string lost(const RefText& r, std::string_view text) {
    return std::string(text.substr(0, r.aBegin)) + "#REF!";
}

// Runs `edit(ref, refText, replacement)` on every reference; it returns false to keep one.
template <typename F>
std::string rewrite(std::string_view source, F&& edit) {
    Lexer lex(source);
    std::string out;
    std::size_t copied = 0;
    bool changed = false;
    for (Token t = lex.next(); t.kind != Token::End; t = lex.next()) {
        if (t.kind != Token::Ref) {
            continue;
        }
        std::string repl;
        if (!edit(t.ref, source.substr(t.begin, t.ref.length), repl)) {
            continue;
        }
        out.append(source.substr(copied, t.begin - copied));
        out += repl;
        copied = t.begin + t.ref.length;
        changed = true;
    }
    if (!changed) {
        return std::string(source);
    }
    out.append(source.substr(copied));
    return out;
}

} // namespace

std::string rebase(std::string_view source, int dRow, int dCol) {
    if (dRow == 0 && dCol == 0) {
        return std::string(source);
    }
    return rewrite(source, [&](const RefText& r, std::string_view text, std::string& out) {
        RefEnd a = r.a, b = r.b;
        bool inside = true;
        auto move = [&](RefEnd& e) {
            if (r.kind != RefText::Cols && !e.absRow) {
                long long v = static_cast<long long>(e.row) + dRow;
                inside = inside && v >= 1 && v <= kMaxRows;
                e.row = inside ? static_cast<int>(v) : e.row;
            }
            if (r.kind != RefText::Rows && !e.absCol) {
                long long v = static_cast<long long>(e.col) + dCol;
                inside = inside && v >= 1 && v <= kMaxCols;
                e.col = inside ? static_cast<int>(v) : e.col;
            }
        };
        move(a);
        if (r.kind == RefText::Cell) {
            b = a;
        } else {
            move(b);
        }
        if (!inside) {
            out = lost(r, text);
            return true;
        }
        if (sameEnd(a, r.a) && sameEnd(b, r.b)) {
            return false;
        }
        out = respell(r, text, a, b);
        return true;
    });
}

std::string adjust(std::string_view source, const StructureChange& change, bool sameSheet) {
    using K = StructureChange::Kind;
    const bool rows = change.kind == K::InsertRows || change.kind == K::DeleteRows;
    const bool insert = change.kind == K::InsertRows || change.kind == K::InsertCols;
    const int limit = rows ? kMaxRows : kMaxCols;
    const int across = rows ? kMaxCols : kMaxRows;
    const int at = change.at;
    const int count = std::min(change.count, limit);
    if (count <= 0 || at < 1 || at > limit) {
        return std::string(source);
    }
    const int first = std::max(1, change.first);
    const int last = std::min(across, change.last);
    return rewrite(source, [&](const RefText& r, std::string_view text, std::string& out) {
        const bool ours =
            r.hasSheet ? !change.sheet.empty() && cp1251::collate(r.sheet, change.sheet, false) == 0
                       : sameSheet;
        // Whole columns do not notice rows, whole rows do not notice columns.
        if (!ours || (rows && r.kind == RefText::Cols) || (!rows && r.kind == RefText::Rows)) {
            return false;
        }
        auto along = [&](const RefEnd& e) { return rows ? e.row : e.col; };
        auto acrossOf = [&](const RefEnd& e) { return rows ? e.col : e.row; };
        const bool whole = r.kind == RefText::Rows || r.kind == RefText::Cols;
        const int lo0 = std::min(along(r.a), along(r.b));
        const int hi0 = std::max(along(r.a), along(r.b));
        const int clo = whole ? 1 : std::min(acrossOf(r.a), acrossOf(r.b));
        const int chi = whole ? across : std::max(acrossOf(r.a), acrossOf(r.b));
        // A shift of part of the rows or columns moves only what lies wholly inside it.
        if (clo < first || chi > last) {
            return false;
        }
        long long lo = lo0, hi = hi0;
        if (insert) {
            if (lo >= at) {
                lo += count;
                hi += count;
            } else if (hi >= at) {
                hi += count;
            }
            if (lo > limit) {
                out = lost(r, text);
                return true;
            }
            hi = std::min<long long>(hi, limit);
        } else {
            const long long end =
                std::min<long long>(static_cast<long long>(at) + count - 1, limit);
            if (lo >= at && hi <= end) {
                out = lost(r, text);
                return true;
            }
            lo = lo < at ? lo : (lo <= end ? at : lo - count);
            hi = hi < at ? hi : (hi <= end ? at - 1 : hi - count);
        }
        if (lo == lo0 && hi == hi0) {
            return false;
        }
        RefEnd a = r.a, b = r.b;
        const bool aLow = along(r.a) <= along(r.b);
        int& av = rows ? a.row : a.col;
        int& bv = rows ? b.row : b.col;
        av = static_cast<int>(aLow ? lo : hi);
        bv = static_cast<int>(aLow ? hi : lo);
        out = respell(r, text, a, b);
        return true;
    });
}

} // namespace fc::formula
