#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

#include <random>

namespace fc {
namespace {

// Sorting compares texts by a packed prefix first; the order must stay exactly the
// collation's, including texts that share eight letters, differ in case or are prefixes.
TEST(SheetSort, TextOrderIsTheCollation) {
    const std::vector<std::string> words = {w("Итого"),
                                            w("итого"),
                                            w("Итоговая строка"),
                                            w("Итоговая сумма"),
                                            w("Ёлка"),
                                            w("Елка"),
                                            w("ель"),
                                            "abcdefgh",
                                            "abcdefghi",
                                            "ABCDEFGH",
                                            "abcdefg",
                                            "",
                                            "a",
                                            "A",
                                            "Z",
                                            "zz",
                                            std::string("a\0b", 3),
                                            "12",
                                            "1 2",
                                            "~",
                                            w("№"),
                                            "abcdefgh1",
                                            "abcdefgh0"};
    std::mt19937 rng(7);
    Workbook book;
    Sheet& s = book.sheet();
    const int n = 400;
    for (int r = 1; r <= n; ++r) {
        const std::string& t = words[rng() % words.size()];
        if (t.empty()) {
            s.setNumber(r, 1, static_cast<double>(rng() % 10));
        } else {
            s.setText(r, 1, t);
        }
        s.setNumber(r, 2, r); // the original position, to check stability
    }
    s.sortRows({1, 1, n, 2}, {{1, true}});
    for (int r = 2; r <= n; ++r) {
        const Value a = s.value(r - 1, 1), b = s.value(r, 1);
        SCOPED_TRACE(r);
        if (a.isNumber() && b.isNumber()) {
            ASSERT_LE(a.number, b.number);
        } else if (a.isText() && b.isText()) {
            const int d = cp1251::collate(a.text, b.text);
            ASSERT_LE(d, 0) << cp1251::toUtf8(a.text) << " before " << cp1251::toUtf8(b.text);
            if (d == 0) {
                ASSERT_LT(s.number(r - 1, 2), s.number(r, 2)) << "equal keys keep their order";
            }
        } else {
            ASSERT_TRUE(a.isNumber() && b.isText()) << "numbers before texts";
        }
    }
}

} // namespace
} // namespace fc
