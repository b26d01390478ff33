#include "components/formula/Evaluator.h"

#include "components/formula/Functions.h"

#include <cmath>

namespace fc::formula {

namespace {

bool isMultiRef(const Operand& o) {
    return o.kind == Operand::Ref && (o.area.rg.r1 != o.area.rg.r2 || o.area.rg.c1 != o.area.rg.c2);
}

bool isComparison(Op op) {
    return op == Op::Eq || op == Op::Ne || op == Op::Lt || op == Op::Gt || op == Op::Le ||
           op == Op::Ge;
}

} // namespace

Value applyBinary(Op op, const Value& a, const Value& b) {
    if (a.isError()) {
        return a;
    }
    if (b.isError()) {
        return b;
    }
    if (op == Op::Cat) {
        std::string t = toText(a);
        t += toText(b);
        if (t.size() > kMaxText) {
            return Value::fromError(ErrorCode::Value);
        }
        return Value::fromText(std::move(t));
    }
    if (isComparison(op)) {
        int c = compareValues(a, b);
        switch (op) {
        case Op::Eq: return Value::fromBool(c == 0);
        case Op::Ne: return Value::fromBool(c != 0);
        case Op::Lt: return Value::fromBool(c < 0);
        case Op::Gt: return Value::fromBool(c > 0);
        case Op::Le: return Value::fromBool(c <= 0);
        default: return Value::fromBool(c >= 0);
        }
    }
    double x = 0, y = 0;
    ErrorCode e = toNumber(a, x);
    if (e == ErrorCode::None) {
        e = toNumber(b, y);
    }
    if (e != ErrorCode::None) {
        return Value::fromError(e);
    }
    switch (op) {
    case Op::Add: return numberResult(x + y);
    case Op::Sub: return numberResult(x - y);
    case Op::Mul: return numberResult(x * y);
    case Op::Div:
        if (y == 0) {
            return Value::fromError(ErrorCode::Div0);
        }
        return numberResult(x / y);
    case Op::Pow:
        if (x == 0 && y == 0) {
            return Value::fromError(ErrorCode::Num);
        }
        if (x == 0 && y < 0) {
            return Value::fromError(ErrorCode::Div0);
        }
        return numberResult(std::pow(x, y));
    default: return Value::fromError(ErrorCode::Value);
    }
}

Value applyUnary(Op op, const Value& a) {
    if (a.isError()) {
        return a;
    }
    if (op == Op::Plus) {
        return a;
    }
    double x = 0;
    if (ErrorCode e = toNumber(a, x); e != ErrorCode::None) {
        return Value::fromError(e);
    }
    return numberResult(op == Op::Percent ? x / 100 : -x);
}

Value Evaluator::run() {
    if (!f_.ok || f_.nodes.empty()) {
        return Value::fromError(ErrorCode::Name);
    }
    Value v = scalar(eval(f_.root));
    if (v.isEmpty()) {
        return Value::fromNumber(0);
    }
    if (v.isText() && v.text.size() > kMaxText) {
        return Value::fromError(ErrorCode::Value);
    }
    if (v.isNumber()) {
        return numberResult(v.number);
    }
    return v;
}

Operand Evaluator::eval(std::uint32_t node) {
    const Node& n = f_.nodes[node];
    switch (n.kind) {
    case NodeKind::Number: return Operand::number(f_.numbers[n.index]);
    case NodeKind::Text: return Operand::scalar(Value::fromText(f_.texts[n.index]));
    case NodeKind::Bool: return Operand::scalar(Value::fromBool(n.flag != 0));
    case NodeKind::Error: return Operand::error(static_cast<ErrorCode>(n.flag));
    case NodeKind::Ref: return resolve(f_.refs[n.index]);
    case NodeKind::Name: return Operand::error(ErrorCode::Name);
    case NodeKind::Missing: return Operand::missing();
    case NodeKind::Unary: return evalUnary(n);
    case NodeKind::Chain: return evalChain(n);
    case NodeKind::Call: return evalCall(n);
    }
    return Operand::error(ErrorCode::Value);
}

Operand Evaluator::resolve(const RefNode& r) {
    int s = sheet_;
    if (r.sheetName >= 0) {
        s = ctx_.sheetIndex(f_.texts[static_cast<std::size_t>(r.sheetName)]);
        if (s == 0) {
            return Operand::error(ErrorCode::Ref);
        }
    }
    return Operand::ref({s, rangeOf(r.kind, r.r1, r.c1, r.r2, r.c2)});
}

Operand Evaluator::evalUnary(const Node& n) {
    Operand o = eval(f_.kids[n.first]);
    const Op op = static_cast<Op>(n.flag);
    if (o.kind == Operand::Array || (arrayMode && isMultiRef(o))) {
        return elementwise(op, o, nullptr);
    }
    return Operand::scalar(applyUnary(op, scalar(o)));
}

Operand Evaluator::evalChain(const Node& n) {
    Operand acc = eval(f_.kids[n.first]);
    for (std::uint32_t i = 1; i < n.argc; ++i) {
        Operand rhs = eval(f_.kids[n.first + i]);
        acc = binary(f_.ops[n.index + i - 1], acc, rhs);
    }
    return acc;
}

Operand Evaluator::evalCall(const Node& n) {
    if (n.index == kUnknownFunction) {
        return Operand::error(ErrorCode::Name);
    }
    Args args(*this, f_.kids.data() + n.first, n.argc);
    return functionInfo(n.index).impl(args);
}

Operand Evaluator::binary(Op op, const Operand& a, const Operand& b) {
    if (op == Op::Colon) {
        if (a.isError()) {
            return a;
        }
        if (b.isError()) {
            return b;
        }
        if (a.kind != Operand::Ref || b.kind != Operand::Ref || a.area.sheet != b.area.sheet) {
            return Operand::error(ErrorCode::Value);
        }
        const CellRange& x = a.area.rg;
        const CellRange& y = b.area.rg;
        return Operand::ref({a.area.sheet,
                             {std::min(x.r1, y.r1), std::min(x.c1, y.c1), std::max(x.r2, y.r2),
                              std::max(x.c2, y.c2)}});
    }
    if (a.kind == Operand::Array || b.kind == Operand::Array ||
        (arrayMode && (isMultiRef(a) || isMultiRef(b)))) {
        return elementwise(op, a, &b);
    }
    return Operand::scalar(applyBinary(op, scalar(a), scalar(b)));
}

Operand Evaluator::elementwise(Op op, const Operand& a, const Operand* b) {
    ErrorCode err = ErrorCode::None;
    auto x = toArray(a, err);
    std::shared_ptr<const ArrayValue> y;
    if (x && b) {
        y = toArray(*b, err);
    }
    if (!x || (b && !y)) {
        return Operand::error(err);
    }
    auto out = std::make_shared<ArrayValue>();
    out->rows = y ? std::max(x->rows, y->rows) : x->rows;
    out->cols = y ? std::max(x->cols, y->cols) : x->cols;
    const std::size_t size =
        static_cast<std::size_t>(out->rows) * static_cast<std::size_t>(out->cols);
    if (size > kMaxArray) {
        return Operand::error(ErrorCode::Num);
    }
    out->cells.reserve(size);
    // A single row or column stretches over the other operand; beyond a smaller one is #N/A.
    auto pick = [](const ArrayValue& m, int r, int c) -> Value {
        int rr = m.rows == 1 ? 0 : r;
        int cc = m.cols == 1 ? 0 : c;
        if (rr >= m.rows || cc >= m.cols) {
            return Value::fromError(ErrorCode::NA);
        }
        return m.at(rr, cc);
    };
    for (int r = 0; r < out->rows; ++r) {
        for (int c = 0; c < out->cols; ++c) {
            if (y) {
                out->cells.push_back(applyBinary(op, pick(*x, r, c), pick(*y, r, c)));
            } else {
                out->cells.push_back(applyUnary(op, x->at(r, c)));
            }
        }
    }
    return Operand::fromArray(std::move(out));
}

Value Evaluator::scalar(const Operand& o) {
    switch (o.kind) {
    case Operand::Scalar: return o.value;
    case Operand::Missing: return {};
    case Operand::Array:
        if (!o.array || o.array->cells.empty()) {
            return Value::fromError(ErrorCode::Value);
        }
        return o.array->cells.front();
    case Operand::Ref: break;
    }
    const CellRange& rg = o.area.rg;
    if (rg.r1 == rg.r2 && rg.c1 == rg.c2) {
        return ctx_.cell(o.area.sheet, rg.r1, rg.c1).value();
    }
    if (rg.c1 == rg.c2 && row_ >= rg.r1 && row_ <= rg.r2) {
        return ctx_.cell(o.area.sheet, row_, rg.c1).value();
    }
    if (rg.r1 == rg.r2 && col_ >= rg.c1 && col_ <= rg.c2) {
        return ctx_.cell(o.area.sheet, rg.r1, col_).value();
    }
    return Value::fromError(ErrorCode::Value);
}

std::shared_ptr<const ArrayValue> Evaluator::toArray(const Operand& o, ErrorCode& err) {
    if (o.kind == Operand::Array) {
        return o.array;
    }
    auto out = std::make_shared<ArrayValue>();
    if (o.kind != Operand::Ref) {
        out->rows = out->cols = 1;
        out->cells.push_back(o.kind == Operand::Scalar ? o.value : Value());
        return out;
    }
    const CellRange& rg = o.area.rg;
    const std::size_t n = static_cast<std::size_t>(rg.rows()) * static_cast<std::size_t>(rg.cols());
    if (n > kMaxArray) {
        err = ErrorCode::Num;
        return nullptr;
    }
    out->rows = rg.rows();
    out->cols = rg.cols();
    out->cells.resize(n);
    ArrayValue* m = out.get();
    ctx_.forEach(o.area, [&](int r, int c, const CellView& v) {
        m->cells[static_cast<std::size_t>(r - rg.r1) * static_cast<std::size_t>(m->cols) +
                 static_cast<std::size_t>(c - rg.c1)] = v.value();
    });
    return out;
}

} // namespace fc::formula
