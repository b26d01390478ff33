#pragma once

#include "components/formula/Compiled.h"

namespace fc::formula {

// Reads `out.source` into `out`'s nodes. `out.ok` stays false on a syntax error, a wrong
// number of arguments to a known function, or nesting deeper than any real formula needs.
class Parser {
public:
    static void parse(Compiled& out);
};

} // namespace fc::formula
