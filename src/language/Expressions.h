#pragma once

#include "language/LineCursor.h"

#include <string_view>

// The expression grammar and the lexical rules of the report language, over a LineCursor.
// Each reads from the current character, leaves the cursor on the first character after what
// it read (blanks skipped) and reports its first error in the cursor.
namespace fc::grammar {

// term, then any number of (operator, term); stops at the first character that is not an
// operator.
void expression(LineCursor& c);
// At "[": the name, the arguments of its shape and "]".
void functionCall(LineCursor& c);
// A letter optionally followed by a letter or digit, or "$". False, with nothing read and no
// error reported, when the current character cannot begin a name.
bool variableName(LineCursor& c);
// Any characters up to a blank, ",", "]" or the end.
void account(LineCursor& c);
// A word up to a blank, ",", "]" or the end (labels and the words after keywords).
std::string_view word(LineCursor& c);

} // namespace fc::grammar
