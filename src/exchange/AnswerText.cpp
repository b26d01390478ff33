#include "exchange/AnswerText.h"

#include "components/model/NumberFormat.h"

#include <climits>

namespace fc::answer {

namespace {
bool blank(char c) { return static_cast<unsigned char>(c) <= ' '; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
} // namespace

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && blank(s.front())) {
        s.remove_prefix(1);
    }
    return rightTrimmed(s);
}

std::string_view rightTrimmed(std::string_view s) {
    while (!s.empty() && blank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string upperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = upper(c);
    }
    return out;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    if (s.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (upper(s[i]) != upper(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool contains(std::string_view s, std::string_view part) {
    return s.find(part) != std::string_view::npos;
}

std::optional<double> parseNumber(std::string_view s) {
    double d = 0;
    if (!fc::parseNumber(s, d) || d != d) {
        return std::nullopt;
    }
    return d;
}

std::optional<int> parseInt(std::string_view s) {
    s = trimmed(s);
    if (s.empty() || s.size() > 12) {
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
    }
    v = negative ? -v : v;
    if (v < INT_MIN || v > INT_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(v);
}

std::optional<int> leadingInt(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') {
        ++i;
    }
    std::size_t j = i;
    while (j < s.size() && j - i < 9 && s[j] >= '0' && s[j] <= '9') {
        ++j;
    }
    if (j == i) {
        return std::nullopt;
    }
    return parseInt(s.substr(i, j - i));
}

std::string_view mid(std::string_view s, std::size_t pos, std::size_t count) {
    if (pos < 1 || pos > s.size()) {
        return {};
    }
    return s.substr(pos - 1, count);
}

} // namespace fc::answer
