#include "components/formula/Lexer.h"

#include <cstdlib>
#include <cstring>

namespace fc::formula {

namespace {

bool isDigit(unsigned char ch) { return ch >= '0' && ch <= '9'; }
bool isBlank(unsigned char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') {
            x = static_cast<unsigned char>(x - 32);
        }
        if (y >= 'a' && y <= 'z') {
            y = static_cast<unsigned char>(y - 32);
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

} // namespace

Token Lexer::next() {
    while (pos_ < src_.size() && isBlank(static_cast<unsigned char>(src_[pos_]))) {
        ++pos_;
    }
    Token t;
    t.begin = pos_;
    if (pos_ >= src_.size()) {
        t.kind = Token::End;
        t.end = pos_;
        return t;
    }
    const unsigned char ch = static_cast<unsigned char>(src_[pos_]);
    const unsigned char nx =
        pos_ + 1 < src_.size() ? static_cast<unsigned char>(src_[pos_ + 1]) : 0;

    if (isNameChar(ch) || ch == '$' || ch == '\'') {
        if (std::size_t n = scanReference(src_, pos_, t.ref)) {
            t.kind = Token::Ref;
            pos_ += n;
            t.end = pos_;
            return t;
        }
        // A prefix followed by an error spelling: what a reference becomes when it is lost.
        std::string sheet;
        std::size_t prefix = scanSheetPrefix(src_, pos_, sheet);
        if (prefix > 0 && pos_ + prefix < src_.size() && src_[pos_ + prefix] == '#') {
            lexError(t, pos_ + prefix);
            if (t.kind == Token::Error) {
                return t;
            }
            t = Token{};
            t.begin = pos_;
        }
        if (ch == '\'') {
            t.kind = Token::Bad;
            t.end = ++pos_;
            return t;
        }
        if (isDigit(ch) || (ch == '.' && isDigit(nx))) {
            lexNumber(t);
            return t;
        }
        if (ch == '$') {
            t.kind = Token::Bad;
            t.end = ++pos_;
            return t;
        }
        lexName(t);
        return t;
    }
    switch (ch) {
    case '"': lexString(t); return t;
    case '#':
        lexError(t, pos_);
        if (t.kind != Token::Error) {
            t.kind = Token::Bad;
            t.end = ++pos_;
        }
        return t;
    case '(': t.kind = Token::LParen; break;
    case ')': t.kind = Token::RParen; break;
    case ',':
    case ';': t.kind = Token::Sep; break;
    case '+':
        t.kind = Token::Oper;
        t.op = Op::Add;
        break;
    case '-':
        t.kind = Token::Oper;
        t.op = Op::Sub;
        break;
    case '*':
        t.kind = Token::Oper;
        t.op = Op::Mul;
        break;
    case '/':
        t.kind = Token::Oper;
        t.op = Op::Div;
        break;
    case '^':
        t.kind = Token::Oper;
        t.op = Op::Pow;
        break;
    case '&':
        t.kind = Token::Oper;
        t.op = Op::Cat;
        break;
    case '%':
        t.kind = Token::Oper;
        t.op = Op::Percent;
        break;
    case ':':
        t.kind = Token::Oper;
        t.op = Op::Colon;
        break;
    case '=':
        t.kind = Token::Oper;
        t.op = Op::Eq;
        break;
    case '<':
        t.kind = Token::Oper;
        t.op = Op::Lt;
        if (nx == '=' || nx == '>') {
            t.op = nx == '=' ? Op::Le : Op::Ne;
            ++pos_;
        }
        break;
    case '>':
        t.kind = Token::Oper;
        t.op = Op::Gt;
        if (nx == '=') {
            t.op = Op::Ge;
            ++pos_;
        }
        break;
    default: t.kind = Token::Bad; break;
    }
    t.end = ++pos_;
    return t;
}

void Lexer::lexNumber(Token& t) {
    std::size_t p = pos_;
    auto digitAt = [&](std::size_t i) {
        return i < src_.size() && isDigit(static_cast<unsigned char>(src_[i]));
    };
    while (digitAt(p)) {
        ++p;
    }
    if (p < src_.size() && src_[p] == '.') {
        ++p;
        while (digitAt(p)) {
            ++p;
        }
    }
    if (p < src_.size() && (src_[p] == 'e' || src_[p] == 'E')) {
        std::size_t q = p + 1;
        if (q < src_.size() && (src_[q] == '+' || src_[q] == '-')) {
            ++q;
        }
        if (digitAt(q)) {
            while (digitAt(q)) {
                ++q;
            }
            p = q;
        }
    }
    std::string text(src_.substr(pos_, p - pos_));
    t.kind = Token::Number;
    t.number = std::strtod(text.c_str(), nullptr);
    pos_ = p;
    t.end = p;
}

void Lexer::lexString(Token& t) {
    std::size_t p = pos_ + 1;
    for (;;) {
        if (p >= src_.size()) {
            t.kind = Token::Bad;
            pos_ = src_.size();
            t.end = pos_;
            return;
        }
        if (src_[p] == '"') {
            if (p + 1 < src_.size() && src_[p + 1] == '"') {
                t.text += '"';
                p += 2;
                continue;
            }
            break;
        }
        t.text += src_[p++];
    }
    t.kind = Token::String;
    pos_ = p + 1;
    t.end = pos_;
}

void Lexer::lexError(Token& t, std::size_t from) {
    for (ErrorCode e : {ErrorCode::Null, ErrorCode::Div0, ErrorCode::Value, ErrorCode::Ref,
                        ErrorCode::Name, ErrorCode::Num, ErrorCode::NA}) {
        std::string_view spelling = errorText(e);
        if (equalsNoCase(src_.substr(from, spelling.size()), spelling)) {
            t.kind = Token::Error;
            t.error = e;
            pos_ = from + spelling.size();
            t.end = pos_;
            return;
        }
    }
}

void Lexer::lexName(Token& t) {
    std::size_t p = pos_;
    while (p < src_.size() && isNameChar(static_cast<unsigned char>(src_[p]))) {
        ++p;
    }
    t.text = std::string(src_.substr(pos_, p - pos_));
    pos_ = p;
    t.end = p;
    if (p < src_.size() && src_[p] == '(') {
        t.kind = Token::Func;
        return;
    }
    if (equalsNoCase(t.text, "TRUE") || equalsNoCase(t.text, "FALSE")) {
        t.kind = Token::Bool;
        t.boolean = equalsNoCase(t.text, "TRUE");
        return;
    }
    t.kind = Token::Name;
}

} // namespace fc::formula
