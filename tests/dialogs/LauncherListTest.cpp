#include "dialogs/LauncherList.h"

#include "components/text/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

using Entry = LauncherList::Entry;
using Entries = std::vector<Entry>;

TEST(LauncherList, ParseSkipsBlankLinesAndTrimsBothParts) {
    LauncherList l = LauncherList::parse("  prog.exe -a {`}  C:\\Work  \r\n"
                                         "\r\n"
                                         "   \t\r\n"
                                         "second{`}\r\n"
                                         "bare command\n"
                                         "x{`}dir{`}more");
    EXPECT_EQ(l.entries(), (Entries{{"prog.exe -a", "C:\\Work"},
                                    {"second", ""},
                                    {"bare command", ""},
                                    {"x", "dir{`}more"}}));
}

TEST(LauncherList, SerializeWritesOneLineAnEntrySkippingBlankCommands) {
    LauncherList l(Entries{{"a b", " dir "}, {"  ", "lost"}, {"c", ""}});
    EXPECT_EQ(l.serialize(), "a b{`}dir\r\nc{`}\r\n");
    EXPECT_EQ(LauncherList::parse(l.serialize()).entries(), (Entries{{"a b", "dir"}, {"c", ""}}));
}

struct Started {
    const char* name;
    const char* command;
    const char* directory;
    Entries expected;
};

class NoteStarted : public ::testing::TestWithParam<Started> {};

TEST_P(NoteStarted, PutsTheCommandOnTopWithItsDirectory) {
    const Started& c = GetParam();
    LauncherList l(Entries{{"first", "d1"}, {"second", "d2"}, {"third", "d3"}});
    l.noteStarted(c.command, c.directory);
    EXPECT_EQ(l.entries(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NoteStarted,
    ::testing::Values(
        Started{"EntryZeroIsNotDuplicated",
                "first",
                "d1",
                {{"first", "d1"}, {"second", "d2"}, {"third", "d3"}}},
        Started{"EntryZeroKeepsItsNewDirectory",
                " first ",
                " new ",
                {{"first", "new"}, {"second", "d2"}, {"third", "d3"}}},
        Started{"NewCommandGoesOnTop",
                "typed by hand",
                "here",
                {{"typed by hand", "here"}, {"first", "d1"}, {"second", "d2"}, {"third", "d3"}}},
        Started{"LaterEntryMovesUp",
                "third",
                "d9",
                {{"third", "d9"}, {"first", "d1"}, {"second", "d2"}}},
        Started{"BlankCommandChangesNothing",
                "   ",
                "x",
                {{"first", "d1"}, {"second", "d2"}, {"third", "d3"}}}),
    [](const ::testing::TestParamInfo<Started>& info) { return std::string(info.param.name); });

TEST(LauncherList, DuplicatesFromTheFileCollapseWhenStarted) {
    LauncherList l = LauncherList::parse("a{`}1\r\nb{`}2\r\na{`}3\r\n");
    l.noteStarted("a", "4");
    EXPECT_EQ(l.entries(), (Entries{{"a", "4"}, {"b", "2"}}));
}

TEST(LauncherList, FileRoundTripInWindows1251) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QString path = dir.filePath(QStringLiteral("clw.pth"));
    EXPECT_TRUE(LauncherList::load(path).entries().empty()) << "missing file: empty list";

    LauncherList l(Entries{{w("отчёт.exe /к"), w("C:\\Рабочий")}, {"b", ""}});
    ASSERT_TRUE(l.save(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.toStdString(), w("отчёт.exe /к{`}C:\\Рабочий\r\nb{`}\r\n"));
    EXPECT_EQ(LauncherList::load(path).entries(), l.entries());
}

TEST(LauncherList, SaveIntoAMissingDirectoryFails) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_FALSE(LauncherList(Entries{{"x", ""}}).save(dir.filePath("no/such/dir/clw.pth")));
    EXPECT_FALSE(QFile::exists(dir.filePath("no")));
    // A directory in the file's place stays as it is.
    ASSERT_TRUE(QDir(dir.path()).mkdir("clw.pth"));
    EXPECT_FALSE(LauncherList(Entries{{"x", ""}}).save(dir.filePath("clw.pth")));
    EXPECT_TRUE(QFileInfo(dir.filePath("clw.pth")).isDir());
}

TEST(ProcessPlan, SplitsTheProgramFromItsArguments) {
    ProcessPlan p = processPlan("  C:\\Tools\\run.exe  -x \"two words\" a\\b ", " D:\\Work ");
    EXPECT_EQ(p.program, QStringLiteral("C:/Tools/run.exe"));
    EXPECT_EQ(p.arguments, (QStringList{"-x", "two words", "a\\b"}));
    EXPECT_EQ(p.workingDirectory, QStringLiteral("D:/Work"));

    ProcessPlan quoted = processPlan("\"/opt/my tools/app\"", "");
    EXPECT_EQ(quoted.program, QStringLiteral("/opt/my tools/app"));
    EXPECT_TRUE(quoted.arguments.isEmpty());
    EXPECT_TRUE(quoted.workingDirectory.isEmpty());

    EXPECT_TRUE(processPlan("   ", "x").program.isEmpty());
}

} // namespace
} // namespace fc
