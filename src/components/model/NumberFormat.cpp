#include "components/model/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace fc {

std::string formatGeneral(double d) {
    if (!std::isfinite(d)) {
        return "#NUM!";
    }
    if (d == 0) {
        return "0";
    }
    char buf[64];
    double a = std::fabs(d);
    if (a >= 1e11 || a < 1e-9) {
        std::snprintf(buf, sizeof buf, "%.5E", d);
        // 1.23450E+12 -> 1.2345E+12
        std::string s(buf);
        auto e = s.find('E');
        std::string mant = s.substr(0, e), exp = s.substr(e);
        while (!mant.empty() && mant.back() == '0') {
            mant.pop_back();
        }
        if (!mant.empty() && mant.back() == '.') {
            mant.pop_back();
        }
        return mant + exp;
    }
    int intDigits = a >= 1 ? static_cast<int>(std::floor(std::log10(a))) + 1 : 1;
    int decimals = std::max(0, 10 - intDigits);
    std::snprintf(buf, sizeof buf, "%.*f", decimals, d);
    std::string s(buf);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') {
            s.pop_back();
        }
        if (s.back() == '.') {
            s.pop_back();
        }
    }
    if (s == "-0") {
        s = "0";
    }
    return s;
}

bool parseNumber(std::string_view s, double& out) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    if (s.empty()) {
        return false;
    }
    if (s.front() == '+') {
        s.remove_prefix(1);
        if (s.empty() || s.front() == '-' || s.front() == '+') {
            return false;
        }
    }
    // Only plain decimal numbers: no hex, inf or nan spellings.
    for (char ch : s) {
        if (!((ch >= '0' && ch <= '9') || ch == '.' || ch == '-' || ch == 'e' || ch == 'E' ||
              ch == '+')) {
            return false;
        }
    }
    double d = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), d);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size()) {
        return false;
    }
    out = d;
    return true;
}

double dateSerial(int year, int month, int day) {
    // Days from civil (proleptic Gregorian), shifted so that 1899-12-30 is 0.
    int y = year - (month <= 2 ? 1 : 0);
    int era = (y >= 0 ? y : y - 399) / 400;
    int yoe = y - era * 400;
    int mp = (month + 9) % 12;
    int doy = (153 * mp + 2) / 5 + day - 1;
    int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    long days = static_cast<long>(era) * 146097 + doe - 719468; // since 1970-01-01
    return static_cast<double>(days + 25569);
}

void serialToDate(double serial, int& year, int& month, int& day) {
    long z = static_cast<long>(std::floor(serial)) - 25569 + 719468;
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long y = yoe + era * 400;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2 ? 1 : 0));
}

FormattedText formatValue(const Value& v, std::string_view format) {
    FormattedText out;
    switch (v.kind) {
    case ValueKind::Empty: return out;
    case ValueKind::Text: out.text = v.text; return out;
    case ValueKind::Boolean: out.text = v.number != 0 ? "TRUE" : "FALSE"; return out;
    case ValueKind::Error: out.text = errorText(v.error); return out;
    case ValueKind::Number: break;
    }
    out.text = formatGeneral(v.number);
    return out;
}

ParsedEntry parseEntry(std::string_view typed, bool allowFormula) {
    ParsedEntry e;
    if (typed.empty()) {
        return e;
    }
    if (allowFormula && typed.size() > 1 && typed.front() == '=') {
        e.formula = std::string(typed.substr(1));
        return e;
    }
    double d;
    if (parseNumber(typed, d)) {
        e.value = Value::fromNumber(d);
        return e;
    }
    e.value = Value::fromText(std::string(typed));
    return e;
}

} // namespace fc
