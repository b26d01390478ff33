// "Аpгументы фоpм" opened from the main menu: the argument files of the current directory
// listed, one edited in the grid and written back whole, a new one added and renamed, one
// deleted.
#include "results/ui/Form9.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "shell/AppSettings.h"
#include "shell/ui/AppDialogs.h"
#include "shell/ui/CommandTable.h"
#include "shell/ui/TMainForm.h"

#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace fc {
namespace {

std::string dos(std::string_view utf8) { return codepage::toDos(w(utf8)); }
QString qs(const char* utf8) { return QString::fromUtf8(utf8); }

struct ArgumentEditor : ::testing::Test {
    QTemporaryDir tmp;
    AppSettings settings;
    ScriptedPrompter prompter;
    std::unique_ptr<TMainForm> form;
    Form9* dialog = nullptr;

    void SetUp() override {
        QDir(tmp.path()).mkpath("x");
        settings.startDir = tmp.path().toStdString();
        settings.serverDir = settings.startDir + "/x";
        form = std::make_unique<TMainForm>(settings, std::make_unique<AppDialogs>());
        form->setPrompter(&prompter);
        form->dialogs().createAtStartup(*form);
        put("SALES.arg", dos("01 Январь *\r\n02 Февраль\r\nEMPTY\r\n"));
        put("card.ARG", "A a\r\n");
        put("notes.txt", "not an argument file");
        form->commands().action("p10")->trigger();
        dialog = form->findChild<Form9*>("Form9");
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->isVisible());
    }
    void put(const std::string& name, const std::string& bytes) {
        ASSERT_TRUE(files::writeAtomic(settings.startDir + "/" + name, bytes));
    }
    std::string read(const std::string& name) {
        return files::readAll(settings.startDir + "/" + name).value_or("<none>");
    }
    QListWidget* list() { return dialog->findChild<QListWidget*>("ListBox1"); }
    QTableWidget* grid() { return dialog->findChild<QTableWidget*>("StringGrid1"); }
    QStringList listed() {
        QStringList out;
        for (int i = 0; i < list()->count(); ++i) {
            out << list()->item(i)->text();
        }
        return out;
    }
    void openListed(const char* name) {
        const QList<QListWidgetItem*> found = list()->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        emit list()->itemDoubleClicked(found.front());
    }
};

TEST_F(ArgumentEditor, AFileIsEditedInTheGridAndWrittenBackWhole) {
    EXPECT_EQ(dialog->windowTitle(), qs("Аpгументы фоpм"));
    EXPECT_EQ(listed(), (QStringList{"CARD.ARG", "SALES.ARG"}));
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), qs("  Название"));
    EXPECT_EQ(grid()->horizontalHeaderItem(1)->text(), qs("  [F1]"));
    openListed("SALES.ARG");
    ASSERT_FALSE(grid()->isHidden());
    EXPECT_TRUE(list()->isHidden());
    EXPECT_EQ(grid()->rowCount(), 30);
    EXPECT_EQ(grid()->item(0, 0)->text(), qs("Январь *"));
    EXPECT_EQ(grid()->item(0, 1)->text(), "01");
    EXPECT_EQ(grid()->item(2, 1)->text(), "EMPTY");
    grid()->item(1, 0)->setText(qs("Февраль (изм.)"));
    grid()->setItem(3, 0, new QTableWidgetItem(qs("Март")));
    grid()->setItem(3, 1, new QTableWidgetItem("03"));
    grid()->verticalHeader()->moveSection(3, 0); // rows are moved by dragging their heading
    auto* ok = dialog->findChild<QPushButton*>("Button1");
    QTest::mouseClick(ok, Qt::LeftButton);
    // The line without a caption is kept; the row moved first comes first.
    EXPECT_EQ(read("SALES.arg"), dos("03 Март\r\n01 Январь *\r\n02 Февраль (изм.)\r\nEMPTY\r\n"));
    EXPECT_FALSE(list()->isHidden());

    // A file longer than the grid's 30 rows loses no line.
    std::string forty;
    for (int i = 0; i < 40; ++i) {
        forty += "K" + std::to_string(i) + " c\r\n";
    }
    put("LONG.ARG", forty);
    dialog->refreshList();
    openListed("LONG.ARG");
    EXPECT_GE(grid()->rowCount(), 40);
    QTest::mouseClick(ok, Qt::LeftButton);
    EXPECT_EQ(read("LONG.ARG"), forty);
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(ArgumentEditor, FilesAreAddedRenamedAndDeleted) {
    QTest::mouseClick(dialog->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    EXPECT_TRUE(files::exists(settings.startDir + "/NONAME.ARG"));
    auto* edit = dialog->findChild<QLineEdit*>("Edit1");
    ASSERT_FALSE(edit->isHidden());
    EXPECT_EQ(edit->text(), "NONAME");
    edit->clear();
    QTest::keyClicks(edit, "turn");
    EXPECT_EQ(edit->text(), "TURN"); // typed in upper case
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_TRUE(edit->isHidden());
    EXPECT_TRUE(files::exists(settings.startDir + "/TURN.ARG"));
    EXPECT_FALSE(files::exists(settings.startDir + "/NONAME.ARG"));
    EXPECT_EQ(list()->currentItem()->text(), "TURN.ARG");

    // A name that is taken is refused and nothing is overwritten.
    QTest::mouseClick(dialog->findChild<QPushButton*>("Button2"), Qt::LeftButton);
    edit->setText("SALES");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_FALSE(edit->isHidden());
    EXPECT_NE(prompter.transcript().find("Невозможно переименовать файл"), std::string::npos);
    EXPECT_EQ(read("SALES.arg"), dos("01 Январь *\r\n02 Февраль\r\nEMPTY\r\n"));
    QTest::keyClick(edit, Qt::Key_Escape);

    list()->setCurrentItem(list()->findItems("CARD.ARG", Qt::MatchExactly).front());
    QTest::mouseClick(dialog->findChild<QPushButton*>("Button3"), Qt::LeftButton);
    EXPECT_FALSE(files::exists(settings.startDir + "/card.ARG"));
    EXPECT_EQ(listed(), (QStringList{"NONAME.ARG", "SALES.ARG", "TURN.ARG"}));
}

} // namespace
} // namespace fc
