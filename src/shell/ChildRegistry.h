#pragma once

#include <map>
#include <vector>

namespace fc {

class ShellChild;

// Handles of the child windows, as report windows store them in their hidden cells (the
// pop-up link of row 37, the return window of row 41). A handle is never 0 or 100 (both
// have meanings in those cells) and is never reused, so a stale number finds nothing.
class ChildRegistry {
public:
    long long add(ShellChild* child); // the child's handle; the same one when already added
    void remove(ShellChild* child);
    ShellChild* find(long long handle) const;          // nullptr when unknown
    long long handleOf(const ShellChild* child) const; // 0 when not registered
    // Every registered window, oldest first (pop-up report windows included).
    std::vector<ShellChild*> all() const;
    // The handle given out last, 0 before the first; it finds nothing once that window went.
    long long lastAdded() const { return next_ > kFirst ? next_ - 1 : 0; }

private:
    static constexpr long long kFirst = 1001;
    std::map<long long, ShellChild*> byHandle_;
    long long next_ = kFirst;
};

} // namespace fc
