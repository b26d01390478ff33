#include "output/SendMail.h"
#include "output/MailReport.h"

#include "components/format/XlsReader.h"
#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

// xdg-email replaced on the PATH by a script that records its arguments, one a line, and
// ends with the exit code it is told.
struct Composer : ::testing::Test {
    QTemporaryDir tmp;
    QByteArray path = qgetenv("PATH");
    ScriptedPrompter prompter;

    void SetUp() override {
        QDir(tmp.path()).mkpath("bin");
        QFile script(tmp.filePath("bin/xdg-email"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(
            "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$FC_MAIL_LOG\"\n"
            "exit ${FC_MAIL_EXIT:-0}\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", tmp.filePath("bin").toLocal8Bit() + ":" + path);
        qputenv("FC_MAIL_LOG", tmp.filePath("args").toLocal8Bit());
        qunsetenv("FC_MAIL_EXIT");
    }
    void TearDown() override { qputenv("PATH", path); }
    std::string args() const {
        return files::readAll(tmp.filePath("args").toStdString()).value_or("<not started>");
    }
};

TEST_F(Composer, GetsRecipientSubjectBodyAndAttachments) {
    output::MailMessage m;
    m.to = "buh@example.org";
    m.subject = w("Сальдо");
    m.body = "  ";
    m.attachments = {"/tmp/a.xls", "/tmp/b c.pdf"};
    EXPECT_TRUE(output::SendMail(m, prompter));
    EXPECT_EQ(args(), "--utf8\n--subject\nСальдо\n--body\n  \n--attach\n/tmp/a.xls\n--attach\n"
                      "/tmp/b c.pdf\nbuh@example.org\n");
    EXPECT_EQ(prompter.transcript(), "");

    // A link cell: the address alone; no subject, no attachment.
    output::MailMessage link;
    link.to = "x@y.ru";
    link.body = "  ";
    EXPECT_TRUE(output::SendMail(link, prompter));
    EXPECT_EQ(args(), "--utf8\n--body\n  \nx@y.ru\n");
}

TEST_F(Composer, NoComposerIsTheLogonFailure) {
    qputenv("FC_MAIL_EXIT", "3"); // xdg-email found no mail program
    EXPECT_FALSE(output::SendMail({}, prompter));
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(prompter.shown()[0].caption, "Error");
    EXPECT_EQ(prompter.shown()[0].text, "Error while trying to send email");
    EXPECT_EQ(prompter.shown()[0].icon, Prompter::Icon::Error);

    prompter.clear();
    qputenv("PATH", tmp.filePath("nowhere").toLocal8Bit()); // no xdg-email at all
    EXPECT_FALSE(output::SendMail({}, prompter));
    EXPECT_EQ(prompter.transcript(), "Error|Error while trying to send email\n");
}

TEST_F(Composer, AReportGoesAsAnExcelAttachmentNamedAfterItsCaption) {
    Workbook book;
    book.sheet().setMaxRow(2);
    book.sheet().setMaxCol(2);
    book.sheet().setText(1, 2, "total");
    book.sheet().setText(1, 255, "{2}K|");
    const std::string caption = w("Сальдо: 62/1");
    const std::string dir = tmp.path().toStdString();
    EXPECT_TRUE(output::mailReport(book, caption, "", dir, prompter));
    const std::string file = dir + "/" + w("Сальдо621.xls");
    EXPECT_EQ(output::mailAttachmentPath(caption, dir), file);
    EXPECT_EQ(args(), "--utf8\n--subject\nСальдо: 62/1\n--body\n  \n--attach\n" +
                          cp1251::toUtf8(file) + "\n")
        << "without \";EMAIL=\" the composer asks for the recipient";
    Workbook back;
    std::string error;
    ASSERT_TRUE(readXls(file, back, error)) << error;
    EXPECT_EQ(back.sheet().text(1, 2), "total");
    EXPECT_EQ(back.sheet().text(1, 255), "");
    EXPECT_EQ(book.sheet().text(1, 255), "{2}K|") << "the window keeps its drill-down keys";

    EXPECT_TRUE(output::mailReport(book, caption, "buh@example.org", dir, prompter));
    EXPECT_EQ(args().substr(args().rfind("\n", args().size() - 2) + 1), "buh@example.org\n");
}

} // namespace
} // namespace fc
