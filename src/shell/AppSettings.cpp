#include "shell/AppSettings.h"

namespace fc {

AppSettings::AppSettings() : reportState_(stateFromPeriod(period_)) { rebuildPrefix(); }

void AppSettings::setUserName(std::string_view name) {
    userName_ = std::string(name);
    rebuildPrefix();
}

void AppSettings::setPassword(std::string_view password) {
    password_ = std::string(password);
    rebuildPrefix();
}

void AppSettings::setPeriod(const Period& p) {
    period_ = p;
    const std::string head = stateFromPeriod(p);
    if (reportState_.size() < head.size()) {
        reportState_ = head;
    }
    for (std::size_t i : {3u, 5u, 6u, 7u}) {
        reportState_[i] = head[i];
    }
    rebuildPrefix();
}

void AppSettings::setReportState(std::string_view state) {
    reportState_ = std::string(state);
    rebuildPrefix();
}

std::string AppSettings::stateFromPeriod(const Period& p) {
    auto code = [](int n) { return static_cast<char>(64 + n); };
    std::string s = "620";
    s += code(p.startMonth);
    s += '0';
    s += code(p.endMonth);
    s += code(p.startDay);
    s += code(p.endDay);
    return s;
}

void AppSettings::rebuildPrefix() {
    const char sep = static_cast<char>(kSeparator);
    requestPrefix_ = userName_ + sep + password_ + sep + reportState_ + sep;
}

} // namespace fc
