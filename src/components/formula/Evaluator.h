#pragma once

#include "components/formula/Compiled.h"
#include "components/formula/Context.h"
#include "components/formula/Operand.h"

#include <cstdint>
#include <memory>

namespace fc::formula {

// Evaluates one compiled formula as if it stood in cell (row, col) of sheet `sheet`.
class Evaluator {
public:
    Evaluator(Context& ctx, const Compiled& f, int sheet, int row, int col)
        : ctx_(ctx), f_(f), sheet_(sheet), row_(row), col_(col) {}

    // The value the formula's cell shows: one value, an empty result read as 0.
    Value run();

    Operand eval(std::uint32_t node);
    // One value from an operand: a reference gives its cell in the formula's row or column
    // (as a spreadsheet intersects it implicitly), an array its first element.
    Value scalar(const Operand& o);
    // An operand as an array: a reference's cells, a value as a 1 x 1 array.
    std::shared_ptr<const ArrayValue> toArray(const Operand& o, ErrorCode& err);

    Context& ctx() { return ctx_; }
    const Compiled& formula() const { return f_; }
    int sheet() const { return sheet_; }
    int row() const { return row_; }
    int col() const { return col_; }

    // Inside SUMPRODUCT operators work element by element over references and arrays.
    bool arrayMode = false;

private:
    Operand evalChain(const Node& n);
    Operand evalUnary(const Node& n);
    Operand evalCall(const Node& n);
    Operand binary(Op op, const Operand& a, const Operand& b);
    Operand elementwise(Op op, const Operand& a, const Operand* b);
    Operand resolve(const RefNode& r);

    Context& ctx_;
    const Compiled& f_;
    int sheet_, row_, col_;
};

// Scalar operators: arithmetic, "&" and comparisons with the usual conversions.
Value applyBinary(Op op, const Value& a, const Value& b);
Value applyUnary(Op op, const Value& a);

} // namespace fc::formula
