#include "components/formula/Criterion.h"
#include "components/formula/Functions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace fc::formula {

namespace {

// The numbers of an argument, as SUM reads them: in references and arrays only numbers
// count (the first error stops everything); a value given directly may also be TRUE or a
// numeric text. An argument left out counts as 0.
template <typename F>
ErrorCode eachNumberOf(Context& ctx, const Operand& o, F&& f) {
    switch (o.kind) {
    case Operand::Ref: {
        ErrorCode err = ErrorCode::None;
        ctx.forEach(o.area, [&](int, int, const CellView& v) {
            if (err != ErrorCode::None) {
                return;
            }
            if (v.kind == ValueKind::Number) {
                f(v.number);
            } else if (v.kind == ValueKind::Error) {
                err = v.error;
            }
        });
        return err;
    }
    case Operand::Array:
        for (const Value& v : o.array->cells) {
            if (v.isNumber()) {
                f(v.number);
            } else if (v.isError()) {
                return v.error;
            }
        }
        return ErrorCode::None;
    case Operand::Missing: f(0.0); return ErrorCode::None;
    case Operand::Scalar: {
        double d = 0;
        ErrorCode e = toNumber(o.value, d);
        if (e == ErrorCode::None) {
            f(d);
        }
        return e;
    }
    }
    return ErrorCode::None;
}

template <typename F>
ErrorCode eachNumber(Args& a, F&& f) {
    for (int i = 0; i < a.size(); ++i) {
        ErrorCode e = eachNumberOf(a.ctx(), a.operand(i), f);
        if (e != ErrorCode::None) {
            return e;
        }
    }
    return ErrorCode::None;
}

// SUM and AVERAGE read references through the context's fast walk.
ErrorCode sumAndCount(Args& a, double& s, double& n) {
    for (int i = 0; i < a.size(); ++i) {
        Operand o = a.operand(i);
        ErrorCode e = ErrorCode::None;
        if (o.kind == Operand::Ref) {
            e = a.ctx().addNumbers(o.area, s, n);
        } else {
            e = eachNumberOf(a.ctx(), o, [&](double d) {
                s += d;
                n += 1;
            });
        }
        if (e != ErrorCode::None) {
            return e;
        }
    }
    return ErrorCode::None;
}

Operand fnSum(Args& a) {
    double s = 0, n = 0;
    FC_TRY(sumAndCount(a, s, n));
    return Operand::scalar(numberResult(s));
}

Operand fnProduct(Args& a) {
    double p = 1;
    bool any = false;
    FC_TRY(eachNumber(a, [&](double d) {
        p *= d;
        any = true;
    }));
    return Operand::scalar(numberResult(any ? p : 0));
}

Operand fnAverage(Args& a) {
    double s = 0, n = 0;
    FC_TRY(sumAndCount(a, s, n));
    if (n == 0) {
        return Operand::error(ErrorCode::Div0);
    }
    return Operand::scalar(numberResult(s / n));
}

template <bool Max>
Operand fnMinMax(Args& a) {
    double m = 0;
    bool any = false;
    FC_TRY(eachNumber(a, [&](double d) {
        if (!any || (Max ? d > m : d < m)) {
            m = d;
        }
        any = true;
    }));
    return Operand::number(m);
}

Operand fnCount(Args& a) {
    double n = 0;
    for (int i = 0; i < a.size(); ++i) {
        Operand o = a.operand(i);
        if (o.kind == Operand::Ref) {
            a.ctx().forEach(o.area, [&](int, int, const CellView& v) {
                n += v.kind == ValueKind::Number ? 1 : 0;
            });
        } else if (o.kind == Operand::Array) {
            for (const Value& v : o.array->cells) {
                n += v.isNumber() ? 1 : 0;
            }
        } else if (o.kind == Operand::Missing) {
            n += 1;
        } else {
            double d = 0;
            n += !o.value.isEmpty() && toNumber(o.value, d) == ErrorCode::None ? 1 : 0;
        }
    }
    return Operand::number(n);
}

Operand fnCountA(Args& a) {
    double n = 0;
    for (int i = 0; i < a.size(); ++i) {
        Operand o = a.operand(i);
        if (o.kind == Operand::Ref) {
            a.ctx().forEach(o.area, [&](int, int, const CellView& v) {
                n += v.kind != ValueKind::Empty ? 1 : 0;
            });
        } else if (o.kind == Operand::Array) {
            for (const Value& v : o.array->cells) {
                n += v.isEmpty() ? 0 : 1;
            }
        } else if (o.kind == Operand::Scalar) {
            n += 1;
        }
    }
    return Operand::number(n);
}

Operand fnCountBlank(Args& a) {
    Operand o = a.operand(0);
    if (o.isError()) {
        return o;
    }
    if (o.kind != Operand::Ref) {
        return Operand::error(ErrorCode::Value);
    }
    double filled = 0;
    a.ctx().forEach(o.area, [&](int, int, const CellView& v) {
        bool blank = v.kind == ValueKind::Empty ||
                     (v.kind == ValueKind::Text && (!v.text || v.text->empty()));
        filled += blank ? 0 : 1;
    });
    const CellRange& rg = o.area.rg;
    return Operand::number(double(rg.rows()) * double(rg.cols()) - filled);
}

// ---------------------------------------------------------------- conditional sums

// The area of the same size as `shape` starting where `start` starts, cut at the sheet's
// edge: SUMIF's sum range takes its size from the condition range.
Area sameShape(const Area& start, const Area& shape) {
    Area a = start;
    a.rg.r2 = std::min(kMaxRows, a.rg.r1 + shape.rg.rows() - 1);
    a.rg.c2 = std::min(kMaxCols, a.rg.c1 + shape.rg.cols() - 1);
    return a;
}

int storedRows(Context& ctx, int sheet) {
    if (sheet < 1 || sheet > ctx.numSheets()) {
        return 0;
    }
    return ctx.book().sheet(sheet).storedRows();
}

// Calls f(dr, dc) for each offset into the condition areas (all of the first one's size) at
// which every condition holds, row by row. `extra` areas are read by f and bound, with the
// condition areas, the rows worth visiting. Returns the number of offsets below every stored
// row that match because every condition accepts an empty cell (f is not called for them).
template <typename F>
double eachMatch(Context& ctx, const std::vector<Area>& areas, const std::vector<Criterion>& crits,
                 const std::vector<Area>& extra, F&& f) {
    const Area& lead = areas[0];
    auto rest = [&](int dr, int dc) {
        for (std::size_t k = 1; k < areas.size(); ++k) {
            const Area& x = areas[k];
            if (!crits[k].matches(ctx.cell(x.sheet, x.rg.r1 + dr, x.rg.c1 + dc))) {
                return false;
            }
        }
        return true;
    };
    if (!crits[0].matchesEmpty()) {
        ctx.forEach(lead, [&](int r, int c, const CellView& v) {
            const int dr = r - lead.rg.r1, dc = c - lead.rg.c1;
            if (crits[0].matches(v) && rest(dr, dc)) {
                f(dr, dc);
            }
        });
        return 0;
    }
    // Empty cells match: every offset counts up to the last row that holds anything.
    int bound = 0;
    bool allEmptyMatch = true;
    for (std::size_t k = 0; k < areas.size(); ++k) {
        bound = std::max(bound, storedRows(ctx, areas[k].sheet) - areas[k].rg.r1 + 1);
        allEmptyMatch = allEmptyMatch && crits[k].matchesEmpty();
    }
    for (const Area& x : extra) {
        bound = std::max(bound, storedRows(ctx, x.sheet) - x.rg.r1 + 1);
    }
    const int rows = lead.rg.rows(), cols = lead.rg.cols();
    bound = std::clamp(bound, 0, rows);
    for (int dr = 0; dr < bound; ++dr) {
        for (int dc = 0; dc < cols; ++dc) {
            if (crits[0].matches(ctx.cell(lead.sheet, lead.rg.r1 + dr, lead.rg.c1 + dc)) &&
                rest(dr, dc)) {
                f(dr, dc);
            }
        }
    }
    return allEmptyMatch ? double(rows - bound) * double(cols) : 0;
}

// Reads `pairs` (range, condition) pairs from argument `from` on.
ErrorCode conditions(Args& a, int from, int pairs, std::vector<Area>& areas,
                     std::vector<Criterion>& crits) {
    for (int i = from; i < from + 2 * pairs; i += 2) {
        Operand r = a.operand(i);
        if (r.isError()) {
            return r.value.error;
        }
        if (r.kind != Operand::Ref) {
            return ErrorCode::Value;
        }
        Value c = a.value(i + 1);
        if (c.isError()) {
            return c.error;
        }
        if (!areas.empty() &&
            (r.area.rg.rows() != areas[0].rg.rows() || r.area.rg.cols() != areas[0].rg.cols())) {
            return ErrorCode::Value;
        }
        areas.push_back(r.area);
        crits.emplace_back(c);
    }
    return ErrorCode::None;
}

// SUMIF, AVERAGEIF and SUMIFS: the numbers of `sum` at the matching offsets. Only the cells
// that match are read, so the sum range may pass over the formula's own cell.
Operand conditionalSum(Args& a, const std::vector<Area>& areas, const std::vector<Criterion>& crits,
                       const Area& sum, bool average) {
    double s = 0, n = 0;
    ErrorCode err = ErrorCode::None;
    eachMatch(a.ctx(), areas, crits, {sum}, [&](int dr, int dc) {
        if (err != ErrorCode::None) {
            return;
        }
        const int r = sum.rg.r1 + dr, c = sum.rg.c1 + dc;
        if (r > kMaxRows || c > kMaxCols) {
            return;
        }
        CellView v = a.ctx().cell(sum.sheet, r, c);
        if (v.kind == ValueKind::Number) {
            s += v.number;
            n += 1;
        } else if (v.kind == ValueKind::Error) {
            err = v.error;
        }
    });
    if (err != ErrorCode::None) {
        return Operand::error(err);
    }
    if (average) {
        return n == 0 ? Operand::error(ErrorCode::Div0) : Operand::scalar(numberResult(s / n));
    }
    return Operand::scalar(numberResult(s));
}

Operand sumIf(Args& a, bool average) {
    std::vector<Area> areas;
    std::vector<Criterion> crits;
    FC_TRY(conditions(a, 0, 1, areas, crits));
    Area sum = areas[0];
    if (a.given(2)) {
        Operand s = a.operand(2);
        if (s.isError()) {
            return s;
        }
        if (s.kind != Operand::Ref) {
            return Operand::error(ErrorCode::Value);
        }
        sum = sameShape(s.area, areas[0]);
    }
    return conditionalSum(a, areas, crits, sum, average);
}

Operand fnSumIf(Args& a) { return sumIf(a, false); }
Operand fnAverageIf(Args& a) { return sumIf(a, true); }

Operand fnSumIfs(Args& a) {
    if (a.size() % 2 == 0) {
        return Operand::error(ErrorCode::Value);
    }
    Operand s = a.operand(0);
    if (s.isError()) {
        return s;
    }
    if (s.kind != Operand::Ref) {
        return Operand::error(ErrorCode::Value);
    }
    std::vector<Area> areas;
    std::vector<Criterion> crits;
    FC_TRY(conditions(a, 1, (a.size() - 1) / 2, areas, crits));
    if (s.area.rg.rows() != areas[0].rg.rows() || s.area.rg.cols() != areas[0].rg.cols()) {
        return Operand::error(ErrorCode::Value);
    }
    return conditionalSum(a, areas, crits, s.area, false);
}

Operand countIfs(Args& a) {
    if (a.size() % 2 != 0) {
        return Operand::error(ErrorCode::Value);
    }
    std::vector<Area> areas;
    std::vector<Criterion> crits;
    FC_TRY(conditions(a, 0, a.size() / 2, areas, crits));
    double n = 0;
    n += eachMatch(a.ctx(), areas, crits, {}, [&](int, int) { n += 1; });
    return Operand::number(n);
}

Operand fnSumProduct(Args& a) {
    std::vector<std::shared_ptr<const ArrayValue>> arrays;
    for (int i = 0; i < a.size(); ++i) {
        Operand o = a.arrayOperand(i);
        if (o.isError()) {
            return o;
        }
        ErrorCode err = ErrorCode::None;
        auto m = a.ev().toArray(o, err);
        if (!m) {
            return Operand::error(err);
        }
        if (!arrays.empty() && (m->rows != arrays[0]->rows || m->cols != arrays[0]->cols)) {
            return Operand::error(ErrorCode::Value);
        }
        arrays.push_back(std::move(m));
    }
    double s = 0;
    const std::size_t n = arrays[0]->cells.size();
    for (std::size_t i = 0; i < n; ++i) {
        double p = 1;
        for (const auto& m : arrays) {
            const Value& v = m->cells[i];
            if (v.isError()) {
                return Operand::error(v.error);
            }
            p *= v.isNumber() ? v.number : 0;
        }
        s += p;
    }
    return Operand::scalar(numberResult(s));
}

// ---------------------------------------------------------------- rounding

enum class Rounding { HalfAway, Up, Down };

// Rounds on the number's 15 significant decimal digits, as it reads, so that 2.675 rounds to
// 2.68 although its binary value lies a little below.
double roundDecimal(double x, double digitsArg, Rounding mode) {
    if (x == 0 || !std::isfinite(x)) {
        return x;
    }
    const int digits = static_cast<int>(std::clamp(digitsArg, -400.0, 400.0));
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(x));
    std::string mantissa;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p) {
        if (*p >= '0' && *p <= '9') {
            mantissa += *p;
        }
    }
    const int exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    const int keep = exponent + 1 + digits; // digits that stay
    if (keep >= static_cast<int>(mantissa.size())) {
        return x;
    }
    std::string kept = keep > 0 ? mantissa.substr(0, static_cast<std::size_t>(keep)) : "";
    const std::string dropped =
        keep > 0 ? mantissa.substr(static_cast<std::size_t>(keep)) : mantissa;
    bool up = false;
    switch (mode) {
    case Rounding::HalfAway: up = keep >= 0 && dropped[0] >= '5'; break;
    case Rounding::Up: up = dropped.find_first_not_of('0') != std::string::npos; break;
    case Rounding::Down: break;
    }
    if (kept.empty()) {
        kept = "0";
    }
    if (up) {
        int i = static_cast<int>(kept.size()) - 1;
        while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') {
            kept[static_cast<std::size_t>(i--)] = '0';
        }
        if (i < 0) {
            kept.insert(kept.begin(), '1');
        } else {
            ++kept[static_cast<std::size_t>(i)];
        }
    }
    double r = std::strtod((kept + "e" + std::to_string(-digits)).c_str(), nullptr);
    return x < 0 ? -r : r;
}

template <Rounding Mode>
Operand fnRound(Args& a) {
    double x = 0, n = 0;
    FC_TRY(a.number(0, x));
    FC_TRY(a.integer(1, n));
    return Operand::scalar(numberResult(roundDecimal(x, n, Mode)));
}

Operand fnInt(Args& a) {
    double x = 0;
    FC_TRY(a.number(0, x));
    return Operand::scalar(numberResult(std::floor(x)));
}

Operand fnMod(Args& a) {
    double n = 0, d = 0;
    FC_TRY(a.number(0, n));
    FC_TRY(a.number(1, d));
    if (d == 0) {
        return Operand::error(ErrorCode::Div0);
    }
    double r = n - d * std::floor(n / d);
    if (nearlyEqual(r, d)) {
        r = 0;
    }
    return Operand::scalar(numberResult(r));
}

// A quotient that misses a whole number only by rounding noise counts as that number.
double snapped(double q) {
    double r = std::round(q);
    return nearlyEqual(q, r) ? r : q;
}

template <bool Ceiling>
Operand fnCeilFloor(Args& a) {
    double x = 0, s = 0;
    FC_TRY(a.number(0, x));
    FC_TRY(a.number(1, s));
    if (s == 0) {
        return Ceiling ? Operand::number(0) : Operand::error(ErrorCode::Div0);
    }
    if (x > 0 && s < 0) {
        return Operand::error(ErrorCode::Num);
    }
    double q = snapped(x / s);
    return Operand::scalar(numberResult((Ceiling ? std::ceil(q) : std::floor(q)) * s));
}

using Unary = double (*)(double);

template <Unary F, bool Positive, bool NonNegative>
Operand fnMath(Args& a) {
    double x = 0;
    FC_TRY(a.number(0, x));
    if ((Positive && x <= 0) || (NonNegative && x < 0)) {
        return Operand::error(ErrorCode::Num);
    }
    return Operand::scalar(numberResult(F(x)));
}

double absOf(double x) { return std::fabs(x); }
double signOf(double x) { return x > 0 ? 1 : (x < 0 ? -1 : 0); }
double sqrtOf(double x) { return std::sqrt(x); }
double expOf(double x) { return std::exp(x); }
double lnOf(double x) { return std::log(x); }
double log10Of(double x) { return std::log10(x); }

Operand fnLog(Args& a) {
    double x = 0, b = 10;
    FC_TRY(a.number(0, x));
    FC_TRY(a.number(1, b, 10));
    if (x <= 0 || b <= 0) {
        return Operand::error(ErrorCode::Num);
    }
    if (b == 1) {
        return Operand::error(ErrorCode::Div0);
    }
    return Operand::scalar(numberResult(std::log(x) / std::log(b)));
}

Operand fnPower(Args& a) {
    Value x = a.value(0);
    Value y = a.value(1);
    return Operand::scalar(applyBinary(Op::Pow, x, y));
}

Operand fnTrunc(Args& a) {
    double x = 0, n = 0;
    FC_TRY(a.number(0, x));
    FC_TRY(a.integer(1, n));
    return Operand::scalar(numberResult(roundDecimal(x, n, Rounding::Down)));
}

Operand fnPi(Args&) { return Operand::number(3.14159265358979323846); }

} // namespace

void addMathFunctions(std::vector<FunctionInfo>& out) {
    constexpr int any = 255;
    out.insert(out.end(), {
                              {"SUM", 1, any, fnSum},
                              {"PRODUCT", 1, any, fnProduct},
                              {"AVERAGE", 1, any, fnAverage},
                              {"MIN", 1, any, fnMinMax<false>},
                              {"MAX", 1, any, fnMinMax<true>},
                              {"COUNT", 1, any, fnCount},
                              {"COUNTA", 1, any, fnCountA},
                              {"COUNTBLANK", 1, 1, fnCountBlank},
                              {"SUMIF", 2, 3, fnSumIf},
                              {"AVERAGEIF", 2, 3, fnAverageIf},
                              {"COUNTIF", 2, 2, countIfs},
                              {"SUMIFS", 3, any, fnSumIfs},
                              {"COUNTIFS", 2, any, countIfs},
                              {"SUMPRODUCT", 1, any, fnSumProduct},
                              {"ROUND", 2, 2, fnRound<Rounding::HalfAway>},
                              {"ROUNDUP", 2, 2, fnRound<Rounding::Up>},
                              {"ROUNDDOWN", 2, 2, fnRound<Rounding::Down>},
                              {"TRUNC", 1, 2, fnTrunc},
                              {"INT", 1, 1, fnInt},
                              {"MOD", 2, 2, fnMod},
                              {"CEILING", 2, 2, fnCeilFloor<true>},
                              {"FLOOR", 2, 2, fnCeilFloor<false>},
                              {"ABS", 1, 1, fnMath<absOf, false, false>},
                              {"SIGN", 1, 1, fnMath<signOf, false, false>},
                              {"SQRT", 1, 1, fnMath<sqrtOf, false, true>},
                              {"EXP", 1, 1, fnMath<expOf, false, false>},
                              {"LN", 1, 1, fnMath<lnOf, true, false>},
                              {"LOG10", 1, 1, fnMath<log10Of, true, false>},
                              {"LOG", 1, 2, fnLog},
                              {"POWER", 2, 2, fnPower},
                              {"PI", 0, 0, fnPi},
                          });
}

} // namespace fc::formula
