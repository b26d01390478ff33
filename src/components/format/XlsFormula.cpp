#include "components/format/XlsFormula.h"

#include "components/format/ByteIo_p.h"
#include "components/format/ExcelCommon.h"
#include "components/format/XlsFunctions_p.h"
#include "components/model/Types.h"
#include "components/model/Value.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

namespace fc::xls {

namespace {

enum Ptg : unsigned {
    kAdd = 0x03,
    kSub = 0x04,
    kMul = 0x05,
    kDiv = 0x06,
    kPower = 0x07,
    kConcat = 0x08,
    kLt = 0x09,
    kLe = 0x0A,
    kEq = 0x0B,
    kGe = 0x0C,
    kGt = 0x0D,
    kNe = 0x0E,
    kUplus = 0x12,
    kUminus = 0x13,
    kPercent = 0x14,
    kParen = 0x15,
    kMissArg = 0x16,
    kStr = 0x17,
    kAttr = 0x19,
    kErr = 0x1C,
    kBool = 0x1D,
    kInt = 0x1E,
    kNum = 0x1F,
    kFunc = 0x01,    // + class
    kFuncVar = 0x02, // + class
    kRef = 0x04,     // + class
    kArea = 0x05,    // + class
    kRef3d = 0x1A,   // + class
    kArea3d = 0x1B,  // + class
};

unsigned classBase(char cls) { return cls == 'R' ? 0x20 : cls == 'A' ? 0x60 : 0x40; }

struct ErrorSpelling {
    const char* text;
    unsigned code;
};
const ErrorSpelling kErrors[] = {{"#NULL!", 0x00}, {"#DIV/0!", 0x07}, {"#VALUE!", 0x0F},
                                 {"#REF!", 0x17},  {"#NAME?", 0x1D},  {"#NUM!", 0x24},
                                 {"#N/A", 0x2A}};

struct CellAddr {
    int row = -1; // 0-based; -1: whole columns
    int col = -1; // 0-based; -1: whole rows
    bool rowAbs = false;
    bool colAbs = false;
};

class Compiler {
public:
    Compiler(std::string_view s, const SheetIndexOf& sheets, ByteWriter& out)
        : s_(s), sheets_(sheets), out_(out) {}

    bool run() {
        if (!expr('V')) {
            return false;
        }
        skip();
        return pos_ == s_.size() && out_.size() <= 1800;
    }

private:
    void skip() {
        while (pos_ < s_.size() &&
               (s_[pos_] == ' ' || s_[pos_] == '\t' || s_[pos_] == '\r' || s_[pos_] == '\n')) {
            ++pos_;
        }
    }
    bool eat(std::string_view t) {
        skip();
        if (s_.substr(pos_, t.size()) == t) {
            pos_ += t.size();
            return true;
        }
        return false;
    }
    char peek() {
        skip();
        return pos_ < s_.size() ? s_[pos_] : '\0';
    }

    bool expr(char cls) { return comparison(cls); }

    bool comparison(char cls) {
        if (!concat(cls)) {
            return false;
        }
        for (;;) {
            unsigned op;
            if (eat("<>")) {
                op = kNe;
            } else if (eat("<=")) {
                op = kLe;
            } else if (eat(">=")) {
                op = kGe;
            } else if (eat("<")) {
                op = kLt;
            } else if (eat(">")) {
                op = kGt;
            } else if (eat("=")) {
                op = kEq;
            } else {
                return true;
            }
            if (!concat('V')) {
                return false;
            }
            out_.u8(op);
        }
    }

    bool concat(char cls) {
        if (!additive(cls)) {
            return false;
        }
        while (eat("&")) {
            if (!additive('V')) {
                return false;
            }
            out_.u8(kConcat);
        }
        return true;
    }

    bool additive(char cls) {
        if (!term(cls)) {
            return false;
        }
        for (;;) {
            unsigned op;
            if (eat("+")) {
                op = kAdd;
            } else if (eat("-")) {
                op = kSub;
            } else {
                return true;
            }
            if (!term('V')) {
                return false;
            }
            out_.u8(op);
        }
    }

    bool term(char cls) {
        if (!power(cls)) {
            return false;
        }
        for (;;) {
            unsigned op;
            if (eat("*")) {
                op = kMul;
            } else if (eat("/")) {
                op = kDiv;
            } else {
                return true;
            }
            if (!power('V')) {
                return false;
            }
            out_.u8(op);
        }
    }

    bool power(char cls) {
        if (!unary(cls)) {
            return false;
        }
        while (eat("^")) {
            if (!unary('V')) {
                return false;
            }
            out_.u8(kPower);
        }
        return true;
    }

    bool unary(char cls) {
        if (++depth_ > 100) {
            return false;
        }
        bool ok;
        if (eat("-")) {
            ok = unary('V');
            out_.u8(kUminus);
        } else if (eat("+")) {
            ok = unary('V');
            out_.u8(kUplus);
        } else {
            ok = primary(cls);
            while (ok && eat("%")) {
                out_.u8(kPercent);
            }
        }
        --depth_;
        return ok;
    }

    bool number() {
        std::size_t start = pos_;
        while (pos_ < s_.size() &&
               (std::isdigit(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '.')) {
            ++pos_;
        }
        if (pos_ < s_.size() && (s_[pos_] == 'e' || s_[pos_] == 'E')) {
            std::size_t e = pos_ + 1;
            if (e < s_.size() && (s_[e] == '+' || s_[e] == '-')) {
                ++e;
            }
            if (e < s_.size() && std::isdigit(static_cast<unsigned char>(s_[e]))) {
                pos_ = e;
                while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_]))) {
                    ++pos_;
                }
            }
        }
        double d = 0;
        auto r = std::from_chars(s_.data() + start, s_.data() + pos_, d);
        if (r.ec != std::errc() || r.ptr != s_.data() + pos_ || !std::isfinite(d)) {
            return false;
        }
        if (d >= 0 && d <= 65535 && d == std::floor(d)) {
            out_.u8(kInt);
            out_.u16(static_cast<unsigned>(d));
        } else {
            out_.u8(kNum);
            out_.f64(d);
        }
        return true;
    }

    bool string() {
        ++pos_; // opening quote
        std::string text;
        for (;;) {
            if (pos_ >= s_.size()) {
                return false;
            }
            char c = s_[pos_++];
            if (c == '"') {
                if (pos_ < s_.size() && s_[pos_] == '"') {
                    text += '"';
                    ++pos_;
                    continue;
                }
                break;
            }
            text += c;
        }
        if (text.size() > 255) {
            return false;
        }
        std::u16string u = toUtf16(text);
        out_.u8(kStr);
        out_.u8(static_cast<unsigned>(u.size()));
        out_.u8(1);
        for (char16_t ch : u) {
            out_.u16(ch);
        }
        return true;
    }

    // [$]letters[$]digits, [$]letters (whole columns) or [$]digits (whole rows) at pos_.
    bool address(CellAddr& a) {
        std::size_t p = pos_;
        auto isAlpha = [&](std::size_t i) {
            return i < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i]));
        };
        auto isDigit = [&](std::size_t i) {
            return i < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i]));
        };
        a = CellAddr{};
        bool colAbs = p < s_.size() && s_[p] == '$';
        if (colAbs) {
            ++p;
        }
        int col = 0, letters = 0;
        while (isAlpha(p) && letters < 4) {
            col = col * 26 + (std::toupper(static_cast<unsigned char>(s_[p])) - 'A' + 1);
            ++p;
            ++letters;
        }
        bool rowAbs = p < s_.size() && s_[p] == '$';
        if (rowAbs) {
            ++p;
        }
        long row = 0;
        int digits = 0;
        while (isDigit(p) && digits < 7) {
            row = row * 10 + (s_[p] - '0');
            ++p;
            ++digits;
        }
        // A reference never runs on into a name or a call.
        if (isAlpha(p) || isDigit(p) || (p < s_.size() && (s_[p] == '_' || s_[p] == '('))) {
            return false;
        }
        if (letters == 0 && digits == 0) {
            return false;
        }
        if (letters > 0) {
            if (col > kMaxCols) {
                return false;
            }
            a.col = col - 1;
            a.colAbs = colAbs;
        }
        if (digits > 0) {
            if (row < 1 || row > kMaxRows) {
                return false;
            }
            a.row = static_cast<int>(row - 1);
            a.rowAbs = letters > 0 ? rowAbs : colAbs;
        } else if (rowAbs) {
            return false;
        }
        pos_ = p;
        return true;
    }

    static unsigned colField(int col, bool colAbs, bool rowAbs) {
        return static_cast<unsigned>(col) | (colAbs ? 0 : 0x4000u) | (rowAbs ? 0 : 0x8000u);
    }

    // A reference or range after an optional sheet prefix; `sheet` is -1 for this sheet.
    bool reference(char cls, int sheet) {
        CellAddr a, b;
        if (!address(a)) {
            return false;
        }
        bool range = false;
        std::size_t save = pos_;
        if (eat(":")) {
            skip();
            if (address(b)) {
                range = true;
            } else {
                pos_ = save;
            }
        }
        if (!range) {
            if (a.row < 0 || a.col < 0) {
                return false; // "A" or "5" alone is a name
            }
            b = a;
        }
        // Whole columns or rows only as ranges of the same shape.
        if ((a.row < 0) != (b.row < 0) || (a.col < 0) != (b.col < 0)) {
            return false;
        }
        if (a.row < 0) {
            a.row = 0;
            b.row = kMaxRows - 1;
            a.rowAbs = b.rowAbs = true;
        }
        if (a.col < 0) {
            a.col = 0;
            b.col = kMaxCols - 1;
            a.colAbs = b.colAbs = true;
        }
        unsigned base = classBase(cls);
        if (!range) {
            out_.u8(base + (sheet >= 0 ? kRef3d : kRef));
            if (sheet >= 0) {
                out_.u16(static_cast<unsigned>(sheet));
            }
            out_.u16(static_cast<unsigned>(a.row));
            out_.u16(colField(a.col, a.colAbs, a.rowAbs));
            return true;
        }
        if (a.row > b.row) {
            std::swap(a.row, b.row);
            std::swap(a.rowAbs, b.rowAbs);
        }
        if (a.col > b.col) {
            std::swap(a.col, b.col);
            std::swap(a.colAbs, b.colAbs);
        }
        out_.u8(base + (sheet >= 0 ? kArea3d : kArea));
        if (sheet >= 0) {
            out_.u16(static_cast<unsigned>(sheet));
        }
        out_.u16(static_cast<unsigned>(a.row));
        out_.u16(static_cast<unsigned>(b.row));
        out_.u16(colField(a.col, a.colAbs, a.rowAbs));
        out_.u16(colField(b.col, b.colAbs, b.rowAbs));
        return true;
    }

    bool call(const XlsFunction& f, char cls) {
        int argc = 0;
        if (!eat(")")) {
            for (;;) {
                char c = peek();
                if (c == ',' || c == ';' || c == ')') {
                    out_.u8(kMissArg);
                } else if (!expr(f.argClass(argc))) {
                    return false;
                }
                ++argc;
                if (eat(",") || eat(";")) {
                    continue;
                }
                if (eat(")")) {
                    break;
                }
                return false;
            }
        }
        if (argc < f.minArgs || argc > f.maxArgs) {
            return false;
        }
        char own = f.result == 'R' ? cls : (cls == 'A' ? 'A' : 'V');
        if (f.minArgs == f.maxArgs) {
            out_.u8(classBase(own) + kFunc);
            out_.u16(static_cast<unsigned>(f.index));
        } else {
            out_.u8(classBase(own) + kFuncVar);
            out_.u8(static_cast<unsigned>(argc));
            out_.u16(static_cast<unsigned>(f.index));
        }
        return true;
    }

    bool primary(char cls) {
        char c = peek();
        if (c == '\0') {
            return false;
        }
        if (c == '(') {
            ++pos_;
            if (!expr(cls) || !eat(")")) {
                return false;
            }
            out_.u8(kParen);
            return true;
        }
        if (c == '"') {
            return string();
        }
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
            // "1:3" is a range of whole rows, not a number.
            std::size_t save = pos_;
            if (std::isdigit(static_cast<unsigned char>(c)) && reference(cls, -1)) {
                return true;
            }
            pos_ = save;
            return number();
        }
        if (c == '#') {
            for (const ErrorSpelling& e : kErrors) {
                std::string_view t(e.text);
                if (s_.substr(pos_, t.size()) == t) {
                    pos_ += t.size();
                    out_.u8(kErr);
                    out_.u8(e.code);
                    return true;
                }
            }
            return false;
        }
        if (c == '\'') {
            // 'Sheet name'!A1
            std::string name;
            ++pos_;
            for (;;) {
                if (pos_ >= s_.size()) {
                    return false;
                }
                char ch = s_[pos_++];
                if (ch == '\'') {
                    if (pos_ < s_.size() && s_[pos_] == '\'') {
                        name += '\'';
                        ++pos_;
                        continue;
                    }
                    break;
                }
                name += ch;
            }
            if (pos_ >= s_.size() || s_[pos_] != '!') {
                return false;
            }
            ++pos_;
            int sheet = sheets_ ? sheets_(name) : -1;
            return sheet >= 0 && reference(cls, sheet);
        }
        if (c == '$' || std::isalpha(static_cast<unsigned char>(c)) || c == '_' ||
            static_cast<unsigned char>(c) >= 0x80) {
            std::size_t start = pos_;
            while (pos_ < s_.size() &&
                   (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_' ||
                    s_[pos_] == '.' || static_cast<unsigned char>(s_[pos_]) >= 0x80)) {
                ++pos_;
            }
            std::string_view word = s_.substr(start, pos_ - start);
            if (pos_ < s_.size() && s_[pos_] == '!') {
                ++pos_;
                int sheet = sheets_ ? sheets_(word) : -1;
                return sheet >= 0 && reference(cls, sheet);
            }
            std::size_t afterWord = pos_;
            if (eat("(")) {
                const XlsFunction* f = functionByName(word);
                return f && call(*f, cls);
            }
            pos_ = afterWord;
            auto upper = [](std::string_view w) {
                std::string u(w);
                for (char& ch : u) {
                    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
                }
                return u;
            };
            std::string u = upper(word);
            if (u == "TRUE" || u == "FALSE") {
                out_.u8(kBool);
                out_.u8(u == "TRUE" ? 1 : 0);
                return true;
            }
            pos_ = start;
            return reference(cls, -1);
        }
        return false;
    }

    std::string_view s_;
    const SheetIndexOf& sheets_;
    ByteWriter& out_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

// ---- reading tokens back

std::string quoteSheet(const std::string& name) {
    // Plain only when it cannot be taken for anything else: ASCII letters first, then
    // letters, digits or "_", and not shaped like a cell address.
    bool plain = !name.empty() && std::isalpha(static_cast<unsigned char>(name[0])) &&
                 static_cast<unsigned char>(name[0]) < 0x80;
    std::size_t letters = 0;
    while (letters < name.size() && std::isalpha(static_cast<unsigned char>(name[letters])) &&
           static_cast<unsigned char>(name[letters]) < 0x80) {
        ++letters;
    }
    bool digitsAfter = letters < name.size();
    for (std::size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80 || !(std::isalnum(c) || c == '_')) {
            plain = false;
        }
        if (i >= letters && !std::isdigit(c)) {
            digitsAfter = false;
        }
    }
    if (plain && letters <= 3 && digitsAfter) {
        plain = false;
    }
    if (plain) {
        return name;
    }
    std::string q = "'";
    for (char c : name) {
        q += c;
        if (c == '\'') {
            q += '\'';
        }
    }
    return q + "'";
}

std::string addrText(unsigned row, unsigned colField, bool wholeCols, bool wholeRows) {
    int col = static_cast<int>(colField & 0x3FFF) + 1;
    bool colAbs = !(colField & 0x4000);
    bool rowAbs = !(colField & 0x8000);
    std::string s;
    if (!wholeRows) {
        s += (colAbs ? "$" : "") + columnName(col);
    }
    if (!wholeCols) {
        s += (rowAbs ? "$" : "") + std::to_string(row + 1);
    }
    return s;
}

} // namespace

bool compileFormula(std::string_view source, const SheetIndexOf& sheets,
                    std::vector<std::uint8_t>& tokens) {
    ByteWriter out;
    Compiler c(source, sheets, out);
    if (!c.run()) {
        return false;
    }
    tokens = std::move(out.bytes());
    return true;
}

bool decompileFormula(const std::uint8_t* t, std::size_t n, const SheetNameOf& sheets,
                      std::string& source, char separator) {
    std::vector<std::string> st;
    std::size_t i = 0;
    auto need = [&](std::size_t k) { return i + k <= n; };
    auto pop = [&](std::string& s) {
        if (st.empty()) {
            return false;
        }
        s = std::move(st.back());
        st.pop_back();
        return true;
    };
    static const char* kOps[] = {"",  "",  "",   "+", "-",  "*", "/", "^",
                                 "&", "<", "<=", "=", ">=", ">", "<>"};
    while (i < n) {
        unsigned p = t[i++];
        if (p >= kAdd && p <= kNe) {
            std::string b, a;
            if (!pop(b) || !pop(a)) {
                return false;
            }
            st.push_back(a + kOps[p] + b);
            continue;
        }
        switch (p) {
        case kUplus:
        case kUminus:
        case kPercent:
        case kParen: {
            std::string a;
            if (!pop(a)) {
                return false;
            }
            st.push_back(p == kUplus     ? "+" + a
                         : p == kUminus  ? "-" + a
                         : p == kPercent ? a + "%"
                                         : "(" + a + ")");
            continue;
        }
        case kMissArg: st.emplace_back(); continue;
        case kStr: {
            if (!need(2)) {
                return false;
            }
            unsigned cch = t[i], flags = t[i + 1];
            i += 2;
            std::size_t bytes = cch * ((flags & 1) ? 2u : 1u);
            if (!need(bytes)) {
                return false;
            }
            std::u16string u;
            for (unsigned k = 0; k < cch; ++k) {
                u.push_back((flags & 1) ? static_cast<char16_t>(get16(t + i + k * 2))
                                        : static_cast<char16_t>(t[i + k]));
            }
            i += bytes;
            std::string s = "\"";
            for (char ch : fromUtf16(u)) {
                s += ch;
                if (ch == '"') {
                    s += '"';
                }
            }
            st.push_back(s + "\"");
            continue;
        }
        case kAttr: {
            if (!need(3)) {
                return false;
            }
            unsigned grbit = t[i];
            unsigned data = get16(t + i + 1);
            i += 3;
            if (grbit & 0x04) { // choose: a jump table follows
                if (!need((data + 1) * 2u)) {
                    return false;
                }
                i += (data + 1) * 2u;
            }
            if (grbit & 0x10) { // SUM of one argument
                std::string a;
                if (!pop(a)) {
                    return false;
                }
                st.push_back("SUM(" + a + ")");
            }
            continue;
        }
        case kErr: {
            if (!need(1)) {
                return false;
            }
            unsigned code = t[i++];
            const char* text = nullptr;
            for (const ErrorSpelling& e : kErrors) {
                if (e.code == code) {
                    text = e.text;
                }
            }
            if (!text) {
                return false;
            }
            st.emplace_back(text);
            continue;
        }
        case kBool:
            if (!need(1)) {
                return false;
            }
            st.emplace_back(t[i++] ? "TRUE" : "FALSE");
            continue;
        case kInt:
            if (!need(2)) {
                return false;
            }
            st.push_back(std::to_string(get16(t + i)));
            i += 2;
            continue;
        case kNum: {
            if (!need(8)) {
                return false;
            }
            double d = getF64(t + i);
            i += 8;
            if (!std::isfinite(d)) {
                return false;
            }
            char buf[32];
            auto r = std::to_chars(buf, buf + sizeof buf, d);
            st.emplace_back(buf, r.ptr);
            continue;
        }
        default: break;
        }
        unsigned cls = p & 0x60;
        unsigned base = p & 0x1F;
        if (cls == 0 || p > 0x7F) {
            return false;
        }
        switch (base) {
        case kFunc:
        case kFuncVar: {
            int argc = -1;
            if (base == kFuncVar) {
                if (!need(1)) {
                    return false;
                }
                argc = t[i++] & 0x7F;
            }
            if (!need(2)) {
                return false;
            }
            unsigned index = get16(t + i);
            i += 2;
            const XlsFunction* f =
                index & 0x8000 ? nullptr : functionByIndex(static_cast<int>(index));
            if (!f) {
                return false;
            }
            if (argc < 0) {
                argc = f->minArgs;
            }
            if (static_cast<std::size_t>(argc) > st.size()) {
                return false;
            }
            std::string args;
            const std::size_t first = st.size() - static_cast<std::size_t>(argc);
            for (std::size_t k = first; k < st.size(); ++k) {
                if (k > first) {
                    args += separator;
                }
                args += st[k];
            }
            st.resize(st.size() - static_cast<std::size_t>(argc));
            st.push_back(std::string(f->name) + "(" + args + ")");
            continue;
        }
        case kRef:
        case kRef3d: {
            std::string prefix;
            if (base == kRef3d) {
                if (!need(2)) {
                    return false;
                }
                std::string name = sheets ? sheets(static_cast<int>(get16(t + i))) : std::string();
                if (name.empty()) {
                    return false;
                }
                prefix = quoteSheet(name) + "!";
                i += 2;
            }
            if (!need(4)) {
                return false;
            }
            st.push_back(prefix + addrText(get16(t + i), get16(t + i + 2), false, false));
            i += 4;
            continue;
        }
        case kArea:
        case kArea3d: {
            std::string prefix;
            if (base == kArea3d) {
                if (!need(2)) {
                    return false;
                }
                std::string name = sheets ? sheets(static_cast<int>(get16(t + i))) : std::string();
                if (name.empty()) {
                    return false;
                }
                prefix = quoteSheet(name) + "!";
                i += 2;
            }
            if (!need(8)) {
                return false;
            }
            unsigned r1 = get16(t + i), r2 = get16(t + i + 2);
            unsigned c1 = get16(t + i + 4), c2 = get16(t + i + 6);
            i += 8;
            // Whole columns and rows are spelled as full ranges ("A$1:B$65536"), which
            // the program's formulas understand.
            st.push_back(prefix + addrText(r1, c1, false, false) + ":" +
                         addrText(r2, c2, false, false));
            continue;
        }
        case 0x0A: // reference error
            if (!need(4)) {
                return false;
            }
            i += 4;
            st.emplace_back("#REF!");
            continue;
        case 0x0B: // area error
            if (!need(8)) {
                return false;
            }
            i += 8;
            st.emplace_back("#REF!");
            continue;
        case 0x06: // memory area: the sub-expression follows
        case 0x07:
            if (!need(6)) {
                return false;
            }
            i += 6;
            continue;
        case 0x08:
        case 0x09:
            if (!need(2)) {
                return false;
            }
            i += 2;
            continue;
        default: return false;
        }
    }
    if (st.size() != 1) {
        return false;
    }
    source = std::move(st.back());
    return true;
}

} // namespace fc::xls
