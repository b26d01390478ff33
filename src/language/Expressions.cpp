#include "language/Expressions.h"

#include "language/FunctionTable.h"

namespace fc::grammar {

namespace {

void factor(LineCursor& c);

void term(LineCursor& c) {
    if (c.ch() == '-') {
        c.advance();
    }
    if (c.ch() == '~') {
        c.advance();
    }
    factor(c);
    while (!c.failed() && (c.ch() == '*' || c.ch() == '/')) {
        c.advance();
        factor(c);
    }
}

void number(LineCursor& c) {
    while (isDigit(c.ch())) {
        c.step();
    }
    // A dot right after the digits is the number's own, even when a second one follows.
    if (c.ch() == '.') {
        c.step();
        while (isDigit(c.ch())) {
            c.step();
        }
    }
    c.skipBlanks();
}

void string(LineCursor& c) {
    c.step();
    while (!c.atEnd() && c.ch() != '\'') {
        c.step();
    }
    if (c.atEnd()) {
        c.fail(CheckError::StringNotClosed);
        return;
    }
    c.advance();
}

void factor(LineCursor& c) {
    const unsigned char ch = c.ch();
    if (isLetter(ch) || ch == '$') {
        variableName(c);
    } else if (isDigit(ch) || ch == '.') {
        number(c);
    } else if (ch == '\'') {
        string(c);
    } else if (ch == '[') {
        functionCall(c);
    } else if (ch == '(') {
        c.advance();
        expression(c);
        if (c.failed()) {
            return;
        }
        if (c.ch() == ')') {
            c.advance();
        } else {
            c.fail(CheckError::NeedParen);
        }
    } else {
        c.fail(CheckError::Unexpected);
    }
}

// After IN: the low bound, two or more dots, the high bound.
void range(LineCursor& c) {
    expression(c);
    if (c.failed()) {
        return;
    }
    if (c.ch() != '.' || c.at(c.pos + 1) != '.') {
        c.fail(CheckError::NeedDots);
        return;
    }
    while (c.ch() == '.') {
        c.step();
    }
    c.skipBlanks();
    expression(c);
}

// Two or more expressions; after each a comma or the closing bracket.
void expressionList(LineCursor& c) {
    int count = 0;
    for (;;) {
        expression(c);
        if (c.failed()) {
            return;
        }
        ++count;
        if (c.ch() == ',') {
            c.advance();
        } else if (c.ch() == ']') {
            if (count < 2) {
                c.fail(CheckError::NeedComma);
            }
            return;
        } else {
            c.fail(CheckError::NeedCommaOrBracket);
            return;
        }
    }
}

void arguments(LineCursor& c, const char* shape) {
    for (const char* s = shape; *s != '\0' && !c.failed(); ++s) {
        switch (*s) {
        case 'a': account(c); break;
        case 'e': expression(c); break;
        case 'M': expressionList(c); break;
        case ',':
            if (c.ch() == ',') {
                c.advance();
            } else {
                c.fail(CheckError::NeedComma);
            }
            break;
        case '[':
            if (c.ch() != ',') {
                return;
            }
            c.advance();
            break;
        case '0':
            if (c.ch() == ']') {
                return;
            }
            break;
        default: return;
        }
    }
}

} // namespace

void expression(LineCursor& c) {
    if (++c.depth > LineCursor::kMaxDepth) {
        c.fail(CheckError::Unexpected);
        --c.depth;
        return;
    }
    term(c);
    while (!c.failed() && !c.atEnd()) {
        const unsigned char op = c.ch();
        if (op == '+' || op == '-' || op == '=' || op == '&' || op == '|') {
            c.advance();
        } else if (op == '<' || op == '>') {
            const unsigned char second = c.at(c.pos + 1);
            if (second == '=' || second == '>') {
                c.step();
            }
            c.advance();
        } else if (op == 'I' || op == 'i') {
            if (upperLatin(c.at(c.pos + 1)) != 'N') {
                c.fail(CheckError::Unexpected);
                break;
            }
            c.step();
            c.advance();
            range(c);
            continue;
        } else {
            break;
        }
        term(c);
    }
    --c.depth;
}

void functionCall(LineCursor& c) {
    c.advance();
    std::size_t length = 0;
    const char* shape = matchFunction(c.rest(), &length);
    if (shape == nullptr) {
        c.failAt(CheckError::UnknownFunction, c.pos + length);
        return;
    }
    c.skip(length);
    c.skipBlanks();
    arguments(c, shape);
    if (c.failed()) {
        return;
    }
    if (c.ch() == ']') {
        c.advance();
    } else {
        c.fail(CheckError::NeedBracket);
    }
}

bool variableName(LineCursor& c) {
    const unsigned char first = c.ch();
    if (c.atEnd() || !(isLetter(first) || first == '$')) {
        return false;
    }
    c.step();
    if (first != '$' && (isLetter(c.ch()) || isDigit(c.ch()))) {
        c.step();
    }
    c.skipBlanks();
    return true;
}

void account(LineCursor& c) {
    while (!c.atEnd() && c.ch() != ' ' && c.ch() != ',' && c.ch() != ']') {
        c.step();
    }
    c.skipBlanks();
}

std::string_view word(LineCursor& c) {
    const std::size_t start = c.pos;
    while (!c.atEnd() && c.ch() != ' ' && c.ch() != ',' && c.ch() != ']') {
        c.step();
    }
    std::string_view w = c.line.substr(start, c.pos - start);
    c.skipBlanks();
    return w;
}

} // namespace fc::grammar
