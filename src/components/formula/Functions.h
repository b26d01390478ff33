#pragma once

#include "components/formula/Evaluator.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fc::formula {

// The arguments of one call. They are evaluated when a function asks for them, so that IF,
// IFERROR and CHOOSE evaluate only the branch they take.
class Args {
public:
    Args(Evaluator& ev, const std::uint32_t* kids, int count)
        : ev_(ev), kids_(kids), count_(count) {}

    Evaluator& ev() { return ev_; }
    Context& ctx() { return ev_.ctx(); }
    int size() const { return count_; }
    // Argument i was written (not past the end, not left empty as in F(1,,3)).
    bool given(int i) const;

    Operand operand(int i);
    // The argument evaluated element by element (references and arrays kept whole).
    Operand arrayOperand(int i);
    Value value(int i); // one value, see Evaluator::scalar

    // Conversions of argument i; an argument not given takes `fallback`.
    ErrorCode number(int i, double& out, double fallback = 0);
    ErrorCode integer(int i, double& out, double fallback = 0); // truncated toward zero
    ErrorCode boolean(int i, bool& out, bool fallback = false);
    ErrorCode text(int i, std::string& out);

private:
    Evaluator& ev_;
    const std::uint32_t* kids_;
    int count_;
};

using FunctionImpl = Operand (*)(Args&);

struct FunctionInfo {
    const char* name; // upper case
    int minArgs;
    int maxArgs;
    FunctionImpl impl;
};

constexpr std::uint32_t kUnknownFunction = 0xFFFFFFFFu;

// The id of a function by its name (case ignored), kUnknownFunction when there is none.
std::uint32_t findFunction(std::string_view name);
const FunctionInfo& functionInfo(std::uint32_t id);

// The groups of functions, each defined in its own source.
void addMathFunctions(std::vector<FunctionInfo>& out);
void addTextFunctions(std::vector<FunctionInfo>& out);
void addLogicFunctions(std::vector<FunctionInfo>& out);
void addLookupFunctions(std::vector<FunctionInfo>& out);

// For function bodies: leave with the error when a conversion fails.
#define FC_TRY(expr)                                                                               \
    do {                                                                                           \
        ::fc::ErrorCode fcErr_ = (expr);                                                           \
        if (fcErr_ != ::fc::ErrorCode::None) {                                                     \
            return ::fc::formula::Operand::error(fcErr_);                                          \
        }                                                                                          \
    } while (0)

} // namespace fc::formula
