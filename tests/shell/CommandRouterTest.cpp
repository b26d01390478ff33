#include "shell/CommandRouter.h"

#include "FakeChildren.h"
#include "shell/ChildRegistry.h"
#include "shell/RootReport.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace fc {
namespace {

using test::FakeDesigner;
using test::FakeReport;
using test::Log;

struct DesignerKeyCase {
    const char* name;
    ShellCommand command;
    Qt::KeyboardModifiers held;
    const char* expected; // what the designer receives
};

class DesignerKeys : public ::testing::TestWithParam<DesignerKeyCase> {};

TEST_P(DesignerKeys, ArriveWithTheShiftState) {
    const DesignerKeyCase& c = GetParam();
    Log log;
    ChildRegistry registry;
    FakeDesigner d(log, "D");
    CommandRouter router(registry);
    EXPECT_TRUE(router.execute(c.command, &d, c.held));
    EXPECT_EQ(log, Log{std::string("D key ") + c.expected});
}

INSTANTIATE_TEST_SUITE_P(
    Commands, DesignerKeys,
    ::testing::Values(
        DesignerKeyCase{"Run", ShellCommand::Run, Qt::NoModifier, "F8"},
        DesignerKeyCase{"SaveWithShift", ShellCommand::Save, Qt::ShiftModifier, "Shift+F2"},
        DesignerKeyCase{"PageSetup", ShellCommand::PageSetup, Qt::NoModifier, "F17"},
        DesignerKeyCase{"Print", ShellCommand::Print, Qt::NoModifier, "F10"},
        DesignerKeyCase{"Undo", ShellCommand::Undo, Qt::ControlModifier, "Ctrl+F15"},
        DesignerKeyCase{"Redo", ShellCommand::Redo, Qt::NoModifier, "F16"},
        DesignerKeyCase{"ColsRows", ShellCommand::ColsRows, Qt::NoModifier, "F6"},
        DesignerKeyCase{"InsertRowCol", ShellCommand::InsertRowCol, Qt::NoModifier, "F14"},
        DesignerKeyCase{"DeleteRowCol", ShellCommand::DeleteRowCol, Qt::NoModifier, "F13"},
        DesignerKeyCase{"DefaultFont", ShellCommand::DefaultFont, Qt::NoModifier, "F9"},
        DesignerKeyCase{"CellFormat", ShellCommand::CellFormat, Qt::ShiftModifier, "Shift+F5"},
        // Shift+F4 would open the control's workbook designer instead of the prototypes.
        DesignerKeyCase{"PrototypesDropShift", ShellCommand::Prototypes,
                        Qt::ShiftModifier | Qt::ControlModifier, "Ctrl+F4"},
        DesignerKeyCase{"Find", ShellCommand::Find, Qt::NoModifier, "F11"},
        DesignerKeyCase{"FindNext", ShellCommand::FindNext, Qt::NoModifier, "F12"}),
    [](const ::testing::TestParamInfo<DesignerKeyCase>& info) {
        return std::string(info.param.name);
    });

TEST(CommandRouter, TheDesignerPreviewsWithoutAKey) {
    Log log;
    ChildRegistry registry;
    FakeDesigner d(log, "D");
    CommandRouter router(registry);
    EXPECT_TRUE(router.execute(ShellCommand::PrintPreview, &d, Qt::NoModifier));
    EXPECT_EQ(log, Log{"D preview"});
}

TEST(CommandRouter, ReportOnlyCommandsDoNothingInADesigner) {
    Log log;
    ChildRegistry registry;
    FakeDesigner d(log, "D");
    CommandRouter router(registry);
    for (ShellCommand c : {ShellCommand::Filter, ShellCommand::SendMail, ShellCommand::ExportPdf,
                           ShellCommand::OnlyMarkedRows, ShellCommand::Restart,
                           ShellCommand::SortAscending, ShellCommand::PeriodRerun}) {
        EXPECT_FALSE(router.execute(c, &d, Qt::NoModifier));
    }
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(router.execute(ShellCommand::Run, nullptr, Qt::NoModifier));
}

// A report window with two pop-ups opened one from the other: A -> B -> C.
struct PopupChain : ::testing::Test {
    Log log;
    ChildRegistry registry;
    FakeReport a{log, "A"}, b{log, "B"}, c{log, "C"};
    CommandRouter router{registry};

    void SetUp() override {
        registry.add(&a);
        a.popup = registry.add(&b);
        b.popup = registry.add(&c);
    }
};

struct ReportCase {
    const char* name;
    ShellCommand command;
    bool checked;
    const char* action;
};

class ReportCommands : public PopupChain, public ::testing::WithParamInterface<ReportCase> {};

TEST_P(ReportCommands, GoToTheEndOfThePopupChain) {
    const ReportCase& p = GetParam();
    EXPECT_TRUE(router.execute(p.command, &a, Qt::ShiftModifier, p.checked));
    EXPECT_EQ(log, (Log{"C activate", std::string("C ") + p.action}));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ReportCommands,
    ::testing::Values(
        ReportCase{"Save", ShellCommand::Save, false, "key 0x81"},
        ReportCase{"Print", ShellCommand::Print, false, "key 0x82"},
        ReportCase{"Preview", ShellCommand::PrintPreview, false, "preview"},
        ReportCase{"Filter", ShellCommand::Filter, false, "key 0x83"},
        ReportCase{"Pdf", ShellCommand::ExportPdf, false, "key 0x84"},
        ReportCase{"PageSetup", ShellCommand::PageSetup, false, "page setup"},
        ReportCase{"Mail", ShellCommand::SendMail, false, "mail"},
        ReportCase{"OnlyMarkedOn", ShellCommand::OnlyMarkedRows, true, "only marked on"},
        ReportCase{"OnlyMarkedOff", ShellCommand::OnlyMarkedRows, false, "only marked off"},
        ReportCase{"ClearMarks", ShellCommand::ClearRowMarks, false, "clear marks"},
        ReportCase{"Period", ShellCommand::PeriodRerun, false, "rerun"},
        ReportCase{"SortUp", ShellCommand::SortAscending, false, "sort ascending"},
        ReportCase{"SortDown", ShellCommand::SortDescending, false, "sort descending"},
        ReportCase{"SortDefault", ShellCommand::SortDefault, false, "sort default"},
        ReportCase{"Restart", ShellCommand::Restart, false, "restart"}),
    [](const ::testing::TestParamInfo<ReportCase>& info) { return std::string(info.param.name); });

TEST_F(PopupChain, DesignerOnlyCommandsDoNothingInAReport) {
    for (ShellCommand cmd : {ShellCommand::Run, ShellCommand::Undo, ShellCommand::Find,
                             ShellCommand::ColsRows, ShellCommand::Prototypes}) {
        EXPECT_FALSE(router.execute(cmd, &a, Qt::NoModifier));
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(PopupChain, StartingInsideTheChainEndsAtItsEnd) {
    EXPECT_EQ(&findRootReport(b, registry), &c);
    EXPECT_EQ(&findRootReport(c, registry), &c);
}

TEST_F(PopupChain, PopupBeingCreatedEndsTheWalk) {
    b.popup = 100; // written while the pop-up window is being made
    EXPECT_EQ(&findRootReport(a, registry), &b);
}

TEST_F(PopupChain, ClosedPopupEndsTheWalk) {
    registry.remove(&c);
    EXPECT_EQ(&findRootReport(a, registry), &b);
    // A new window never gets the closed one's handle.
    FakeReport d(log, "D");
    EXPECT_NE(registry.add(&d), b.popup);
    EXPECT_EQ(&findRootReport(a, registry), &b);
}

TEST_F(PopupChain, LinkBackIntoTheChainDoesNotLoop) {
    c.popup = registry.handleOf(&a);
    EXPECT_EQ(&findRootReport(a, registry), &c);
    c.popup = registry.handleOf(&c);
    EXPECT_EQ(&findRootReport(b, registry), &c);
}

TEST_F(PopupChain, LinkToADesignerEndsTheWalk) {
    FakeDesigner d(log, "D");
    c.popup = registry.add(&d);
    EXPECT_EQ(&findRootReport(a, registry), &c);
}

TEST(ChildRegistry, HandlesAreStableAndNeverTheReservedNumbers) {
    Log log;
    ChildRegistry registry;
    std::vector<std::unique_ptr<FakeReport>> windows;
    std::set<long long> seen;
    for (int i = 0; i < 200; ++i) {
        windows.push_back(std::make_unique<FakeReport>(log, "R"));
        long long h = registry.add(windows.back().get());
        EXPECT_NE(h, 0);
        EXPECT_NE(h, 100);
        EXPECT_TRUE(seen.insert(h).second);
        EXPECT_EQ(registry.add(windows.back().get()), h) << "a second add keeps the handle";
        EXPECT_EQ(registry.find(h), windows.back().get());
    }
    EXPECT_EQ(registry.find(0), nullptr);
    EXPECT_EQ(registry.handleOf(nullptr), 0);
}

} // namespace
} // namespace fc
