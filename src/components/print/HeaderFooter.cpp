#include "components/print/HeaderFooter.h"

#include <cctype>

namespace fc::print {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A run of digits at `i`; `i` moves past it.
int digitsAt(std::string_view s, std::size_t& i) {
    int n = 0;
    while (i < s.size() && isDigit(s[i]) && n < 100000) {
        n = n * 10 + (s[i] - '0');
        ++i;
    }
    return n;
}

void applyFont(HeaderPart& part, std::string_view spec) {
    // "Name,Style": the style words that matter here are bold and italic.
    const std::size_t comma = spec.find(',');
    std::string name(spec.substr(0, comma));
    if (!name.empty() && name != "-") {
        part.fontName = name;
    }
    if (comma != std::string_view::npos) {
        std::string style(spec.substr(comma + 1));
        for (char& c : style) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        part.bold = style.find("bold") != std::string::npos;
        part.italic = style.find("italic") != std::string::npos;
    }
}

} // namespace

HeaderFooter expandHeaderFooter(std::string_view s, const PageFields& f) {
    HeaderFooter out;
    HeaderPart* part = &out.center;
    std::size_t i = 0;
    while (i < s.size()) {
        const char c = s[i++];
        if (c != '&' || i >= s.size()) {
            if (c != '&') {
                part->text += c;
            }
            continue;
        }
        const char code = s[i++];
        switch (std::toupper(static_cast<unsigned char>(code))) {
        case 'L': part = &out.left; break;
        case 'C': part = &out.center; break;
        case 'R': part = &out.right; break;
        case 'P': {
            int n = f.page;
            if (i + 1 < s.size() && (s[i] == '+' || s[i] == '-') && isDigit(s[i + 1])) {
                const bool plus = s[i] == '+';
                ++i;
                const int d = digitsAt(s, i);
                n = plus ? n + d : n - d;
            }
            part->text += std::to_string(n);
            break;
        }
        case 'N': part->text += std::to_string(f.pages); break;
        case 'A': part->text += f.sheet; break;
        case 'F': part->text += f.file; break;
        case 'D': part->text += f.date; break;
        case 'T': part->text += f.time; break;
        case '&': part->text += '&'; break;
        case 'B': part->bold = !part->bold; break;
        case 'I': part->italic = !part->italic; break;
        case 'U': part->underline = !part->underline; break;
        case 'S': part->strikeout = !part->strikeout; break;
        case '"': {
            const std::size_t end = s.find('"', i);
            applyFont(*part, s.substr(i, end == std::string_view::npos ? s.size() - i : end - i));
            i = end == std::string_view::npos ? s.size() : end + 1;
            break;
        }
        default:
            if (isDigit(code)) {
                --i;
                const int size = digitsAt(s, i);
                if (size > 0 && size <= 409) {
                    part->fontSize = size;
                }
            }
            break;
        }
    }
    return out;
}

} // namespace fc::print
