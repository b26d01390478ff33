#pragma once

#include <cstddef>
#include <string_view>

namespace fc {

// The argument shapes of the report language's functions, one step a character:
//   'a' an account, 'e' an expression, ',' a comma that must follow,
//   '[' an optional tail: the rest of the shape only when a comma follows,
//   '0' no arguments at all is also right (when "]" follows),
//   'M' two or more expressions separated by commas.
// Returns the shape of the function whose name begins `text` (code page 866, the characters
// after "[" and its blanks; compared upper-cased) and its name's length in `length`. Without
// a match it returns nullptr and `length` is the offset of the character that did not match.
const char* matchFunction(std::string_view text, std::size_t* length);

} // namespace fc
