#include "shell/RootReport.h"

#include "shell/ChildRegistry.h"
#include "shell/ReportChild.h"

#include <algorithm>

namespace fc {

std::vector<ReportChild*> reportChain(ReportChild& from, const ChildRegistry& children) {
    std::vector<ReportChild*> chain{&from};
    while (long long link = chain.back()->popupHandle()) {
        ShellChild* next = children.find(link);
        if (next == nullptr || next->kind() != ChildKind::Report) {
            break;
        }
        auto* report = static_cast<ReportChild*>(next);
        if (std::find(chain.begin(), chain.end(), report) != chain.end()) {
            break;
        }
        chain.push_back(report);
    }
    return chain;
}

ReportChild& findRootReport(ReportChild& from, const ChildRegistry& children) {
    return *reportChain(from, children).back();
}

} // namespace fc
