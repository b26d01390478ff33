#include "components/formula/Parser.h"

#include "components/formula/Functions.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace fc::formula {

namespace {

// Parentheses, calls and signs nest at most this deep; real formulas stay far below, and the
// bound keeps evaluation's recursion small.
constexpr int kMaxNesting = 100;
// The depth of the finished tree, which bounds evaluation's recursion.
constexpr int kMaxDepth = 200;
constexpr int kMaxArgs = 255;

// Binary operators by precedence level, loosest first.
int levelOf(Op op) {
    switch (op) {
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Gt:
    case Op::Le:
    case Op::Ge: return 0;
    case Op::Cat: return 1;
    case Op::Add:
    case Op::Sub: return 2;
    case Op::Mul:
    case Op::Div: return 3;
    case Op::Pow: return 4;
    default: return -1;
    }
}
constexpr int kLevels = 5;

class Grammar {
public:
    explicit Grammar(Compiled& out) : out_(out), lex_(out.source) { advance(); }

    bool run() {
        std::uint32_t root = expression();
        if (failed_ || tok_.kind != Token::End) {
            return false;
        }
        out_.root = root;
        return true;
    }

private:
    void advance() { tok_ = lex_.next(); }

    std::uint32_t fail() {
        failed_ = true;
        return 0;
    }

    std::uint32_t add(Node n, const std::vector<std::uint32_t>& kids = {}) {
        n.first = static_cast<std::uint32_t>(out_.kids.size());
        n.argc = static_cast<std::uint16_t>(kids.size());
        int depth = 1;
        for (std::uint32_t k : kids) {
            depth = std::max(depth, depths_[k] + 1);
        }
        if (depth > kMaxDepth) {
            failed_ = true;
        }
        depths_.push_back(depth);
        out_.kids.insert(out_.kids.end(), kids.begin(), kids.end());
        out_.nodes.push_back(n);
        return static_cast<std::uint32_t>(out_.nodes.size() - 1);
    }

    std::uint32_t expression() {
        if (++depth_ > kMaxNesting) {
            return fail();
        }
        std::uint32_t n = chain(0);
        --depth_;
        return n;
    }

    // One precedence level: operands of the next level joined by this level's operators,
    // kept in one node so that long sums do not nest deeply.
    std::uint32_t chain(int level) {
        std::uint32_t first = level + 1 < kLevels ? chain(level + 1) : unary();
        if (failed_ || tok_.kind != Token::Oper || levelOf(tok_.op) != level) {
            return first;
        }
        std::vector<std::uint32_t> kids{first};
        Node n;
        n.kind = NodeKind::Chain;
        n.index = static_cast<std::uint32_t>(out_.ops.size());
        while (!failed_ && tok_.kind == Token::Oper && levelOf(tok_.op) == level) {
            out_.ops.push_back(tok_.op);
            advance();
            kids.push_back(level + 1 < kLevels ? chain(level + 1) : unary());
            if (kids.size() > 0xFFFF) {
                return fail();
            }
        }
        return failed_ ? 0 : add(n, kids);
    }

    std::uint32_t unary() {
        if (tok_.kind == Token::Oper && (tok_.op == Op::Sub || tok_.op == Op::Add)) {
            if (++depth_ > kMaxNesting) {
                return fail();
            }
            Node n;
            n.kind = NodeKind::Unary;
            n.flag = static_cast<std::uint8_t>(tok_.op == Op::Sub ? Op::Neg : Op::Plus);
            advance();
            std::uint32_t kid = unary();
            --depth_;
            return failed_ ? 0 : add(n, {kid});
        }
        return percent();
    }

    std::uint32_t percent() {
        std::uint32_t n = range();
        while (!failed_ && tok_.kind == Token::Oper && tok_.op == Op::Percent) {
            advance();
            Node p;
            p.kind = NodeKind::Unary;
            p.flag = static_cast<std::uint8_t>(Op::Percent);
            n = add(p, {n});
        }
        return n;
    }

    // "A1:INDIRECT(...)": the range operator between any two reference operands.
    std::uint32_t range() {
        std::uint32_t first = primary();
        if (failed_ || tok_.kind != Token::Oper || tok_.op != Op::Colon) {
            return first;
        }
        std::vector<std::uint32_t> kids{first};
        Node n;
        n.kind = NodeKind::Chain;
        n.index = static_cast<std::uint32_t>(out_.ops.size());
        while (!failed_ && tok_.kind == Token::Oper && tok_.op == Op::Colon) {
            out_.ops.push_back(Op::Colon);
            advance();
            kids.push_back(primary());
            if (kids.size() > 0xFFFF) {
                return fail();
            }
        }
        return failed_ ? 0 : add(n, kids);
    }

    std::uint32_t primary() {
        Node n;
        switch (tok_.kind) {
        case Token::Number:
            if (!std::isfinite(tok_.number)) {
                // A literal beyond the range of numbers, such as 1E999.
                n.kind = NodeKind::Error;
                n.flag = static_cast<std::uint8_t>(ErrorCode::Num);
                advance();
                return add(n);
            }
            n.kind = NodeKind::Number;
            n.index = static_cast<std::uint32_t>(out_.numbers.size());
            out_.numbers.push_back(tok_.number);
            advance();
            return add(n);
        case Token::String:
            n.kind = NodeKind::Text;
            n.index = text(std::move(tok_.text));
            advance();
            return add(n);
        case Token::Bool:
            n.kind = NodeKind::Bool;
            n.flag = tok_.boolean ? 1 : 0;
            advance();
            return add(n);
        case Token::Error:
            n.kind = NodeKind::Error;
            n.flag = static_cast<std::uint8_t>(tok_.error);
            advance();
            return add(n);
        case Token::Name:
            n.kind = NodeKind::Name;
            n.index = text(std::move(tok_.text));
            advance();
            return add(n);
        case Token::Ref: {
            RefNode r;
            const RefText& t = tok_.ref;
            if (t.hasSheet) {
                r.sheetName = static_cast<int>(text(t.sheet));
            }
            r.kind = t.kind;
            r.r1 = t.a.row;
            r.c1 = t.a.col;
            r.r2 = t.b.row;
            r.c2 = t.b.col;
            n.kind = NodeKind::Ref;
            n.index = static_cast<std::uint32_t>(out_.refs.size());
            out_.refs.push_back(r);
            advance();
            return add(n);
        }
        case Token::LParen: {
            advance();
            std::uint32_t inner = expression();
            if (failed_ || tok_.kind != Token::RParen) {
                return fail();
            }
            advance();
            return inner;
        }
        case Token::Func: return call();
        default: return fail();
        }
    }

    std::uint32_t call() {
        if (++depth_ > kMaxNesting) {
            return fail();
        }
        Node n;
        n.kind = NodeKind::Call;
        n.index = findFunction(tok_.text);
        advance(); // the name
        advance(); // "("
        std::vector<std::uint32_t> args;
        if (tok_.kind == Token::RParen) {
            advance();
        } else {
            for (;;) {
                if (tok_.kind == Token::Sep || tok_.kind == Token::RParen) {
                    Node m;
                    m.kind = NodeKind::Missing;
                    args.push_back(add(m));
                } else {
                    args.push_back(expression());
                    if (failed_) {
                        return 0;
                    }
                }
                if (args.size() > kMaxArgs) {
                    return fail();
                }
                if (tok_.kind == Token::RParen) {
                    advance();
                    break;
                }
                if (tok_.kind != Token::Sep) {
                    return fail();
                }
                advance();
            }
        }
        if (n.index != kUnknownFunction) {
            const FunctionInfo& f = functionInfo(n.index);
            const int argc = static_cast<int>(args.size());
            if (argc < f.minArgs || argc > f.maxArgs) {
                return fail();
            }
        }
        --depth_;
        return add(n, args);
    }

    std::uint32_t text(std::string s) {
        out_.texts.push_back(std::move(s));
        return static_cast<std::uint32_t>(out_.texts.size() - 1);
    }

    Compiled& out_;
    Lexer lex_;
    Token tok_;
    std::vector<int> depths_; // per node
    int depth_ = 0;
    bool failed_ = false;
};

} // namespace

void Parser::parse(Compiled& out) {
    out.nodes.clear();
    out.kids.clear();
    out.ops.clear();
    out.numbers.clear();
    out.texts.clear();
    out.refs.clear();
    Grammar g(out);
    out.ok = g.run();
    if (!out.ok) {
        // A formula that does not parse keeps only its text.
        out.nodes.clear();
        out.kids.clear();
        out.ops.clear();
        out.numbers.clear();
        out.texts.clear();
        out.refs.clear();
    }
    out.nodes.shrink_to_fit();
    out.kids.shrink_to_fit();
}

} // namespace fc::formula
