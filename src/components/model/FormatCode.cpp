// Parsing of number format strings into sections of tokens.
#include "components/model/FormatCode_p.h"

#include <cctype>
#include <cstdlib>
#include <unordered_map>

namespace fc::format {

namespace {

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool startsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
    if (s.size() - at < word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (lowerAscii(s[at + i]) != lowerAscii(word[i])) {
            return false;
        }
    }
    return true;
}

// Splits at ";" outside quotes, escapes and brackets.
std::vector<std::string_view> splitSections(std::string_view f) {
    std::vector<std::string_view> out;
    std::size_t start = 0;
    bool quoted = false;
    bool bracket = false;
    for (std::size_t i = 0; i < f.size(); ++i) {
        char c = f[i];
        if (quoted) {
            quoted = c != '"';
        } else if (bracket) {
            bracket = c != ']';
        } else if (c == '"') {
            quoted = true;
        } else if (c == '[') {
            bracket = true;
        } else if ((c == '\\' || c == '_' || c == '*') && i + 1 < f.size()) {
            ++i;
        } else if (c == ';') {
            out.push_back(f.substr(start, i - start));
            start = i + 1;
        }
    }
    out.push_back(f.substr(start));
    return out;
}

struct NamedColor {
    const char* name;
    Color color;
};

constexpr NamedColor kColors[] = {
    {"black", rgb(0, 0, 0)},       {"blue", rgb(0, 0, 255)},      {"cyan", rgb(0, 255, 255)},
    {"green", rgb(0, 255, 0)},     {"magenta", rgb(255, 0, 255)}, {"red", rgb(255, 0, 0)},
    {"white", rgb(255, 255, 255)}, {"yellow", rgb(255, 255, 0)},
};

// The first colours of the spreadsheet palette, for "[ColorN]".
constexpr Color kPalette[] = {
    rgb(0, 0, 0),     rgb(255, 255, 255), rgb(255, 0, 0),     rgb(0, 255, 0),
    rgb(0, 0, 255),   rgb(255, 255, 0),   rgb(255, 0, 255),   rgb(0, 255, 255),
    rgb(128, 0, 0),   rgb(0, 128, 0),     rgb(0, 0, 128),     rgb(128, 128, 0),
    rgb(128, 0, 128), rgb(0, 128, 128),   rgb(192, 192, 192), rgb(128, 128, 128)};

void addLiteral(Section& s, std::string_view text) {
    if (text.empty()) {
        return;
    }
    if (!s.tokens.empty() && s.tokens.back().kind == Tok::Literal && s.tokens.back().ch == 0) {
        s.tokens.back().text.append(text.data(), text.size());
        return;
    }
    Token t;
    t.kind = Tok::Literal;
    t.text.assign(text.data(), text.size());
    s.tokens.push_back(std::move(t));
}

void addToken(Section& s, Tok kind, int n = 0, char ch = 0) {
    Token t;
    t.kind = kind;
    t.n = n;
    t.ch = ch;
    s.tokens.push_back(std::move(t));
}

// "[...]" content: a colour, a condition, an elapsed-time code or a locale/currency tag.
void bracket(Section& s, std::string_view b) {
    std::string low;
    for (char c : b) {
        low += lowerAscii(c);
    }
    for (const NamedColor& nc : kColors) {
        if (low == nc.name) {
            s.color = nc.color;
            return;
        }
    }
    if (low.compare(0, 5, "color") == 0 && low.size() > 5) {
        int n = std::atoi(low.c_str() + 5);
        if (n >= 1 && n <= static_cast<int>(sizeof kPalette / sizeof kPalette[0])) {
            s.color = kPalette[n - 1];
        }
        return;
    }
    if (!b.empty() && (b[0] == '<' || b[0] == '>' || b[0] == '=')) {
        std::size_t i = 1;
        if (b[0] == '<' && b.size() > 1 && b[1] == '=') {
            s.cond = CondOp::LessEq, i = 2;
        } else if (b[0] == '<' && b.size() > 1 && b[1] == '>') {
            s.cond = CondOp::NotEqual, i = 2;
        } else if (b[0] == '>' && b.size() > 1 && b[1] == '=') {
            s.cond = CondOp::GreaterEq, i = 2;
        } else {
            s.cond = b[0] == '<' ? CondOp::Less : b[0] == '>' ? CondOp::Greater : CondOp::Equal;
        }
        std::string num(b.substr(i));
        char* end = nullptr;
        s.condValue = std::strtod(num.c_str(), &end);
        if (end == num.c_str()) {
            s.cond = CondOp::None;
        }
        return;
    }
    if (!low.empty() && low.find_first_not_of(low[0]) == std::string::npos) {
        if (low[0] == 'h') {
            addToken(s, Tok::ElapsedHours, static_cast<int>(low.size()));
        } else if (low[0] == 'm') {
            addToken(s, Tok::ElapsedMinutes, static_cast<int>(low.size()));
        } else if (low[0] == 's') {
            addToken(s, Tok::ElapsedSeconds, static_cast<int>(low.size()));
        }
        return;
    }
    if (!b.empty() && b[0] == '$') {
        // "[$р.-419]": a currency symbol, then the locale code that we ignore.
        std::string_view sym = b.substr(1);
        addLiteral(s, sym.substr(0, sym.find('-')));
    }
}

void tokenize(Section& s, std::string_view f) {
    std::size_t i = 0;
    while (i < f.size()) {
        char c = f[i];
        char lc = lowerAscii(c);
        if (c == '"') {
            std::size_t end = f.find('"', i + 1);
            if (end == std::string_view::npos) {
                end = f.size();
            }
            addLiteral(s, f.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '\\') {
            addLiteral(s, f.substr(i + 1, 1));
            i += 2;
        } else if (c == '_') {
            // Room for the next character's width; a blank is the nearest we can show.
            addLiteral(s, " ");
            i += 2;
        } else if (c == '*') {
            i += 2; // fill character: the cell is not padded here
        } else if (c == '[') {
            std::size_t end = f.find(']', i + 1);
            if (end == std::string_view::npos) {
                end = f.size();
            }
            bracket(s, f.substr(i + 1, end - i - 1));
            i = end + 1;
        } else if (c == '0' || c == '#' || c == '?') {
            addToken(s, Tok::Digit, 0, c);
            ++i;
        } else if (c == '.') {
            addToken(s, Tok::Point);
            ++i;
        } else if (c == ',' || c == ' ') {
            addToken(s, Tok::Literal, 0, c); // resolved to grouping or scaling below
            s.tokens.back().text.assign(1, c);
            ++i;
        } else if (c == '%') {
            addToken(s, Tok::Percent);
            ++i;
        } else if (lc == 'e' && i + 1 < f.size() && (f[i + 1] == '+' || f[i + 1] == '-')) {
            Token t;
            t.kind = Tok::Exp;
            t.text = f[i + 1] == '+' ? "E+" : "E-";
            s.tokens.push_back(std::move(t));
            i += 2;
        } else if (c == '@') {
            addToken(s, Tok::Text);
            ++i;
        } else if (startsWithNoCase(f, i, "general")) {
            addToken(s, Tok::General);
            i += 7;
        } else if (startsWithNoCase(f, i, "am/pm") || startsWithNoCase(f, i, "a/p")) {
            std::size_t len = startsWithNoCase(f, i, "am/pm") ? 5 : 3;
            Token t;
            t.kind = Tok::AmPm;
            t.text.assign(f.data() + i, len);
            s.tokens.push_back(std::move(t));
            i += len;
        } else if (lc == 'y' || lc == 'm' || lc == 'd' || lc == 'h' || lc == 's') {
            std::size_t j = i;
            while (j < f.size() && lowerAscii(f[j]) == lc) {
                ++j;
            }
            int n = static_cast<int>(j - i);
            Tok k = lc == 'y'   ? Tok::Year
                    : lc == 'm' ? Tok::Month
                    : lc == 'd' ? Tok::Day
                    : lc == 'h' ? Tok::Hour
                                : Tok::Second;
            addToken(s, k, n);
            i = j;
        } else {
            addLiteral(s, f.substr(i, 1));
            ++i;
        }
    }
}

bool isDateTok(Tok k) {
    switch (k) {
    case Tok::Year:
    case Tok::Month:
    case Tok::Day:
    case Tok::Hour:
    case Tok::Minute:
    case Tok::Second:
    case Tok::AmPm:
    case Tok::ElapsedHours:
    case Tok::ElapsedMinutes:
    case Tok::ElapsedSeconds: return true;
    default: return false;
    }
}

bool isSeparatorLiteral(const Token& t) { return t.kind == Tok::Literal && t.ch != 0; }

// Month tokens next to hours or seconds are minutes; the decimal point after seconds starts
// the fraction of a second; digit placeholders and separators are plain text.
void finishDate(Section& s) {
    std::vector<Token>& t = s.tokens;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != Tok::Month || t[i].n > 2) {
            continue;
        }
        bool afterHour = false;
        for (std::size_t j = i; j-- > 0;) {
            if (isDateTok(t[j].kind)) {
                afterHour = t[j].kind == Tok::Hour || t[j].kind == Tok::ElapsedHours;
                break;
            }
        }
        bool beforeSecond = false;
        for (std::size_t j = i + 1; j < t.size(); ++j) {
            if (isDateTok(t[j].kind)) {
                beforeSecond = t[j].kind == Tok::Second;
                break;
            }
        }
        if (afterHour || beforeSecond) {
            t[i].kind = Tok::Minute;
        }
    }
    std::vector<Token> out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        Token tok = std::move(t[i]);
        bool afterSeconds = !out.empty() && (out.back().kind == Tok::Second ||
                                             out.back().kind == Tok::ElapsedSeconds);
        if (tok.kind == Tok::Point && afterSeconds && i + 1 < t.size() &&
            t[i + 1].kind == Tok::Digit && t[i + 1].ch == '0') {
            int n = 0;
            while (i + 1 < t.size() && t[i + 1].kind == Tok::Digit && n < 3) {
                ++i;
                ++n;
            }
            Token frac;
            frac.kind = Tok::FracSec;
            frac.n = n;
            s.fracSecDigits = n;
            out.push_back(std::move(frac));
            continue;
        }
        Token lit;
        lit.kind = Tok::Literal;
        switch (tok.kind) {
        case Tok::Point: lit.text = "."; break;
        case Tok::Digit: lit.text.assign(1, tok.ch); break;
        case Tok::Percent: lit.text = "%"; break;
        case Tok::Exp: lit.text = tok.text; break;
        case Tok::Literal: lit.text = tok.text; break;
        default:
            if (tok.kind == Tok::Day && tok.n <= 2) {
                s.genitiveMonths = true;
            }
            if (tok.kind == Tok::Hour || tok.kind == Tok::Minute || tok.kind == Tok::Second ||
                tok.kind == Tok::ElapsedHours || tok.kind == Tok::ElapsedMinutes ||
                tok.kind == Tok::ElapsedSeconds || tok.kind == Tok::AmPm) {
                s.needsTime = true;
            }
            s.hasHours = s.hasHours || tok.kind == Tok::AmPm;
            out.push_back(std::move(tok));
            continue;
        }
        if (!out.empty() && out.back().kind == Tok::Literal) {
            out.back().text += lit.text;
        } else {
            out.push_back(std::move(lit));
        }
    }
    t = std::move(out);
}

// A comma or blank between two digit placeholders groups thousands; commas right after the
// integer placeholders scale by a thousand each; anything else is text.
void finishNumber(Section& s) {
    std::vector<Token>& t = s.tokens;
    std::vector<Token> out;
    bool inFraction = false;
    bool inExponent = false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        Token& tok = t[i];
        if (isSeparatorLiteral(tok)) {
            bool prevDigit = !out.empty() && out.back().kind == Tok::Digit;
            std::size_t j = i + 1;
            while (j < t.size() && isSeparatorLiteral(t[j]) && t[j].ch == tok.ch) {
                ++j;
            }
            bool nextDigit = j < t.size() && t[j].kind == Tok::Digit;
            bool integerPart = !inFraction && !inExponent;
            if (prevDigit && nextDigit && integerPart && j == i + 1) {
                s.grouping = true;
                s.groupSeparator = tok.ch;
                continue;
            }
            if (tok.ch == ',' && prevDigit && integerPart && !nextDigit) {
                s.thousandsScale += static_cast<int>(j - i);
                i = j - 1;
                continue;
            }
            tok.ch = 0;
        }
        switch (tok.kind) {
        case Tok::Digit:
            if (inExponent) {
                ++s.expDigits;
            } else if (inFraction) {
                ++s.fracDigits;
                s.fracAllOptional = s.fracAllOptional && tok.ch == '#';
            } else {
                ++s.intDigits;
            }
            break;
        case Tok::Point:
            if (inFraction || inExponent) {
                tok.kind = Tok::Literal;
                tok.text = ".";
            } else {
                inFraction = true;
                s.hasPoint = true;
            }
            break;
        case Tok::Exp:
            if (inExponent) {
                tok.kind = Tok::Literal;
            } else {
                inExponent = true;
                s.hasExp = true;
            }
            break;
        case Tok::Percent: ++s.percents; break;
        case Tok::Text: s.hasText = true; break;
        default: break;
        }
        if (tok.kind == Tok::Literal && !out.empty() && out.back().kind == Tok::Literal) {
            out.back().text += tok.text;
            continue;
        }
        out.push_back(std::move(tok));
    }
    t = std::move(out);
}

Section parseSection(std::string_view f) {
    Section s;
    tokenize(s, f);
    for (const Token& t : s.tokens) {
        s.isDate = s.isDate || isDateTok(t.kind);
    }
    if (s.isDate) {
        finishDate(s);
    } else {
        finishNumber(s);
    }
    for (const Token& t : s.tokens) {
        s.hasText = s.hasText || t.kind == Tok::Text;
    }
    return s;
}

Code parse(std::string_view f) {
    Code c;
    if (f.empty() || (f.size() == 7 && startsWithNoCase(f, 0, "general"))) {
        c.general = true;
        return c;
    }
    std::vector<std::string_view> parts = splitSections(f);
    if (parts.size() > 4) {
        parts.resize(4);
    }
    for (std::string_view p : parts) {
        c.sections.push_back(parseSection(p));
    }
    return c;
}

} // namespace

bool Section::matches(double v) const {
    switch (cond) {
    case CondOp::None: return true;
    case CondOp::Less: return v < condValue;
    case CondOp::LessEq: return v <= condValue;
    case CondOp::Greater: return v > condValue;
    case CondOp::GreaterEq: return v >= condValue;
    case CondOp::Equal: return v == condValue;
    case CondOp::NotEqual: return v != condValue;
    }
    return true;
}

const Code& compiled(std::string_view format) {
    // Every painted cell asks for its format, and a sheet uses few distinct ones.
    thread_local std::unordered_map<std::string, std::unique_ptr<Code>> cache;
    thread_local std::string lastKey;
    thread_local const Code* last = nullptr;
    if (last && format == lastKey) {
        return *last;
    }
    std::string key(format);
    auto it = cache.find(key);
    if (it == cache.end()) {
        if (cache.size() >= 4096) {
            // Formats come from files too; a flood of distinct ones must not grow without end.
            cache.clear();
        }
        it = cache.emplace(key, std::make_unique<Code>(parse(format))).first;
    }
    lastKey = std::move(key);
    last = it->second.get();
    return *last;
}

} // namespace fc::format
