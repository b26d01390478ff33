#pragma once

#include "language/CheckResult.h"

#include <string>
#include <string_view>

namespace fc {

class PrototypeTable;

// The local checker of the report language: one statement line at a time, with no memory of
// earlier lines. Any bytes are accepted; the checker never reads outside the line, and lines
// of any length are checked whole. The prototype table is read, not owned, and must outlive
// the checker. One checker serves one thread.
class Checker {
public:
    explicit Checker(const PrototypeTable& prototypes) : prototypes_(prototypes) {}

    // A Windows-1251 line, as a statement cell holds it.
    CheckResult checkLine(std::string_view line);
    // A line already in code page 866.
    CheckResult checkDosLine(std::string_view dosLine) const;

    LineClass classifyLine(std::string_view line) { return classify(checkLine(line)); }

private:
    const PrototypeTable& prototypes_;
    std::string dos_; // reused so that checking a sheet does not allocate per line
};

// The folding comparison of the words after EVERY: case-insensitive, the code page 866
// Cyrillic letters that look like Latin ones count as those, backslashes are skipped and
// trailing blanks ignored. Both texts are code page 866.
bool foldEqual(std::string_view a, std::string_view b);

} // namespace fc
