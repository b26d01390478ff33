#include "components/model/NumberFormat.h"

#include "components/model/FormatCode_p.h"
#include "components/text/Cp1251.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fc {

using format::Section;
using format::Tok;
using format::Token;

namespace {

// The last serial day the display handles (31 December 9999).
constexpr double kLastSerial = 2958465;

struct Names {
    std::array<std::string, 12> months, monthsGenitive, monthsShort;
    std::array<std::string, 7> days, daysShort; // from Sunday
};

const Names& names() {
    static const Names n = [] {
        Names x;
        const char* m[] = {"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                           "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};
        const char* g[] = {"января", "февраля", "марта",    "апреля",  "мая",    "июня",
                           "июля",   "августа", "сентября", "октября", "ноября", "декабря"};
        const char* s[] = {"янв", "фев", "мар", "апр", "май", "июн",
                           "июл", "авг", "сен", "окт", "ноя", "дек"};
        const char* d[] = {"воскресенье", "понедельник", "вторник", "среда",
                           "четверг",     "пятница",     "суббота"};
        const char* ds[] = {"Вс", "Пн", "Вт", "Ср", "Чт", "Пт", "Сб"};
        for (int i = 0; i < 12; ++i) {
            x.months[i] = w(m[i]);
            x.monthsGenitive[i] = w(g[i]);
            x.monthsShort[i] = w(s[i]);
        }
        for (int i = 0; i < 7; ++i) {
            x.days[i] = w(d[i]);
            x.daysShort[i] = w(ds[i]);
        }
        return x;
    }();
    return n;
}

void appendPadded(std::string& out, long long v, int width) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*lld", width, v);
    out += buf;
}

// Digits of a >= 0 rounded half up at `decimals` places: `ip` the integer digits without
// leading zeros (empty for zero), `fp` exactly `decimals` digits. Rounding works on the 15
// significant digits a double holds, so 2.675 shows as 2.68, as it was typed.
void decimalDigits(double a, int decimals, std::string& ip, std::string& fp) {
    ip.clear();
    fp.assign(static_cast<std::size_t>(decimals), '0');
    if (!(a > 0) || !std::isfinite(a)) {
        return;
    }
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.14e", a);
    std::string digits(1, buf[0]);
    digits.append(buf + 2, 14);
    const int exp = std::atoi(std::strchr(buf, 'e') + 1);
    const int keep = exp + 1 + decimals; // leading digits of a * 10^decimals
    if (keep < 0) {
        return;
    }
    bool up = false;
    if (keep < static_cast<int>(digits.size())) {
        up = digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
    } else {
        digits.append(static_cast<std::size_t>(keep) - digits.size(), '0');
    }
    if (up) {
        int i = static_cast<int>(digits.size()) - 1;
        for (; i >= 0 && digits[static_cast<std::size_t>(i)] == '9'; --i) {
            digits[static_cast<std::size_t>(i)] = '0';
        }
        if (i < 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[static_cast<std::size_t>(i)];
        }
    }
    if (static_cast<int>(digits.size()) < decimals + 1) {
        digits.insert(0, static_cast<std::size_t>(decimals + 1) - digits.size(), '0');
    }
    fp = digits.substr(digits.size() - static_cast<std::size_t>(decimals));
    ip = digits.substr(0, digits.size() - static_cast<std::size_t>(decimals));
    std::size_t nz = ip.find_first_not_of('0');
    ip = nz == std::string::npos ? std::string() : ip.substr(nz);
}

bool allZero(const std::string& s, std::size_t from) {
    return s.find_first_not_of('0', from) == std::string::npos;
}

std::string renderText(const Section& s, const std::string& text) {
    std::string out;
    for (const Token& t : s.tokens) {
        if (t.kind == Tok::Literal) {
            out += t.text;
        } else if (t.kind == Tok::Text) {
            out += text;
        }
    }
    return out;
}

// `a` is the magnitude; the caller adds the sign. `nonZero` tells whether any shown digit
// is not zero, so that a value rounded to nothing loses its minus sign.
std::string renderNumber(const Section& s, double a, bool& nonZero) {
    for (int i = 0; i < s.percents; ++i) {
        a *= 100;
    }
    for (int i = 0; i < s.thousandsScale; ++i) {
        a /= 1000;
    }
    if (!std::isfinite(a)) {
        nonZero = true;
        return "#NUM!"; // a percent of a number near the largest double
    }
    int exponent = 0;
    std::string ip, fp;
    if (s.hasExp) {
        const int lead = std::max(s.intDigits, 1);
        if (a > 0) {
            exponent = static_cast<int>(std::floor(std::log10(a))) - lead + 1;
        }
        decimalDigits(a / std::pow(10.0, exponent), s.fracDigits, ip, fp);
        if (static_cast<int>(ip.size()) > lead) { // 9.996 -> 10.00: one more in the exponent
            ++exponent;
            decimalDigits(a / std::pow(10.0, exponent), s.fracDigits, ip, fp);
        }
    } else {
        decimalDigits(a, s.fracDigits, ip, fp);
    }
    nonZero = !ip.empty() || !allZero(fp, 0);

    std::string out;
    const int nInt = s.intDigits;
    const int len = static_cast<int>(ip.size());
    auto emitInt = [&](int p, char ch) {
        bool digit = false;
        if (p < len) {
            out += ip[static_cast<std::size_t>(len - 1 - p)];
            digit = true;
        } else if (ch == '0') {
            out += '0';
            digit = true;
        } else if (ch == '?') {
            out += ' ';
        }
        if (digit && s.grouping && p > 0 && p % 3 == 0) {
            out += s.groupSeparator;
        }
    };
    auto emitGroupedIp = [&]() {
        for (int p = len - 1; p >= 0; --p) {
            emitInt(p, '0');
        }
    };
    int intIndex = 0;
    int fracIndex = 0;
    bool inFraction = false;
    bool inExponent = false;
    for (const Token& t : s.tokens) {
        switch (t.kind) {
        case Tok::Literal: out += t.text; break;
        case Tok::Digit:
            if (inExponent) {
                break; // written whole at the exponent sign
            }
            if (inFraction) {
                const std::size_t k = static_cast<std::size_t>(fracIndex++);
                if (t.ch == '0' || !allZero(fp, k)) {
                    out += fp[k];
                } else if (t.ch == '?') {
                    out += ' ';
                }
                break;
            }
            if (intIndex == 0) {
                // The leftmost placeholder takes every digit that has no place of its own.
                for (int p = std::max(len - 1, nInt - 1); p > nInt - 1; --p) {
                    emitInt(p, '0');
                }
            }
            emitInt(nInt - 1 - intIndex, t.ch);
            ++intIndex;
            break;
        case Tok::Point:
            if (nInt == 0) {
                emitGroupedIp();
            }
            inFraction = true;
            if (!(s.fracDigits > 0 && s.fracAllOptional && allZero(fp, 0))) {
                out += '.';
            }
            break;
        case Tok::Exp: {
            if (nInt == 0 && !s.hasPoint) {
                emitGroupedIp();
            }
            inExponent = true;
            out += 'E';
            if (exponent < 0) {
                out += '-';
            } else if (t.text == "E+") {
                out += '+';
            }
            appendPadded(out, std::abs(exponent), std::max(s.expDigits, 1));
            break;
        }
        case Tok::Percent: out += '%'; break;
        case Tok::General:
            out += formatGeneral(a);
            nonZero = a != 0;
            break;
        default: break;
        }
    }
    return out;
}

bool renderDate(const Section& s, double d, std::string& out) {
    if (!(d >= 0 && d < kLastSerial + 1)) {
        return false;
    }
    double dayPart = std::floor(d);
    long long day = static_cast<long long>(dayPart);
    long long scale = 1;
    for (int i = 0; i < s.fracSecDigits; ++i) {
        scale *= 10;
    }
    const long long unit = 86400LL * scale;
    long long ticks = 0;
    if (s.needsTime) {
        ticks = std::llround((d - dayPart) * static_cast<double>(unit));
        if (ticks >= unit) {
            ++day;
            ticks -= unit;
        }
    }
    const long long secs = ticks / scale;
    const long long h = secs / 3600, mi = secs / 60 % 60, sec = secs % 60;
    int year = 0, month = 0, mday = 0;
    serialToDate(static_cast<double>(day), year, month, mday);
    const Names& nm = names();
    const int weekday = static_cast<int>(((day + 6) % 7 + 7) % 7);
    const bool pm = h >= 12;
    for (const Token& t : s.tokens) {
        switch (t.kind) {
        case Tok::Literal: out += t.text; break;
        case Tok::Year:
            if (t.n <= 2) {
                appendPadded(out, year % 100, 2);
            } else {
                appendPadded(out, year, 4);
            }
            break;
        case Tok::Month:
            if (t.n <= 2) {
                appendPadded(out, month, t.n);
            } else if (t.n == 3) {
                out += nm.monthsShort[static_cast<std::size_t>(month - 1)];
            } else if (t.n == 5) {
                out += nm.months[static_cast<std::size_t>(month - 1)].substr(0, 1);
            } else {
                out += s.genitiveMonths ? nm.monthsGenitive[static_cast<std::size_t>(month - 1)]
                                        : nm.months[static_cast<std::size_t>(month - 1)];
            }
            break;
        case Tok::Day:
            if (t.n <= 2) {
                appendPadded(out, mday, t.n);
            } else {
                out += t.n == 3 ? nm.daysShort[static_cast<std::size_t>(weekday)]
                                : nm.days[static_cast<std::size_t>(weekday)];
            }
            break;
        case Tok::Hour: {
            long long shown = s.hasHours ? (h % 12 == 0 ? 12 : h % 12) : h;
            appendPadded(out, shown, std::min(t.n, 2));
            break;
        }
        case Tok::Minute: appendPadded(out, mi, std::min(t.n, 2)); break;
        case Tok::Second: appendPadded(out, sec, std::min(t.n, 2)); break;
        case Tok::FracSec:
            out += '.';
            appendPadded(out, ticks % scale, t.n);
            break;
        case Tok::AmPm: {
            const bool lower = !t.text.empty() && t.text[0] >= 'a' && t.text[0] <= 'z';
            std::string mark = t.text.size() == 5 ? (pm ? "PM" : "AM") : (pm ? "P" : "A");
            if (lower) {
                for (char& c : mark) {
                    c = static_cast<char>(c - 'A' + 'a');
                }
            }
            out += mark;
            break;
        }
        case Tok::ElapsedHours: appendPadded(out, day * 24 + h, t.n); break;
        case Tok::ElapsedMinutes: appendPadded(out, (day * 24 + h) * 60 + mi, t.n); break;
        case Tok::ElapsedSeconds: appendPadded(out, day * 86400 + secs, t.n); break;
        case Tok::General: out += formatGeneral(d); break;
        default: break;
        }
    }
    return true;
}

FormattedText formatNumber(double d, const format::Code& code) {
    FormattedText out;
    if (code.general || code.sections.empty() || !std::isfinite(d)) {
        out.text = formatGeneral(d);
        return out;
    }
    const auto& secs = code.sections;
    if (secs.size() == 1 && secs[0].hasText) {
        out.text = formatGeneral(d); // a text format shows numbers as they are
        return out;
    }
    const int numeric = static_cast<int>(std::min<std::size_t>(secs.size(), 3));
    bool conditional = false;
    for (int i = 0; i < numeric; ++i) {
        conditional = conditional || secs[static_cast<std::size_t>(i)].cond != format::CondOp::None;
    }
    int pick = -1;
    bool sign = false;
    if (conditional) {
        for (int i = 0; i < numeric && pick < 0; ++i) {
            if (secs[static_cast<std::size_t>(i)].matches(d)) {
                pick = i;
            }
        }
        if (pick < 0) {
            out.text = formatGeneral(d);
            return out;
        }
        const Section& s = secs[static_cast<std::size_t>(pick)];
        // A section for negative numbers shows them without a sign, as a plain one does.
        const bool forNegatives =
            (s.cond == format::CondOp::Less || s.cond == format::CondOp::LessEq) &&
            s.condValue <= 0;
        sign = d < 0 && !forNegatives;
    } else if (d > 0 || numeric == 1) {
        pick = 0;
        sign = d < 0;
    } else if (d < 0) {
        pick = 1;
    } else {
        pick = numeric >= 3 ? 2 : 0;
    }
    const Section& s = secs[static_cast<std::size_t>(pick)];
    out.color = s.color;
    if (s.isDate) {
        if (!renderDate(s, d, out.text)) {
            out.text = formatGeneral(d);
        }
        return out;
    }
    bool nonZero = false;
    out.text = renderNumber(s, std::fabs(d), nonZero);
    if (sign && nonZero) {
        out.text.insert(0, 1, '-');
    }
    return out;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') {
            x = static_cast<char>(x - 'a' + 'A');
        }
        if (y >= 'a' && y <= 'z') {
            y = static_cast<char>(y - 'a' + 'A');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

bool parseUnsigned(std::string_view s, int& out) {
    if (s.empty() || s.size() > 4) {
        return false;
    }
    int v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
        v = v * 10 + (c - '0');
    }
    out = v;
    return true;
}

int daysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "01.02.2024", "1.2.24", "1/2/2024": day, month, year; a two-digit year below 30 is in the
// 2000s, otherwise in the 1900s.
bool parseDate(std::string_view s, double& serial) {
    const char sep = s.find('/') != std::string_view::npos ? '/' : '.';
    std::size_t a = s.find(sep);
    std::size_t b = a == std::string_view::npos ? a : s.find(sep, a + 1);
    if (b == std::string_view::npos || s.find(sep, b + 1) != std::string_view::npos) {
        return false;
    }
    int day = 0, month = 0, year = 0;
    std::string_view ys = s.substr(b + 1);
    std::string_view ds = s.substr(0, a), ms = s.substr(a + 1, b - a - 1);
    if (ds.size() > 2 || ms.size() > 2 || !(ys.size() == 2 || ys.size() == 4) ||
        !parseUnsigned(ds, day) || !parseUnsigned(ms, month) || !parseUnsigned(ys, year)) {
        return false;
    }
    if (ys.size() == 2) {
        year += year < 30 ? 2000 : 1900;
    }
    if (year < 1900 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) {
        return false;
    }
    serial = dateSerial(year, month, day);
    return true;
}

} // namespace

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
    s = trimmed(s);
    if (s.empty()) {
        return false;
    }
    if (s.front() == '+') {
        s.remove_prefix(1);
        if (s.empty() || s.front() == '-' || s.front() == '+') {
            return false;
        }
    }
    // Pasted columns are mostly short decimals: "-123.45" is m / 10^k with both exact, and
    // one IEEE division rounds it correctly. Anything else goes the long way.
    {
        static const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
        std::size_t i = s.front() == '-' ? 1 : 0;
        std::uint64_t m = 0;
        int digits = 0, decimals = -1;
        for (; i < s.size(); ++i) {
            const char ch = s[i];
            if (ch >= '0' && ch <= '9') {
                m = m * 10 + static_cast<std::uint64_t>(ch - '0');
                ++digits;
                if (decimals >= 0) {
                    ++decimals;
                }
            } else if (ch == '.' && decimals < 0) {
                decimals = 0;
            } else {
                break;
            }
        }
        if (i == s.size() && digits > 0 && digits <= 15) {
            double d = static_cast<double>(m);
            if (decimals > 0) {
                d /= kPow10[decimals];
            }
            out = s.front() == '-' ? -d : d;
            return true;
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

FormattedText formatValue(const Value& v, std::string_view fmt) {
    FormattedText out;
    switch (v.kind) {
    case ValueKind::Empty: return out;
    case ValueKind::Boolean: out.text = v.number != 0 ? "TRUE" : "FALSE"; return out;
    case ValueKind::Error: out.text = errorText(v.error); return out;
    case ValueKind::Number: return formatNumber(v.number, format::compiled(fmt));
    case ValueKind::Text: break;
    }
    const format::Code& code = format::compiled(fmt);
    const Section* textSection = nullptr;
    if (code.sections.size() >= 4) {
        textSection = &code.sections[3];
    } else if (code.sections.size() == 1 && code.sections[0].hasText) {
        textSection = &code.sections[0];
    }
    if (!textSection) {
        // A colour prefix colours texts too: the row cursor puts "[White]" in front of every
        // cell's format, texts included.
        out.text = v.text;
        if (!code.sections.empty()) {
            out.color = code.sections[0].color;
        }
        return out;
    }
    out.text = renderText(*textSection, v.text);
    out.color = textSection->color;
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
    std::string_view t = trimmed(typed);
    if (t.size() > 1 && t.back() == '%') {
        std::string_view num = trimmed(t.substr(0, t.size() - 1));
        if (parseNumber(num, d)) {
            e.value = Value::fromNumber(d / 100);
            e.impliedFormat = num.find('.') != std::string_view::npos ? "0.00%" : "0%";
            return e;
        }
    }
    if (parseDate(t, d)) {
        e.value = Value::fromNumber(d);
        e.impliedFormat = "dd.mm.yyyy";
        return e;
    }
    if (equalsNoCase(t, "TRUE") || equalsNoCase(t, "FALSE")) {
        e.value = Value::fromBool(equalsNoCase(t, "TRUE"));
        return e;
    }
    e.value = Value::fromText(std::string(typed));
    return e;
}

} // namespace fc
