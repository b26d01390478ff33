#pragma once

#include "components/model/Style.h"
#include "language/CheckResult.h"
#include "language/Checker.h"
#include "language/EditorCheck.h"
#include "language/PrototypeTable.h"

#include <string_view>

namespace fc {

// Colours statement cells as the report language checker classes their lines: red with
// strikeout for an error, red for keyword statements and service instructions, grey for other
// statements and comments, unchanged for plain text. One per reading of a template.
class StatementColourer {
public:
    // `prototypes` (not owned) are the fact prototypes to check against; without them the
    // built-in one only.
    explicit StatementColourer(const PrototypeTable* prototypes = nullptr)
        : checker_(prototypes ? *prototypes : builtin_) {}

    LineClass classify(std::string_view line) { return checker_.classifyLine(line); }
    // Recolours `font` by the class of `line` (the trimmed statement text).
    void recolour(Font& font, std::string_view line) { apply(font, classify(line)); }

    static void apply(Font& font, LineClass c);

private:
    PrototypeTable builtin_;
    Checker checker_;
};

// The colours the checker sets on loading (kStatementRed, kStatementGray, from the editor's
// check): the writers give no font prefix for them.

} // namespace fc
