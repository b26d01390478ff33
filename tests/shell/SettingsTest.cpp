#include "components/codec/Codec.h"
#include "components/platform/FileBytes.h"
#include "shell/AppSettings.h"
#include "shell/SettingsFiles.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

const std::string kSep(1, '\xFA');

class SettingsDir : public ::testing::Test {
protected:
    std::string dir() const { return tmp.path().toStdString(); }
    void put(const char* name, const std::string& bytes) {
        ASSERT_TRUE(files::writeAtomic(files::join(dir(), name), bytes));
    }
    AppSettings loaded() {
        AppSettings s;
        settings::load(s, dir());
        return s;
    }
    QTemporaryDir tmp;
};

TEST_F(SettingsDir, FirstStartGivesTheDefaults) {
    AppSettings s = loaded();
    EXPECT_EQ(s.startDir, dir());
    EXPECT_EQ(s.reportsDir, dir());
    EXPECT_EQ(s.serverDir, "");
    EXPECT_EQ(s.userName(), "");
    EXPECT_EQ(s.password(), "");
    EXPECT_EQ(s.period(), Period{});
    EXPECT_EQ(s.reportState(), "620A0LA_");
    EXPECT_EQ(s.requestPrefix(), kSep + kSep + "620A0LA_" + kSep);
}

TEST_F(SettingsDir, KlfWithFourLinesKeepsTheEndOfThePeriod) {
    put("klf.opt", " \r\n \r\n5\r\n3\r\n");
    AppSettings s = loaded();
    EXPECT_EQ(s.period(), (Period{5, 3, 31, 12}));
    EXPECT_EQ(s.reportState(), "620C0LE_");
}

struct FileCase {
    const char* name;
    std::string bytes;
};

std::string allBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) {
        s += static_cast<char>(b);
    }
    return s;
}

const std::vector<FileCase> kBadFiles = {
    {"empty", ""},
    {"garbage", allBytes()},
    {"nulBytes", std::string(40, '\0')},
    {"overlong", std::string(100000, '7')},
    {"overlongLine", std::string(5000, 'x') + "\r\n"},
    {"truncated", " \r\n"},
};

class BadSettingsFile : public SettingsDir, public ::testing::WithParamInterface<FileCase> {};

TEST_P(BadSettingsFile, GivesTheDefaults) {
    for (const char* name : {"path.wd", "klf.opt", "klp.opt"}) {
        put(name, GetParam().bytes);
    }
    AppSettings s = loaded();
    EXPECT_EQ(s.reportsDir, dir());
    EXPECT_EQ(s.period(), Period{});
    EXPECT_EQ(s.serverDir, "");
    EXPECT_EQ(s.userName(), "");
    EXPECT_EQ(s.password(), "");
    EXPECT_EQ(s.reportState(), "620A0LA_");
}

INSTANTIATE_TEST_SUITE_P(Files, BadSettingsFile, ::testing::ValuesIn(kBadFiles),
                         [](const auto& i) { return i.param.name; });

TEST(KlfOpt, BadLinesKeepTheirDefaults) {
    struct Case {
        const char* name;
        std::string content;
        Period want;
    } cases[] = {
        {"valid", " \r\n \r\n2\r\n3\r\n28\r\n11\r\n620\r\n", {2, 3, 28, 11}},
        {"lfOnly", "a\nb\n2\n3\n28\n11\n", {2, 3, 28, 11}},
        {"blanksAround", " \r\n \r\n 2 \r\n3\r\n28\r\n11\r\n", {2, 3, 28, 11}},
        {"notNumbers", " \r\n \r\nx\r\n3a\r\n\r\n11\r\n", {1, 1, 31, 11}},
        {"outOfRange", " \r\n \r\n0\r\n13\r\n32\r\n-1\r\n", {1, 1, 31, 12}},
        {"huge", " \r\n \r\n99999999999999999999\r\n3\r\n", {1, 3, 31, 12}},
        {"controlBytes", " \r\n \r\n2\x01\r\n3\r\n", {1, 3, 31, 12}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(settings::parseKlf(c.content).period, c.want);
    }
}

TEST_F(SettingsDir, PathWdGivesTheReportsDirectory) {
    put("path.wd", "  /srv/reports  \r\nsecond line\r\n");
    EXPECT_EQ(loaded().reportsDir, "/srv/reports");
    put("path.wd", "\r\n");
    EXPECT_EQ(loaded().reportsDir, dir());
}

TEST(Scramble, GroupsOfTenWithNegativeGroups) {
    // 'A' (65) at position 1: 4225 - 1; byte 1 at position 2: 1 - 4.
    EXPECT_EQ(*settings::scramble(std::string("A\x01", 2)), "0000004224-000000003");
    EXPECT_EQ(*settings::unscramble("0000004224-000000003"), std::string("A\x01", 2));
    EXPECT_EQ(*settings::unscramble("      4224    -3    "), std::string("A\x01", 2));
    EXPECT_FALSE(settings::scramble(std::string(40000, 'a')).has_value());
    for (const char* bad : {"000000422", "00000042x4", "0000999999", "-000999999", "+"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(settings::unscramble(bad).has_value());
    }
}

TEST(KlpOpt, EveryByteValueInEveryFieldRoundTrips) {
    // The byte stands inside its field, so trimming does not apply; a second run puts it at a
    // position beyond 255, where its group is negative. "|" separates the first two fields.
    for (std::size_t lead : {std::size_t(0), std::size_t(300)}) {
        for (int field = 0; field < 3; ++field) {
            for (int b = 0; b < 256; ++b) {
                if (b == '|' && field < 2) {
                    continue;
                }
                settings::Connection c{"/srv/exchange", "user", "secret"};
                std::string value = std::string(lead, 'w') + "a" + char(b) + "z";
                (field == 0 ? c.serverDir : field == 1 ? c.userName : c.password) = value;
                std::optional<std::string> content = settings::klpContent(c);
                ASSERT_TRUE(content.has_value());
                settings::Connection back = settings::parseKlp(*content);
                ASSERT_EQ(back.serverDir, c.serverDir) << "field " << field << " byte " << b;
                ASSERT_EQ(back.userName, c.userName) << "field " << field << " byte " << b;
                ASSERT_EQ(back.password, c.password) << "field " << field << " byte " << b;
            }
        }
    }
}

TEST(KlpOpt, UndecodableContentLeavesAllEmpty) {
    const settings::Connection good{"/srv", "u", "p"};
    const std::string content = *settings::klpContent(good);
    std::string flipped = content;
    flipped[10] = flipped[10] == '0' ? '1' : '0';
    for (const std::string& bad :
         {std::string(), std::string("/srv|u|p"), flipped, content.substr(0, content.size() - 2),
          codec::EncodeString("not digits at all!"), codec::EncodeString("00000042")}) {
        settings::Connection c = settings::parseKlp(bad);
        EXPECT_EQ(c.serverDir + c.userName + c.password, "");
    }
    EXPECT_EQ(settings::parseKlp(codec::EncodeString(*settings::scramble("  /srv  "))).serverDir,
              "/srv");
}

TEST_F(SettingsDir, WritersRoundTripThroughTheFiles) {
    AppSettings s;
    s.startDir = dir();
    s.reportsDir = "/home/u/reports";
    s.serverDir = "/mnt/ldk";
    s.setUserName("\xC8\xE2\xE0\xED"); // Иван
    s.setPassword("p|w");
    s.setPeriod({2, 4, 30, 6});
    s.klfLine1 = "kept 1";
    ASSERT_TRUE(settings::writePathWd(s));
    ASSERT_TRUE(settings::writeKlp(s));
    ASSERT_TRUE(settings::writeKlf(s));
    EXPECT_EQ(*files::readAll(files::join(dir(), "klf.opt")),
              "kept 1\r\n \r\n2\r\n4\r\n30\r\n6\r\n620\r\n");

    AppSettings back = loaded();
    EXPECT_EQ(back.reportsDir, s.reportsDir);
    EXPECT_EQ(back.serverDir, s.serverDir);
    EXPECT_EQ(back.userName(), s.userName());
    EXPECT_EQ(back.password(), s.password());
    EXPECT_EQ(back.period(), s.period());
    EXPECT_EQ(back.klfLine1, "kept 1");
    EXPECT_EQ(back.requestPrefix(), s.requestPrefix());
}

TEST_F(SettingsDir, KlfIsCreatedOnlyWhenMissing) {
    ASSERT_TRUE(settings::createKlfIfMissing(dir()));
    const std::string path = files::join(dir(), "klf.opt");
    EXPECT_EQ(*files::readAll(path), " \r\n \r\n1\r\n1\r\n31\r\n12\r\n");
    put("klf.opt", "mine");
    ASSERT_TRUE(settings::createKlfIfMissing(dir()));
    EXPECT_EQ(*files::readAll(path), "mine");
    EXPECT_FALSE(settings::createKlfIfMissing(dir() + "/no/such/dir"));
}

TEST(AppSettings, PrefixAndStateFollowEveryPart) {
    AppSettings s;
    s.setReportState("620A0LA_"
                     "ARG1        ");
    s.setPeriod({10, 2, 20, 3});
    EXPECT_EQ(s.reportState(), "620B0CJT"
                               "ARG1        ");
    s.setUserName("u");
    s.setPassword("p");
    EXPECT_EQ(s.requestPrefix(), "u" + kSep + "p" + kSep + s.reportState() + kSep);
    s.setReportState("");
    s.setPeriod({});
    EXPECT_EQ(s.reportState(), "620A0LA_");
}

} // namespace
} // namespace fc
