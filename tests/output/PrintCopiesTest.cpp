#include "output/PrintCopies.h"

#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

// Records which way each copy went; copy number `failAt` (1-based) fails.
struct Recorder : output::CopyPrinter {
    std::string log;
    int failAt = 0;
    int n = 0;
    bool printFirst() override { return take("dialog "); }
    bool printAgain() override { return take("again "); }
    bool take(const char* how) {
        ++n;
        log += how;
        return n != failAt;
    }
};

TEST(PrintCopies, TheFirstCopyGoesThroughTheDialogTheOthersDoNot) {
    struct Case {
        const char* name;
        int copies, failAt, printed;
        const char* log;
    } cases[] = {
        {"three", 3, 0, 3, "dialog again again "},
        {"one", 1, 0, 1, "dialog "},
        {"cancelled", 3, 1, 0, "dialog "},
        {"second fails", 4, 2, 1, "dialog again "},
        {"none asked", 0, 0, 1, "dialog "},
        {"too many", 5000, 0, output::kMaxCopies, nullptr},
    };
    for (const Case& c : cases) {
        Recorder r;
        r.failAt = c.failAt;
        EXPECT_EQ(output::printCopies(r, c.copies), c.printed) << c.name;
        if (c.log) {
            EXPECT_EQ(r.log, c.log) << c.name;
        }
    }
}

struct PrintLog : ::testing::Test {
    QTemporaryDir tmp;
    AppSettings settings;
    ScriptedPrompter prompter;
    void SetUp() override {
        settings.serverDir = tmp.path().toStdString();
        settings.setUserName("ivanov");
        settings.setPassword("pw");
        settings.commandLineParam = "kassa";
    }
    QStringList files() const { return QDir(tmp.path()).entryList(QDir::Files); }
};

TEST_F(PrintLog, WrittenOnlyForAWindowWithAPrintLogName) {
    const NameSource names = [] { return std::string("prn00001"); };
    EXPECT_TRUE(output::writePrintLog(settings, prompter, "", names));
    EXPECT_TRUE(files().isEmpty());

    settings.debugMessages = true;
    EXPECT_TRUE(output::writePrintLog(settings, prompter, w("Счет12"), names));
    EXPECT_EQ(files(), QStringList{"prn00001.in"});
    const std::string bytes = files::readAll(tmp.filePath("prn00001.in").toStdString()).value();
    const std::string sep(1, '\xFA');
    const std::string expected = "ivanov" + sep + "pw" + sep +
                                 text::fit(settings.reportState(), 32) + "WHO       kassa     " +
                                 "COMPUTER            DOMAIN              " + sep +
                                 codepage::toDos(w("E [SED 'Счет12PRINTED','1']"));
    EXPECT_EQ(bytes, expected);
    const std::string shown = prompter.transcript();
    EXPECT_NE(shown.find("|ФАЙЛ-ЗАПРОС: prn00001\n"), std::string::npos) << shown;
}

TEST_F(PrintLog, AServerDirectoryThatIsGoneIsTold) {
    settings.serverDir = tmp.filePath("gone").toStdString();
    EXPECT_FALSE(output::writePrintLog(settings, prompter, "N1"));
    EXPECT_NE(prompter.transcript().find("Не могу создать файл запpоса в "), std::string::npos);
}

} // namespace
} // namespace fc
