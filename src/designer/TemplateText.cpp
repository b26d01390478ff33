#include "designer/TemplateText.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fc::tpl {

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    lines.reserve(bytes.size() / 24 + 1);
    std::size_t start = 0;
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        char ch = bytes[i];
        if (ch == '\n' || ch == '\r') {
            lines.push_back(bytes.substr(start, i - start));
            if (ch == '\r' && i + 1 < n && bytes[i + 1] == '\n') {
                ++i;
            }
            start = i + 1;
        }
    }
    if (start < n) {
        lines.push_back(bytes.substr(start));
    }
    return lines;
}

std::string_view trimmed(std::string_view s) {
    std::size_t b = 0;
    while (b < s.size() && (s[b] == ' ' || s[b] == '\t')) {
        ++b;
    }
    std::size_t e = s.size();
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) {
        --e;
    }
    return s.substr(b, e - b);
}

std::string_view rightTrimmed(std::string_view s) {
    std::size_t e = s.size();
    while (e > 0 && (s[e - 1] == ' ' || s[e - 1] == '\t')) {
        --e;
    }
    return s.substr(0, e);
}

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& ch : out) {
        if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 'a' + 'A');
        }
    }
    return out;
}

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = s[i], b = prefix[i];
        if (a >= 'a' && a <= 'z') {
            a = static_cast<char>(a - 'a' + 'A');
        }
        if (b >= 'a' && b <= 'z') {
            b = static_cast<char>(b - 'a' + 'A');
        }
        if (a != b) {
            return false;
        }
    }
    return true;
}

bool isBlank(std::string_view s) { return trimmed(s).empty(); }

bool isPageBreakLine(std::string_view s) { return trimmed(s) == "PBK"; }

std::optional<int> parseInt(std::string_view s) {
    s = trimmed(s);
    if (s.empty()) {
        return std::nullopt;
    }
    std::size_t i = 0;
    bool negative = false;
    if (s[0] == '-' || s[0] == '+') {
        negative = s[0] == '-';
        i = 1;
    }
    if (i == s.size()) {
        return std::nullopt;
    }
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') {
            return std::nullopt;
        }
        v = v * 10 + (s[i] - '0');
        if (v > INT_MAX) {
            return std::nullopt;
        }
    }
    return static_cast<int>(negative ? -v : v);
}

std::optional<double> parseNumber(std::string_view s) {
    s = trimmed(s);
    if (s.empty() || s.size() > 64) {
        return std::nullopt;
    }
    // Only plain decimal forms: strtod alone would also take "inf", "nan" and hex.
    std::size_t i = 0;
    if (s[0] == '-' || s[0] == '+') {
        i = 1;
    }
    bool digits = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        for (++i; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            digits = true;
        }
    }
    if (digits && i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '-' || s[j] == '+')) {
            ++j;
        }
        std::size_t k = j;
        while (k < s.size() && s[k] >= '0' && s[k] <= '9') {
            ++k;
        }
        if (k > j) {
            i = k;
        }
    }
    if (!digits || i != s.size()) {
        return std::nullopt;
    }
    std::string copy(s);
    errno = 0;
    double d = std::strtod(copy.c_str(), nullptr);
    if (errno == ERANGE || !std::isfinite(d)) {
        return std::nullopt;
    }
    return d;
}

std::string formatNumber(double d) {
    if (!std::isfinite(d)) {
        return "0";
    }
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    std::string s = buf;
    if (s.find('e') != std::string::npos && std::fabs(d) < 1e15 && std::fabs(d) >= 1e-6) {
        std::snprintf(buf, sizeof buf, "%.10f", d);
        s = buf;
        while (!s.empty() && s.back() == '0') {
            s.pop_back();
        }
        if (!s.empty() && s.back() == '.') {
            s.pop_back();
        }
    }
    return s == "-0" ? "0" : s;
}

std::string padLeft(long long n, int width) {
    std::string s = std::to_string(n);
    if (static_cast<int>(s.size()) < width) {
        s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
    }
    return s;
}

std::string padRight(std::string s, int width) {
    if (static_cast<int>(s.size()) < width) {
        s.append(static_cast<std::size_t>(width) - s.size(), ' ');
    }
    return s;
}

} // namespace fc::tpl
