#include "../FakeChildren.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "shell/AppSettings.h"
#include "shell/ui/CommandTable.h"
#include "shell/ui/MainStatusBar.h"
#include "shell/ui/ShellDialogs.h"
#include "shell/ui/TMainForm.h"

#include <QAction>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::Log;

// Stand-in windows: the fakes of the core tests inside widgets.
class DesignerWidget : public QWidget, public test::FakeDesigner {
public:
    DesignerWidget(Log& log, const char* name) : FakeDesigner(log, name), log_(log) {
        setObjectName(QString::fromLatin1(name));
    }
    std::string caption() const override { return cp1251::fromQString(windowTitle()); }
    void setCaption(const std::string& c) override { setWindowTitle(cp1251::toQString(c)); }

protected:
    void closeEvent(QCloseEvent* e) override {
        log_.push_back(componentName() + " closed");
        e->accept();
    }

private:
    Log& log_;
};

class ReportWidget : public QWidget, public test::FakeReport {
public:
    ReportWidget(Log& log, const char* name) : FakeReport(log, name), log_(log) {
        setObjectName(QString::fromLatin1(name));
    }

protected:
    void closeEvent(QCloseEvent* e) override {
        log_.push_back(componentName() + " closed");
        e->accept();
    }

private:
    Log& log_;
};

struct Dialogs : ShellDialogs {
    bool periodOk = true;
    int periodShown = 0;
    int connectionShown = 0;
    int recompiles = 0;
    void showConnection() override { ++connectionShown; }
    void recompileForms() override { ++recompiles; }
    bool execPeriod() override {
        ++periodShown;
        return periodOk;
    }
};

struct MainFormTest : ::testing::Test {
    Log log;
    AppSettings settings;
    Dialogs* dialogs = new Dialogs;
    TMainForm form{settings, std::unique_ptr<ShellDialogs>(dialogs)};
    ScriptedPrompter prompter;

    void SetUp() override { form.setPrompter(&prompter); }

    QAction* action(const char* name) { return form.commands().action(name); }
    bool enabled(const char* name) {
        if (QMenu* m = form.commands().menu(name)) {
            return m->menuAction()->isEnabled();
        }
        return action(name)->isEnabled();
    }
    DesignerWidget* addDesigner(const char* name) {
        auto* d = new DesignerWidget(log, name);
        form.addChild(d);
        return d;
    }
    ReportWidget* addReport(const char* name) {
        auto* r = new ReportWidget(log, name);
        form.addChild(r);
        return r;
    }
    void activate(QWidget* w) {
        form.mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(w->parentWidget()));
    }
};

TEST_F(MainFormTest, MenuUpdateFollowsTheActiveChild) {
    EXPECT_FALSE(enabled("FileSaveItem"));
    EXPECT_FALSE(enabled("p3"));
    EXPECT_FALSE(enabled("Edit1"));
    EXPECT_FALSE(enabled("Options1"));
    EXPECT_TRUE(enabled("FileOpenItem"));

    DesignerWidget* d = addDesigner("MDIChild_1");
    EXPECT_TRUE(enabled("N11"));
    EXPECT_TRUE(enabled("Edit1"));
    EXPECT_TRUE(enabled("FileSaveItem"));
    EXPECT_FALSE(enabled("SendMail"));
    EXPECT_FALSE(form.mainStatusBar()->isEnabled());
    EXPECT_EQ(form.statusText(2), "");
    EXPECT_FALSE(enabled("p1_"));
    EXPECT_FALSE(form.commands().button("SpeedButton4")->isEnabled());

    ReportWidget* r = addReport("MDIChild1");
    EXPECT_FALSE(enabled("N11"));
    EXPECT_FALSE(form.commands().button("SpeedButton6")->isEnabled());
    EXPECT_TRUE(enabled("SendMail"));
    EXPECT_TRUE(enabled("pp2"));
    EXPECT_TRUE(form.mainStatusBar()->isEnabled());
    EXPECT_EQ(form.statusText(2), w("Рестаpт"));

    r->noSaveFlag = true;
    r->noPrintFlag = true;
    form.updateMenuItems();
    EXPECT_FALSE(enabled("FileSaveItem"));
    EXPECT_FALSE(form.commands().button("SpeedButton2")->isEnabled());
    EXPECT_FALSE(enabled("N3"));
    EXPECT_FALSE(enabled("pPdf"));

    activate(d);
    EXPECT_TRUE(enabled("FileSaveItem")) << "the designer's own flags count";
    EXPECT_TRUE(enabled("N11"));

    // Hidden items stay hidden, whatever made them visible.
    action("N16")->setVisible(true);
    form.updateMenuItems();
    EXPECT_FALSE(action("N16")->isVisible());
}

TEST_F(MainFormTest, LastChildClosedDisablesTheChildCommands) {
    DesignerWidget* d = addDesigner("MDIChild_1");
    EXPECT_TRUE(enabled("p3"));
    d->parentWidget()->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.childWindows().empty());
    EXPECT_FALSE(enabled("p3"));
    EXPECT_FALSE(enabled("N11"));
}

TEST_F(MainFormTest, CloseAllSparesMDIChild5AndGoesLastFirst) {
    addDesigner("MDIChild_1");
    addReport("MDIChild5");
    addReport("MDIChild1");
    action("p3")->trigger();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(log, (Log{"MDIChild1 closed", "MDIChild_1 closed"}));
    ASSERT_EQ(form.childWindows().size(), 1u);
    EXPECT_EQ(form.childWindows()[0]->componentName(), "MDIChild5");
}

TEST_F(MainFormTest, CloseAllWithoutChildrenDoesNothing) {
    form.closeAll();
    EXPECT_TRUE(log.empty());
}

TEST_F(MainFormTest, TurboSwitchMarksTheCaptionAndTheTurboButton) {
    DesignerWidget* d = addDesigner("MDIChild_1");
    d->setCaption("/r/a.rpt");
    form.commands().button("extd")->click();
    EXPECT_EQ(d->caption(), "/r/a.rpt [ext]");
    EXPECT_TRUE(action("p17")->isChecked());
    EXPECT_TRUE(action("Turbo")->isEnabled());
    EXPECT_TRUE(form.turboDown());
    EXPECT_TRUE(d->turbo);
    form.updateMenuItems();
    EXPECT_TRUE(action("Turbo")->isEnabled()) << "enabled while extd is down";

    action("p17")->trigger(); // already down: nothing is appended twice
    EXPECT_EQ(d->caption(), "/r/a.rpt [ext]");

    action("p16")->trigger();
    EXPECT_EQ(d->caption(), "/r/a.rpt");
    EXPECT_FALSE(action("extd")->isChecked());
    EXPECT_FALSE(action("Turbo")->isEnabled());
    EXPECT_FALSE(form.turboDown());
    EXPECT_FALSE(d->turbo);

    // The hidden Turbo button alone sets the designer's flag.
    form.setTurboFormat(true);
    action("Turbo")->trigger();
    EXPECT_FALSE(d->turbo);
}

TEST_F(MainFormTest, CommandsReachTheDesignerAsKeys) {
    addDesigner("D");
    for (const char* name : {"N11", "FileSaveItem", "N3", "p11", "N13", "N15", "Undo1"}) {
        action(name)->trigger();
    }
    EXPECT_EQ(log, (Log{"D key F8", "D key F2", "D key F10", "D key F4", "D key F11", "D key F12",
                        "D key F15"}));
}

TEST_F(MainFormTest, ReportCommandsReachTheEndOfThePopupChain) {
    ReportWidget* a = addReport("A");
    test::FakeReport popup(log, "P"); // pop-ups are not MDI children
    a->popup = form.children().add(&popup);
    log.clear();
    action("N3")->trigger();
    action("p1")->trigger();
    action("p1")->trigger();
    action("N10")->trigger();
    EXPECT_EQ(log, (Log{"P activate", "P key 0x82", "P activate", "P only marked on", "P activate",
                        "P only marked off", "P activate", "P sort descending"}));
    form.children().remove(&popup);
}

TEST_F(MainFormTest, PeriodReRunsOnlyAReportAndOnlyOnOk) {
    addDesigner("D");
    log.clear();
    action("p4")->trigger();
    EXPECT_EQ(dialogs->periodShown, 1);
    EXPECT_TRUE(log.empty());
    addReport("R");
    log.clear();
    dialogs->periodOk = false;
    action("p4")->trigger();
    EXPECT_TRUE(log.empty());
    dialogs->periodOk = true;
    action("p4")->trigger();
    EXPECT_EQ(log, (Log{"R activate", "R rerun"}));
}

TEST_F(MainFormTest, RestartPanelRestartsTheRootReport) {
    form.resize(900, 500);
    form.show();
    form.mainStatusBar()->show();
    RestartPanel* panel = form.mainStatusBar()->restartPanel();
    addDesigner("D");
    log.clear();
    QTest::mouseClick(panel, Qt::LeftButton);
    EXPECT_TRUE(log.empty()) << "no report window";
    addReport("R");
    log.clear();
    QTest::mousePress(panel, Qt::LeftButton);
    EXPECT_EQ(panel->frameShadow(), QFrame::Sunken);
    QTest::mouseRelease(panel, Qt::LeftButton);
    EXPECT_EQ(panel->frameShadow(), QFrame::Raised);
    EXPECT_EQ(log, (Log{"R activate", "R restart"}));
}

TEST_F(MainFormTest, StatusPanelsTakeTheirWidths) {
    form.resize(1000, 600);
    form.show();
    form.mainStatusBar()->show();
    QCoreApplication::processEvents();
    MainStatusBar* bar = form.mainStatusBar();
    EXPECT_EQ(bar->progressPanel()->width(), 250);
    EXPECT_EQ(bar->textPanel()->width(), bar->width() - 250 - 80);
    EXPECT_GE(bar->restartPanel()->width(), 50);
    EXPECT_EQ(form.progressWidth(), 247);

    form.setStatusText(1, w("Ожидание ответа от сеpвеpа... "));
    EXPECT_EQ(form.statusText(1), w("Ожидание ответа от сеpвеpа... "));
    form.showProgress(100, false);
    EXPECT_EQ(bar->progressPanel()->value(), 100);
    form.showProgress(249, true);
    EXPECT_EQ(bar->progressPanel()->value(), 0) << "past the area the bar starts again";
}

TEST_F(MainFormTest, EditMenuNarrowsToWholeRowsColumnsAndSheetCount) {
    DesignerWidget* d = addDesigner("D");
    QMenu* edit = form.commands().menu("Edit1");
    d->book.sheet().setSelection({2, 2, 3, 3});
    emit edit->aboutToShow();
    EXPECT_FALSE(enabled("CopyItem"));
    EXPECT_FALSE(enabled("CutItem"));
    EXPECT_FALSE(enabled("p12"));
    d->book.setNumSheets(2);
    d->book.sheet().setSelection({1, 3, kMaxRows, 3});
    emit edit->aboutToShow();
    EXPECT_TRUE(enabled("CopyItem"));
    EXPECT_TRUE(enabled("CutItem"));
    EXPECT_TRUE(enabled("p12"));
}

TEST_F(MainFormTest, SheetCommandsActOnTheDesignersWorkbook) {
    DesignerWidget* d = addDesigner("D");
    log.clear();
    action("p13")->trigger();
    EXPECT_EQ(d->book.numSheets(), 2);
    EXPECT_EQ(d->book.currentSheet(), 2);
    action("p12")->trigger();
    EXPECT_EQ(d->book.numSheets(), 1);
    EXPECT_EQ(log, Log{"D refresh"});

    action("N4")->trigger();
    EXPECT_TRUE(action("N4")->isChecked());
    EXPECT_TRUE(d->book.view().showGridLines);
    action("N4")->trigger();
    EXPECT_FALSE(d->book.view().showGridLines);

    action("N2001")->trigger();
    EXPECT_EQ(d->book.view().viewScale, 75);
    EXPECT_TRUE(action("N2001")->isChecked());
    EXPECT_FALSE(action("N1001")->isChecked());
}

TEST_F(MainFormTest, ObjectMenuSetsTheDrawingMode) {
    DesignerWidget* d = addDesigner("D");
    log.clear();
    for (QAction* a : form.commands().objectMenu()->actions()) {
        if (a->objectName() == QLatin1String("obOval")) {
            a->trigger();
        }
    }
    EXPECT_EQ(d->book.mode(), 3);
    form.commands().objectMenu()->actions().front()->trigger();
    EXPECT_EQ(log, (Log{"D focus", "D picture"}));
}

TEST_F(MainFormTest, WindowSizeMessage) {
    DesignerWidget* d = addDesigner("D");
    d->parentWidget()->resize(321, 123);
    action("p18")->trigger();
    EXPECT_EQ(prompter.transcript(), "Констpуктоp форм|321:123\n");
}

TEST_F(MainFormTest, NewAndOpenCreateDesignersOnTheCurrentFileName) {
    QString offeredDir, offeredFilter;
    form.setFileChooser([&](QWidget*, const QString& dir, const QString& filter) {
        offeredDir = dir;
        offeredFilter = filter;
        return QStringLiteral("/data/forms/a.rpt");
    });
    settings.reportsDir = "/reports";
    action("FileNewItem")->trigger();
    ASSERT_EQ(form.childWindows().size(), 1u);
    EXPECT_EQ(form.mdiArea()->currentSubWindow()->windowTitle(), QStringLiteral("Noname.rpt"));

    action("FileOpenItem")->trigger();
    EXPECT_EQ(offeredDir, QStringLiteral("/reports"));
    EXPECT_EQ(offeredFilter, QStringLiteral("RPT - Файлы (*.rpt);;Excell '97 (*.xls);;VTS "
                                            "(*.vts);;Все (*)"));
    EXPECT_EQ(settings.currentFileName, "/data/forms/a.rpt");
    EXPECT_EQ(settings.lastOpenedDir, "/data/forms");
    ASSERT_EQ(form.childWindows().size(), 2u);
    EXPECT_EQ(form.mdiArea()->currentSubWindow()->windowTitle(),
              QStringLiteral("/data/forms/a.rpt"));
    EXPECT_EQ(form.childWindows()[1]->kind(), ChildKind::Designer);

    action("FileOpenItem")->trigger();
    EXPECT_EQ(offeredDir, QStringLiteral("/data/forms"));

    form.setFileChooser([](QWidget*, const QString&, const QString&) { return QString(); });
    action("FileOpenItem")->trigger();
    EXPECT_EQ(form.childWindows().size(), 3u) << "Cancel opens nothing";
}

TEST_F(MainFormTest, CloseAnsweredCancelKeepsTheProgramOpen) {
    DesignerWidget* d = addDesigner("D");
    d->unsaved = true;
    form.show();
    prompter.push(Prompter::Answer::Cancel);
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(prompter.transcript(), "Внимание:|Сохpанить изменения?\n");

    prompter.push(Prompter::Answer::Yes);
    EXPECT_TRUE(form.close());
    EXPECT_NE(std::find(log.begin(), log.end(), "D key F2"), log.end());
}

TEST_F(MainFormTest, CloseWithAMarkedReportAnsweredYesStartsTheSave) {
    ReportWidget* r = addReport("R");
    r->marked = true;
    form.show();
    prompter.push(Prompter::Answer::Yes);
    EXPECT_FALSE(form.close());
    EXPECT_NE(std::find(log.begin(), log.end(), "R save data"), log.end());
    EXPECT_TRUE(form.close()) << "the mark is cleared: nothing more to ask";
}

TEST_F(MainFormTest, ConnectionCommandsGoToTheConnectionDialog) {
    action("p9")->trigger();
    form.commands().button("SpeedButton9")->click();
    form.commands().button("RxSpeedButton9")->click();
    EXPECT_EQ(dialogs->connectionShown, 2);
    EXPECT_EQ(dialogs->recompiles, 1);

    // The button shows the connection; the menu item keeps its own picture.
    QImage menuPicture = action("p9")->icon().pixmap(16).toImage();
    QPixmap red(16, 16);
    red.fill(Qt::red);
    form.setConnectionState(QIcon(red), QStringLiteral("Каталог обмена: /srv"));
    EXPECT_EQ(form.commands().button("SpeedButton9")->toolTip(),
              QStringLiteral("Каталог обмена: /srv"));
    EXPECT_EQ(form.commands().button("SpeedButton9")->icon().pixmap(16).toImage(), red.toImage());
    EXPECT_EQ(action("p9")->icon().pixmap(16).toImage(), menuPicture);
}

TEST_F(MainFormTest, LoadSettingsReadsTheStartDirectory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile klf(dir.filePath("klf.opt"));
    ASSERT_TRUE(klf.open(QIODevice::WriteOnly));
    klf.write(" \r\n \r\n2\r\n3\r\n");
    klf.close();
    std::string start = cp1251::fromQString(dir.path());
    form.loadSettings(start);
    EXPECT_EQ(settings.startDir, start);
    EXPECT_EQ(settings.reportsDir, start);
    EXPECT_EQ(settings.reportState().substr(0, 8), "620C0LB_");
}

TEST_F(MainFormTest, DebugMessagesItemSetsTheSetting) {
    action("N16")->trigger();
    EXPECT_TRUE(settings.debugMessages);
    action("N16")->trigger();
    EXPECT_FALSE(settings.debugMessages);
}

} // namespace
} // namespace fc
