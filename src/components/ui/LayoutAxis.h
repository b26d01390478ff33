#pragma once

#include <functional>
#include <vector>

namespace fc {

// One direction of the sheet's screen geometry: rows down or columns across. Indices are
// 1-based; a hidden index has size 0 and takes no room. Offsets come from one array of prefix
// sums sized by the extent (at most 65,537 ints), never from anything per cell.
//
// The frozen block (first..first+count-1) stays at the leading edge once the indices before it
// have scrolled away; until then the whole axis scrolls as one, so no index is ever out of
// reach. `top` is the first index of the scrolled part. Screen coordinates start at 0 at the
// viewport's edge, the heading taking the first `header` pixels.
class LayoutAxis {
public:
    // Sizes of indices 1..count in pixels.
    void setSizes(int count, const std::function<int(int)>& sizeOf);
    void place(int header, int extent, int fixedFirst, int fixedCount, int top);
    void setTop(int top);

    int count() const { return count_; }
    int pos(int i) const; // offset of i's leading edge from index 1's, i in 1..count+1
    int size(int i) const { return i >= 1 && i <= count_ ? pos(i + 1) - pos(i) : 0; }
    int total() const { return pos(count_ + 1); }
    bool shown(int i) const { return size(i) > 0; }
    // The next shown index from i (exclusive) in direction dir (+1 or -1), or 0 when none.
    int nextShown(int i, int dir) const;
    int firstShown() const { return nextShown(0, +1); }
    int lastShown() const { return nextShown(count_ + 1, -1); }

    int header() const { return header_; }
    int extent() const { return extent_; }
    bool hasFrozen() const { return fixedLast_ >= fixedFirst_; }
    int frozenFirst() const { return fixedFirst_; }
    int frozenLast() const { return fixedLast_; }
    bool frozen(int i) const { return hasFrozen() && i >= fixedFirst_ && i <= fixedLast_; }
    // True while the frozen block sits at the leading edge (what is before it has scrolled off).
    bool frozenAtEdge() const { return hasFrozen() && top_ > fixedLast_; }
    int frozenSize() const { return frozenAtEdge() ? pos(fixedLast_ + 1) - pos(fixedFirst_) : 0; }
    int top() const { return top_; }
    // Whether i and j are drawn by the same part of the screen (the frozen block or the
    // scrolled part): geometry never carries from one into the other.
    bool sameRegion(int i, int j) const { return !frozenAtEdge() || frozen(i) == frozen(j); }

    // Screen coordinate of i's leading edge (off screen for indices scrolled away).
    int start(int i) const;
    bool onScreen(int i) const;
    // The index at screen coordinate p: 0 in the heading, -1 past the last index or outside.
    int at(int p) const;

    // The parts of the screen along this axis: the frozen block, then the scrolled part.
    struct Piece {
        int begin = 0, end = 0; // screen coordinates, end exclusive
        int first = 0, last = -1;
    };
    int pieces(Piece out[2]) const;
    int scrollBegin() const { return header_ + frozenSize(); }

    // The scroll bar runs in pixels over everything but the frozen block.
    int scrollValue() const { return seqPos(top_); }
    int scrollMax() const;
    int pageSize() const;
    // The top for a scroll bar value; dir < 0 takes the index containing it, dir > 0 the first
    // index starting at or after it (so that small steps always move).
    int topForValue(int value, int dir) const;
    // The top that shows i whole, moving as little as possible (the current top when it does).
    int topToShow(int i) const;
    // The top `count` shown indices on (negative: back), stepping over the frozen block,
    // which is never part of the scrolled sequence.
    int topMovedBy(int count) const;
    // The number of whole indices shown in the scrolled part, at least 1.
    int pageCount() const;

private:
    int effectiveTop(int requested) const;
    int seqPos(int i) const;
    int indexAtOffset(int off) const; // index whose span holds offset off, count+1 past the end
    int firstStartingAtOrAfter(int off, int lo, int hi) const;

    std::vector<int> pos_{0, 0}; // pos_[i] for i in 1..count+1
    int count_ = 0;
    int header_ = 0;
    int extent_ = 0;
    int fixedFirst_ = 1, fixedLast_ = 0;
    int top_ = 1;
};

} // namespace fc
