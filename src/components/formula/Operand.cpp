#include "components/formula/Operand.h"

#include "components/model/NumberFormat.h"
#include "components/text/Cp1251.h"

#include <cmath>
#include <cstdio>

namespace fc::formula {

ErrorCode toNumber(const Value& v, double& out) {
    switch (v.kind) {
    case ValueKind::Empty: out = 0; return ErrorCode::None;
    case ValueKind::Number:
    case ValueKind::Boolean: out = v.number; return ErrorCode::None;
    case ValueKind::Text: return textToNumber(v.text, out) ? ErrorCode::None : ErrorCode::Value;
    case ValueKind::Error: return v.error;
    }
    return ErrorCode::Value;
}

ErrorCode toBool(const Value& v, bool& out) {
    switch (v.kind) {
    case ValueKind::Empty: out = false; return ErrorCode::None;
    case ValueKind::Number:
    case ValueKind::Boolean: out = v.number != 0; return ErrorCode::None;
    case ValueKind::Text: {
        std::string u = cp1251::upper(v.text);
        if (u == "TRUE" || u == "FALSE") {
            out = u == "TRUE";
            return ErrorCode::None;
        }
        return ErrorCode::Value;
    }
    case ValueKind::Error: return v.error;
    }
    return ErrorCode::Value;
}

std::string toText(const Value& v) {
    switch (v.kind) {
    case ValueKind::Empty: return {};
    case ValueKind::Number: return numberText(v.number);
    case ValueKind::Boolean: return v.number != 0 ? "TRUE" : "FALSE";
    case ValueKind::Text: return v.text;
    case ValueKind::Error: return errorText(v.error);
    }
    return {};
}

std::string numberText(double d) {
    if (d == 0 || !std::isfinite(d)) {
        return "0";
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15G", d);
    return buf;
}

bool textToNumber(const std::string& s, double& out) {
    if (s.empty()) {
        return false;
    }
    ParsedEntry e = parseEntry(s, false);
    if (!e.value.isNumber() || !std::isfinite(e.value.number)) {
        return false;
    }
    out = e.value.number;
    return true;
}

bool nearlyEqual(double a, double b) {
    if (a == b) {
        return true;
    }
    double scale = std::max(std::fabs(a), std::fabs(b));
    return std::fabs(a - b) <= scale * 1e-15;
}

namespace {

int typeRank(ValueKind k) {
    switch (k) {
    case ValueKind::Number: return 0;
    case ValueKind::Text: return 1;
    case ValueKind::Boolean: return 2;
    default: return 3;
    }
}

} // namespace

int compareValues(const Value& a, const Value& b) {
    ValueKind ka = a.kind, kb = b.kind;
    if (ka == ValueKind::Empty && kb == ValueKind::Empty) {
        return 0;
    }
    // An empty value takes the other side's type.
    if (ka == ValueKind::Empty || kb == ValueKind::Empty) {
        const Value& other = ka == ValueKind::Empty ? b : a;
        int sign = ka == ValueKind::Empty ? 1 : -1;
        switch (other.kind) {
        case ValueKind::Number:
        case ValueKind::Boolean:
            if (other.number == 0) {
                return 0;
            }
            return other.number > 0 ? -sign : sign;
        case ValueKind::Text: return other.text.empty() ? 0 : -sign;
        default: return 0;
        }
    }
    if (ka != kb) {
        return typeRank(ka) < typeRank(kb) ? -1 : 1;
    }
    switch (ka) {
    case ValueKind::Number:
        if (nearlyEqual(a.number, b.number)) {
            return 0;
        }
        return a.number < b.number ? -1 : 1;
    case ValueKind::Boolean: return a.number == b.number ? 0 : (a.number < b.number ? -1 : 1);
    case ValueKind::Text: {
        int c = cp1251::collate(a.text, b.text, false);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    default: return 0;
    }
}

Value numberResult(double d) {
    if (!std::isfinite(d)) {
        return Value::fromError(ErrorCode::Num);
    }
    return Value::fromNumber(d == 0 ? 0.0 : d);
}

} // namespace fc::formula
