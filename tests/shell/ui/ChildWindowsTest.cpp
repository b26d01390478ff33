// New designer and report windows take the main window's whole work area; "Окно" still
// tiles and cascades them.
#include "../../results/ui/ExchangeFixture.h"

#include "components/text/Cp1251.h"
#include "designer/ui/TMDIChild_1.h"
#include "shell/ui/CommandTable.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace fc {
namespace {

struct ChildWindows : test::ExchangeFixture {
    QString chosen;
    QString before = QDir::currentPath();

    void SetUp() override {
        ExchangeFixture::SetUp();
        form->setDesignerFactory(
            [this](ShellHost& host) -> QWidget* { return new TMDIChild_1(host, prompter); });
        form->setFileChooser([this](QWidget*, const QString&, const QString&) { return chosen; });
        chosen = QString::fromStdString(path("start") + "/balance.rpt");
        ASSERT_TRUE(QFile::copy(FC_SOURCE_DIR "/demo/templates/balance.rpt", chosen));
        QApplication::processEvents();
    }
    void TearDown() override {
        form.reset();
        QDir::setCurrent(before);
    }

    void trigger(const char* name) {
        form->commands().action(name)->trigger();
        QApplication::processEvents();
    }
    QRect area() const { return form->mdiArea()->viewport()->rect(); }
    QMdiSubWindow* current() const { return form->mdiArea()->currentSubWindow(); }
    template <typename W>
    W* currentAs() const {
        return current() ? qobject_cast<W*>(current()->widget()) : nullptr;
    }
};

TEST_F(ChildWindows, OpenAndRunFillTheWorkArea) {
    ASSERT_GT(area().width(), 600);
    trigger("FileOpenItem"); // F3
    QMdiSubWindow* designer = current();
    ASSERT_NE(currentAs<TMDIChild_1>(), nullptr) << prompter.transcript();
    EXPECT_TRUE(designer->isMaximized());
    EXPECT_EQ(designer->geometry(), area());

    trigger("N11"); // F8: save and run
    QMdiSubWindow* report = current();
    ASSERT_NE(currentAs<TMDIChild1>(), nullptr) << prompter.transcript();
    EXPECT_TRUE(report->isMaximized());
    EXPECT_EQ(report->geometry(), area());

    // Restored, a window keeps to the work area it was opened in.
    report->showNormal();
    EXPECT_EQ(report->geometry(), area());

    trigger("WindowTileItem");
    EXPECT_FALSE(designer->isMaximized());
    EXPECT_FALSE(report->isMaximized());
    EXPECT_FALSE(designer->geometry().intersects(report->geometry()));
    EXPECT_TRUE(area().contains(designer->geometry()));
    EXPECT_TRUE(area().contains(report->geometry()));

    trigger("WindowCascadeItem");
    EXPECT_NE(designer->geometry().topLeft(), report->geometry().topLeft());

    trigger("FileNewItem"); // Shift+F7: a new window fills the area again
    EXPECT_TRUE(current()->isMaximized());
    EXPECT_EQ(current()->geometry(), area());
    EXPECT_TRUE(prompter.shown().empty()) << prompter.transcript();
}

TEST_F(ChildWindows, OpenFromTheCommandLineIsTheOpenCommand) {
    // As the program starts: the main window shown, the file opened at once.
    form = std::make_unique<TMainForm>(settings);
    form->setPrompter(&prompter);
    form->setDesignerFactory(
        [this](ShellHost& host) -> QWidget* { return new TMDIChild_1(host, prompter); });
    form->showAtStart();
    const QString elsewhere = QString::fromStdString(path("data"));
    QDir::setCurrent(elsewhere);
    form->openPath(chosen); // "formconstructor --open FILE"
    TMDIChild_1* designer = currentAs<TMDIChild_1>();
    ASSERT_NE(designer, nullptr) << prompter.transcript();
    EXPECT_EQ(designer->caption(), cp1251::fromQString(chosen));
    EXPECT_EQ(settings.lastOpenedDir, path("start"));
    EXPECT_EQ(QDir::currentPath(), QString::fromStdString(path("start")));
    QApplication::processEvents();
    EXPECT_EQ(current()->geometry(), area());
    // Restored, it keeps the work area it opened in, before the window manager (here the
    // platform) maximised the main window: most of the area still.
    current()->showNormal();
    const QRect restored = current()->geometry();
    EXPECT_TRUE(area().contains(restored));
    EXPECT_GE(restored.width() * 10, area().width() * 8) << restored.width();
    EXPECT_GE(restored.height() * 10, area().height() * 8) << restored.height();
    EXPECT_TRUE(prompter.shown().empty()) << prompter.transcript();
}

} // namespace
} // namespace fc
