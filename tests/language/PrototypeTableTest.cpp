// Loading the server's prototype lines: what is kept, what empties the table and what is
// reported; and the look-ups the checker relies on.
#include "language/PrototypeTable.h"

#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>

namespace fc {
namespace {

std::vector<std::string> reportsUtf8(const std::vector<std::string>& reports) {
    std::vector<std::string> out;
    for (const std::string& r : reports) {
        out.push_back(cp1251::toUtf8(r));
    }
    return out;
}

std::string fragments(const PrototypeTable& t, int n) {
    std::string out;
    for (int k = 1; k <= PrototypeTable::kMaxFragments && !t.fragment(n, k).empty(); ++k) {
        out += (k > 1 ? "|" : "") + t.fragment(n, k);
    }
    return out;
}

std::string lines(int count, int from = 1) {
    std::string text;
    for (int i = from; i < from + count; ++i) {
        text += "p" + std::to_string(i) + " %, %\r\n";
    }
    return text;
}

struct LoadCase {
    const char* name;
    std::string text; // as the server sends it (ASCII here, so no conversion needed)
    int count;
    std::vector<std::string> reports; // UTF-8
};

class Loading : public ::testing::TestWithParam<LoadCase> {};

TEST_P(Loading, FillsOrEmptiesTheTable) {
    const LoadCase& c = GetParam();
    PrototypeTable t;
    std::vector<std::string> reports;
    t.loadText(c.text, &reports);
    EXPECT_EQ(t.count(), c.count);
    EXPECT_EQ(reportsUtf8(reports), c.reports);
}

const std::string kIgnored = " :пpототипы фактов игноpиpуются";

INSTANTIATE_TEST_SUITE_P(
    Rules, Loading,
    ::testing::Values(
        LoadCase{"empty", "", 1, {}},
        LoadCase{"commentsAndBlanks", "* prototypes\r\n\r\n   \r\n\t\r\n*x %\r\n", 1, {}},
        LoadCase{"twoPrototypes", "ob %, %\r\nsum %: %\r\n", 3, {}},
        LoadCase{"lastLineWithoutNewline", "ob %\r\nsum %", 3, {}},
        LoadCase{"bareNewlines", "ob %\nsum %\n", 3, {}},
        LoadCase{"noPercent",
                 "* c\r\n\r\nabc\r\n",
                 0,
                 {" Стpока 3 в PROTO.RPT не содеpжит % :пpототипы фактов игноpиpуются"}},
        LoadCase{"sixteenPercents", "x % % % % % % % % % % % % % % % %", 2, {}},
        LoadCase{"seventeenPercents",
                 "ob %\r\nx % % % % % % % % % % % % % % % % %",
                 0,
                 {" Стpока 2 в PROTO.RPT содеpжит много % :пpототипы фактов игноpиpуются"}},
        LoadCase{"sameNameAsEarlier",
                 "ob %\r\nsum %\r\n  ob   %, %\r\n",
                 0,
                 {" Стpока 3 в PROTO.RPT начинается так же как и 2" + kIgnored}},
        LoadCase{"sameNameAsBuiltIn",
                 "ta %\r\n",
                 0,
                 {" Стpока 1 в PROTO.RPT начинается так же как и 1" + kIgnored}},
        LoadCase{"laterLinesNotRead",
                 "abc\r\nstill %\r\n",
                 0,
                 {" Стpока 1 в PROTO.RPT не содеpжит % :пpототипы фактов игноpиpуются"}},
        LoadCase{"fiftyNineFillTheTable", lines(59), 60, {}},
        // a full table keeps its 60 and reports the rest once
        LoadCase{
            "sixtiethIsTooMany", lines(60), 60, {"слишком много пpототипов фактов в PROTO.RPT"}},
        LoadCase{"manyMoreReportedOnce",
                 lines(70),
                 60,
                 {"слишком много пpототипов фактов в PROTO.RPT"}}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(PrototypeTable, BuiltInPrototype) {
    PrototypeTable t;
    ASSERT_EQ(t.count(), 1);
    EXPECT_EQ(t.line(1), "ta %, %, %, %, %, %");
    EXPECT_EQ(fragments(t, 1), "ta|,|,|,|,|,");
    EXPECT_EQ(t.name(1), "ta");
    EXPECT_EQ(t.name(0), "???");
    EXPECT_EQ(t.name(2), "???");
}

TEST(PrototypeTable, FragmentsAreTrimmedAndTheTailDropped) {
    PrototypeTable t;
    t.loadText("  ob   %  ,  % tail words\r\n");
    ASSERT_EQ(t.count(), 2);
    EXPECT_EQ(t.line(2), "  ob   %  ,  % tail words");
    EXPECT_EQ(fragments(t, 2), "ob|,");
    EXPECT_EQ(t.fragment(2, 3), "");
}

TEST(PrototypeTable, LinesStayInTheServerCodePage) {
    PrototypeTable t;
    const std::string dos = codepage::toDos(w("об % на %"));
    t.loadText(dos);
    ASSERT_EQ(t.count(), 2);
    EXPECT_EQ(t.line(2), dos);
    EXPECT_EQ(t.name(2), codepage::toDos(w("об")));
}

TEST(PrototypeTable, FindTakesTheFirstNameThatBeginsTheText) {
    PrototypeTable t;
    t.loadText("tab %\nob %\n");
    int length = -1;
    EXPECT_EQ(t.find("tab 1", &length), 1) << "prototype 1 comes first";
    EXPECT_EQ(length, 2);
    EXPECT_EQ(t.find("ob 1", &length), 3);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(t.find("OB 1"), 0) << "names compare case-sensitively";
    EXPECT_EQ(t.find(""), 0);
    EXPECT_EQ(t.find("t"), 0);
}

TEST(PrototypeTable, MatchFragment) {
    PrototypeTable t;
    int length = -1;
    EXPECT_TRUE(t.matchFragment(", 2", 1, 2, &length));
    EXPECT_EQ(length, 1);
    EXPECT_FALSE(t.matchFragment("; 2", 1, 2));
    // past the last fragment: an empty one, which always matches
    EXPECT_TRUE(t.matchFragment("anything", 1, 7, &length));
    EXPECT_EQ(length, 0);
    EXPECT_TRUE(t.matchFragment("anything", 1, 99, &length));
    EXPECT_FALSE(t.matchFragment(",", 2, 2));
    EXPECT_FALSE(t.matchFragment(",", 0, 2));
}

TEST(PrototypeTable, ReloadingStartsAfresh) {
    PrototypeTable t;
    t.loadText("abc\n");
    ASSERT_EQ(t.count(), 0);
    EXPECT_EQ(t.find("ta 1"), 0);
    EXPECT_EQ(t.line(1), "");
    t.loadText("ob %\n");
    EXPECT_EQ(t.count(), 2);
    EXPECT_EQ(t.find("ta 1"), 1);
}

TEST(PrototypeTable, LoadFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("answer.out").toStdString();
    {
        std::ofstream out(path, std::ios::binary);
        out << "ob %, %\r\n* note\r\nsum %: %\r\n";
    }
    PrototypeTable t;
    std::vector<std::string> reports;
    t.loadFile(path, &reports);
    EXPECT_EQ(t.count(), 3);
    EXPECT_TRUE(reports.empty());

    t.loadFile(dir.filePath("missing.out").toStdString(), &reports);
    EXPECT_EQ(t.count(), 1) << "an unreadable file leaves the built-in prototype";
    EXPECT_TRUE(reports.empty());
}

TEST(PrototypeTable, WithoutACollectorReportsGoToStandardOutput) {
    PrototypeTable t;
    ::testing::internal::CaptureStdout();
    t.loadText("abc\n");
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, " Стpока 1 в PROTO.RPT не содеpжит % :пpототипы фактов игноpиpуются\n");
}

} // namespace
} // namespace fc
