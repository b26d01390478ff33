#pragma once

#include "components/formula/References.h"
#include "components/model/Value.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace fc::formula {

enum class Op : std::uint8_t {
    Add,
    Sub,
    Mul,
    Div,
    Pow,
    Cat,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
    Percent,
    Colon,
    Neg,
    Plus
};

struct Token {
    enum Kind : std::uint8_t {
        End,
        Number,
        String,
        Bool,
        Error,
        Ref,
        Func,
        Name,
        Oper,
        LParen,
        RParen,
        Sep,
        Bad
    };
    Kind kind = End;
    std::size_t begin = 0, end = 0; // bytes of the source
    double number = 0;
    bool boolean = false;
    Op op = Op::Add;
    ErrorCode error = ErrorCode::None;
    std::string text; // String: unescaped; Func, Name: as written
    RefText ref;
};

// Splits formula text into tokens. It never fails: what it cannot read becomes a Bad token
// (an unterminated string runs to the end), so rewriting works on any text.
class Lexer {
public:
    explicit Lexer(std::string_view source) : src_(source) {}
    // The next token, blanks skipped; End at the end of the text.
    Token next();

private:
    void lexNumber(Token& t);
    void lexString(Token& t);
    void lexError(Token& t, std::size_t from);
    void lexName(Token& t);

    std::string_view src_;
    std::size_t pos_ = 0;
};

} // namespace fc::formula
