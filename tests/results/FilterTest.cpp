#include "ResultFixture.h"

#include "results/Filter.h"
#include "results/FilterForm.h"

#include <functional>

namespace fc {
namespace {

using test::u8;

struct Filter : test::ResultFixture {
    FilterForm& form = session.view.filter.form;
    // What the dialog does: open (selection read), fields typed, "Подтвеpдить".
    bool run(const std::function<void(FilterForm&)>& type) {
        prepareFilter(session);
        type(form);
        return Filtr(session, false, FilterLocale{});
    }
};

// ---- amounts

struct AmountCase {
    const char* name;
    int op;
    const char *one, *from, *to;
    const char* shown;
};

class Amounts : public test::ResultFixture, public ::testing::WithParamInterface<AmountCase> {};

TEST_P(Amounts, PassByTheirComparison) {
    build(1, {"Счет|Сумма", "A|99.995", "B|100.05", "C|99.98", "D|100", "E|", "F|12,5"});
    selectColumns(3, 3);
    prepareFilter(session);
    FilterForm& f = session.view.filter.form;
    ASSERT_TRUE(f.rangesEnabled);
    f.amountOp = GetParam().op;
    f.amount = GetParam().one;
    f.amountFrom = GetParam().from;
    f.amountTo = GetParam().to;
    ASSERT_TRUE(Filtr(session, false, FilterLocale{}));
    EXPECT_EQ(shown(), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Filter, Amounts,
    ::testing::Values(
        // "=" lets a cent below through and a tenth above.
        AmountCase{"equalTakesACentBelowAndATenthAbove", FilterForm::Equal, "100", "", "", "2 3 5"},
        AmountCase{"less", FilterForm::Less, "100", "", "", "2 4 7"},
        AmountCase{"greater", FilterForm::Greater, "100", "", "", "3"},
        AmountCase{"boundsIncluded", FilterForm::Equal, "", "99.995", "100", "2 5"},
        // An empty cell is no amount of 0: it never passes.
        AmountCase{"emptyCellsNeverPass", FilterForm::Less, "1000", "", "", "2 3 4 5 7"},
        AmountCase{"commaTypedAsDecimal", FilterForm::Equal, "100,05", "", "", "3"}),
    [](const ::testing::TestParamInfo<AmountCase>& i) { return std::string(i.param.name); });

// ---- blocks, headings and totals

TEST_F(Filter, ABlockWithoutBordersGoesWhole) {
    build(1, {"Счет|Сумма", "A|1+", "B|2", "C|3"});
    ASSERT_TRUE(run([](FilterForm& f) { f.s1 = w("B"); }));
    EXPECT_EQ(shown(), "2 3");
    EXPECT_EQ(statusText(), "Фильтp включен [1]");
}

TEST_F(Filter, HeadingsAndTotalsFollowTheMatches) {
    build(1, {"Счет|Сумма", "  Покупатели", "Ромашка|10", "Лютик|20", "Итого:|30", "  Поставщики",
              "Иванов|5", "Итого:|5", "ИТОГО:|35"});
    ASSERT_TRUE(run([](FilterForm& f) { f.s1 = w("РОМАШКА"); }));
    // The heading above the match comes back; the totals after it stay, those after no
    // match go; the sheet's last block keeps its state.
    EXPECT_EQ(shown(), "2 3 5 9");
    ASSERT_TRUE(run([](FilterForm& f) { f.s1 = w("ИВАНОВ"); }));
    EXPECT_EQ(shown(), "6 7 8 9");
    s.setRowHidden(9, true);
    ASSERT_TRUE(run([](FilterForm& f) { f.s1 = w("ЛЮТИК"); }));
    EXPECT_EQ(shown(), "2 4 5");
    // A totals row is no match of its own, whatever it holds.
    ASSERT_TRUE(run([](FilterForm& f) { f.s1 = w("ИТОГО"); }));
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(statusText(), "Фильтp включен [0]");
}

TEST_F(Filter, TwoStringsAndOrOr) {
    build(1, {"Счет|Имя", "A|Ромашка", "B|Лютик", "C|Ромашка Лютик"});
    ASSERT_TRUE(run([](FilterForm& f) {
        f.s1 = w("РОМАШКА");
        f.s2 = w("ЛЮТИК");
    }));
    EXPECT_EQ(shown(), "4");
    ASSERT_TRUE(run([](FilterForm& f) { f.orMode = true; }));
    EXPECT_EQ(shown(), "2 3 4");
}

TEST_F(Filter, AnEmptyFormShowsEveryRowAndClearsTheStatus) {
    build(1, {"Счет|Сумма", "A|1", "B|2", "Итого:|3"});
    settings.totals = true;
    settings.totalsColumns = {3};
    ASSERT_TRUE(run([](FilterForm& f) { f.s1 = "A"; }));
    EXPECT_EQ(shown(), "2 4");
    EXPECT_EQ(s.number(4, 3), 1);
    status.setStatusText("x");
    ASSERT_TRUE(run([](FilterForm& f) { f.clear(); }));
    EXPECT_EQ(shown(), "2 3 4");
    EXPECT_EQ(s.number(4, 3), 3);
    EXPECT_EQ(statusText(), "");
    EXPECT_FALSE(session.view.filter.inForce);
}

TEST_F(Filter, TheStatusNamesTheFilterColumn) {
    build(2, {"Счет|Обороты", "|Дебет", "A|10", "B|20"});
    selectColumns(3, 3);
    ASSERT_TRUE(run([](FilterForm& f) { f.amount = "10"; }));
    EXPECT_EQ(shown(), "3");
    EXPECT_EQ(form.ncol, "3");
    EXPECT_EQ(statusText(), "Фильтp включен [1] по \"Обороты Дебет\"");
    // A one-cell selection then searches Ncol alone.
    s.setActiveCell(3, 2);
    ASSERT_TRUE(run([](FilterForm& f) {
        f.amount.clear();
        f.s1 = "B";
    }));
    EXPECT_EQ(shown(), "");
}

TEST_F(Filter, FormsThatCannotBeReadAreRefusedBeforeAnyRowIsTouched) {
    build(1, {"Счет|Сумма|Дата", "A|1|10.01.2026", "B|2|"});
    selectColumns(3, 4);
    struct Case {
        std::function<void(FilterForm&)> type;
        const char* message;
    };
    const Case cases[] = {
        {[](FilterForm& f) { f.amountFrom = "1"; }, "Укажите веpхний диапазон сумм!"},
        {[](FilterForm& f) { f.amountTo = "1"; }, "Укажите нижний диапазон сумм!"},
        {[](FilterForm& f) { f.dateFrom = "01.01.2026"; }, "Укажите веpхний диапазон дат!"},
        {[](FilterForm& f) { f.dateTo = "01.01.2026"; }, "Укажите нижний диапазон дат!"},
        {[](FilterForm& f) { f.amount = "12q"; }, "Сумма указана неверно: 12q"},
        {[](FilterForm& f) { f.date = "31.02.2026"; },
         "Дата указана неверно: 31.02.2026 (дд.мм.гггг)"},
    };
    for (const Case& c : cases) {
        prompter.clear();
        form.clear();
        EXPECT_FALSE(run(c.type));
        EXPECT_EQ(prompter.transcript(), std::string("Внимание:|") + c.message + "\n");
        EXPECT_EQ(shown(), "2 3");
    }
}

TEST_F(Filter, DatesCompareAsDaySerials) {
    build(1, {"Счет|Дата", "A|10.01.2026", "B|15.01.2026", "C|46032"});
    selectColumns(3, 3);
    ASSERT_TRUE(run([](FilterForm& f) { f.date = "10.01.2026"; }));
    EXPECT_EQ(shown(), "2 4"); // 46032 is 10.01.2026
    ASSERT_TRUE(run([](FilterForm& f) {
        f.date.clear();
        f.dateFrom = "11.01.26";
        f.dateTo = "31.01.2026";
    }));
    EXPECT_EQ(shown(), "3");
}

TEST(FilterValues, DatesFollowTheLocale) {
    const FilterLocale ru;
    FilterLocale us;
    us.dateOrder = "mdy";
    us.dateSeparator = '/';
    EXPECT_EQ(readDate("30.12.1899", ru), 0);
    EXPECT_EQ(readDate("10.01.2026", ru), 46032);
    EXPECT_EQ(readDate("10/1/26", ru), 46032);
    EXPECT_EQ(readDate("1/10/2026", us), 46032);
    EXPECT_EQ(readDate("10.01.99", ru), 36170);
    for (const char* bad : {"", "10.01", "10..2026", "32.01.2026", "10.01.20261", "a.b.c"}) {
        EXPECT_FALSE(readDate(bad, ru)) << bad;
    }
    EXPECT_EQ(u8(us.dateHint()), "(мм/дд/гггг)");
    EXPECT_EQ(u8(ru.dateHint()), "(дд.мм.гггг)");
    EXPECT_EQ(readAmount(" 1 500,25 "), 1500.25);
    EXPECT_EQ(readAmount("-3"), -3);
    EXPECT_FALSE(readAmount("1.2.3"));
    EXPECT_FALSE(readAmount("12 руб"));
}

// ---- the value list

TEST_F(Filter, ListValuesMatchWholeOrAtTheirPosition) {
    build(1, {"Счет|Код", "A|301", "B|3010", "C|0", "D|0.00", "E|1301"});
    form.listColumn = "3";
    auto choose = [&](const char* item) {
        return run([item](FilterForm& f) { f.chosen = w(item); });
    };
    ASSERT_TRUE(choose("Касса·301"));
    EXPECT_EQ(shown(), "2");
    ASSERT_TRUE(choose("Касса·301·1")); // "301" first found at character 1
    EXPECT_EQ(shown(), "2 3");
    ASSERT_TRUE(choose("·301·2"));
    EXPECT_EQ(shown(), "6");
    ASSERT_TRUE(choose("")); // an empty value stands for the zeros
    EXPECT_EQ(shown(), "4 5");
    form.listColumn = "x"; // no number: column 1
    ASSERT_TRUE(choose("301"));
    EXPECT_EQ(shown(), "");
}

TEST_F(Filter, OpeningReadsTheSelection) {
    build(1, {"Счет|Сумма", "A|1", "B|2", "a|3", "B|4"});
    s.setActiveCell(2, 2);
    prepareFilter(session);
    EXPECT_FALSE(form.rangesEnabled); // one cell: strings only
    form.ncol = "3";
    prepareFilter(session);
    EXPECT_TRUE(form.rangesEnabled);
    // Further ranges give the value list: their texts, upper case, sorted, once each.
    session.view.sort.heading = w("Счет");
    s.setSelection({1, 2, 1, 2});
    s.setSelection({2, 2, 5, 2}, true);
    prepareFilter(session);
    EXPECT_TRUE(form.listShown);
    EXPECT_EQ(u8(form.listCaption), "Фильтp по \"Счет\"");
    EXPECT_EQ(form.listColumn, "2");
    ASSERT_EQ(form.listItems.size(), 3u);
    EXPECT_EQ(form.listItems[0], "");
    EXPECT_EQ(form.listItems[1], "A");
    EXPECT_EQ(form.listItems[2], "B");
    // A chosen value keeps its list.
    form.chosen = "B";
    s.setSelection({3, 3, 3, 3}, true);
    prepareFilter(session);
    EXPECT_EQ(form.listItems.size(), 3u);
}

TEST_F(Filter, TheAnswersListIsTakenWhileNothingIsChosen) {
    build(1, {"Счет", "A"});
    settings.filterList = ReportSettings::FilterList{w("Счет"), " 2 ", {w("Я·1"), w("Б·2"), ""}};
    takeFilterList(session);
    EXPECT_TRUE(form.listShown);
    EXPECT_EQ(form.listColumn, "2");
    ASSERT_EQ(form.listItems.size(), 3u);
    EXPECT_EQ(u8(form.listItems[1]), "Б·2"); // sorted by the text shown
    EXPECT_EQ(u8(FilterForm::display(form.listItems[2])), "Я");
    form.chosen = form.listItems[1];
    settings.filterList->values = {"X"};
    takeFilterList(session);
    EXPECT_EQ(form.listItems.size(), 3u);
}

// ---- after an answer

TEST_F(Filter, ANewAnswerRunsTheFilterInForceOverItsColumns) {
    build(1, {"Счет|Имя|Примечание", "A|Ромашка|", "B|Лютик|Ромашка"});
    selectColumns(3, 3);
    ASSERT_TRUE(run([](FilterForm& f) { f.s1 = w("РОМАШКА"); }));
    EXPECT_EQ(shown(), "2");
    // The answer leaves one cell selected; the filter searches the columns it searched.
    s.setRowHidden(2, false);
    s.setRowHidden(3, false);
    s.setActiveCell(2, 2);
    filterAfterAnswer(session, false);
    EXPECT_EQ(shown(), "2");
    EXPECT_EQ(statusText(), "Фильтp включен [1] по \"Имя\"");
    // Without a filter in force an answer is left alone unless the filter always follows it.
    ASSERT_TRUE(run([](FilterForm& f) { f.clear(); }));
    s.setRowHidden(3, true);
    filterAfterAnswer(session, false);
    EXPECT_EQ(shown(), "2");
    filterAfterAnswer(session, true);
    EXPECT_EQ(shown(), "2 3");
}

TEST_F(Filter, EditedCellsAreSearchedAsTheyAreNow) {
    build(1, {"Счет|Имя", "A|Ромашка", "B|Лютик"});
    ASSERT_TRUE(run([](FilterForm& f) { f.s1 = w("ИВАНОВ"); }));
    EXPECT_EQ(shown(), "");
    s.setText(3, 3, w("Иванов"));
    ASSERT_TRUE(run([](FilterForm&) {}));
    EXPECT_EQ(shown(), "3");
    // A number format changes the text searched as well.
    Style money = s.style(2, 2);
    money.numberFormat = "0.00";
    s.setNumber(2, 2, 7);
    s.setStyle(2, 2, money);
    ASSERT_TRUE(run([](FilterForm& f) { f.s1 = "7.00"; }));
    EXPECT_EQ(shown(), "2");
}

} // namespace
} // namespace fc
