#include "ResultFixture.h"

#include "results/ListFilter.h"
#include "results/QuickSum.h"

namespace fc {
namespace {

using test::u8;

struct TrimCase {
    const char* name;
    CellRange newest;
    CellRange left;
};

class Trim : public ::testing::TestWithParam<TrimCase> {};

// The earlier range is B2:D4 (rows 2-4, columns 2-4).
TEST_P(Trim, TheNewestRangeOverlapsNoEarlierOne) {
    const CellRange earlier{2, 2, 4, 4};
    EXPECT_EQ(trimNewest(GetParam().newest, {earlier}), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    QuickSum, Trim,
    ::testing::Values(TrimCase{"apart", {6, 6, 7, 7}, {6, 6, 7, 7}},
                      TrimCase{"topInside", {3, 2, 8, 4}, {5, 2, 8, 4}},
                      TrimCase{"bottomInside", {1, 3, 3, 4}, {1, 3, 1, 4}},
                      TrimCase{"leftInside", {2, 3, 3, 9}, {2, 5, 3, 9}},
                      TrimCase{"rightInside", {3, 1, 4, 2}, {3, 1, 4, 1}},
                      TrimCase{"oneCornerCutsTheSmallerPart", {4, 4, 9, 5}, {5, 4, 9, 5}},
                      TrimCase{"whollyInside", {3, 3, 3, 3}, {1, 1, 0, 0}}),
    [](const ::testing::TestParamInfo<TrimCase>& i) { return std::string(i.param.name); });

struct QuickSums : test::ResultFixture {};

TEST_F(QuickSums, PickedCellsAreReadAsTheQuickSumReadsThem) {
    build(1, {"Счет|А|Б", "a|(150)|50+3", "b|-|", "c|1 000.5|текст", "d|7|8"});
    EXPECT_EQ(quickSum(s, {{2, 3, 2, 3}, {2, 4, 2, 4}}), 200); // "(150)" and "50+3"
    EXPECT_EQ(quickSumValue(s, 3, 3), 0.0);
    EXPECT_EQ(quickSumValue(s, 4, 3), 1000.5);
    EXPECT_FALSE(quickSumValue(s, 4, 4)); // a text that is no number is skipped
    // Hidden rows do not count, nor does a cell twice.
    s.setRowHidden(5, true);
    EXPECT_EQ(quickSum(s, {{2, 3, 5, 4}, {4, 3, 5, 3}}), 1200.5);
    EXPECT_EQ(u8(quickSumText(1234567.891)), "1 234 567.89");
    EXPECT_EQ(u8(quickSumText(12)), "12");
}

TEST_F(QuickSums, ACtrlPickTrimsTheSelectionAndShowsTheSum) {
    build(1, {"Счет|А|Б", "a|1|2", "b|3|4"});
    s.setSelection({2, 3, 3, 3});
    s.setSelection({3, 3, 3, 4}, true);
    quickSumRangeAdded(session);
    const std::vector<CellRange> ranges{{2, 3, 3, 3}, {3, 4, 3, 4}};
    EXPECT_EQ(s.selection(), ranges);
    ASSERT_TRUE(session.view.quickSum.shown);
    EXPECT_EQ(*session.view.quickSum.shown, 8);
    s.setSelection({2, 2, 2, 2}, true); // a text: nothing to sum there
    quickSumRangeAdded(session);
    EXPECT_EQ(*session.view.quickSum.shown, 8);
    s.setSelection({2, 2, 2, 2});
    s.setSelection({2, 2, 2, 2}, true);
    quickSumRangeAdded(session);
    EXPECT_FALSE(session.view.quickSum.shown); // 0: hidden
}

// ---- the list filter

std::vector<std::string> keep(const std::vector<std::string>& lines, const char* what) {
    std::vector<std::string> out;
    for (std::size_t i : filterListLines(lines, w(what))) {
        out.push_back(u8(lines[i]));
    }
    return out;
}

TEST(ListFilter, RecordsStayWithTheirHeadingsAndNarrowTwice) {
    std::vector<std::string> lines;
    for (const char* l : {" Покупатели", "01 ООО Ромашка", "         г. Киев", "02 ЧП Иванов",
                          " Поставщики", "03 ТОВ Лютик", "         Киев", "04 ФОП Петренко"}) {
        lines.push_back(w(l));
    }
    using V = std::vector<std::string>;
    EXPECT_EQ(keep(lines, "КИЕВ"), (V{" Покупатели", "01 ООО Ромашка", "         г. Киев",
                                      " Поставщики", "03 ТОВ Лютик", "         Киев"}));
    std::vector<std::string> once;
    for (const std::string& l : keep(lines, "КИЕВ")) {
        once.push_back(w(l));
    }
    // A second filter narrows the first; a heading left without records goes.
    EXPECT_EQ(keep(once, "ЛЮТИК"), (V{" Поставщики", "03 ТОВ Лютик", "         Киев"}));
    EXPECT_EQ(keep(lines, "НИЧЕГО"), V{});
    EXPECT_EQ(filterResetName([] { return std::string("abcdefgh"); }), "filtefgh");
}

} // namespace
} // namespace fc
