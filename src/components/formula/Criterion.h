#pragma once

#include "components/formula/Context.h"

#include <string>
#include <string_view>

namespace fc::formula {

// A SUMIF/COUNTIF condition: a plain value, or a text such as ">5", "<>x", "=", "a*b?c~*".
// Texts compare without case and wildcards work with "=" and "<>"; a numeric condition also
// matches texts that read as that number.
class Criterion {
public:
    explicit Criterion(const Value& condition);

    bool matches(const CellView& v) const;
    bool matchesEmpty() const { return matchesEmpty_; }

private:
    enum class Cmp : std::uint8_t { Eq, Ne, Lt, Le, Gt, Ge };
    enum class Type : std::uint8_t { Number, Text, Bool, Error, Blank };

    bool compare(int c) const; // c: cell compared with the operand, <0, 0, >0
    bool equalText(std::string_view cell) const;

    Cmp cmp_ = Cmp::Eq;
    Type type_ = Type::Number;
    double number_ = 0;
    std::string text_; // upper case
    bool wildcard_ = false;
    bool blankText_ = false; // a bare "" also matches empty texts
    ErrorCode error_ = ErrorCode::None;
    bool matchesEmpty_ = false;
};

// Wildcard match, case ignored: "*" any run, "?" one character, "~" takes the next literally.
// `pattern` is upper case.
bool wildcardMatch(std::string_view pattern, std::string_view text);

} // namespace fc::formula
