// Whatever the bytes, the checker answers within the line and the same way each time.
#include "CheckCases.h"

#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"

#include <algorithm>
#include <random>
#include <set>

namespace fc::testing {
namespace {

void expectWellFormed(const CheckResult& r, std::size_t length, const std::string& what) {
    static const std::set<int> keywordLengths = {0, 4, 5, 6, 8, 254, 255};
    SCOPED_TRACE(what);
    EXPECT_EQ(r.ok(), r.message.empty());
    EXPECT_EQ(r.ok(), r.errorPosition == 0);
    if (!r.ok()) {
        EXPECT_GE(r.errorPosition, 1);
        // Within the line or just past it; EVERY alone names the seventh character, where
        // its word belongs.
        EXPECT_LE(r.errorPosition, std::max(static_cast<int>(length) + 1, 7));
    }
    EXPECT_EQ(keywordLengths.count(r.keywordLength), 1u) << r.keywordLength;
    if (r.plainText) {
        EXPECT_TRUE(r.ok());
        EXPECT_EQ(r.keywordLength, 0);
    }
}

TEST(CheckerRobustness, EveryByteAfterEveryHead) {
    const char* heads[] = {"",          "A=",      "[CE ",     "[EK ",        "FACT ta ",
                           "FACT ta 1", "SEARCH ", "SEARCH ?", "EVERY ",      "REWIND FACTS RANGE ",
                           "IF ",       "?",       "B=A IN ",  "SORT ARRAY ", "ARRAY "};
    Checker checker(sampleTable());
    for (const char* head : heads) {
        for (int b = 0; b < 256; ++b) {
            for (const char* tail : {"", " ", "1]"}) {
                const std::string line = std::string(head) + static_cast<char>(b) + tail;
                expectWellFormed(checker.checkLine(line), line.size(), line);
            }
        }
    }
}

TEST(CheckerRobustness, RandomLinesAreAnsweredTheSameEachTime) {
    const std::string alphabet = "AaIiNnFfEe$19.,;:!?#*%`'\"[](){}<>=+-*/&|~\\ \t\r\n\xC0\xE0\x80";
    const char* words[] = {"FACT ",  "SEARCH ",   "EVERY ", "REWIND ", "SORT ",
                           "ARRAY ", "IN ",       "ta ",    "ob ",     "RANGE ",
                           "[EK ",   "[DLLCALL ", "[IM ",   "..",      "??"};
    std::mt19937 rng(20240611);
    Checker checker(sampleTable());
    std::string previous;
    for (int n = 0; n < 20000; ++n) {
        std::string line;
        const std::size_t length = rng() % 300;
        while (line.size() < length) {
            if (rng() % 4 == 0) {
                line += words[rng() % (sizeof(words) / sizeof(words[0]))];
            } else {
                line += alphabet[rng() % alphabet.size()];
            }
        }
        const CheckResult first = checker.checkLine(line);
        expectWellFormed(first, line.size(), line);
        if (!previous.empty()) {
            checker.checkLine(previous);
        }
        const CheckResult again = checker.checkLine(line);
        EXPECT_EQ(again.error, first.error) << line;
        EXPECT_EQ(again.errorPosition, first.errorPosition) << line;
        EXPECT_EQ(again.keywordLength, first.keywordLength) << line;
        previous = line;
    }
}

struct FoldCase {
    const char* name;
    const char* a; // UTF-8, compared in code page 866
    const char* b;
    bool equal;
};

class Folding : public ::testing::TestWithParam<FoldCase> {};

TEST_P(Folding, Compares) {
    const FoldCase& c = GetParam();
    EXPECT_EQ(foldEqual(codepage::toDos(w(c.a)), codepage::toDos(w(c.b))), c.equal)
        << c.a << " / " << c.b;
}

INSTANTIATE_TEST_SUITE_P(
    EveryWords, Folding,
    ::testing::Values(
        FoldCase{"same", "DAY", "DAY", true}, FoldCase{"caseFolded", "dAy", "DAY", true},
        FoldCase{"backslashesSkipped", "\\D\\A\\Y", "DAY", true},
        FoldCase{"backslashesInBoth", "DAY", "D\\AY", true},
        FoldCase{"trailingBlanks", "DAY   ", "DAY", true},
        FoldCase{"leadingBlankCounts", " DAY", "DAY", false},
        FoldCase{"longer", "DAYS", "DAY", false}, FoldCase{"shorter", "DA", "DAY", false},
        FoldCase{"empty", "", "DAY", false}, FoldCase{"bothEmpty", "\\ ", "", true},
        FoldCase{"cyrillicCapitals", "АВЕКМНОРСТХ", "ABEKMHOPCTX", true},
        FoldCase{"cyrillicSmall", "авекмнорстх", "abekmhopctx", true},
        FoldCase{"cyrillicCase", "дЖя", "ДжЯ", true}, FoldCase{"notALookAlike", "Д", "D", false},
        FoldCase{"cyrillicU", "У", "Y", false}),
    [](const auto& i) { return std::string(i.param.name); });

} // namespace
} // namespace fc::testing
