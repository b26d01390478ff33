#include "exchange/StandInServer.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/RequestWriter.h"
#include "exchange/Requests.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

const std::string S(1, '\xFA');

TEST(StandInServer, ParsesEveryKind) {
    AppSettings s;
    s.setUserName("ivan");
    s.setPassword("pw");
    s.currentFileName = "rep/Noname.rpt";
    using K = StandInServer::Kind;
    struct Case {
        const char* name;
        std::string bytes;
        K kind;
        std::string command, report, args;
        std::size_t templ;
    } cases[] = {
        {"registration", request::registration("ivan", "pw"), K::Registration, "R PROTO", "", "",
         0},
        {"recompile", request::recompile("ivan", "pw"), K::Recompile, "W FORM", "", "", 0},
        {"year", request::yearRequest(s), K::Year, "E YC", "", "", 0},
        {"run", request::runRequest(s, "G sales 01 02", std::string("T\r\n")), K::Report,
         "G sales 01 02", "SALES", "01 02", 3},
        {"steps", request::runRequest(s, "R CARD " + S + "\x8F" + S, std::nullopt), K::Report,
         "R CARD ·П·", "CARD", "·П·", 0},
        {"joined", request::runRequest(s, "R CARD a" + S + "b" + S, std::nullopt), K::Report,
         "R CARD a·b·", "CARD", "a·b·", 0},
        {"answer", request::questionAnswer(s, "5"), K::Other, "E [N2 5]", "", "", 0},
        {"garbage", "no separators at all", K::Other, "no separators at all", "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StandInServer::Request r = StandInServer::parse("n", c.bytes);
        EXPECT_EQ(r.kind, c.kind);
        EXPECT_EQ(r.command, c.command);
        EXPECT_EQ(r.reportName, c.report);
        EXPECT_EQ(r.arguments, c.args);
        EXPECT_EQ(r.templateSize, c.templ);
    }
}

class ServerDir : public ::testing::Test {
protected:
    ServerDir() {
        QDir(tmp.path()).mkpath("x");
        QDir(tmp.path()).mkpath("data");
        settings.serverDir = root() + "/x";
        settings.setUserName("ivan");
    }
    std::string root() const { return tmp.path().toStdString(); }
    void data(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(files::writeAtomic(root() + "/data/" + name, bytes));
    }
    std::string ask(const std::string& name, const std::string& bytes) {
        RequestWriter(settings, prompter).write(name, bytes, "");
        StandInServer server(root() + "/x", root() + "/data",
                             [this](const std::string& l) { log += l + "\n"; });
        EXPECT_EQ(server.pollOnce(), 1);
        EXPECT_FALSE(files::exists(root() + "/x/" + name + ".in"));
        return files::readAll(root() + "/x/" + name + ".out").value_or("<none>");
    }
    QTemporaryDir tmp;
    AppSettings settings;
    ScriptedPrompter prompter;
    std::string log;
};

TEST_F(ServerDir, AnswersFromTheDataFolder) {
    data("PROTO.RPT", "fa %\r\n");
    data("SALES.out", "OK;table\r\nall");
    data("sales@01_02.out", "OK;table\r\n0102");
    data("FORM.txt", "done");
    data("YEAR.txt", "2031");
    data("q.out", "Q-M" + S + "a" + S + "b" + S + "title");
    data("rules.txt", "# questions first\n"
                      "name=auto* * => stamp.txt\n"
                      "R CARD* => q.out\n"
                      "R CARD ·a· => missing.out\n");
    data("stamp.txt", "stamp 1");
    struct Case {
        const char* name;
        std::string request;
        std::string want;
    } cases[] = {
        {"registration", request::registration("ivan", ""), "fa %\r\n"},
        {"recompile", request::recompile("ivan", ""), "done"},
        {"year", request::yearRequest(settings), "2031\n"},
        {"reportAnyArgs", request::runRequest(settings, "R SALES 09", std::nullopt),
         "OK;table\r\nall\n"},
        {"reportPerArgs", request::runRequest(settings, "G SALES 01  02", std::string("T")),
         "OK;table\r\n0102\n"},
        {"rule", request::runRequest(settings, "R CARD " + S + "a" + S, std::nullopt),
         "Q-M" + S + "a" + S + "b" + S + "title\n"},
        {"unknown", request::runRequest(settings, "R NOPE", std::nullopt),
         codepage::toDos(w("E-Отчет NOPE на сервере не найден")) + "\r\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ask("n1", c.request), c.want);
    }
    EXPECT_EQ(ask("auto1234", request::runRequest(settings, "R SALES", std::nullopt)), "stamp 1\n");
    EXPECT_NE(log.find("n1.in from ivan: G SALES 01  02 (template of 1 bytes) -> "
                       "SALES@01_02.out"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("pw"), std::string::npos);
    // A list asked for again by the list filter carries the filter-reset mark in its name.
    EXPECT_EQ(ask("filtab12", request::runRequest(settings, "R SALES", std::nullopt)),
              "OK;table\r\nall\n");
    EXPECT_NE(log.find("filtab12.in from ivan: R SALES (filter reset) -> SALES.out"),
              std::string::npos)
        << log;
}

TEST_F(ServerDir, ADataSaveIsAnsweredOkAndItsLinesAreLogged) {
    settings.setPassword("secret");
    const std::string head =
        settings.requestPrefix() + "R " + codepage::toDos(w("ЛИМИТ")) + " " + S;
    const std::string lines = head + "60" + S + "125.50" + S + "\n" + head + "62" + S + S;
    EXPECT_EQ(ask("save1a2b", request::followUp(settings, lines)), "OK\r\n\n");
    EXPECT_NE(log.find("save1a2b.in from ivan: R ЛИМИТ ·60·125.50· -> built-in answer\n"
                       "  R ЛИМИТ ·62··\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("secret"), std::string::npos);
    const StandInServer::Request r =
        StandInServer::parse("save1a2b", request::followUp(settings, lines));
    EXPECT_EQ(r.kind, StandInServer::Kind::DataSave);
    EXPECT_EQ(r.dataLines, (std::vector<std::string>{"R ЛИМИТ ·60·125.50·", "R ЛИМИТ ·62··"}));
}

TEST_F(ServerDir, MissingPrototypesAndEmptyDirectory) {
    StandInServer server(root() + "/x", root() + "/data");
    EXPECT_EQ(server.pollOnce(), 0);
    std::string a = ask("r1", request::registration("ivan", "pw"));
    EXPECT_EQ(codepage::toWindows(a).substr(0, 2), "E-");
    StandInServer nowhere(root() + "/none", root() + "/data");
    EXPECT_EQ(nowhere.pollOnce(), 0);
}

} // namespace
} // namespace fc
