#pragma once

#include "language/CheckResult.h"

#include <cstddef>
#include <string_view>

namespace fc {

class PrototypeTable;

// The checker's reading state over one code page 866 line: the current position (0-based,
// never past the end), the first error and how deep expressions nest. Past the end the
// current character reads as CR, so no rule ever looks outside the line.
struct LineCursor {
    static constexpr unsigned char kEnd = '\r';
    // Deeper nesting than any real statement holds is reported, so that a hostile line cannot
    // exhaust the stack.
    static constexpr int kMaxDepth = 256;

    LineCursor(std::string_view dosLine, const PrototypeTable& table)
        : line(dosLine), prototypes(table) {}

    std::string_view line;
    const PrototypeTable& prototypes;
    std::size_t pos = 0;
    CheckError error = CheckError::None;
    std::size_t errorPos = 0;
    int depth = 0;

    bool atEnd() const { return pos >= line.size(); }
    unsigned char ch() const { return at(pos); }
    unsigned char at(std::size_t i) const {
        return i < line.size() ? static_cast<unsigned char>(line[i]) : kEnd;
    }
    std::string_view rest() const { return atEnd() ? std::string_view() : line.substr(pos); }

    // One character on, blanks not skipped.
    void step() {
        if (pos < line.size()) {
            ++pos;
        }
    }
    void skip(std::size_t n) { pos = n < line.size() - pos ? pos + n : line.size(); }
    void skipBlanks() {
        while (pos < line.size() && line[pos] == ' ') {
            ++pos;
        }
    }
    // To advance: the next character, then past blanks.
    void advance() {
        step();
        skipBlanks();
    }

    bool failed() const { return error != CheckError::None; }
    void fail(CheckError e) { failAt(e, pos); }
    void failAt(CheckError e, std::size_t at) {
        error = e;
        errorPos = at < line.size() ? at : line.size();
    }
};

inline bool isLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
inline unsigned char upperLatin(unsigned char c) {
    return c >= 'a' && c <= 'z' ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

} // namespace fc
