#pragma once

namespace fc {

class ResultSession;

// Recomputes the totals rows of the result over its visible data rows when automatic totals
// are on; nothing otherwise.
void total_(ResultSession& session);

} // namespace fc
