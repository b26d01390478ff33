#include "components/ui/LayoutAxis.h"

#include <gtest/gtest.h>

#include <set>

namespace fc {
namespace {

// Ten indices of 10 pixels; `hidden` ones take no room.
LayoutAxis axis(std::set<int> hidden = {}, int count = 10) {
    LayoutAxis a;
    a.setSizes(count, [&](int i) { return hidden.count(i) ? 0 : 10; });
    return a;
}

TEST(LayoutAxis, OffsetsSkipHiddenIndices) {
    LayoutAxis a = axis({3, 4});
    a.place(20, 100, 1, 0, 1);
    EXPECT_EQ(a.pos(3), 20);
    EXPECT_EQ(a.pos(5), 20);
    EXPECT_EQ(a.pos(6), 30);
    EXPECT_EQ(a.total(), 80);
    EXPECT_EQ(a.nextShown(2, +1), 5);
    EXPECT_EQ(a.nextShown(5, -1), 2);
    EXPECT_EQ(a.nextShown(10, +1), 0);
    // Screen: heading 0..19, then index 1 at 20, index 5 right after index 2.
    EXPECT_EQ(a.at(5), 0);
    EXPECT_EQ(a.at(20), 1);
    EXPECT_EQ(a.at(39), 2);
    EXPECT_EQ(a.at(40), 5);
    EXPECT_EQ(a.at(99), 10);
    EXPECT_EQ(a.at(100), -1);
    LayoutAxis shortAxis = axis({}, 3);
    shortAxis.place(20, 100, 1, 0, 1);
    EXPECT_EQ(shortAxis.at(60), -1); // past the last index
}

TEST(LayoutAxis, HiddenTopMovesToTheNextShownIndex) {
    LayoutAxis a = axis({3, 4});
    a.place(0, 50, 1, 0, 3);
    EXPECT_EQ(a.top(), 5);
    a.setTop(99);
    EXPECT_EQ(a.top(), 10);
    LayoutAxis allHidden = axis({1, 2, 3}, 3);
    allHidden.place(0, 50, 1, 0, 2);
    EXPECT_EQ(allHidden.top(), 1);
    EXPECT_EQ(allHidden.firstShown(), 0);
}

TEST(LayoutAxis, FrozenBlockStaysAtTheEdgeOnceWhatIsBeforeItScrolledAway) {
    // Indices 3..4 frozen; 1..2 above them scroll away first.
    LayoutAxis a = axis();
    a.place(0, 60, 3, 2, 1);
    EXPECT_FALSE(a.frozenAtEdge());
    EXPECT_EQ(a.start(1), 0);
    EXPECT_EQ(a.start(3), 20); // in its own place while index 1 is on top
    a.setTop(2);
    EXPECT_EQ(a.start(3), 10);
    a.setTop(3); // inside the block: the scrolled part begins after it
    EXPECT_EQ(a.top(), 5);
    EXPECT_TRUE(a.frozenAtEdge());
    a.setTop(8);
    EXPECT_EQ(a.start(3), 0);
    EXPECT_EQ(a.start(4), 10);
    EXPECT_EQ(a.start(8), 20);
    EXPECT_FALSE(a.onScreen(5));
    EXPECT_EQ(a.at(15), 4);
    EXPECT_EQ(a.at(25), 8);
    LayoutAxis::Piece p[2];
    ASSERT_EQ(a.pieces(p), 2);
    EXPECT_EQ(p[0].first, 3);
    EXPECT_EQ(p[0].last, 4);
    EXPECT_EQ(p[1].begin, 20);
    EXPECT_EQ(p[1].first, 8);
    EXPECT_EQ(p[1].last, 10);
}

TEST(LayoutAxis, ScrollValuesRoundTripThroughTops) {
    LayoutAxis a = axis({6});
    a.place(0, 40, 3, 2, 1);
    // Every shown index outside the frozen block is reachable and maps back to itself.
    for (int t : {1, 2, 5, 7, 8, 9, 10}) {
        SCOPED_TRACE(t);
        a.setTop(t);
        EXPECT_EQ(a.topForValue(a.scrollValue(), 0), t);
    }
    a.setTop(5);
    // Small steps always move: down to the next start, up to the index holding the value.
    EXPECT_EQ(a.topForValue(a.scrollValue() + 1, +1), 7);
    EXPECT_EQ(a.topForValue(a.scrollValue() - 1, -1), 2);
    EXPECT_GE(a.scrollMax(), a.scrollValue());
    EXPECT_EQ(a.pageSize(), 20);
}

TEST(LayoutAxis, TopMovesOverTheFrozenBlockAndHiddenIndices) {
    LayoutAxis a = axis({7});
    a.place(0, 40, 3, 2, 1); // 3..4 frozen
    a.setTop(2);
    EXPECT_EQ(a.topMovedBy(1), 5); // from before the block to just past it
    a.setTop(5);
    EXPECT_EQ(a.topMovedBy(-1), 2);
    EXPECT_EQ(a.topMovedBy(2), 8); // 7 is hidden
    EXPECT_EQ(a.topMovedBy(99), 10);
    EXPECT_EQ(a.topMovedBy(-99), 1);
    EXPECT_EQ(a.topMovedBy(0), 5);
}

TEST(LayoutAxis, TopToShowMovesAsLittleAsPossible) {
    struct Case {
        const char* name;
        int fixedFirst, fixedCount, top, target, want;
    };
    const Case cases[] = {
        {"alreadyVisible", 1, 0, 1, 3, 1},
        {"below", 1, 0, 1, 7, 4}, // 4 rows of 10 in 40 pixels: 4..7
        {"above", 1, 0, 6, 2, 2},
        {"belowWithFrozen", 1, 2, 3, 9, 8}, // 20 pixels left for the scrolled part
        {"frozenNeverScrolls", 1, 2, 8, 1, 8},
        {"beforeTheBlock", 5, 1, 1, 3, 1},
        {"pastTheBlockFromBefore", 5, 1, 1, 9, 7}, // 5 frozen, then 7..9
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LayoutAxis a = axis();
        a.place(0, 40, c.fixedFirst, c.fixedCount, c.top);
        EXPECT_EQ(a.topToShow(c.target), c.want);
    }
}

} // namespace
} // namespace fc
