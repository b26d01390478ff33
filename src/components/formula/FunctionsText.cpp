#include "components/formula/Criterion.h"
#include "components/formula/Functions.h"
#include "components/model/NumberFormat.h"
#include "components/text/Cp1251.h"

#include <string>

namespace fc::formula {

namespace {

Operand textResult(std::string s) {
    if (s.size() > kMaxText) {
        return Operand::error(ErrorCode::Value);
    }
    return Operand::scalar(Value::fromText(std::move(s)));
}

// A count of characters: truncated, never negative.
ErrorCode count(Args& a, int i, std::size_t& out, double fallback) {
    double n = 0;
    ErrorCode e = a.integer(i, n, fallback);
    if (e != ErrorCode::None) {
        return e;
    }
    if (n < 0) {
        return ErrorCode::Value;
    }
    out = n > double(kMaxText) * 2 ? kMaxText * 2 : static_cast<std::size_t>(n);
    return ErrorCode::None;
}

// A 1-based position: at least 1.
ErrorCode position(Args& a, int i, std::size_t& out, double fallback) {
    double n = 0;
    ErrorCode e = a.integer(i, n, fallback);
    if (e != ErrorCode::None) {
        return e;
    }
    if (n < 1) {
        return ErrorCode::Value;
    }
    out = n > double(kMaxText) * 2 ? kMaxText * 2 : static_cast<std::size_t>(n);
    return ErrorCode::None;
}

Operand fnConcatenate(Args& a) {
    std::string s;
    for (int i = 0; i < a.size(); ++i) {
        std::string t;
        FC_TRY(a.text(i, t));
        s += t;
        if (s.size() > kMaxText) {
            return Operand::error(ErrorCode::Value);
        }
    }
    return textResult(std::move(s));
}

Operand fnLeft(Args& a) {
    std::string t;
    std::size_t n = 0;
    FC_TRY(a.text(0, t));
    FC_TRY(count(a, 1, n, 1));
    return textResult(t.substr(0, n));
}

Operand fnRight(Args& a) {
    std::string t;
    std::size_t n = 0;
    FC_TRY(a.text(0, t));
    FC_TRY(count(a, 1, n, 1));
    return textResult(n >= t.size() ? t : t.substr(t.size() - n));
}

Operand fnMid(Args& a) {
    std::string t;
    std::size_t start = 0, n = 0;
    FC_TRY(a.text(0, t));
    FC_TRY(position(a, 1, start, 1));
    FC_TRY(count(a, 2, n, 0));
    if (start > t.size()) {
        return textResult({});
    }
    return textResult(t.substr(start - 1, n));
}

Operand fnLen(Args& a) {
    std::string t;
    FC_TRY(a.text(0, t));
    return Operand::number(double(t.size()));
}

Operand fnTrim(Args& a) {
    std::string t;
    FC_TRY(a.text(0, t));
    // Leading and trailing blanks go, runs of blanks inside shrink to one.
    std::string out;
    bool pending = false;
    for (char ch : t) {
        if (ch == ' ') {
            pending = !out.empty();
            continue;
        }
        if (pending) {
            out += ' ';
            pending = false;
        }
        out += ch;
    }
    return textResult(std::move(out));
}

template <bool Upper>
Operand fnCase(Args& a) {
    std::string t;
    FC_TRY(a.text(0, t));
    return textResult(Upper ? cp1251::upper(t) : cp1251::lower(t));
}

bool isLetter(unsigned char b) { return cp1251::upper(b) != cp1251::lower(b); }

Operand fnProper(Args& a) {
    std::string t;
    FC_TRY(a.text(0, t));
    bool afterLetter = false;
    for (char& ch : t) {
        unsigned char b = static_cast<unsigned char>(ch);
        ch = static_cast<char>(afterLetter ? cp1251::lower(b) : cp1251::upper(b));
        afterLetter = isLetter(b);
    }
    return textResult(std::move(t));
}

Operand fnValue(Args& a) {
    Value v = a.value(0);
    switch (v.kind) {
    case ValueKind::Error: return Operand::scalar(v);
    case ValueKind::Number: return Operand::scalar(v);
    case ValueKind::Empty: return Operand::number(0);
    case ValueKind::Text: {
        double d = 0;
        if (textToNumber(v.text, d)) {
            return Operand::number(d);
        }
        return Operand::error(ErrorCode::Value);
    }
    case ValueKind::Boolean: break;
    }
    return Operand::error(ErrorCode::Value);
}

Operand fnText(Args& a) {
    Value v = a.value(0);
    std::string fmt;
    FC_TRY(a.text(1, fmt));
    if (v.isError()) {
        return Operand::scalar(v);
    }
    double d = 0;
    if (v.isText() && textToNumber(v.text, d)) {
        v = Value::fromNumber(d);
    }
    if (v.isText()) {
        return textResult(v.text);
    }
    if (v.isEmpty()) {
        v = Value::fromNumber(0);
    }
    return textResult(formatValue(v, fmt).text);
}

Operand fnRept(Args& a) {
    std::string t;
    std::size_t n = 0;
    FC_TRY(a.text(0, t));
    FC_TRY(count(a, 1, n, 0));
    if (!t.empty() && n > kMaxText / t.size()) {
        return Operand::error(ErrorCode::Value);
    }
    std::string out;
    out.reserve(t.size() * n);
    for (std::size_t i = 0; i < n; ++i) {
        out += t;
    }
    return textResult(std::move(out));
}

Operand fnSubstitute(Args& a) {
    std::string t, from, to;
    FC_TRY(a.text(0, t));
    FC_TRY(a.text(1, from));
    FC_TRY(a.text(2, to));
    std::size_t instance = 0;
    if (a.given(3)) {
        FC_TRY(position(a, 3, instance, 1));
    }
    if (from.empty()) {
        return textResult(std::move(t));
    }
    std::string out;
    std::size_t pos = 0, seen = 0;
    for (;;) {
        std::size_t hit = t.find(from, pos);
        if (hit == std::string::npos) {
            break;
        }
        ++seen;
        out.append(t, pos, hit - pos);
        out += instance == 0 || seen == instance ? to : from;
        pos = hit + from.size();
        if (out.size() > kMaxText) {
            return Operand::error(ErrorCode::Value);
        }
    }
    out.append(t, pos, std::string::npos);
    return textResult(std::move(out));
}

Operand fnReplace(Args& a) {
    std::string t, with;
    std::size_t start = 0, n = 0;
    FC_TRY(a.text(0, t));
    FC_TRY(position(a, 1, start, 1));
    FC_TRY(count(a, 2, n, 0));
    FC_TRY(a.text(3, with));
    std::size_t from = std::min(start - 1, t.size());
    t.replace(from, std::min(n, t.size() - from), with);
    return textResult(std::move(t));
}

template <bool IgnoreCase>
Operand fnFind(Args& a) {
    std::string what, within;
    std::size_t start = 0;
    FC_TRY(a.text(0, what));
    FC_TRY(a.text(1, within));
    FC_TRY(position(a, 2, start, 1));
    if (start > within.size() + 1) {
        return Operand::error(ErrorCode::Value);
    }
    if (!IgnoreCase) {
        std::size_t hit = within.find(what, start - 1);
        if (hit == std::string::npos) {
            return Operand::error(ErrorCode::Value);
        }
        return Operand::number(double(hit + 1));
    }
    std::string pattern = cp1251::upper(what);
    if (pattern.find_first_of("*?~") == std::string::npos) {
        std::size_t hit = cp1251::upper(within).find(pattern, start - 1);
        if (hit == std::string::npos) {
            return Operand::error(ErrorCode::Value);
        }
        return Operand::number(double(hit + 1));
    }
    pattern += '*';
    std::string_view w(within);
    for (std::size_t i = start - 1; i <= within.size(); ++i) {
        if (wildcardMatch(pattern, w.substr(i))) {
            return Operand::number(double(i + 1));
        }
    }
    return Operand::error(ErrorCode::Value);
}

Operand fnExact(Args& a) {
    std::string x, y;
    FC_TRY(a.text(0, x));
    FC_TRY(a.text(1, y));
    return Operand::scalar(Value::fromBool(x == y));
}

Operand fnChar(Args& a) {
    double n = 0;
    FC_TRY(a.integer(0, n));
    if (n < 1 || n > 255) {
        return Operand::error(ErrorCode::Value);
    }
    return textResult(std::string(1, static_cast<char>(static_cast<unsigned char>(n))));
}

Operand fnCode(Args& a) {
    std::string t;
    FC_TRY(a.text(0, t));
    if (t.empty()) {
        return Operand::error(ErrorCode::Value);
    }
    return Operand::number(static_cast<unsigned char>(t[0]));
}

Operand fnT(Args& a) {
    Value v = a.value(0);
    if (v.isError() || v.isText()) {
        return Operand::scalar(v);
    }
    return textResult({});
}

Operand fnN(Args& a) {
    Value v = a.value(0);
    if (v.isError()) {
        return Operand::scalar(v);
    }
    return Operand::number(v.isNumber() || v.isBool() ? v.number : 0);
}

} // namespace

void addTextFunctions(std::vector<FunctionInfo>& out) {
    out.insert(out.end(), {
                              {"CONCATENATE", 1, 255, fnConcatenate},
                              {"LEFT", 1, 2, fnLeft},
                              {"RIGHT", 1, 2, fnRight},
                              {"MID", 3, 3, fnMid},
                              {"LEN", 1, 1, fnLen},
                              {"TRIM", 1, 1, fnTrim},
                              {"UPPER", 1, 1, fnCase<true>},
                              {"LOWER", 1, 1, fnCase<false>},
                              {"PROPER", 1, 1, fnProper},
                              {"VALUE", 1, 1, fnValue},
                              {"TEXT", 2, 2, fnText},
                              {"REPT", 2, 2, fnRept},
                              {"SUBSTITUTE", 3, 4, fnSubstitute},
                              {"REPLACE", 4, 4, fnReplace},
                              {"FIND", 2, 3, fnFind<false>},
                              {"SEARCH", 2, 3, fnFind<true>},
                              {"EXACT", 2, 2, fnExact},
                              {"CHAR", 1, 1, fnChar},
                              {"CODE", 1, 1, fnCode},
                              {"T", 1, 1, fnT},
                              {"N", 1, 1, fnN},
                          });
}

} // namespace fc::formula
