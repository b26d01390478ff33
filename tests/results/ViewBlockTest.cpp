#include "ResultFixture.h"

#include "results/ViewBlock.h"

namespace fc {
namespace {

struct ViewBlock : test::ResultFixture {};

TEST_F(ViewBlock, TheFilterComesBackAsItWasLeft) {
    build(1, {"Счет|Сумма", "A|1", "B|2"});
    FilterState& st = session.view.filter;
    FilterForm& f = st.form;
    f.s1 = w("РОМАШКА");
    f.s2 = "";
    f.orMode = true;
    f.amountOp = FilterForm::Less;
    f.amountFrom = "10";
    f.amountTo = "20.5";
    f.dateOp = FilterForm::Greater;
    f.date = "01.02.2026";
    f.rangesEnabled = false;
    f.listShown = true;
    f.listCaption = w("Фильтp по \"Счет\"");
    f.listColumn = "2";
    f.listItems = {"", w("Касса·301"), w("Банк·311·2")};
    f.chosen = w("Банк·311·2");
    f.ncol = "3";
    st.inForce = true;
    st.matches = 17;
    st.columns = {3, 4};
    session.view.sort = SortState{3, w("Сумма"), 2};
    writeViewBlock(session);

    EXPECT_EQ(s.text(20, result::kStateCol), "17");
    EXPECT_EQ(s.text(25, result::kStateCol), "1020");
    EXPECT_EQ(s.text(32, result::kStateCol), "|3|4");
    EXPECT_EQ(s.text(s.maxRow() + 7, 3), "1");
    EXPECT_EQ(s.text(s.maxRow() + 7, 2), "0");
    EXPECT_EQ(s.text(s.maxRow() + 8, 3), "3"); // sorted descending by it
    EXPECT_EQ(s.text(s.maxRow() + 8, 2), "0");

    const FilterForm before = f;
    f = FilterForm{};
    st.inForce = false;
    st.matches = 0;
    st.columns.clear();
    session.view.sort = SortState{};
    ASSERT_TRUE(readViewBlock(session));
    EXPECT_EQ(f.s1, before.s1);
    EXPECT_TRUE(f.orMode);
    EXPECT_EQ(f.amountOp, FilterForm::Less);
    EXPECT_EQ(f.amountFrom, "10");
    EXPECT_EQ(f.amountTo, "20.5");
    EXPECT_EQ(f.dateOp, FilterForm::Greater);
    EXPECT_EQ(f.date, "01.02.2026");
    EXPECT_FALSE(f.rangesEnabled);
    EXPECT_TRUE(f.listShown);
    EXPECT_EQ(f.listCaption, before.listCaption);
    EXPECT_EQ(f.listItems, before.listItems);
    EXPECT_EQ(f.chosen, before.chosen);
    EXPECT_EQ(f.listColumn, "2");
    EXPECT_EQ(f.ncol, "3");
    EXPECT_TRUE(st.inForce);
    EXPECT_EQ(st.matches, 17);
    EXPECT_EQ(st.columns, (std::vector<int>{3, 4}));
    EXPECT_EQ(session.view.sort.column, 3);
    EXPECT_EQ(session.view.sort.order, 2);
    EXPECT_EQ(test::u8(session.view.sort.heading), "Сумма");

    // No filter, nothing chosen: read back as such.
    f = FilterForm{};
    st.inForce = false;
    writeViewBlock(session);
    f.s1 = "X";
    f.chosen = "Y";
    ASSERT_TRUE(readViewBlock(session));
    EXPECT_TRUE(f.blank());
    EXPECT_FALSE(f.listShown);
    EXPECT_FALSE(st.inForce);
    EXPECT_EQ(session.view.sort.column, 3); // still chosen: the column state stays
    session.view.sort = SortState{};
    writeViewBlock(session);
    // Nothing to keep: no rows below the data.
    EXPECT_EQ(s.text(s.maxRow() + 7, 3), "");
    EXPECT_EQ(s.text(s.maxRow() + 8, 3), "");
}

TEST_F(ViewBlock, ASheetFilledAnewKeepsTheWindowsFilter) {
    build(1, {"Счет", "A"});
    session.view.filter.form.s1 = "A";
    EXPECT_FALSE(readViewBlock(session));
    EXPECT_EQ(session.view.filter.form.s1, "A");
}

} // namespace
} // namespace fc
