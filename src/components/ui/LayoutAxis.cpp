#include "components/ui/LayoutAxis.h"

#include <algorithm>
#include <cstdlib>

namespace fc {

void LayoutAxis::setSizes(int count, const std::function<int(int)>& sizeOf) {
    count_ = std::max(0, count);
    pos_.resize(static_cast<std::size_t>(count_) + 2);
    pos_[0] = 0;
    pos_[1] = 0;
    for (int i = 1; i <= count_; ++i) {
        pos_[static_cast<std::size_t>(i) + 1] =
            pos_[static_cast<std::size_t>(i)] + std::max(0, sizeOf(i));
    }
    place(header_, extent_, fixedFirst_, fixedLast_ - fixedFirst_ + 1, top_);
}

void LayoutAxis::place(int header, int extent, int fixedFirst, int fixedCount, int top) {
    header_ = std::max(0, header);
    extent_ = std::max(0, extent);
    fixedFirst_ = std::clamp(fixedFirst, 1, std::max(1, count_));
    fixedLast_ = std::min(fixedFirst_ + std::max(0, fixedCount) - 1, count_);
    top_ = effectiveTop(top);
}

void LayoutAxis::setTop(int top) { top_ = effectiveTop(top); }

int LayoutAxis::pos(int i) const {
    i = std::clamp(i, 1, count_ + 1);
    return pos_[static_cast<std::size_t>(i)];
}

int LayoutAxis::nextShown(int i, int dir) const {
    // From beyond either end the search starts at that end.
    i = dir > 0 ? std::max(i, 0) : std::min(i, count_ + 1);
    for (int k = i + dir; k >= 1 && k <= count_; k += dir) {
        if (size(k) > 0) {
            return k;
        }
    }
    return 0;
}

int LayoutAxis::effectiveTop(int requested) const {
    int t = std::clamp(requested, 1, std::max(1, count_));
    if (!hasFrozen()) {
        int s = shown(t) ? t : nextShown(t, +1);
        if (s == 0) {
            s = lastShown();
        }
        return s == 0 ? 1 : s;
    }
    if (t < fixedFirst_) {
        int s = shown(t) ? t : nextShown(t, +1);
        if (s != 0 && s < fixedFirst_) {
            return s;
        }
    }
    t = std::max(t, fixedLast_ + 1);
    if (t <= count_ && !shown(t)) {
        int s = nextShown(t, +1);
        t = s == 0 ? count_ + 1 : s;
    }
    return t;
}

int LayoutAxis::seqPos(int i) const {
    if (hasFrozen() && i > fixedLast_) {
        return pos(i) - (pos(fixedLast_ + 1) - pos(fixedFirst_));
    }
    return pos(i);
}

int LayoutAxis::indexAtOffset(int off) const {
    if (off < 0) {
        return 1;
    }
    auto first = pos_.begin() + 1;
    auto last = pos_.begin() + count_ + 2;
    auto it = std::upper_bound(first, last, off);
    int i = static_cast<int>(it - pos_.begin()) - 1;
    return std::min(i, count_ + 1);
}

int LayoutAxis::start(int i) const {
    if (frozenAtEdge()) {
        if (frozen(i)) {
            return header_ + pos(i) - pos(fixedFirst_);
        }
        return header_ + frozenSize() + pos(i) - pos(top_);
    }
    return header_ + pos(i) - pos(top_);
}

bool LayoutAxis::onScreen(int i) const {
    if (!shown(i)) {
        return false;
    }
    if (frozenAtEdge() && frozen(i)) {
        return start(i) < extent_;
    }
    return i >= top_ && start(i) < extent_;
}

int LayoutAxis::at(int p) const {
    if (p < 0 || p >= extent_) {
        return -1;
    }
    if (p < header_) {
        return 0;
    }
    if (frozenAtEdge() && p < header_ + frozenSize()) {
        return std::min(indexAtOffset(pos(fixedFirst_) + p - header_), fixedLast_);
    }
    int i = indexAtOffset(pos(top_) + p - scrollBegin());
    return i > count_ ? -1 : i;
}

int LayoutAxis::pieces(Piece out[2]) const {
    int n = 0;
    int begin = header_;
    if (frozenAtEdge()) {
        int end = std::min(header_ + frozenSize(), extent_);
        if (end > begin) {
            out[n++] = {begin, end, fixedFirst_, fixedLast_};
        }
        begin = end;
    }
    if (extent_ > begin && top_ <= count_) {
        int last = indexAtOffset(pos(top_) + (extent_ - begin) - 1);
        out[n++] = {begin, extent_, top_, std::min(last, count_)};
    }
    return n;
}

int LayoutAxis::pageSize() const {
    int frozenAll = hasFrozen() ? pos(fixedLast_ + 1) - pos(fixedFirst_) : 0;
    return std::max(1, extent_ - header_ - frozenAll);
}

int LayoutAxis::scrollMax() const {
    return std::max({0, seqPos(count_ + 1) - pageSize(), scrollValue()});
}

int LayoutAxis::topForValue(int value, int dir) const {
    value = std::clamp(value, 0, seqPos(count_ + 1));
    int i;
    if (hasFrozen() && value >= pos(fixedFirst_)) {
        i = indexAtOffset(value + pos(fixedLast_ + 1) - pos(fixedFirst_));
        i = std::max(i, fixedLast_ + 1);
    } else {
        i = indexAtOffset(value);
    }
    if (i > count_) {
        i = lastShown();
    }
    if (dir > 0 && i >= 1 && seqPos(i) < value) {
        int n = nextShown(i, +1);
        if (n != 0 && frozen(n)) {
            n = nextShown(fixedLast_, +1);
        }
        if (n != 0) {
            i = n;
        }
    }
    return effectiveTop(i);
}

int LayoutAxis::firstStartingAtOrAfter(int off, int lo, int hi) const {
    if (lo > hi) {
        return 0;
    }
    auto first = pos_.begin() + lo;
    auto last = pos_.begin() + hi + 1;
    int t = static_cast<int>(std::lower_bound(first, last, off) - pos_.begin());
    if (t > hi) {
        return 0;
    }
    if (!shown(t)) {
        t = nextShown(t, +1);
    }
    return t != 0 && t <= hi ? t : 0;
}

int LayoutAxis::topToShow(int i) const {
    if (!shown(i) || (frozenAtEdge() && frozen(i))) {
        return top_;
    }
    if (i < top_) {
        return effectiveTop(i);
    }
    int s = start(i);
    if (s + size(i) <= extent_ || s <= scrollBegin()) {
        return top_;
    }
    const int room = extent_ - header_;
    if (!hasFrozen() || top_ < fixedFirst_) {
        // Everything scrolls as one while the indices before the frozen block are in view.
        int limit = hasFrozen() ? fixedFirst_ - 1 : i;
        int t = firstStartingAtOrAfter(pos(i + 1) - room, top_, limit);
        if (t != 0) {
            return t;
        }
        if (!hasFrozen() || i < fixedFirst_) {
            return i;
        }
    }
    if (frozen(i)) {
        return effectiveTop(fixedLast_ + 1);
    }
    int frozenAll = pos(fixedLast_ + 1) - pos(fixedFirst_);
    int t = firstStartingAtOrAfter(pos(i + 1) - (room - frozenAll), fixedLast_ + 1, i);
    return t != 0 ? t : i;
}

int LayoutAxis::topMovedBy(int count) const {
    const int dir = count < 0 ? -1 : 1;
    int t = top_;
    for (int k = std::abs(count); k > 0; --k) {
        int n = nextShown(t, dir);
        while (n != 0 && frozen(n)) {
            n = nextShown(n, dir);
        }
        if (n == 0) {
            break;
        }
        t = n;
    }
    return effectiveTop(t);
}

int LayoutAxis::pageCount() const {
    int n = 0;
    for (int i = top_; i >= 1 && i <= count_; i = nextShown(i, +1)) {
        if (start(i) + size(i) > extent_) {
            break;
        }
        ++n;
    }
    return std::max(1, n);
}

} // namespace fc
