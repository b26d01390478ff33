#include "results/ResultSearch.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

// Accounts in column 2 under two heading rows (data from row 3).
struct Accounts : ::testing::Test {
    Workbook book;
    Sheet& s = book.sheet(1);
    TypeAhead typeAhead;

    void SetUp() override {
        const char* accounts[] = {"10", "51", "60.1", "62", "12", "125", "120", "5", "51.2"};
        s.setFixedRows(1, 2);
        s.setText(1, 2, w("Счет"));
        int r = 3;
        for (const char* a : accounts) {
            s.setText(r++, 2, a);
        }
        s.setMaxRow(r - 1); // 11
        s.setMaxCol(3);
    }
    // Types `keys` into column 2 with the active row following each hit, as the window does.
    int type(const std::string& keys, int active) {
        for (char c : keys) {
            if (std::optional<int> row = typeAhead.type(s, active, 2, c)) {
                active = *row;
            }
        }
        return active;
    }
};

TEST_F(Accounts, DigitsTypedWithinASecondFindTheAccountThatBeginsWithThem) {
    EXPECT_EQ(type("12", 4), 7); // "1" jumps to 10 (row 3), "12" goes on from there to row 7
    EXPECT_EQ(typeAhead.text(), "12");
    // 1.4 s later (7 ticks) the text is gone, and "5" starts again from the first data row.
    for (int i = 0; i < TypeAhead::kIdleTicks - 1; ++i) {
        EXPECT_FALSE(typeAhead.tick());
    }
    EXPECT_TRUE(typeAhead.tick());
    EXPECT_EQ(typeAhead.text(), "");
    EXPECT_EQ(type("5", 7), 4);
    // A key restarts the time-out.
    typeAhead.tick();
    EXPECT_EQ(type("1", 4), 4); // "51" from the active row
    for (int i = 0; i < TypeAhead::kIdleTicks - 1; ++i) {
        EXPECT_FALSE(typeAhead.tick());
    }
}

TEST_F(Accounts, TheWalkEndsAtMaxRowAndSkipsHiddenRows) {
    EXPECT_EQ(type("51.", 3), 11); // the hit on MaxRow is taken
    typeAhead.clear();
    s.setRowHidden(7, true);
    EXPECT_EQ(type("12", 3), 8); // 125, the visible one
    typeAhead.clear();
    EXPECT_EQ(typeAhead.type(s, 3, 2, '9'), std::nullopt);
    EXPECT_EQ(findPrefix(s, 2, 3, ""), std::nullopt);
    EXPECT_EQ(findPrefix(s, 300, 3, "1"), std::nullopt);
}

TEST_F(Accounts, CyrillicTypedIsUpperCasedAndCellsCompareAsShown) {
    s.setText(5, 3, w("Касса"));
    s.setText(6, 3, w("КАССА"));
    s.setNumber(7, 3, 1500.5);
    s.editStyle({7, 3, 7, 3}, [](Style& st) { st.numberFormat = "0.00"; });
    std::optional<int> row;
    for (unsigned char c : w("ка")) {
        row = typeAhead.type(s, 3, 3, c);
    }
    EXPECT_EQ(typeAhead.text(), w("КА"));
    EXPECT_EQ(row, 6);
    typeAhead.clear();
    for (char c : std::string("1500.50")) {
        row = typeAhead.type(s, 3, 3, static_cast<unsigned char>(c));
    }
    EXPECT_EQ(row, 7); // the number as its format shows it
}

TEST(TypeAheadKeys, TakeDigitsPunctuationAndCyrillicButNoLatinLetters) {
    for (unsigned char c : std::string("09.,-/") + w("аЯёЁ")) {
        EXPECT_TRUE(TypeAhead::takes(c)) << int(c);
    }
    for (unsigned char c : std::string("aZq \r\t\x7F")) {
        EXPECT_FALSE(TypeAhead::takes(c)) << int(c);
    }
}

TEST_F(Accounts, AltSearchLooksForwardForAPartThenFromTheTopForABeginning) {
    s.setText(3, 2, "  1234 CASH");
    s.setText(4, 2, "AB 9999");
    s.setText(6, 2, "ab 9999x");
    s.setText(10, 2, "zz");
    EXPECT_EQ(altFind(s, 4, "9999"), 6); // forward, a part, case folded
    EXPECT_EQ(altFind(s, 6, "9999"),
              std::nullopt);             // above only "AB 9999", which does not begin with it
    EXPECT_EQ(altFind(s, 6, "AB"), 4);   // above, a beginning
    EXPECT_EQ(altFind(s, 8, "1234"), 3); // trimmed before it is compared
    EXPECT_EQ(altFind(s, 3, "51.2"), std::nullopt); // MaxRow itself is not looked at
    // The forward part sees the first 20 characters upper-cased only.
    s.setText(5, 2, std::string(22, 'k') + "cash");
    EXPECT_EQ(altFind(s, 4, "CASH"), std::nullopt);
    EXPECT_EQ(altFind(s, 4, "KK"), 5);

    AltSearch& alt = altSearch();
    alt.begin();
    alt.add('Z');
    alt.add('Q');
    EXPECT_EQ(alt.finish(s, 4), std::nullopt);
    EXPECT_EQ(alt.text(), "ZQ"); // kept until the next Alt press
    alt.begin();
    alt.add('Z');
    EXPECT_EQ(alt.finish(s, 4), 10);
    EXPECT_EQ(alt.text(), "");
}

TEST(AltKeys, GiveTheLatinLetterOfThePhysicalKey) {
    EXPECT_EQ(latinOfKey(54, U'\u0421'), 'C'); // Russian layout, the key of "С": C
    EXPECT_EQ(latinOfKey(0, U'\u0421'), 'C');  // no key code: the layout's letter tells
    EXPECT_EQ(latinOfKey(0, U'\u0444'), 'A');  // ф
    EXPECT_EQ(latinOfKey(0, U'\u042F'), 'Z');  // Я
    EXPECT_EQ(latinOfKey(0, U'\u0416'), 0);    // Ж lies on a punctuation key
    EXPECT_EQ(latinOfKey(38, U'x'), 'A');      // the key code wins
    EXPECT_EQ(latinOfKey(0, U'q'), 'Q');
    EXPECT_EQ(latinOfKey(19, 0), '0');
    EXPECT_EQ(latinOfKey(0, U'7'), '7');
    EXPECT_EQ(latinOfKey(0, U'-'), 0);
    EXPECT_EQ(latinOfKey(65, U' '), 0); // the space bar
}

} // namespace
} // namespace fc
