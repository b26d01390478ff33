#include "components/formula/Criterion.h"

#include "components/text/Cp1251.h"

#include <vector>

namespace fc::formula {

Criterion::Criterion(const Value& condition) {
    switch (condition.kind) {
    case ValueKind::Empty:
        // An empty condition cell counts as 0, as a spreadsheet reads it.
        type_ = Type::Number;
        break;
    case ValueKind::Number:
        type_ = Type::Number;
        number_ = condition.number;
        break;
    case ValueKind::Boolean:
        type_ = Type::Bool;
        number_ = condition.number;
        break;
    case ValueKind::Error:
        type_ = Type::Error;
        error_ = condition.error;
        break;
    case ValueKind::Text: {
        std::string_view s = condition.text;
        bool hasOp = true;
        if (s.substr(0, 2) == "<=") {
            cmp_ = Cmp::Le;
        } else if (s.substr(0, 2) == ">=") {
            cmp_ = Cmp::Ge;
        } else if (s.substr(0, 2) == "<>") {
            cmp_ = Cmp::Ne;
        } else if (!s.empty() && s[0] == '<') {
            cmp_ = Cmp::Lt;
        } else if (!s.empty() && s[0] == '>') {
            cmp_ = Cmp::Gt;
        } else if (!s.empty() && s[0] == '=') {
            cmp_ = Cmp::Eq;
        } else {
            hasOp = false;
        }
        if (hasOp) {
            s.remove_prefix(cmp_ == Cmp::Le || cmp_ == Cmp::Ge || cmp_ == Cmp::Ne ? 2 : 1);
        }
        std::string operand(s);
        std::string upperOperand = cp1251::upper(operand);
        double d = 0;
        if (operand.empty() && (cmp_ == Cmp::Eq || cmp_ == Cmp::Ne)) {
            type_ = Type::Blank;
            blankText_ = !hasOp;
        } else if (ErrorCode e = errorFromText(upperOperand); e != ErrorCode::None) {
            type_ = Type::Error;
            error_ = e;
        } else if (upperOperand == "TRUE" || upperOperand == "FALSE") {
            type_ = Type::Bool;
            number_ = upperOperand == "TRUE" ? 1 : 0;
        } else if (textToNumber(operand, d)) {
            type_ = Type::Number;
            number_ = d;
        } else {
            type_ = Type::Text;
            text_ = std::move(upperOperand);
            wildcard_ = (cmp_ == Cmp::Eq || cmp_ == Cmp::Ne) &&
                        text_.find_first_of("*?~") != std::string::npos;
        }
        break;
    }
    }
    matchesEmpty_ = matches(CellView{});
}

bool Criterion::compare(int c) const {
    switch (cmp_) {
    case Cmp::Eq: return c == 0;
    case Cmp::Ne: return c != 0;
    case Cmp::Lt: return c < 0;
    case Cmp::Le: return c <= 0;
    case Cmp::Gt: return c > 0;
    case Cmp::Ge: return c >= 0;
    }
    return false;
}

bool Criterion::equalText(std::string_view cell) const {
    if (wildcard_) {
        return wildcardMatch(text_, cell);
    }
    return cell.size() == text_.size() && cp1251::collate(cell, text_, false) == 0;
}

bool Criterion::matches(const CellView& v) const {
    // Values of another type never equal the operand, so they pass only "<>".
    const bool otherType = cmp_ == Cmp::Ne;
    switch (type_) {
    case Type::Number:
        if (v.kind == ValueKind::Number) {
            return compare(nearlyEqual(v.number, number_) ? 0 : (v.number < number_ ? -1 : 1));
        }
        if (v.kind == ValueKind::Text && (cmp_ == Cmp::Eq || cmp_ == Cmp::Ne)) {
            double d = 0;
            bool eq = v.text && textToNumber(*v.text, d) && nearlyEqual(d, number_);
            return cmp_ == Cmp::Eq ? eq : !eq;
        }
        return otherType;
    case Type::Text:
        if (v.kind == ValueKind::Text) {
            std::string_view cell = v.text ? std::string_view(*v.text) : std::string_view();
            if (cmp_ == Cmp::Eq || cmp_ == Cmp::Ne) {
                return equalText(cell) == (cmp_ == Cmp::Eq);
            }
            return compare(cp1251::collate(cell, text_, false));
        }
        return otherType;
    case Type::Bool:
        if (v.kind == ValueKind::Boolean) {
            double a = v.number != 0 ? 1 : 0;
            return compare(a == number_ ? 0 : (a < number_ ? -1 : 1));
        }
        return otherType;
    case Type::Error:
        if (v.kind == ValueKind::Error) {
            return (v.error == error_) == (cmp_ == Cmp::Eq);
        }
        return otherType;
    case Type::Blank: {
        bool blank = v.kind == ValueKind::Empty ||
                     (blankText_ && v.kind == ValueKind::Text && (!v.text || v.text->empty()));
        return cmp_ == Cmp::Eq ? blank : v.kind != ValueKind::Empty;
    }
    }
    return false;
}

bool wildcardMatch(std::string_view pattern, std::string_view text) {
    // Pattern items: a literal byte, '?' (one) or '*' (any run); '~' makes the next literal.
    struct Item {
        char ch;
        char kind; // 'l', '?', '*'
    };
    std::vector<Item> items;
    items.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char ch = pattern[i];
        if (ch == '~' && i + 1 < pattern.size()) {
            items.push_back({pattern[++i], 'l'});
        } else if (ch == '*' || ch == '?') {
            items.push_back({ch, ch});
        } else {
            items.push_back({ch, 'l'});
        }
    }
    // Greedy match with one backtrack point: the last '*'.
    std::size_t p = 0, t = 0, starP = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (p < items.size() &&
            (items[p].kind == '?' ||
             (items[p].kind == 'l' && cp1251::upper(static_cast<unsigned char>(text[t])) ==
                                          static_cast<unsigned char>(items[p].ch)))) {
            ++p;
            ++t;
        } else if (p < items.size() && items[p].kind == '*') {
            starP = p++;
            starT = t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == '*') {
        ++p;
    }
    return p == items.size();
}

} // namespace fc::formula
