#include "designer/ObjectBlock.h"

#include "designer/TemplateText.h"

#include <optional>

namespace fc {

namespace {

int hexValue(char ch) {
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    if (ch >= 'A' && ch <= 'F') {
        return ch - 'A' + 10;
    }
    if (ch >= 'a' && ch <= 'f') {
        return ch - 'a' + 10;
    }
    return -1;
}

void readHex(std::string_view digits, ObjectBlock& out) {
    digits = tpl::trimmed(digits);
    if (digits.size() % 2 != 0) {
        out.complete = false;
    }
    for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
        int hi = hexValue(digits[i]), lo = hexValue(digits[i + 1]);
        if (hi < 0 || lo < 0) {
            out.complete = false;
            continue;
        }
        out.bytes += static_cast<char>(hi * 16 + lo);
    }
}

void readDecimal(std::string_view digits, ObjectBlock& out) {
    digits = tpl::rightTrimmed(digits);
    for (std::size_t i = 0; i < digits.size(); i += 3) {
        std::string_view group = digits.substr(i, 3);
        std::optional<int> v = tpl::parseInt(group);
        if (group.size() < 3 || !v || *v < 0 || *v > 255) {
            out.complete = false;
            continue;
        }
        out.bytes += static_cast<char>(*v);
    }
}

} // namespace

std::size_t ObjectBlock::parse(const std::vector<std::string_view>& lines, std::size_t at,
                               ObjectBlock& out, bool keepLines) {
    out = ObjectBlock{};
    out.present = true;
    std::string_view head = lines[at];
    out.encoded = tpl::startsWithNoCase(head, ";NOBJECTS[");
    auto take = [&](std::string_view digits) {
        if (out.encoded) {
            readHex(digits, out);
        } else {
            readDecimal(digits, out);
        }
    };
    auto keep = [&](std::string_view line) {
        if (keepLines) {
            out.lines += line;
            out.lines += "\r\n";
        }
    };
    keep(head);
    std::size_t open = head.find('[');
    take(open == std::string_view::npos ? std::string_view() : head.substr(open + 1));
    for (std::size_t i = at + 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        keep(line);
        std::size_t end = line.find(";]O");
        if (end != std::string_view::npos) {
            take(line.substr(0, end));
            return i + 1;
        }
        take(line);
    }
    keep(";]OBJECTS");
    out.complete = false;
    return lines.size();
}

std::string ObjectBlock::format(std::string_view digitLines) {
    std::string out = ";NOBJECTS[\r\n";
    out += digitLines;
    if (!out.empty() && out.back() != '\n') {
        out += "\r\n";
    }
    out += ";]OBJECTS\r\n";
    return out;
}

std::string ObjectBlock::digits(std::string_view encodedBytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(encodedBytes.size() * 2 + encodedBytes.size() / 63 + 2);
    for (std::size_t i = 0; i < encodedBytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(encodedBytes[i]);
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
        if ((i + 1) % 126 == 0 || i + 1 == encodedBytes.size()) {
            out += "\r\n";
        }
    }
    return out;
}

} // namespace fc
