#include "designer/ui/TMDIChild_1.h"

#include "components/model/Sheet.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "designer/ui/FormulaLineEditor.h"
#include "shell/AppSettings.h"
#include "shell/ui/CommandTable.h"
#include "shell/ui/ShellDialogs.h"
#include "shell/ui/TMainForm.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

using A = Prompter::Answer;

// The designer window as the main window makes and closes it.
struct DesignerInShell : ::testing::Test {
    AppSettings settings;
    TMainForm form{settings, std::make_unique<ShellDialogs>()};
    ScriptedPrompter prompter;
    QTemporaryDir dir;

    void SetUp() override {
        form.setPrompter(&prompter);
        form.resize(900, 600);
        form.show();
    }
    TMDIChild_1* designer() {
        QMdiSubWindow* sub = form.mdiArea()->currentSubWindow();
        return sub != nullptr ? qobject_cast<TMDIChild_1*>(sub->widget()) : nullptr;
    }
    TMDIChild_1* newDesignerWithAnEdit() {
        form.commands().action("FileNewItem")->trigger();
        TMDIChild_1* d = designer();
        EXPECT_NE(d, nullptr);
        d->workbook().sheet().setText(1, 1, "IF A");
        d->flushHistory();
        return d;
    }
};

TEST_F(DesignerInShell, TheMainWindowMakesDesignerWindows) {
    form.commands().action("FileNewItem")->trigger();
    TMDIChild_1* d = designer();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(form.activeDesigner(), d);
    EXPECT_EQ(d->componentName(), "MDIChild_1");
    EXPECT_EQ(d->caption(), "Noname.rpt");

    // A template opened through the main window, as the user sees it.
    QFile f(dir.filePath("shown.rpt"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(";table\r\n;maxcol=4\r\n;colw[2 ]=4000\r\nIF A=1\r\n&&\r\n&2 Text|1111lb\r\n"
            "ENDIF\r\n");
    f.close();
    settings.currentFileName = cp1251::fromQString(dir.filePath("shown.rpt"));
    form.createDesigner();
    TMDIChild_1* shown = designer();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(cp1251::toUtf8(shown->workbook().sheet().text(2, 2)), "Text");
    EXPECT_TRUE(prompter.shown().empty()) << prompter.transcript();
    QMdiSubWindow* sub = form.mdiArea()->currentSubWindow();
    sub->resize(600, 300);
    shown->openEditor(1, 3);
    EXPECT_EQ(shown->editCol(), 1);
    QApplication::processEvents();
    if (const char* out = std::getenv("FC_SHOT")) {
        form.grab().save(QString::fromLocal8Bit(out) + QStringLiteral("-main.png"));
    }
}

TEST_F(DesignerInShell, ClosingTheProgramAsksOnceAndCancelKeepsIt) {
    newDesignerWithAnEdit();
    prompter.push(A::Cancel);
    EXPECT_FALSE(form.close());
    prompter.push(A::No);
    EXPECT_TRUE(form.close());
    EXPECT_EQ(prompter.transcript(),
              "Внимание:|Сохpанить изменения?\nВнимание:|Сохpанить изменения?\n")
        << "one question per attempt";
}

TEST_F(DesignerInShell, AnOpenEditorsTextIsAskedAboutOnClosing) {
    form.commands().action("FileNewItem")->trigger();
    TMDIChild_1* d = designer();
    d->openEditor(1, 1);
    d->editor()->setText(QStringLiteral("IF B"));
    form.setFocus(); // the editor need not have the focus
    prompter.push(A::Cancel);
    EXPECT_FALSE(form.close());
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сохpанить изменения?\n");
    EXPECT_EQ(d->workbook().sheet().text(1, 1), "IF B");
}

TEST_F(DesignerInShell, ClosingTheWindowAloneAsksAndYesSaves) {
    TMDIChild_1* d = newDesignerWithAnEdit();
    const QString target = dir.filePath("mine");
    d->chooseSaveFile = [&](const QString&, const QString&, bool) {
        return TMDIChild_1::SaveChoice{target, 0};
    };
    prompter.push(A::Yes);
    QMdiSubWindow* sub = form.mdiArea()->currentSubWindow();
    sub->close();
    QApplication::processEvents();
    EXPECT_TRUE(QFile::exists(target + ".rpt"));
    EXPECT_TRUE(form.mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сохpанить изменения?\n");
}

TEST_F(DesignerInShell, UndoItemsFollowTheHistory) {
    TMDIChild_1* d = newDesignerWithAnEdit();
    form.updateMenuItems(); // as a change of the focus window runs it
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(form.commands().action("Undo1")->isEnabled());
    EXPECT_FALSE(form.commands().action("ReDo1")->isEnabled());
    form.commands().action("Undo1")->trigger();
    EXPECT_EQ(d->workbook().sheet().text(1, 1), "");
    EXPECT_FALSE(form.commands().action("Undo1")->isEnabled());
    EXPECT_TRUE(form.commands().action("ReDo1")->isEnabled());
}

// Every demo template opens in the designer without a message, its statements coloured by the
// checker. FC_DESIGNER_PICTURE=FILE.png keeps a picture of the first one for looking at.
TEST_F(DesignerInShell, DemoTemplatesOpenCleanly) {
    const QStringList names{"balance.rpt", "cash-statement.rpt", "balance-turbo.rpt"};
    for (const QString& name : names) {
        settings.currentFileName =
            cp1251::fromQString(QStringLiteral(FC_SOURCE_DIR "/demo/templates/") + name);
        form.createDesigner();
        TMDIChild_1* d = designer();
        ASSERT_NE(d, nullptr) << name.toStdString();
        EXPECT_TRUE(prompter.shown().empty()) << name.toStdString() << prompter.transcript();
        const Sheet& s = d->workbook().sheet();
        int red = 0;
        for (int r = 1; r <= 60; ++r) {
            red += s.style(r, 1).font.color == rgb(255, 0, 0) ? 1 : 0;
        }
        EXPECT_GT(red, 0) << name.toStdString() << ": statements are coloured";
    }
    if (const char* out = std::getenv("FC_DESIGNER_PICTURE")) {
        form.mdiArea()->subWindowList().front()->setFocus();
        form.mdiArea()->setActiveSubWindow(form.mdiArea()->subWindowList().front());
        form.mdiArea()->activeSubWindow()->showMaximized();
        form.resize(1000, 620);
        QApplication::processEvents();
        form.grab().save(QString::fromLocal8Bit(out));
    }
}

} // namespace
} // namespace fc
