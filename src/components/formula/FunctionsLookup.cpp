#include "components/formula/Criterion.h"
#include "components/formula/Functions.h"
#include "components/formula/References.h"
#include "components/text/Cp1251.h"

#include <algorithm>

namespace fc::formula {

namespace {

Operand fnIndirect(Args& a) {
    std::string text;
    bool a1 = true;
    FC_TRY(a.text(0, text));
    FC_TRY(a.boolean(1, a1, true));
    Evaluator& ev = a.ev();
    RefText r;
    bool ok = a1 ? parseReference(text, r) : parseReferenceR1C1(text, ev.row(), ev.col(), r);
    if (!ok) {
        return Operand::error(ErrorCode::Ref);
    }
    int sheet = ev.sheet();
    if (r.hasSheet) {
        sheet = a.ctx().sheetIndex(r.sheet);
        if (sheet == 0) {
            return Operand::error(ErrorCode::Ref);
        }
    }
    return Operand::ref({sheet, rangeOf(r)});
}

Operand fnAddress(Args& a) {
    double row = 0, col = 0, abs = 1;
    bool a1 = true;
    FC_TRY(a.integer(0, row));
    FC_TRY(a.integer(1, col));
    FC_TRY(a.integer(2, abs, 1));
    FC_TRY(a.boolean(3, a1, true));
    std::string sheet;
    FC_TRY(a.text(4, sheet));
    if (row < 1 || row > kMaxRows || col < 1 || col > kMaxCols || abs < 1 || abs > 4) {
        return Operand::error(ErrorCode::Value);
    }
    const int kind = static_cast<int>(abs);
    const bool absRow = kind == 1 || kind == 2;
    const bool absCol = kind == 1 || kind == 3;
    std::string out;
    if (!sheet.empty()) {
        out = quoteSheet(sheet) + "!";
    }
    const int r = static_cast<int>(row), c = static_cast<int>(col);
    if (a1) {
        out += formatEnd({r, c, absRow, absCol}, RefText::Cell);
    } else {
        auto part = [](char letter, int v, bool absolute) {
            std::string n = std::to_string(v);
            return std::string(1, letter) + (absolute ? n : "[" + n + "]");
        };
        out += part('R', r, absRow) + part('C', c, absCol);
    }
    return Operand::scalar(Value::fromText(std::move(out)));
}

template <bool Row>
Operand fnRowCol(Args& a) {
    if (!a.given(0)) {
        return Operand::number(Row ? a.ev().row() : a.ev().col());
    }
    Operand o = a.operand(0);
    if (o.isError()) {
        return o;
    }
    if (o.kind != Operand::Ref) {
        return Operand::error(ErrorCode::Value);
    }
    return Operand::number(Row ? o.area.rg.r1 : o.area.rg.c1);
}

template <bool Rows>
Operand fnRowsCols(Args& a) {
    Operand o = a.operand(0);
    if (o.isError()) {
        return o;
    }
    if (o.kind == Operand::Ref) {
        return Operand::number(Rows ? o.area.rg.rows() : o.area.rg.cols());
    }
    if (o.kind == Operand::Array) {
        return Operand::number(Rows ? o.array->rows : o.array->cols);
    }
    return Operand::number(1);
}

bool inSheet(double r1, double c1, double r2, double c2) {
    return r1 >= 1 && c1 >= 1 && r2 <= kMaxRows && c2 <= kMaxCols && r1 <= r2 && c1 <= c2;
}

Operand fnOffset(Args& a) {
    Operand o = a.operand(0);
    if (o.isError()) {
        return o;
    }
    if (o.kind != Operand::Ref) {
        return Operand::error(ErrorCode::Value);
    }
    const CellRange& rg = o.area.rg;
    double dr = 0, dc = 0, h = 0, w = 0;
    FC_TRY(a.integer(1, dr));
    FC_TRY(a.integer(2, dc));
    FC_TRY(a.integer(3, h, rg.rows()));
    FC_TRY(a.integer(4, w, rg.cols()));
    const double r1 = rg.r1 + dr, c1 = rg.c1 + dc;
    if (h < 1 || w < 1 || !inSheet(r1, c1, r1 + h - 1, c1 + w - 1)) {
        return Operand::error(ErrorCode::Ref);
    }
    const int ir = static_cast<int>(r1), ic = static_cast<int>(c1);
    return Operand::ref(
        {o.area.sheet, {ir, ic, ir + static_cast<int>(h) - 1, ic + static_cast<int>(w) - 1}});
}

Operand fnIndex(Args& a) {
    Operand o = a.operand(0);
    if (o.isError()) {
        return o;
    }
    double r = 0, c = 0;
    FC_TRY(a.integer(1, r));
    FC_TRY(a.integer(2, c));
    int rows = 1, cols = 1;
    if (o.kind == Operand::Ref) {
        rows = o.area.rg.rows();
        cols = o.area.rg.cols();
    } else if (o.kind == Operand::Array) {
        rows = o.array->rows;
        cols = o.array->cols;
    }
    // One index into a single row picks a column.
    if (!a.given(2) && rows == 1 && cols > 1) {
        c = r;
        r = 1;
    }
    if (cols == 1 && c == 0) {
        c = 1;
    }
    if (rows == 1 && r == 0) {
        r = 1;
    }
    if (r < 0 || c < 0) {
        return Operand::error(ErrorCode::Value);
    }
    if (r > rows || c > cols) {
        return Operand::error(ErrorCode::Ref);
    }
    const int ir = static_cast<int>(r), ic = static_cast<int>(c);
    if (o.kind == Operand::Ref) {
        const CellRange& rg = o.area.rg;
        CellRange out{ir ? rg.r1 + ir - 1 : rg.r1, ic ? rg.c1 + ic - 1 : rg.c1,
                      ir ? rg.r1 + ir - 1 : rg.r2, ic ? rg.c1 + ic - 1 : rg.c2};
        return Operand::ref({o.area.sheet, out});
    }
    if (ir == 0 || ic == 0) {
        return Operand::error(ErrorCode::Value);
    }
    if (o.kind == Operand::Array) {
        return Operand::scalar(o.array->at(ir - 1, ic - 1));
    }
    return Operand::scalar(a.ev().scalar(o));
}

// A row or column of cells or array elements, read one at a time.
class Line {
public:
    Line(Context& ctx, const Operand& o, bool vertical, int fixed) : ctx_(ctx), o_(o) {
        if (o.kind == Operand::Ref) {
            const CellRange& rg = o.area.rg;
            vertical_ = vertical;
            start_ = vertical ? rg.r1 : rg.c1;
            fixed_ = vertical ? rg.c1 + fixed : rg.r1 + fixed;
            size_ = vertical ? rg.rows() : rg.cols();
            if (vertical) {
                // Rows past the last stored one are empty and match nothing.
                int stored = o.area.sheet >= 1 && o.area.sheet <= ctx.numSheets()
                                 ? ctx.book().sheet(o.area.sheet).storedRows()
                                 : 0;
                size_ = std::clamp(stored - rg.r1 + 1, 0, size_);
            }
        } else if (o.kind == Operand::Array) {
            vertical_ = vertical;
            fixed_ = fixed;
            size_ = vertical ? o.array->rows : o.array->cols;
        } else {
            size_ = 1;
        }
    }
    int size() const { return size_; }
    Value at(int i) {
        if (o_.kind == Operand::Ref) {
            int r = vertical_ ? start_ + i : fixed_;
            int c = vertical_ ? fixed_ : start_ + i;
            return ctx_.cell(o_.area.sheet, r, c).value();
        }
        if (o_.kind == Operand::Array) {
            return vertical_ ? o_.array->at(i, fixed_) : o_.array->at(fixed_, i);
        }
        return o_.value;
    }

private:
    Context& ctx_;
    const Operand& o_;
    bool vertical_ = true;
    int start_ = 0, fixed_ = 0, size_ = 0;
};

int typeClass(const Value& v) {
    switch (v.kind) {
    case ValueKind::Number: return 0;
    case ValueKind::Text: return 1;
    case ValueKind::Boolean: return 2;
    default: return -1;
    }
}

// The 0-based position of `v` in `line`: exact (wildcards in texts), or for `type` 1 the last
// value not above it and for -1 the last value not below it in sorted data; -1 when none.
int lookup(Line& line, const Value& v, int type) {
    const int cls = typeClass(v);
    if (cls < 0) {
        return -1;
    }
    std::string pattern;
    bool wildcard = false;
    if (type == 0 && v.isText()) {
        pattern = cp1251::upper(v.text);
        wildcard = pattern.find_first_of("*?~") != std::string::npos;
    }
    int best = -1;
    for (int i = 0; i < line.size(); ++i) {
        Value x = line.at(i);
        if (typeClass(x) != cls) {
            continue;
        }
        if (type == 0) {
            bool eq = wildcard ? wildcardMatch(pattern, x.text) : compareValues(x, v) == 0;
            if (eq) {
                return i;
            }
            continue;
        }
        int c = compareValues(x, v);
        if (type > 0 ? c <= 0 : c >= 0) {
            best = i;
        } else {
            break;
        }
    }
    return best;
}

Operand fnMatch(Args& a) {
    Value v = a.value(0);
    if (v.isError()) {
        return Operand::scalar(v);
    }
    Operand o = a.operand(1);
    if (o.isError()) {
        return o;
    }
    double type = 1;
    FC_TRY(a.integer(2, type, 1));
    int rows = 1, cols = 1;
    if (o.kind == Operand::Ref) {
        rows = o.area.rg.rows();
        cols = o.area.rg.cols();
    } else if (o.kind == Operand::Array) {
        rows = o.array->rows;
        cols = o.array->cols;
    }
    if (rows > 1 && cols > 1) {
        return Operand::error(ErrorCode::NA);
    }
    Line line(a.ctx(), o, cols == 1, 0);
    int hit = lookup(line, v, type > 0 ? 1 : (type < 0 ? -1 : 0));
    return hit < 0 ? Operand::error(ErrorCode::NA) : Operand::number(hit + 1);
}

template <bool Vertical>
Operand fnLookupTable(Args& a) {
    Value v = a.value(0);
    if (v.isError()) {
        return Operand::scalar(v);
    }
    Operand o = a.operand(1);
    if (o.isError()) {
        return o;
    }
    if (o.kind != Operand::Ref && o.kind != Operand::Array) {
        return Operand::error(ErrorCode::Value);
    }
    double index = 0;
    bool approx = true;
    FC_TRY(a.integer(2, index));
    FC_TRY(a.boolean(3, approx, true));
    const int width = o.kind == Operand::Ref ? (Vertical ? o.area.rg.cols() : o.area.rg.rows())
                                             : (Vertical ? o.array->cols : o.array->rows);
    if (index < 1) {
        return Operand::error(ErrorCode::Value);
    }
    if (index > width) {
        return Operand::error(ErrorCode::Ref);
    }
    Line keys(a.ctx(), o, Vertical, 0);
    int hit = lookup(keys, v, approx ? 1 : 0);
    if (hit < 0) {
        return Operand::error(ErrorCode::NA);
    }
    Line values(a.ctx(), o, Vertical, static_cast<int>(index) - 1);
    return Operand::scalar(values.at(hit));
}

Operand fnChoose(Args& a) {
    double i = 0;
    FC_TRY(a.integer(0, i));
    if (i < 1 || i >= a.size()) {
        return Operand::error(ErrorCode::Value);
    }
    return a.given(static_cast<int>(i)) ? a.operand(static_cast<int>(i)) : Operand::number(0);
}

} // namespace

void addLookupFunctions(std::vector<FunctionInfo>& out) {
    out.insert(out.end(), {
                              {"INDIRECT", 1, 2, fnIndirect},
                              {"ADDRESS", 2, 5, fnAddress},
                              {"ROW", 0, 1, fnRowCol<true>},
                              {"COLUMN", 0, 1, fnRowCol<false>},
                              {"ROWS", 1, 1, fnRowsCols<true>},
                              {"COLUMNS", 1, 1, fnRowsCols<false>},
                              {"OFFSET", 3, 5, fnOffset},
                              {"INDEX", 2, 3, fnIndex},
                              {"MATCH", 2, 3, fnMatch},
                              {"VLOOKUP", 3, 4, fnLookupTable<true>},
                              {"HLOOKUP", 3, 4, fnLookupTable<false>},
                              {"CHOOSE", 2, 255, fnChoose},
                          });
}

} // namespace fc::formula
