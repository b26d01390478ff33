#include "designer/StatementColour.h"

namespace fc {

namespace {

// Stand-in until the language checker is linked: service instructions red, comments grey.
StatementClass checkerClass(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && line[i] == ' ') {
        ++i;
    }
    if (i < line.size() && line[i] == ';') {
        return StatementClass::Red;
    }
    if (i < line.size() && line[i] == '*') {
        return StatementClass::Gray;
    }
    return StatementClass::Plain;
}

} // namespace

StatementClass classifyStatement(std::string_view line) { return checkerClass(line); }

void applyStatementClass(Font& font, StatementClass c) {
    switch (c) {
    case StatementClass::Strike:
        font.color = kStatementRed;
        font.strikeout = true;
        break;
    case StatementClass::Red: font.color = kStatementRed; break;
    case StatementClass::Gray: font.color = kStatementGray; break;
    case StatementClass::Plain: break;
    }
}

} // namespace fc
