#include "components/formula/Functions.h"
#include "components/model/NumberFormat.h"

#include <cmath>
#include <ctime>

namespace fc::formula {

namespace {

Operand boolean(bool b) { return Operand::scalar(Value::fromBool(b)); }

// IF, IFERROR and CHOOSE hand back the branch as it is, so that SUM(IF(c, A1:A3, B1:B3))
// gets a reference.
Operand fnIf(Args& a) {
    bool c = false;
    FC_TRY(a.boolean(0, c));
    if (c) {
        return a.given(1) ? a.operand(1) : Operand::number(0);
    }
    if (a.size() < 3) {
        return boolean(false);
    }
    return a.given(2) ? a.operand(2) : Operand::number(0);
}

template <bool OnlyNA>
Operand fnIfError(Args& a) {
    Operand o = a.operand(0);
    Value v = a.ev().scalar(o);
    if (v.isError() && (!OnlyNA || v.error == ErrorCode::NA)) {
        return a.given(1) ? a.operand(1) : Operand::number(0);
    }
    return o;
}

// AND, OR, XOR: logical values from references (texts skipped) and from direct arguments;
// none at all is #VALUE!.
template <typename F>
ErrorCode eachLogical(Args& a, F&& f) {
    bool any = false;
    for (int i = 0; i < a.size(); ++i) {
        Operand o = a.operand(i);
        if (o.kind == Operand::Ref) {
            ErrorCode err = ErrorCode::None;
            a.ctx().forEach(o.area, [&](int, int, const CellView& v) {
                if (err != ErrorCode::None) {
                    return;
                }
                if (v.kind == ValueKind::Number || v.kind == ValueKind::Boolean) {
                    f(v.number != 0);
                    any = true;
                } else if (v.kind == ValueKind::Error) {
                    err = v.error;
                }
            });
            if (err != ErrorCode::None) {
                return err;
            }
        } else if (o.kind == Operand::Array) {
            for (const Value& v : o.array->cells) {
                if (v.isError()) {
                    return v.error;
                }
                if (v.isNumber() || v.isBool()) {
                    f(v.number != 0);
                    any = true;
                }
            }
        } else if (o.kind == Operand::Scalar) {
            bool b = false;
            ErrorCode e = toBool(o.value, b);
            if (e != ErrorCode::None) {
                return e;
            }
            f(b);
            any = true;
        }
    }
    return any ? ErrorCode::None : ErrorCode::Value;
}

Operand fnAnd(Args& a) {
    bool all = true;
    FC_TRY(eachLogical(a, [&](bool b) { all = all && b; }));
    return boolean(all);
}

Operand fnOr(Args& a) {
    bool some = false;
    FC_TRY(eachLogical(a, [&](bool b) { some = some || b; }));
    return boolean(some);
}

Operand fnXor(Args& a) {
    bool odd = false;
    FC_TRY(eachLogical(a, [&](bool b) { odd = odd != b; }));
    return boolean(odd);
}

Operand fnNot(Args& a) {
    bool b = false;
    FC_TRY(a.boolean(0, b));
    return boolean(!b);
}

Operand fnTrue(Args&) { return boolean(true); }
Operand fnFalse(Args&) { return boolean(false); }
Operand fnNA(Args&) { return Operand::error(ErrorCode::NA); }

Operand fnIsBlank(Args& a) {
    Operand o = a.operand(0);
    if (o.kind == Operand::Ref) {
        return boolean(a.ev().scalar(o).isEmpty());
    }
    return boolean(false);
}

template <typename P>
Operand isValue(Args& a, P p) {
    return boolean(p(a.value(0)));
}

Operand fnIsNumber(Args& a) {
    return isValue(a, [](const Value& v) { return v.isNumber(); });
}
Operand fnIsText(Args& a) {
    return isValue(a, [](const Value& v) { return v.isText(); });
}
Operand fnIsNonText(Args& a) {
    return isValue(a, [](const Value& v) { return !v.isText(); });
}
Operand fnIsLogical(Args& a) {
    return isValue(a, [](const Value& v) { return v.isBool(); });
}
Operand fnIsError(Args& a) {
    return isValue(a, [](const Value& v) { return v.isError(); });
}
Operand fnIsErr(Args& a) {
    return isValue(a, [](const Value& v) { return v.isError() && v.error != ErrorCode::NA; });
}
Operand fnIsNA(Args& a) {
    return isValue(a, [](const Value& v) { return v.isError() && v.error == ErrorCode::NA; });
}

// ---------------------------------------------------------------- dates

// Day numbers the date functions accept: 1 January 1900 to 31 December 9999.
constexpr double kLastSerial = 2958465;

Operand fnDate(Args& a) {
    double y = 0, m = 0, d = 0;
    FC_TRY(a.integer(0, y));
    FC_TRY(a.integer(1, m));
    FC_TRY(a.integer(2, d));
    if (y >= 0 && y < 1900) {
        y += 1900;
    }
    if (y < 0 || y > 9999 || std::fabs(m) > 120000 || std::fabs(d) > 4000000) {
        return Operand::error(ErrorCode::Num);
    }
    // Months beyond 12 or below 1 roll into the neighbouring years, days likewise.
    double months = y * 12 + (m - 1);
    int year = static_cast<int>(std::floor(months / 12));
    int month = static_cast<int>(months - year * 12.0) + 1;
    double serial = dateSerial(year, month, 1) + d - 1;
    if (serial < 0 || serial > kLastSerial) {
        return Operand::error(ErrorCode::Num);
    }
    return Operand::number(serial);
}

template <int Part>
Operand fnDatePart(Args& a) {
    double s = 0;
    FC_TRY(a.number(0, s));
    if (s < 0 || s > kLastSerial) {
        return Operand::error(ErrorCode::Num);
    }
    int y = 0, m = 0, d = 0;
    serialToDate(s, y, m, d);
    return Operand::number(Part == 0 ? y : (Part == 1 ? m : d));
}

Operand fnWeekday(Args& a) {
    double s = 0, type = 1;
    FC_TRY(a.number(0, s));
    FC_TRY(a.integer(1, type, 1));
    if (s < 0 || s > kLastSerial) {
        return Operand::error(ErrorCode::Num);
    }
    // Day 0, 30 December 1899, was a Saturday.
    int sunday0 = static_cast<int>(std::fmod(std::floor(s) + 6, 7)); // 0 Sunday
    switch (type >= 1 && type <= 3 ? static_cast<int>(type) : 0) {
    case 1: return Operand::number(sunday0 + 1);
    case 2: return Operand::number(sunday0 == 0 ? 7 : sunday0);
    case 3: return Operand::number(sunday0 == 0 ? 6 : sunday0 - 1);
    default: return Operand::error(ErrorCode::Num);
    }
}

double now() {
    std::time_t t = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &t);
#else
    localtime_r(&t, &local);
#endif
    return dateSerial(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

Operand fnToday(Args&) { return Operand::number(std::floor(now())); }
Operand fnNow(Args&) { return Operand::number(now()); }

} // namespace

void addLogicFunctions(std::vector<FunctionInfo>& out) {
    out.insert(out.end(), {
                              {"IF", 1, 3, fnIf},
                              {"IFERROR", 2, 2, fnIfError<false>},
                              {"IFNA", 2, 2, fnIfError<true>},
                              {"AND", 1, 255, fnAnd},
                              {"OR", 1, 255, fnOr},
                              {"XOR", 1, 255, fnXor},
                              {"NOT", 1, 1, fnNot},
                              {"TRUE", 0, 0, fnTrue},
                              {"FALSE", 0, 0, fnFalse},
                              {"NA", 0, 0, fnNA},
                              {"ISBLANK", 1, 1, fnIsBlank},
                              {"ISNUMBER", 1, 1, fnIsNumber},
                              {"ISTEXT", 1, 1, fnIsText},
                              {"ISNONTEXT", 1, 1, fnIsNonText},
                              {"ISLOGICAL", 1, 1, fnIsLogical},
                              {"ISERROR", 1, 1, fnIsError},
                              {"ISERR", 1, 1, fnIsErr},
                              {"ISNA", 1, 1, fnIsNA},
                              {"DATE", 3, 3, fnDate},
                              {"YEAR", 1, 1, fnDatePart<0>},
                              {"MONTH", 1, 1, fnDatePart<1>},
                              {"DAY", 1, 1, fnDatePart<2>},
                              {"WEEKDAY", 1, 2, fnWeekday},
                              {"TODAY", 0, 0, fnToday},
                              {"NOW", 0, 0, fnNow},
                          });
}

} // namespace fc::formula
