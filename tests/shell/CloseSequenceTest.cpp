#include "shell/CloseSequence.h"

#include "FakeChildren.h"
#include "components/platform/Prompter.h"
#include "shell/ChildRegistry.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::FakeDesigner;
using test::FakeReport;
using test::Log;
using Answer = Prompter::Answer;

const char* kReportQuestion = "Внимание:|Сохpанить изменения в отчете?\n";
const char* kDesignerQuestion = "Внимание:|Сохpанить изменения?\n";

struct CloseSequence : ::testing::Test {
    Log log;
    ChildRegistry registry;
    FakeDesigner designer{log, "D"};
    FakeReport report{log, "R"};
    FakeReport popup{log, "P"};

    bool close(std::vector<Answer> answers, std::vector<ShellChild*> children) {
        prompter = ScriptedPrompter(std::move(answers));
        for (ShellChild* c : children) {
            registry.add(c);
        }
        return runCloseSequence(children, registry, prompter);
    }
    ScriptedPrompter prompter;
};

TEST_F(CloseSequence, NothingToSaveClosesWithoutAQuestion) {
    EXPECT_TRUE(close({}, {&designer, &report}));
    EXPECT_EQ(prompter.transcript(), "");
    EXPECT_TRUE(log.empty());
}

TEST_F(CloseSequence, DesignerAnsweredCancelKeepsEverythingOpen) {
    designer.unsaved = true;
    FakeDesigner second(log, "D2");
    second.unsaved = true;
    EXPECT_FALSE(close({Answer::Cancel}, {&designer, &second}));
    EXPECT_EQ(prompter.transcript(), kDesignerQuestion) << "the second designer is not asked";
    EXPECT_EQ(log, Log{"D activate"});
    EXPECT_TRUE(designer.unsaved);
}

TEST_F(CloseSequence, DesignerAnsweredYesSavesAndCloses) {
    designer.unsaved = true;
    EXPECT_TRUE(close({Answer::Yes}, {&designer}));
    EXPECT_EQ(prompter.transcript(), kDesignerQuestion);
    EXPECT_EQ(log, (Log{"D activate", "D key F2"}));
}

TEST_F(CloseSequence, DesignerAnsweredNoClosesWithoutSaving) {
    designer.unsaved = true;
    EXPECT_TRUE(close({Answer::No}, {&designer}));
    EXPECT_EQ(log, Log{"D activate"});
}

TEST_F(CloseSequence, DesignerSaveThatDidNotHappenKeepsTheProgramOpen) {
    designer.unsaved = true;
    designer.saveSucceeds = false; // the user cancelled the save dialog
    FakeDesigner second(log, "D2");
    second.unsaved = true;
    EXPECT_FALSE(close({Answer::Yes, Answer::No}, {&designer, &second}));
    EXPECT_EQ(prompter.transcript(), kDesignerQuestion);
}

TEST_F(CloseSequence, FormulaEditorIsCommittedBeforeTheQuestion) {
    designer.editorFocused = true;
    designer.editorHoldsEdit = true; // the only edit still sits in the editor
    EXPECT_FALSE(close({Answer::Cancel}, {&designer}));
    EXPECT_EQ(log, (Log{"D commit editor", "D activate"}));
    EXPECT_EQ(prompter.transcript(), kDesignerQuestion);
}

TEST_F(CloseSequence, MarkedReportAnsweredYesStartsTheDataSaveAndStaysOpen) {
    report.marked = true;
    designer.unsaved = true;
    EXPECT_FALSE(close({Answer::Yes}, {&report, &designer}));
    EXPECT_EQ(prompter.transcript(), kReportQuestion) << "the designer is not asked";
    EXPECT_EQ(log, (Log{"R show normal", "R clear mark", "R save data"}));
    EXPECT_FALSE(report.marked);
}

TEST_F(CloseSequence, MarkedReportAnsweredNoGoesOnToTheNextChild) {
    report.marked = true;
    designer.unsaved = true;
    EXPECT_TRUE(close({Answer::No, Answer::No}, {&report, &designer}));
    EXPECT_EQ(prompter.transcript(), std::string(kReportQuestion) + kDesignerQuestion);
    EXPECT_TRUE(report.marked) << "No leaves the mark alone";
}

TEST_F(CloseSequence, ReportIsAskedAboutTheEndOfItsPopupChainFirst) {
    registry.add(&report);
    report.popup = registry.add(&popup);
    popup.marked = true;
    report.marked = true;
    EXPECT_FALSE(close({Answer::Yes}, {&report}));
    EXPECT_EQ(log, (Log{"P show normal", "P clear mark", "P save data"}));
    EXPECT_TRUE(report.marked);
}

TEST_F(CloseSequence, OpenerOfAPopupIsAskedAfterThePopup) {
    registry.add(&report);
    report.popup = registry.add(&popup);
    popup.marked = true;
    report.marked = true;
    EXPECT_FALSE(close({Answer::No, Answer::Yes}, {&report}));
    EXPECT_EQ(prompter.transcript(), std::string(kReportQuestion) + kReportQuestion);
    EXPECT_EQ(log, (Log{"P show normal", "R show normal", "R clear mark", "R save data"}));

    // With only the opener marked, its edits are not dropped unasked either.
    log.clear();
    popup.marked = false;
    report.marked = true;
    EXPECT_TRUE(close({Answer::No}, {&report}));
    EXPECT_EQ(log, Log{"R show normal"});
}

} // namespace
} // namespace fc
