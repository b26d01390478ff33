#include "../exchange/FakeReportHost.h"
#include "ActionFixture.h"

#include "components/text/CodePage.h"
#include "exchange/ReportRun.h"
#include "shell/AppSettings.h"

#include <QTemporaryDir>

#include "results/ActionText.h"
#include "results/CellActions.h"
#include "results/ResultEdits.h"

namespace fc {
namespace {

using test::u8;

// ---- the grammar

struct CommandCase {
    const char* name;
    const char* action;
    int col;
    const char* command; // nullptr: the click has no action
};

class CommandForTest : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandForTest, PicksTheCommandOfTheColumn) {
    const CommandCase& c = GetParam();
    const std::optional<std::string> got =
        action::commandFor(action::withColumn(c.action, c.col), c.col);
    if (c.command == nullptr) {
        EXPECT_FALSE(got) << *got;
    } else {
        ASSERT_TRUE(got);
        EXPECT_EQ(*got, c.command);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, CommandForTest,
    ::testing::Values(CommandCase{"column2OpensA", "{2}VREK A|{3}VREK B|", 2, "VREK A"},
                      CommandCase{"column3OpensB", "{2}VREK A|{3}VREK B|", 3, "VREK B"},
                      CommandCase{"column4Nothing", "{2}VREK A|{3}VREK B|", 4, nullptr},
                      CommandCase{"oneSegmentServesEveryColumn", "{2}VREK A|", 5, "VREK A"},
                      CommandCase{"noBraceAfterFirstBar", "1|;nsv", 3, ";nsv"},
                      CommandCase{"noBarWholeText", "VREK CARD 60", 2, "VREK CARD 60"},
                      CommandCase{"hashIsTheColumn", "VREK COL #|", 7, ""},
                      CommandCase{"hashInCommand", "x|VREK COL #", 7, "VREK COL 7"},
                      CommandCase{"hashInSegment", "{#}VREK A|{9}B|", 4, "VREK A"},
                      CommandCase{"braceWithoutClose", "{2VREK A|{3}B|", 2, nullptr},
                      CommandCase{"braceWithoutBar", "{2}VREK A", 2, "VREK A"},
                      CommandCase{"columnBeyondTheSheet", "{300}X|{301}Y|", 300, "X"},
                      CommandCase{"empty", "", 2, nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CommandWords, ReadTheirWords) {
    action::CommandWords v = action::parseCommand("VREK CARD %2 ;nsv;close");
    ASSERT_TRUE(v.report);
    EXPECT_EQ(*v.report, "CARD %2 ;close"); // run_form takes its own options
    v = action::parseCommand("nak  CARD");
    EXPECT_EQ(v.report.value_or("-"), "CARD");
    EXPECT_EQ(action::parseCommand("VREK").report.value_or("-"), "");

    v = action::parseCommand("prog.exe %3;close=2:6;4:x;save");
    EXPECT_TRUE(v.close);
    EXPECT_EQ(v.closePairs, "2:6;4:x");
    EXPECT_TRUE(v.save);
    EXPECT_EQ(v.beforeSave, "prog.exe %3");

    v = action::parseCommand(";close=3:6 viewer %2;nsv");
    EXPECT_EQ(v.closePairs, "3:6");
    EXPECT_TRUE(v.nsv);
    EXPECT_EQ(v.program, "viewer %2");

    v = action::parseCommand(";close= ;total;rformula");
    EXPECT_TRUE(v.close);
    EXPECT_EQ(v.closePairs, "");
    EXPECT_TRUE(v.total);
    EXPECT_TRUE(v.rformula);
    EXPECT_EQ(v.program, "");

    // ";close" alone, and keywords with another case, which stay text.
    v = action::parseCommand("run ;close ;SAVE");
    EXPECT_TRUE(v.close);
    EXPECT_FALSE(v.save);
    EXPECT_EQ(v.program, "run  ;SAVE");
}

TEST(ActionTexts, ComeFromColumn255OrTheBracketsOfColumn1) {
    Workbook book;
    Sheet& s = book.sheet(1);
    s.setText(2, result::kActionCol, "{2}VREK A|");
    s.setText(2, 1, "[ignored]");
    s.setText(3, 1, "x [VREK B] y");
    s.setText(4, 1, "[VREK C");
    s.setText(5, 1, "plain");
    EXPECT_EQ(action::actionText(s, 2), "{2}VREK A|");
    EXPECT_EQ(action::actionText(s, 3), "VREK B");
    EXPECT_EQ(action::actionText(s, 4), "VREK C");
    EXPECT_EQ(action::actionText(s, 5), "");
    EXPECT_TRUE(action::keepsEditingOut("VREK A", 3));
    EXPECT_FALSE(action::keepsEditingOut("{2}VREK A|", 3));
    EXPECT_TRUE(action::keepsEditingOut("{3}X|{5}Y|", 5));
    EXPECT_FALSE(action::keepsEditingOut("", 5));
}

// ---- the double click

struct DoubleClick : test::ActionFixture {
    void SetUp() override {
        ActionFixture::SetUp();
        makeSheet(6, 6);
        for (int r = 2; r <= 7; ++r) {
            sheet.setText(r, 2, std::to_string(58 + r));
        }
    }
};

TEST_F(DoubleClick, SegmentsOpenTheirReportsAndColumn4Nothing) {
    action(3, "{2}VREK A %2|{3}NAK B|");
    EXPECT_EQ(cellAction(session, host, 3, 2), ActionResult::OpenedReport);
    EXPECT_EQ(cellAction(session, host, 3, 3), ActionResult::OpenedReport);
    EXPECT_EQ(cellAction(session, host, 3, 4), ActionResult::Nothing);
    EXPECT_EQ(host.forms, (std::vector<std::string>{"A %2", "B"}));
    EXPECT_TRUE(host.programs.empty());
}

TEST_F(DoubleClick, AnEmptyColumnOfTheProgramRunsNothing) {
    action(3, "viewer %2 %5");
    sheet.setSelection(CellRange::cell(3, 2));
    EXPECT_EQ(cellAction(session, host, 3, 2), ActionResult::Abandoned);
    EXPECT_TRUE(host.programs.empty());
    sheet.setText(3, 5, "  x7 ");
    EXPECT_EQ(cellAction(session, host, 3, 2), ActionResult::Program);
    EXPECT_EQ(host.programs, std::vector<std::string>{"viewer 61 x7"});
    // "%" without a number stays as typed.
    action(4, "calc 50% %");
    sheet.setSelection(CellRange::cell(4, 2));
    cellAction(session, host, 4, 2);
    EXPECT_EQ(host.programs.back(), "calc 50% %");
}

TEST_F(DoubleClick, AModifiedSheetAsksBeforeEveryActionWithoutNsv) {
    savable();
    action(3, "VREK A");
    action(4, "VREK B;nsv");
    edit::markRow(session, 5);
    ASSERT_EQ(sheetMark(), "X");

    prompter.push(Prompter::Answer::No);
    EXPECT_EQ(cellAction(session, host, 3, 2), ActionResult::OpenedReport);
    prompter.push(Prompter::Answer::No);
    EXPECT_EQ(cellAction(session, host, 3, 3), ActionResult::OpenedReport);
    EXPECT_EQ(cellAction(session, host, 4, 2), ActionResult::OpenedReport); // ;nsv: no question
    ASSERT_EQ(prompter.shown().size(), 2u);
    EXPECT_EQ(u8(prompter.shown()[0].caption), "Внимание:");
    EXPECT_EQ(u8(prompter.shown()[0].text), "Сохранить изменения?");

    prompter.push(Prompter::Answer::Yes);
    EXPECT_EQ(cellAction(session, host, 3, 2), ActionResult::SavedFirst);
    ASSERT_EQ(host.saves.size(), 1u);
    EXPECT_TRUE(host.saves[0].form.empty() && host.saves[0].program.empty());
    EXPECT_EQ(host.forms.size(), 3u); // the action did not run

    // Without a save target the window holds no editable data: no question.
    settings.saveInstruction.clear();
    prompter.clear();
    cellAction(session, host, 3, 2);
    EXPECT_TRUE(prompter.shown().empty());
}

// The three "%N" paths: a program is abandoned at an empty cell (above), a report opened by
// "VREK" is opened all the same, its substitution stopping at the empty value.
TEST_F(DoubleClick, AReportOpensEvenWhenOneOfItsColumnsIsEmpty) {
    QTemporaryDir tmp;
    AppSettings app;
    app.serverDir = tmp.path().toStdString();
    app.nextReport = "R ACCOUNTS";
    test::FakeReportHost reportHost;
    ReportRun run(app, book, prompter, reportHost);
    ASSERT_TRUE(run.create());
    // The window's opening of a report: run_form.
    struct Opener : test::FakeActionHost {
        ReportRun* run = nullptr;
        void openForm(const std::string& command) override { run->run_form(command); }
    } opener;
    opener.run = &run;
    action(4, "VREK ACCOUNT %5 %2 %3");
    sheet.setText(4, 3, "x");
    sheet.setActiveCell(4, 2);
    EXPECT_EQ(cellAction(session, opener, 4, 2), ActionResult::OpenedReport);
    ASSERT_EQ(reportHost.opened.size(), 1u);
    EXPECT_EQ(app.nextReport, "R ACCOUNT %2\xFA%3\xFA");
    EXPECT_TRUE(opener.programs.empty());
}

TEST_F(DoubleClick, CloseCopiesIntoTheParentsActiveRow) {
    Workbook parentBook;
    Sheet& parent = parentBook.sheet(1);
    parent.setMaxRow(5);
    parent.setActiveCell(4, 3);
    host.parent = &parentBook;
    host.parentHasSave = true;
    sheet.setText(3, 4, "125.5");
    action(3, ";close=4:6;2:;x:5");
    EXPECT_EQ(cellAction(session, host, 3, 4), ActionResult::Closed);
    EXPECT_DOUBLE_EQ(parent.number(4, 6), 125.5);
    EXPECT_EQ(parent.text(4, 3), "61");           // no target column: the parent's active one
    EXPECT_DOUBLE_EQ(parent.number(4, 5), 125.5); // no source column: the clicked one
    EXPECT_EQ(parent.text(4, result::kMarkCol), "X");
    EXPECT_EQ(parent.text(6, result::kMarkCol), "X");
    EXPECT_EQ(host.closes, 1);

    // A parent gone: the window only closes.
    host.parent = nullptr;
    EXPECT_EQ(cellAction(session, host, 3, 4), ActionResult::Closed);
    EXPECT_EQ(host.closes, 2);
}

TEST_F(DoubleClick, SaveActionsLeaveWhatFollowsTheSave) {
    action(3, "VREK CARD %2;save");
    action(4, "viewer %2;save");
    action(5, ";close=2:3;save");
    action(6, "viewer %5;save");
    cellAction(session, host, 3, 2);
    cellAction(session, host, 4, 2);
    cellAction(session, host, 5, 2);
    sheet.setSelection(CellRange::cell(6, 2));
    cellAction(session, host, 6, 2);
    // A report with ";save" goes to run_form, which saves first and opens it afterwards.
    EXPECT_EQ(host.forms, std::vector<std::string>{"CARD %2;save"});
    ASSERT_EQ(host.saves.size(), 3u);
    EXPECT_EQ(host.saves[0].program, "viewer 62");
    EXPECT_TRUE(host.saves[1].editChild);
    EXPECT_EQ(host.saves[1].columnMap, "2:3");
    EXPECT_EQ(host.saves[2].program, ""); // column 5 empty: the data are saved, nothing starts
}

TEST_F(DoubleClick, WithoutActionEditableColumnsEditAndOthersSendTheirKey) {
    editable({4});
    EXPECT_EQ(cellAction(session, host, 3, 3), ActionResult::ColumnKey);
    EXPECT_EQ(host.keys, std::vector<int>{138});
    EXPECT_EQ(cellAction(session, host, 3, 4), ActionResult::EditInCell);
    sheet.setText(4, 1, "7");
    EXPECT_EQ(cellAction(session, host, 4, 4), ActionResult::EditOverlay);
    settings.editAll = true;
    EXPECT_EQ(cellAction(session, host, 4, 4), ActionResult::EditInCell);
    // A heading row is no data row; rows scrolled above the top are not edited either.
    EXPECT_EQ(cellAction(session, host, 1, 4), ActionResult::Nothing);
    sheet.setTopLeft(5, 1);
    EXPECT_EQ(cellAction(session, host, 4, 4), ActionResult::Nothing);
    ASSERT_EQ(host.edits.size(), 3u);
    EXPECT_TRUE(host.edits[1].overlay);
}

TEST_F(DoubleClick, WordsRunInTheirOrder) {
    action(3, "x;fsave|;total;rformula");
    sheet.setFormula(3, 4, "=1+1");
    edit::startEdit(session, 3, 4, std::nullopt);
    edit::endEdit(session, 3, 4, "9");
    EXPECT_DOUBLE_EQ(sheet.number(3, 4), 9);
    EXPECT_EQ(cellAction(session, host, 3, 2), ActionResult::RestoredFormulas);
    EXPECT_EQ(host.exports, 1);
    EXPECT_EQ(sheet.formula(3, 4), "=1+1");
    EXPECT_GE(host.stops, 1);
}

TEST_F(DoubleClick, BrokenActionsDoNothingHarmful) {
    for (const char* text : {"{", "}|", "{2", "{2}|", "|||", "%", "%999 x", "VREK",
                             ";close=;;;:", "{2}VREK|", "#{#}#|#"}) {
        action(3, text);
        sheet.setSelection(CellRange::cell(3, 2));
        cellAction(session, host, 3, 2);
    }
    EXPECT_TRUE(host.forms.empty());
    for (const std::string& p : host.programs) {
        EXPECT_FALSE(p.empty());
    }
    EXPECT_EQ(cellAction(session, host, 0, 2), ActionResult::Nothing);
    EXPECT_EQ(cellAction(session, host, 3, 300), ActionResult::Nothing);
}

// ---- drawn controls

TEST_F(DoubleClick, ButtonsActForTheCellUnderThem) {
    action(4, "{2}VREK A|{5}VREK E|");
    DrawnObject b;
    b.kind = ObjectKind::Button;
    b.x1 = 1.2; // column 2
    b.y1 = 3.5; // row 4
    b.x2 = 2.5;
    b.y2 = 4.2;
    b.text = "SEL";
    const int sel = sheet.addObject(b);
    b.text = "ACT05";
    const int act = sheet.addObject(b);
    b.text = "Once BLOCK";
    const int once = sheet.addObject(b);
    b.kind = ObjectKind::Rectangle;
    const int shape = sheet.addObject(b);

    EXPECT_EQ(objectClick(session, host, sel), ActionResult::OpenedReport);
    EXPECT_EQ(sheet.activeCell(), (CellRef{4, 2}));
    objectClick(session, host, act);
    objectClick(session, host, once);
    EXPECT_EQ(objectClick(session, host, once), ActionResult::Nothing);
    EXPECT_EQ(objectClick(session, host, shape), ActionResult::Nothing);
    EXPECT_EQ(host.forms, (std::vector<std::string>{"A", "E", "A"}));
}

TEST_F(DoubleClick, CheckBoxesWriteOneOrZeroMarkAndRerun) {
    savable();
    book.events().doSelChange = true;
    DrawnObject box;
    box.kind = ObjectKind::CheckBox;
    box.linkedCell = "D3";
    box.text = "rerun";
    const int id = sheet.addObject(box);
    action(3, "{4}VREK AGAIN|");
    sheet.setObjectValue(id, 1);
    prompter.push(Prompter::Answer::No); // the mark makes the action ask about saving
    EXPECT_EQ(objectValueChange(session, host, id), ActionResult::OpenedReport);
    EXPECT_EQ(sheet.text(3, 4), "1");
    EXPECT_EQ(mark(3), "X");
    EXPECT_EQ(sheetMark(), "X");
    EXPECT_EQ(sheet.objectValue(id), 1);
    sheet.setObjectValue(id, 0);
    prompter.push(Prompter::Answer::No);
    objectValueChange(session, host, id);
    EXPECT_EQ(sheet.text(3, 4), "0");
    EXPECT_EQ(host.forms.size(), 2u);

    // With selection events off nothing more than the cell happens.
    book.events().doSelChange = false;
    sheet.setText(3, result::kMarkCol, "");
    sheet.setObjectValue(id, 1);
    EXPECT_EQ(objectValueChange(session, host, id), ActionResult::Nothing);
    EXPECT_EQ(mark(3), "");
}

// ---- link cells and the row cursor

TEST(LinkCells, BlueUnderlinedTextsOpenMailOrTheWeb) {
    Workbook book;
    Sheet& s = book.sheet(1);
    s.setMaxRow(9);
    s.setMaxCol(4);
    const auto link = [&](int row, const char* text, bool blue = true, bool underline = true) {
        s.setText(row, 2, text);
        s.editStyle(CellRange::cell(row, 2), [&](Style& st) {
            st.font.color = blue ? rgb(0, 0, 255) : rgb(0, 0, 254);
            st.font.underline = underline;
        });
        return linkAt(s, row, 2);
    };
    EXPECT_EQ(link(1, "buh@example.ru").kind, Link::Kind::Mail);
    EXPECT_EQ(link(2, "example.ru/a").target, "http://example.ru/a");
    EXPECT_EQ(link(3, "HtTpS://x.ru").target, "HtTpS://x.ru");
    EXPECT_EQ(link(4, "no dot").kind, Link::Kind::None);
    EXPECT_EQ(link(5, "x.ru", false).kind, Link::Kind::None);
    EXPECT_EQ(link(6, "x.ru", true, false).kind, Link::Kind::None);
    EXPECT_EQ(link(7, "   ").kind, Link::Kind::None);
    EXPECT_EQ(linkAt(s, 1, 1).kind, Link::Kind::None); // column 1 is no data
}

TEST_F(DoubleClick, TheRowCursorMovesAndGivesTheRowBack) {
    sheet.editStyle({3, 2, 3, 6}, [](Style& st) {
        st.numberFormat = "0.00";
        st.border(BorderSide::Bottom).style = BorderStyle::Thin;
    });
    const StyleId before = sheet.styleId(3, 3);
    moveRowCursor(session, 3);
    EXPECT_EQ(sheet.style(3, 3).fill.fg, rgb(0, 0, 128));
    EXPECT_EQ(sheet.style(3, 3).numberFormat, "[White]0.00");
    EXPECT_EQ(sheet.style(3, 3).border(BorderSide::Bottom).color, rgb(255, 255, 255));
    moveRowCursor(session, 99); // kept within the data rows
    EXPECT_EQ(session.actions().cursorRow, 7);
    EXPECT_EQ(sheet.styleId(3, 3), before);
    EXPECT_EQ(sheet.style(7, 4).numberFormat, "[White]General");
    // A cell changed under the cursor keeps its change.
    sheet.editStyle(CellRange::cell(7, 4), [](Style& st) { st.fill.fg = rgb(255, 255, 0); });
    dropRowCursor(session);
    EXPECT_EQ(sheet.style(7, 4).fill.fg, rgb(255, 255, 0));
    EXPECT_EQ(sheet.style(7, 5).numberFormat, "General");
}

} // namespace
} // namespace fc
