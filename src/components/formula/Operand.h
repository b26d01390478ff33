#pragma once

#include "components/model/Types.h"
#include "components/model/Value.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace fc::formula {

// Longest text a formula makes, as in a spreadsheet cell; longer results are #VALUE!.
constexpr std::size_t kMaxText = 32767;
// Most elements an array operand may hold; larger ones are #NUM! rather than exhausting
// memory.
constexpr std::size_t kMaxArray = std::size_t(1) << 20;

// A rectangle of cells of sheet `sheet` (1-based), normalized and inside the sheet.
struct Area {
    int sheet = 1;
    CellRange rg;
};

struct ArrayValue {
    int rows = 0, cols = 0;
    std::vector<Value> cells; // row by row
    const Value& at(int r, int c) const {
        return cells[static_cast<std::size_t>(r) * static_cast<std::size_t>(cols) +
                     static_cast<std::size_t>(c)];
    }
};

// What an expression yields before a function or an operator decides what it needs: a value,
// a reference (SUM wants the cells, + wants one value) or an array.
struct Operand {
    enum Kind : std::uint8_t { Scalar, Ref, Array, Missing };
    Kind kind = Scalar;
    Value value;
    Area area;
    std::shared_ptr<const ArrayValue> array;

    static Operand scalar(Value v) {
        Operand o;
        o.value = std::move(v);
        return o;
    }
    static Operand error(ErrorCode e) { return scalar(Value::fromError(e)); }
    static Operand number(double d) { return scalar(Value::fromNumber(d)); }
    static Operand ref(const Area& a) {
        Operand o;
        o.kind = Ref;
        o.area = a;
        return o;
    }
    static Operand missing() {
        Operand o;
        o.kind = Missing;
        return o;
    }
    static Operand fromArray(std::shared_ptr<const ArrayValue> a) {
        Operand o;
        o.kind = Array;
        o.array = std::move(a);
        return o;
    }
    bool isError() const { return kind == Scalar && value.isError(); }
};

// Conversions as a spreadsheet applies them to the operands of operators and functions.
// Errors pass through as the result.
ErrorCode toNumber(const Value& v, double& out); // empty 0, TRUE 1, numeric text, else #VALUE!
ErrorCode toBool(const Value& v, bool& out);     // numbers, "TRUE"/"FALSE", else #VALUE!
std::string toText(const Value& v);              // what & joins; errors give their spelling
// A number as a formula turns it into text: up to 15 significant digits.
std::string numberText(double d);
// A text that reads as a number ("12", " 1.5 ", a typed date or percent).
bool textToNumber(const std::string& s, double& out);

// Numbers that agree to about 15 significant digits count as equal, so that 0.1+0.2=0.3.
bool nearlyEqual(double a, double b);
// Spreadsheet ordering of two non-error values: numbers < texts < booleans, an empty value
// compares as 0, "" or FALSE; texts ignore case. Negative, zero or positive.
int compareValues(const Value& a, const Value& b);

// A finite number, or #NUM! for the infinities and NaN that arithmetic may produce.
Value numberResult(double d);

} // namespace fc::formula
