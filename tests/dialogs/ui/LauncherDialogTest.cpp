#include "dialogs/ui/LauncherDialog.h"

#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace fc {
namespace {

std::string readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string("<none>");
}

struct LauncherDialogTest : ::testing::Test {
    QTemporaryDir start;
    QString before = QDir::currentPath();
    ScriptedPrompter prompter;
    std::vector<ProcessPlan> started;

    void write(const std::string& text) {
        QFile f(QDir(start.path()).filePath(QStringLiteral("clw.pth")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
    std::unique_ptr<LauncherDialog> open() {
        auto d = std::make_unique<LauncherDialog>(start.path(), prompter);
        d->setStarter([this](const ProcessPlan& p) {
            started.push_back(p);
            return false; // a program that does not start changes nothing
        });
        return d;
    }
    void TearDown() override { QDir::setCurrent(before); }
};

TEST_F(LauncherDialogTest, ListsTheRememberedProgramsWithABlankEntry) {
    write("prog -a{`}/work/one\r\n\r\nother{`}/work/two\r\n");
    auto d = open();
    QComboBox* box = d->programBox();
    ASSERT_EQ(box->count(), 3);
    EXPECT_EQ(box->itemText(0), QStringLiteral("prog -a"));
    EXPECT_EQ(box->itemText(2), QString());
    EXPECT_EQ(box->currentIndex(), 0);
    EXPECT_EQ(d->directoryEdit()->text(), QStringLiteral("/work/one"));

    box->setCurrentIndex(1);
    emit box->activated(1);
    EXPECT_EQ(d->directoryEdit()->text(), QStringLiteral("/work/two"));
    emit box->activated(2);
    EXPECT_EQ(d->directoryEdit()->text(), QString());
}

TEST_F(LauncherDialogTest, MissingListGivesTheBlankEntryOnly) {
    auto d = open();
    EXPECT_EQ(d->programBox()->count(), 1);
    EXPECT_EQ(d->directoryEdit()->text(), QString());
}

TEST_F(LauncherDialogTest, StartSavesTheCommandOnTopAndStartsItInItsDirectory) {
    write("prog -a{`}/work/one\r\nother{`}/work/two\r\n");
    auto d = open();
    d->programBox()->setEditText(QStringLiteral("new\\tool.sh  --go"));
    d->directoryEdit()->setText(QStringLiteral("  /tmp/w  "));
    d->findChild<QPushButton*>(QStringLiteral("Button1"))->click();

    EXPECT_EQ(readFile(d->listPath()),
              "new\\tool.sh  --go{`}/tmp/w\r\nprog -a{`}/work/one\r\nother{`}/work/two\r\n");
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].program, QStringLiteral("new/tool.sh"));
    EXPECT_EQ(started[0].arguments, QStringList{QStringLiteral("--go")});
    EXPECT_EQ(started[0].workingDirectory, QStringLiteral("/tmp/w"));
    EXPECT_EQ(d->result(), QDialog::Accepted) << "the dialog closes though nothing started";
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(start.path()));
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(LauncherDialogTest, StartingEntryZeroAgainKeepsOneEntry) {
    write("prog -a{`}/work/one\r\nother{`}/work/two\r\n");
    auto d = open();
    d->start();
    EXPECT_EQ(readFile(d->listPath()), "prog -a{`}/work/one\r\nother{`}/work/two\r\n");
}

TEST_F(LauncherDialogTest, UnwritableStartDirectoryIsReportedAndTheProgramStillStarts) {
    LauncherDialog d(start.filePath(QStringLiteral("gone")), prompter);
    std::vector<ProcessPlan> plans;
    d.setStarter([&](const ProcessPlan& p) {
        plans.push_back(p);
        return true;
    });
    d.programBox()->setEditText(QStringLiteral("tool"));
    d.start();
    EXPECT_EQ(plans.size(), 1u);
    ASSERT_EQ(prompter.shown().size(), 1u);
    EXPECT_EQ(cp1251::toUtf8(prompter.shown()[0].caption), "Ошибка:");
    EXPECT_EQ(cp1251::toUtf8(prompter.shown()[0].text).rfind("Не могу создать файл ", 0), 0u);
}

TEST_F(LauncherDialogTest, BrowseTakesTheChosenFileAsTheCommandLine) {
    auto d = open();
    d->setProgramChooser([](QWidget*, const QString&) { return QStringLiteral("/usr/bin/env"); });
    QTest::mouseDClick(d->programBox()->lineEdit(), Qt::LeftButton);
    EXPECT_EQ(d->programBox()->currentText(), QStringLiteral("/usr/bin/env"));
    d->setProgramChooser([](QWidget*, const QString&) { return QString(); });
    d->findChild<QPushButton*>(QStringLiteral("BitBtn1"))->click();
    EXPECT_EQ(d->programBox()->currentText(), QStringLiteral("/usr/bin/env")) << "Cancel";
}

} // namespace
} // namespace fc
