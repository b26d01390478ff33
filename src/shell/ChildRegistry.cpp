#include "shell/ChildRegistry.h"

namespace fc {

long long ChildRegistry::add(ShellChild* child) {
    if (long long h = handleOf(child)) {
        return h;
    }
    long long h = next_++;
    byHandle_[h] = child;
    return h;
}

void ChildRegistry::remove(ShellChild* child) {
    if (long long h = handleOf(child)) {
        byHandle_.erase(h);
    }
}

ShellChild* ChildRegistry::find(long long handle) const {
    auto it = byHandle_.find(handle);
    return it == byHandle_.end() ? nullptr : it->second;
}

long long ChildRegistry::handleOf(const ShellChild* child) const {
    if (child == nullptr) {
        return 0;
    }
    for (const auto& [h, c] : byHandle_) {
        if (c == child) {
            return h;
        }
    }
    return 0;
}

std::vector<ShellChild*> ChildRegistry::all() const {
    std::vector<ShellChild*> out;
    out.reserve(byHandle_.size());
    for (const auto& [h, c] : byHandle_) {
        out.push_back(c);
    }
    return out;
}

} // namespace fc
