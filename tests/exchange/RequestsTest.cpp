#include "exchange/Requests.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/RequestName.h"
#include "exchange/RequestWriter.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace fc {
namespace {

const std::string S(1, '\xFA');

AppSettings sample() {
    AppSettings s;
    s.setUserName("ivan");
    s.setPassword("pw");
    s.currentFileName = "/home/u/rep/SALES.rpt";
    s.commandLineParam = "desk7";
    return s;
}

const std::string kState32 = "620A0LA_" + std::string(24, ' ');
const std::string kRunHead = "ivan" + S + "pw" + S + kState32 + "WHO       " + "SALES.rpt " +
                             "VER       " + "7.2       " + S;

TEST(RequestBytes, EveryKind) {
    AppSettings s = sample();
    struct Case {
        const char* name;
        std::string got;
        std::string want;
    } cases[] = {
        {"runWithTemplate", request::runRequest(s, "G SALES 01", std::string("A\r\nB\x00", 5)),
         kRunHead + "G SALES 01\r\nA\r\nB" + std::string(1, '\0')},
        {"runWithServerTemplate", request::runRequest(s, "R SALES", std::nullopt),
         kRunHead + "R SALES"},
        {"emptyTemplate", request::runRequest(s, "G X", std::string()), kRunHead + "G X\r\n"},
        {"followUp", request::followUp(s, "S line1\nline2"),
         "ivan" + S + "pw" + S + kState32 + "WHO       SALES.rpt " + S + "S line1\nline2"},
        {"printLog", request::printLog(s, "\xCF\xF0\xE8\xF5\xEE\xE4"), // Приход
         "ivan" + S + "pw" + S + kState32 + "WHO       desk7     COMPUTER            " +
             "DOMAIN              " + S + "E [SED '\x8F\xE0\xA8\xE5\xAE\xA4PRINTED','1']"},
        {"questionAnswer", request::questionAnswer(s, "  12.5 "),
         "ivan" + S + "pw" + S + "620A0LA_" + S + "E [N2 12.5]"},
        {"year", request::yearRequest(s), "ivan" + S + "pw" + S + "620A0LA_" + S + "E YC"},
        {"registration", request::registration("ivan", "pw"),
         "ivan" + S + "pw" + S + S + "R PROTO"},
        {"recompile", request::recompile("ivan", "pw"), "ivan" + S + "pw" + S + S + "W FORM"},
        {"registrationEmpty", request::registration("", ""), S + S + S + "R PROTO"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.got, c.want) << c.name;
    }
}

TEST(RequestBytes, FixedWidthFields) {
    struct Case {
        const char* name;
        std::string state;
        std::string file;
        std::string wantState;
        std::string wantWho;
    } cases[] = {
        {"stateCut", std::string(40, 'S'), "Noname.rpt", std::string(32, 'S'), "Noname.rpt"},
        {"statePadded", "620A0LA_", "C:\\REP\\a.rpt", kState32, "a.rpt     "},
        {"whoCut", "620A0LA_", "d:verylongname.rpt", kState32, "verylongna"},
        {"whoEmpty", "620A0LA_", "", kState32, std::string(10, ' ')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AppSettings s;
        s.setReportState(c.state);
        s.currentFileName = c.file;
        EXPECT_EQ(request::runHead(s),
                  S + S + c.wantState + "WHO       " + c.wantWho + "VER       7.2       " + S);
    }
}

TEST(RequestLine, StripAndCommand) {
    struct Case {
        const char* name;
        std::string context;
        std::string stripped;
        std::string report;
        std::string gLine;
    } cases[] = {
        {"prefixed", "u" + S + "p" + S + "620A0LA_" + S + " R SALES 01 02 ", "R SALES 01 02",
         "SALES", "G SALES 01 02"},
        {"noSeparator", "  R SALES  ", "R SALES", "SALES", "G SALES"},
        {"steps", "u" + S + "p" + S + "st" + S + "R SALES " + S + "v1" + S,
         "R SALES " + S + "v1" + S, "SALES", "G SALES " + S + "v1" + S},
        {"twoFields", "u" + S + "p" + S + "G X", "G X", "X", "G X"},
        {"empty", "", "", "", "G "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string stripped = request::stripPrefix(c.context);
        EXPECT_EQ(stripped, c.stripped);
        request::Command cmd = request::parseCommand(stripped);
        EXPECT_EQ(cmd.reportName, c.report);
        EXPECT_EQ(request::commandLine(cmd, "G"), c.gLine);
    }
}

TEST(RequestName, EightCharactersOfTheAlphabet) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        std::string n = RandomFileName();
        ASSERT_EQ(n.size(), 8u);
        for (char c : n) {
            ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z')) << n;
        }
        seen.insert(n);
    }
    EXPECT_EQ(seen.size(), 200u); // back-to-back names never repeat
}

class Handover : public ::testing::Test {
protected:
    Handover() { settings.serverDir = tmp.path().toStdString(); }
    QTemporaryDir tmp;
    AppSettings settings;
    ScriptedPrompter prompter;
};

TEST_F(Handover, WritesReqThenRenamesToIn) {
    RequestWriter w(settings, prompter);
    ASSERT_TRUE(w.write("abc12345", "content", "X: "));
    EXPECT_EQ(*files::readAll(w.path("abc12345", ".in")), "content");
    EXPECT_FALSE(files::exists(w.path("abc12345", ".req")));
    EXPECT_TRUE(prompter.shown().empty());

    settings.debugMessages = true;
    ASSERT_TRUE(w.write("zz", "", fc::w("ФАЙЛ-ЗАПРОС: ")));
    EXPECT_EQ(prompter.transcript(), "Констpуктоp форм|ФАЙЛ-ЗАПРОС: zz\n");
}

TEST_F(Handover, MissingOrReadOnlyDirectoryFails) {
    RequestWriter w(settings, prompter);
    settings.serverDir = tmp.path().toStdString() + "/missing";
    EXPECT_FALSE(w.write("n1", "x", ""));
    EXPECT_FALSE(QDir(tmp.path() + "/missing").exists());

    settings.serverDir = tmp.path().toStdString() + "/file";
    ASSERT_TRUE(files::writeAtomic(settings.serverDir, "a file, not a directory"));
    EXPECT_FALSE(w.write("n1", "x", ""));

    settings.serverDir = tmp.path().toStdString() + "/ro";
    ASSERT_TRUE(QDir().mkdir(tmp.path() + "/ro"));
    QFile::setPermissions(tmp.path() + "/ro", QFile::ReadOwner | QFile::ExeOwner);
    if (QFile f(tmp.path() + "/ro/probe"); f.open(QIODevice::WriteOnly)) {
        GTEST_SKIP() << "running with rights that ignore permissions";
    }
    EXPECT_FALSE(w.write("n2", "x", ""));
    EXPECT_TRUE(QDir(tmp.path() + "/ro").isEmpty());
}

} // namespace
} // namespace fc
