#include "components/text/Cp1251.h"
#include "shell/AppSettings.h"
#include "shell/CommandLine.h"
#include "shell/NumericLocale.h"
#include "shell/OpenCommand.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace fc {
namespace {

struct ArgsCase {
    const char* name;
    QStringList args;
    const char* who; // UTF-8: the first parameter
    bool offline;
    bool help;
};

class CommandLineTable : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(CommandLineTable, ReadsTheFirstParameter) {
    const ArgsCase& c = GetParam();
    CommandLine cl = parseCommandLine(c.args);
    EXPECT_EQ(cp1251::toUtf8(cl.first), c.who);
    EXPECT_EQ(cl.help, c.help);
    AppSettings s;
    s.commandLineParam = cl.first;
    EXPECT_EQ(s.offline(), c.offline);
}

INSTANTIATE_TEST_SUITE_P(
    Args, CommandLineTable,
    ::testing::Values(ArgsCase{"None", {}, "", false, false},
                      ArgsCase{"Who", {"Иванов", "ignored"}, "Иванов", false, false},
                      ArgsCase{"Offline", {"@REP1.out"}, "@REP1.out", true, false},
                      ArgsCase{"AtAlone", {"@"}, "@", true, false},
                      ArgsCase{"AtLater", {"a@b"}, "a@b", false, false},
                      ArgsCase{"Help", {"--help"}, "", false, true},
                      ArgsCase{"ShortHelpAfterWho", {"who", "-h"}, "", false, true}),
    [](const ::testing::TestParamInfo<ArgsCase>& info) { return std::string(info.param.name); });

TEST(CommandLine, HelpExplainsTheWhoFieldAndOfflineMode) {
    std::string help = commandLineHelp();
    EXPECT_NE(help.find("@"), std::string::npos);
    EXPECT_NE(help.find("CACHE"), std::string::npos);
    EXPECT_NE(help.find("--help"), std::string::npos);
}

TEST(OpenCommand, PrefersTheLastOpenedDirectory) {
    AppSettings s;
    s.startDir = "/start";
    s.reportsDir = "/reports";
    EXPECT_EQ(open_command::initialDirectory(s), "/reports");
    open_command::noteChosen(s, "/data/forms/a.rpt");
    EXPECT_EQ(s.currentFileName, "/data/forms/a.rpt");
    EXPECT_EQ(s.lastOpenedDir, "/data/forms");
    EXPECT_EQ(open_command::initialDirectory(s), "/data/forms");
}

TEST(OpenCommand, DirectoryOfEveryPathForm) {
    EXPECT_EQ(open_command::directoryOf("C:\\R\\a.rpt"), "C:\\R");
    EXPECT_EQ(open_command::directoryOf("/a.rpt"), "/");
    EXPECT_EQ(open_command::directoryOf("a.rpt"), "");
    EXPECT_EQ(open_command::directoryOf("x/y\\z.rpt"), "x/y");
}

// Restores Qt's default locale and the C library's numbers after each case.
struct NumericLocale : ::testing::Test {
    void TearDown() override {
        QLocale::setDefault(QLocale::system());
        std::setlocale(LC_NUMERIC, "C");
    }
};

TEST_F(NumericLocale, CommaSystemIsForcedToPoint) {
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    EXPECT_TRUE(forceDecimalPoint(QLocale(QLocale::Russian, QLocale::Russia)));
    EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral("."));
    EXPECT_EQ(QLocale().toString(1234.5, 'f', 1), QStringLiteral("1234.5"));
    EXPECT_DOUBLE_EQ(std::strtod("2.25", nullptr), 2.25);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 0.5);
    EXPECT_STREQ(buf, "0.5");
}

TEST_F(NumericLocale, PointSystemIsLeftAsItIs) {
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    EXPECT_FALSE(forceDecimalPoint(QLocale(QLocale::English, QLocale::UnitedKingdom)));
    EXPECT_EQ(QLocale().language(), QLocale::English);
}

} // namespace
} // namespace fc
