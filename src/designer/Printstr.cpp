#include "designer/Printstr.h"

#include "designer/TemplateText.h"

#include <optional>

namespace fc::printstr {

namespace {

bool isNameChar(char ch) {
    return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9');
}

// A literal as quoted strings; the language has no escape, so quotes are spliced in by code.
void literal(std::string_view text, std::vector<std::string>& parts) {
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t q = text.find('\'', start);
        std::string_view piece = text.substr(start, q == std::string_view::npos ? q : q - start);
        if (!piece.empty()) {
            parts.push_back("'" + std::string(piece) + "'");
        }
        if (q == std::string_view::npos) {
            break;
        }
        parts.push_back("[ch 39]");
        start = q + 1;
    }
}

std::string joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const std::string& p : parts) {
        if (!out.empty()) {
            out += '+';
        }
        out += p;
    }
    return out;
}

// The "+"-separated parts of an expression, "+" inside quotes kept.
std::vector<std::string_view> split(std::string_view expr) {
    std::vector<std::string_view> parts;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < expr.size(); ++i) {
        if (expr[i] == '\'') {
            quoted = !quoted;
        } else if (expr[i] == '+' && !quoted) {
            parts.push_back(expr.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(expr.substr(start));
    return parts;
}

} // namespace

std::vector<std::string> compileField(std::string_view field) {
    std::vector<std::string> lines;
    if (tpl::startsWith(field, "OBJ=")) {
        std::string_view records = field.substr(4);
        while (!records.empty()) {
            std::size_t end = records.find('[');
            std::string_view one =
                records.substr(0, end == std::string_view::npos ? records.size() : end + 1);
            lines.push_back("printstr '" + std::string(one) + "'");
            records.remove_prefix(one.size());
        }
        lines.emplace_back("printstr [ch 9]");
        return lines;
    }
    std::vector<std::string> parts;
    if (field.find('^') == std::string_view::npos) {
        if (!tpl::isBlank(field)) {
            literal(field, parts);
        }
    } else {
        std::size_t i = 0;
        std::string text;
        while (i < field.size()) {
            if (field[i] != '^') {
                text += field[i++];
                continue;
            }
            literal(text, parts);
            text.clear();
            while (i < field.size() && field[i] == '^') {
                ++i;
            }
            if (i < field.size()) {
                std::size_t len = i + 1 < field.size() && isNameChar(field[i + 1]) ? 2 : 1;
                parts.emplace_back(field.substr(i, len));
                i += len;
            }
        }
        literal(text, parts);
    }
    const std::string expr = joined(parts);
    lines.push_back(expr.empty() ? "printstr [ch 9]" : "printstr " + expr + "+[ch 9]");
    return lines;
}

Piece parseLine(std::string_view line) {
    Piece p;
    line = tpl::rightTrimmed(line);
    if (!tpl::startsWithNoCase(line, "printstr")) {
        return p;
    }
    std::string_view expr = tpl::trimmed(line.substr(8));
    const std::string upper = tpl::upperAscii(expr);
    if (upper.size() >= 7 && upper.compare(upper.size() - 7, 7, "[CH 10]") == 0) {
        p.endsRow = true;
        expr.remove_suffix(7);
    } else if (upper.size() >= 6 && upper.compare(upper.size() - 6, 6, "[CH 9]") == 0) {
        p.endsField = true;
        expr.remove_suffix(6);
    }
    expr = tpl::trimmed(expr);
    if (!expr.empty() && expr.back() == '+') {
        expr.remove_suffix(1);
    }
    p.ok = true;
    if (tpl::trimmed(expr).empty()) {
        return p;
    }
    for (std::string_view part : split(expr)) {
        part = tpl::trimmed(part);
        if (part.empty()) {
            continue;
        }
        if (part[0] == '\'') {
            part.remove_prefix(1);
            if (!part.empty() && part.back() == '\'') {
                part.remove_suffix(1);
            }
            p.text += part;
        } else if (tpl::startsWithNoCase(part, "[ch ") && part.back() == ']') {
            std::optional<int> code = tpl::parseInt(part.substr(4, part.size() - 5));
            p.text += code && *code > 0 && *code < 256 ? static_cast<char>(*code) : '?';
        } else {
            p.text += '^';
            p.text += part;
        }
    }
    return p;
}

} // namespace fc::printstr
