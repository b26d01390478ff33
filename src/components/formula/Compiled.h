#pragma once

#include "components/formula/Lexer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fc::formula {

enum class NodeKind : std::uint8_t {
    Number,  // numbers[index]
    Text,    // texts[index]
    Bool,    // flag
    Error,   // flag holds the ErrorCode
    Ref,     // refs[index]
    Name,    // texts[index]: a name no sheet defines
    Missing, // an argument left out, as in IF(A1,,1)
    Unary,   // op, one kid
    Chain,   // kids[0] op kids[1] op ... of one precedence level, ops[index...]
    Call,    // function id in index, argc kids
};

// Nodes live in one vector; a node's kids are `argc` consecutive entries of `kids` from
// `first`. Flat storage keeps a compiled formula to a few allocations.
struct Node {
    NodeKind kind = NodeKind::Number;
    std::uint8_t flag = 0; // Bool value, ErrorCode, or the Op of a Unary
    std::uint16_t argc = 0;
    std::uint32_t index = 0;
    std::uint32_t first = 0;
};

struct RefNode {
    int sheetName = -1; // texts index of the sheet prefix; -1: the formula's own sheet
    RefText::Kind kind = RefText::Cell;
    int r1 = 1, c1 = 1, r2 = 1, c2 = 1; // as written; 0 stands for "every row/column"
};

class Compiled {
public:
    std::string source;
    bool ok = false;
    std::uint32_t root = 0;
    std::vector<Node> nodes;
    std::vector<std::uint32_t> kids;
    std::vector<Op> ops;
    std::vector<double> numbers;
    std::vector<std::string> texts;
    std::vector<RefNode> refs;
};

} // namespace fc::formula
