#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

struct ByteCase {
    const char* name;
    unsigned char from;
    unsigned char to;
};

void PrintTo(const ByteCase& c, std::ostream* os) { *os << c.name; }

class DosToWin : public ::testing::TestWithParam<ByteCase> {};
TEST_P(DosToWin, Maps) { EXPECT_EQ(codepage::toWindows(GetParam().from), GetParam().to); }
INSTANTIATE_TEST_SUITE_P(
    Table, DosToWin,
    ::testing::Values(ByteCase{"ascii", 'A', 'A'}, ByteCase{"capitalA", 128, 192},
                      ByteCase{"smallP", 175, 239}, ByteCase{"boxFirst", 176, '.'},
                      ByteCase{"boxVertical", 179, '.'}, ByteCase{"boxLast", 223, '.'},
                      ByteCase{"smallR", 224, 240}, ByteCase{"smallYa", 239, 255},
                      ByteCase{"capitalYo", 240, 168}, ByteCase{"smallYo", 241, 184},
                      ByteCase{"ukrYe", 244, 170}, ByteCase{"middleDot", 250, 183},
                      ByteCase{"numero", 252, 185}, ByteCase{"del", 254, 127},
                      ByteCase{"unmapped242", 242, '.'}, ByteCase{"unmapped255", 255, '.'},
                      ByteCase{"code127kept", 127, 127}),
    [](const auto& i) { return i.param.name; });

class WinToDos : public ::testing::TestWithParam<ByteCase> {};
TEST_P(WinToDos, Maps) { EXPECT_EQ(codepage::toDos(GetParam().from), GetParam().to); }
INSTANTIATE_TEST_SUITE_P(
    Table, WinToDos,
    ::testing::Values(ByteCase{"ascii", 'z', 'z'}, ByteCase{"del", 127, 254},
                      ByteCase{"capitalYo", 168, 240}, ByteCase{"ukrCapitalI", 178, '.'},
                      ByteCase{"ukrSmallI", 179, 247}, ByteCase{"middleDot", 183, 250},
                      ByteCase{"numero", 185, 252}, ByteCase{"euro", 136, '.'},
                      ByteCase{"capitalA", 192, 128}, ByteCase{"smallP", 239, 175},
                      ByteCase{"smallR", 240, 224}, ByteCase{"smallYa", 255, 239}),
    [](const auto& i) { return i.param.name; });

TEST(CodePage, LettersSurviveTheRoundTrip) {
    // Every letter of the common alphabet, Ё, ё, № and the middle dot come back unchanged.
    for (int b = 0; b < 256; ++b) {
        unsigned char w = static_cast<unsigned char>(b);
        bool letter = b >= 192 || b == 168 || b == 184 || b == 185 || b == 183 || b <= 126;
        if (letter) {
            EXPECT_EQ(codepage::toWindows(codepage::toDos(w)), w) << "byte " << b;
        }
    }
}

TEST(CodePage, WholeTextsAndInPlace) {
    std::string dos = "\x8f\xe0\xa8\xa2\xa5\xe2 \xb3 \xfc";
    std::string win = codepage::toWindows(dos);
    EXPECT_EQ(cp1251::toUtf8(win), "Привет . №");
    std::string s = win;
    codepage::toDosInPlace(s);
    codepage::toWindowsInPlace(s);
    EXPECT_EQ(s, win);
    EXPECT_EQ(codepage::toWindows(""), "");
    std::string withNul("a\0b", 3);
    EXPECT_EQ(codepage::toDos(withNul).size(), 3u);
}

TEST(CodePage, StandardOemConversionKeepsBoxesReadable) {
    EXPECT_EQ(codepage::oemToAnsi("\xc4\xb3\xc5"), "-|+");
    EXPECT_EQ(cp1251::toUtf8(codepage::oemToAnsi("\xf2\xf3")), "Єє");
}

TEST(Cp1251, UnicodeRoundTripOfEveryAssignedByte) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98) {
            continue;
        }
        std::string one(1, static_cast<char>(b));
        EXPECT_EQ(cp1251::fromUtf8(cp1251::toUtf8(one)), one) << "byte " << b;
        EXPECT_EQ(cp1251::fromQString(cp1251::toQString(one)), one) << "byte " << b;
    }
    EXPECT_EQ(cp1251::fromUtf8("\xff\xfe"), "??");
    EXPECT_EQ(cp1251::fromUtf8("\xd0"), "?"); // cut sequence
    EXPECT_EQ(cp1251::fromUtf8("日本"), "??");
}

TEST(Cp1251, CaseAndCollation) {
    EXPECT_EQ(cp1251::toUtf8(cp1251::upper(cp1251::fromUtf8("абвёz"))), "АБВЁZ");
    EXPECT_EQ(cp1251::toUtf8(cp1251::lower(cp1251::fromUtf8("ЖЁQ"))), "жёq");
    auto less = [](const char* a, const char* b) {
        return cp1251::collate(cp1251::fromUtf8(a), cp1251::fromUtf8(b)) < 0;
    };
    EXPECT_TRUE(less("Е", "Ё"));
    EXPECT_TRUE(less("Ё", "Ж"));
    EXPECT_TRUE(less("ё", "ж"));
    EXPECT_TRUE(less("Z", "А"));
    EXPECT_TRUE(less("1", "A"));
    EXPECT_FALSE(less("а", "А"));
    EXPECT_FALSE(less("А", "а"));
    EXPECT_TRUE(less("аб", "абв"));
}

} // namespace
} // namespace fc
