#pragma once

#include <string>
#include <string_view>

namespace fc {

// Request contexts begin with the user name and the password (user, 0xFA, password, 0xFA,
// state, ...). Wherever a context is kept outside the window's memory (the hidden state block,
// cache copies, saved workbooks) it is kept with both emptied, the separators staying, so that
// what follows them is found as before; the current ones are put back when it is used again.

// `context` with the text before its first 0xFA and between its first and second 0xFA
// removed. A text with fewer than two 0xFA carries no credentials and stays as it is.
std::string withoutCredentials(std::string_view context);
// A stored context with `user` and `password` put back into its emptied fields. A context that
// has fields there already, or fewer than two 0xFA, stays as it is.
std::string withCredentials(std::string_view stored, std::string_view user,
                            std::string_view password);

} // namespace fc
