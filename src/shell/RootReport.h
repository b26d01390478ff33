#pragma once

#include <vector>

namespace fc {

class ChildRegistry;
class ReportChild;

// The chain of pop-ups that starts at `from`: `from` itself, then each window that the one
// before names in its row-37 link, while the link names a live report window. A link to a
// window still being created (100), to a closed window, or back into the chain ends it.
std::vector<ReportChild*> reportChain(ReportChild& from, const ChildRegistry& children);

// The report window at the end of that chain: the one report commands act on.
ReportChild& findRootReport(ReportChild& from, const ChildRegistry& children);

} // namespace fc
