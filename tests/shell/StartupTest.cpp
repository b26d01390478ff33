#include "components/text/Cp1251.h"
#include "shell/AppSettings.h"
#include "shell/CommandLine.h"
#include "shell/NumericLocale.h"
#include "shell/OpenCommand.h"
#include "shell/StartDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

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
    EXPECT_NE(help.find("--start"), std::string::npos);
    EXPECT_NE(help.find("--open"), std::string::npos);
}

struct OptionsCase {
    const char* name;
    QStringList args;
    bool start;
    const char* startDir;
    const char* open;
    const char* who; // UTF-8
};

class CommandLineOptions : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(CommandLineOptions, TakeTheirValuesAndLeaveTheFirstParameter) {
    const OptionsCase& c = GetParam();
    CommandLine cl = parseCommandLine(c.args);
    EXPECT_EQ(cl.start, c.start);
    EXPECT_EQ(cl.startDir, QString::fromUtf8(c.startDir));
    EXPECT_EQ(cl.openFile, QString::fromUtf8(c.open));
    EXPECT_EQ(cp1251::toUtf8(cl.first), c.who);
}

INSTANTIATE_TEST_SUITE_P(
    Args, CommandLineOptions,
    ::testing::Values(
        // The menu entry's command line, with and without a file.
        OptionsCase{"MenuWithFile", {"--start", "--open", "/t/a.rpt"}, true, "", "/t/a.rpt", ""},
        OptionsCase{"MenuWithoutFile", {"--start", "--open"}, true, "", "", ""},
        OptionsCase{"StartDir", {"--start", "/srv/fc", "Иванов"}, true, "/srv/fc", "", "Иванов"},
        OptionsCase{"StartEquals", {"--start=rel/dir"}, true, "rel/dir", "", ""},
        OptionsCase{"BareStartThenOffline", {"--start", "@REP.out"}, true, "", "", "@REP.out"},
        OptionsCase{"OpenEquals", {"--open=-odd.rpt"}, false, "", "-odd.rpt", ""},
        OptionsCase{
            "OfflineAfterOptions", {"--open", "b.rpt", "@REP.out"}, false, "", "b.rpt", "@REP.out"},
        OptionsCase{"WhoBeforeOptions",
                    {"who", "--start", "d", "--open", "x.xls"},
                    true,
                    "d",
                    "x.xls",
                    "who"},
        OptionsCase{"NotAnOptionName", {"--started"}, false, "", "", "--started"}),
    [](const ::testing::TestParamInfo<OptionsCase>& info) { return std::string(info.param.name); });

TEST(StartPlace, CurrentDirectoryUnlessStartSaysOtherwise) {
    const QString config = QStringLiteral("/home/u/.config");
    StartPlace plain = startPlace(parseCommandLine({"--open", "forms/a.rpt"}), "/work", config);
    EXPECT_EQ(plain.directory, QStringLiteral("/work"));
    EXPECT_EQ(plain.openFile, QStringLiteral("/work/forms/a.rpt"));

    // The menu entry: the user's own directory, never the home folder itself; the file keeps
    // the directory it was given in.
    StartPlace menu =
        startPlace(parseCommandLine({"--start", "--open", "a.rpt"}), "/home/u", config);
    EXPECT_EQ(menu.directory, QStringLiteral("/home/u/.config/formconstructor"));
    EXPECT_EQ(menu.openFile, QStringLiteral("/home/u/a.rpt"));

    StartPlace given = startPlace(parseCommandLine({"--start", "../fc"}), "/work/x", config);
    EXPECT_EQ(given.directory, QStringLiteral("/work/fc"));
    EXPECT_TRUE(given.openFile.isEmpty());
}

// Restores the current directory the cases move away from.
struct EnterStartDirectory : ::testing::Test {
    QString before = QDir::currentPath();
    QTemporaryDir tmp;
    std::string message;
    void TearDown() override { QDir::setCurrent(before); }
};

TEST_F(EnterStartDirectory, CreatesAMissingDirectoryAndMovesThere) {
    const QString dir = tmp.path() + "/config/formconstructor";
    ASSERT_TRUE(enterStartDirectory(dir, message)) << message;
    EXPECT_TRUE(QFileInfo(dir).isDir());
    EXPECT_EQ(QDir::currentPath(), QDir(dir).canonicalPath());
    // Used again: nothing to create.
    EXPECT_TRUE(enterStartDirectory(dir, message));
}

TEST_F(EnterStartDirectory, RefusesWhatCannotBeAStartDirectory) {
    QFile file(tmp.path() + "/plain");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    for (const QString& dir :
         {tmp.path() + "/plain", tmp.path() + "/plain/below", QString("rel"), QString()}) {
        message.clear();
        EXPECT_FALSE(enterStartDirectory(dir, message)) << dir.toStdString();
        EXPECT_EQ(message, w("Каталог запуска недоступен: ") + cp1251::fromQString(dir));
        EXPECT_EQ(QDir::currentPath(), before);
    }
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
