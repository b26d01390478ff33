#include "components/text/TextOps.h"

#include "components/text/Cp1251.h"

#include <limits>

namespace fc::text {

std::string_view trimView(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isBlank(s[b])) {
        ++b;
    }
    while (e > b && isBlank(s[e - 1])) {
        --e;
    }
    return s.substr(b, e - b);
}

std::string trim(std::string_view s) { return std::string(trimView(s)); }

std::string trimLeft(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && isBlank(s[b])) {
        ++b;
    }
    return std::string(s.substr(b));
}

std::string trimRight(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && isBlank(s[e - 1])) {
        --e;
    }
    return std::string(s.substr(0, e));
}

std::string fit(std::string_view s, std::size_t width) {
    std::string out(s.substr(0, width));
    out.resize(width, ' ');
    return out;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (cp1251::upper(static_cast<unsigned char>(a[i])) !=
            cp1251::upper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::size_t findNoCase(std::string_view s, std::string_view what, std::size_t from) {
    if (what.size() > s.size()) {
        return std::string_view::npos;
    }
    for (std::size_t i = from; i + what.size() <= s.size(); ++i) {
        if (equalsNoCase(s.substr(i, what.size()), what)) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool parseInt(std::string_view s, long long* out) {
    s = trimView(s);
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    if (s.empty()) {
        return false;
    }
    unsigned long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
        if (v > (std::numeric_limits<unsigned long long>::max() - 9) / 10) {
            return false;
        }
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > static_cast<unsigned long long>(std::numeric_limits<long long>::max())) {
        return false;
    }
    *out = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
    return true;
}

} // namespace fc::text
