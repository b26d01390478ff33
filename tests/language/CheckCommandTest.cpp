// rptool check: its output lines and exit codes.
#include "CheckCommand.h"

#include "language/Checker.h"
#include "language/PrototypeTable.h"

#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <sstream>

namespace fc {
namespace {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome check(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = runCheck(args, out, err);
    return {code, out.str(), err.str()};
}

struct CommandCase {
    const char* name;
    std::vector<std::string> args;
    int code;
    std::string out;
};

class CheckCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CheckCommand, PrintsAndExits) {
    const CommandCase& c = GetParam();
    const Outcome r = check(c.args);
    EXPECT_EQ(r.code, c.code) << r.err;
    EXPECT_EQ(r.out, c.out);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CheckCommand,
    ::testing::Values(
        CommandCase{"goodLine", {"-e", "A=[EK 41, 2]"}, 0, ""},
        CommandCase{"badLine", {"-e", "A=[EK 41 2]"}, 1, "-:1:10: Должна идти \"]\"\n"},
        CommandCase{"leadingBlankKept", {"-e", "[XY 5]"}, 1, "-:1:2:  Неизвестная функция\n"},
        CommandCase{"numberedByArgument",
                    {"-e", "STOP", "-e", "X=(1+2", "-e", "B=A IN X,Y"},
                    1,
                    "-:2:7: Должна идти \")\"\n-:3:9:  Должно идти \"..\"\n"},
        CommandCase{"cyrillicLine", {"-e", "PRINTSTR 'Итого"}, 1, "-:1:16:  Должна идти '\n"},
        CommandCase{"classify",
                    {"--classify", "-e", "STOP", "-e", ";fix=1", "-e", "A=1", "-e", "*note", "-e",
                     "Итого", "-e", "ELSE"},
                    0,
                    "-:1: RED 4\n-:2: RED 255\n-:3: Gray 0\n-:4: Gray 0\n-:5: PLAIN 0\n"
                    "-:6: RED 254\n"},
        CommandCase{"classifyError", {"-e", "FACT", "--classify"}, 1, "-:1: STRIKE 4\n"},
        CommandCase{"builtInPrototypeOnly",
                    {"-e", "FACT ta 1, 2", "-e", "FACT ob A"},
                    1,
                    "-:2:6: Несоответствие факта пpототипу\n"}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(CheckCommandProto, PrototypesFromAFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("PROTO.RPT").toStdString();
    {
        std::ofstream out(path, std::ios::binary);
        out << codepage::toDos(w("* server prototypes\r\nob % на %\r\n"));
    }
    Outcome r = check({"--proto", path, "-e", "FACT ob A на B", "-e", "FACT ob A за B"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "-:2:11: Несоответствие факта пpототипу\n");

    {
        std::ofstream out(path, std::ios::binary);
        out << "ob %\r\nbroken\r\n";
    }
    r = check({"--proto", path, "-e", "FACT ta 1"});
    EXPECT_EQ(r.code, 1) << "a malformed file empties the table";
    EXPECT_NE(r.err.find(" Стpока 2 в PROTO.RPT не содеpжит %"), std::string::npos) << r.err;
}

TEST(CheckCommandProto, BadUsage) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{},
          {"-e"},
          {"--proto"},
          {"--frobnicate", "-e", "A=1"},
          {"--proto", "/nonexistent/PROTO.RPT", "-e", "A=1"}}) {
        const Outcome r = check(args);
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_FALSE(r.err.empty());
        EXPECT_EQ(r.out, "");
    }
}

TEST(CheckCommandProto, TemplateStatementsAreReportedByTheirFileLines) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("form.rpt").toStdString();
    {
        std::ofstream f(path, std::ios::binary);
        f << ";table\r\n;maxcol=3\r\nSTOP\r\nIF S=\"90\"\r\n* comment\r\nA=(1+2\r\n";
    }
    Outcome r = check({path});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out, path + ":4:6: Неожиданный символ\n" + path + ":6:7: Должна идти \")\"\n");
    r = check({"--classify", path});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out, path + ":3: RED 4\n" + path + ":4: STRIKE 0\n" + path + ":5: Gray 0\n" + path +
                         ":6: STRIKE 0\n");
    r = check({dir.filePath("missing.rpt").toStdString()});
    EXPECT_EQ(r.code, 2);
}

TEST(CheckCommandProto, StatementsAreReportedByTheirFileLines) {
    // The shape the template reader will hand over: file line numbers, not row numbers.
    PrototypeTable table;
    Checker checker(table);
    std::ostringstream out;
    const bool anyError = checkStatements(
        "form.rpt", {{3, "STOP"}, {7, w("X=(1+2")}, {12, "[XY 5]"}}, checker, false, out);
    EXPECT_TRUE(anyError);
    EXPECT_EQ(out.str(), "form.rpt:7:7: Должна идти \")\"\nform.rpt:12:2:  Неизвестная функция\n");
}

} // namespace
} // namespace fc
