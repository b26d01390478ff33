#include "designer/StatementColour.h"

namespace fc {

void StatementColourer::apply(Font& font, LineClass c) {
    switch (c) {
    case LineClass::Strike:
        font.color = kStatementRed;
        font.strikeout = true;
        break;
    case LineClass::Red: font.color = kStatementRed; break;
    case LineClass::Gray: font.color = kStatementGray; break;
    case LineClass::Plain: break;
    }
}

} // namespace fc
