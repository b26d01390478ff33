#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "designer/DesignerCommands.h"
#include "designer/DesignerSheet.h"
#include "designer/FormulaLine.h"
#include "designer/StatementColour.h"
#include "designer/TemplateSearch.h"
#include "designer/UndoHistory.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

namespace fl = formulaline;
namespace ts = templatesearch;
using A = Prompter::Answer;

// A designer sheet: statements in rows 1, 2 and 4, a form row 3, file lines in the headings.
struct Template : ::testing::Test {
    Workbook book;
    Sheet& s = book.sheet();
    StatementColourer colourer;

    void SetUp() override {
        s.setMaxCol(5);
        s.setMaxRow(5);
        s.setText(1, 1, "IF A");
        s.setText(2, 1, "ENDIF");
        s.setText(3, 2, "Form text");
        s.setText(4, 1, "; comment");
        for (int r = 1; r <= 5; ++r) {
            s.setRowHeading(r, std::to_string(r * 2 + 1)); // lines 3, 5, 7, 9, 11
        }
    }
};

TEST_F(Template, LeavingTheEditorStoresClearsAndRecolours) {
    fl::store(s, 1, 1, "FOR I=1 TO 3", colourer);
    EXPECT_EQ(s.text(1, 1), "FOR I=1 TO 3");
    EXPECT_NE(s.style(1, 1).font.color, book.defaultFont().color);
    fl::store(s, 1, 1, "plain words", colourer);
    EXPECT_EQ(s.style(1, 1).font.color, book.defaultFont().color)
        << "a coloured line that is plain now goes back to the default colour";
    EXPECT_FALSE(s.style(1, 1).font.strikeout);

    fl::store(s, 2, 1, "   ", colourer);
    EXPECT_EQ(s.text(2, 1), "");
    EXPECT_EQ(s.maxRow(), 5) << "the row stays";
    fl::store(s, 3, 3, "12", colourer);
    EXPECT_EQ(s.value(3, 3).kind, ValueKind::Number) << "form cells take the text as typed";
}

TEST_F(Template, EnterSplitsAtTheFirstLineBreakAndOpensANewRow) {
    EXPECT_EQ(fl::split(s, 1, 1, "IF B", colourer), 2);
    EXPECT_EQ(s.text(1, 1), "IF B");
    EXPECT_EQ(s.text(2, 1), "");
    EXPECT_EQ(s.text(3, 1), "ENDIF");
    EXPECT_EQ(s.maxRow(), 6);

    EXPECT_EQ(fl::split(s, 3, 1, "ENDIF\r\nEND\nMORE", colourer), 4);
    EXPECT_EQ(s.text(3, 1), "ENDIF");
    EXPECT_EQ(s.text(4, 1), "END\nMORE") << "only the first break splits";
    EXPECT_EQ(s.maxRow(), 7);

    s.setMaxRow(kMaxRows);
    s.setText(kMaxRows, 2, "last");
    EXPECT_EQ(fl::split(s, 2, 1, "IF C\nX", colourer), 2) << "a full sheet takes no row";
    EXPECT_EQ(s.text(2, 1), "IF C\nX");
    EXPECT_EQ(s.text(kMaxRows, 2), "last");
    EXPECT_EQ(s.maxRow(), kMaxRows);
}

TEST_F(Template, DeleteAtTheEndJoinsOnlyAStatementRow) {
    std::optional<std::string> joined = fl::joinNext(s, 1, "IF A");
    ASSERT_TRUE(joined);
    EXPECT_EQ(*joined, "IF A ENDIF");
    EXPECT_EQ(s.maxRow(), 4);
    EXPECT_EQ(s.text(2, 2), "Form text") << "the next row went";
    EXPECT_FALSE(fl::joinNext(s, 1, "IF A")) << "a form row is not joined";
    EXPECT_FALSE(fl::joinNext(s, 4, "x")) << "no row after the last";
    s.setText(4, 1, std::string(100, 'b'));
    EXPECT_FALSE(fl::joinNext(s, 3, std::string(118, 'a')))
        << "219 characters would not fit the editor: nothing is joined or lost";
    EXPECT_EQ(s.maxRow(), 4);
    EXPECT_TRUE(fl::joinNext(s, 3, std::string(117, 'a')));
}

TEST_F(Template, EditorTargetAndFonts) {
    fl::Target t = fl::target(s, 1, 3, false);
    EXPECT_EQ(t.col, 1);
    EXPECT_TRUE(t.statement);
    EXPECT_EQ(fl::target(s, 1, 3, true).col, 3) << "turbo mode edits the cell";
    EXPECT_EQ(fl::target(s, 3, 2, false).col, 2);
    s.setText(1, 4, "stray");
    EXPECT_EQ(fl::target(s, 1, 3, false).col, 1) << "form cells left on a statement row";

    EXPECT_EQ(fl::editorFontName("Fixedsys"), "Fixedsys");
    EXPECT_EQ(fl::editorFontName("ms sans serif"), "ms sans serif");
    EXPECT_EQ(fl::editorFontName("Arial"), "Arial Cyr");
    EXPECT_EQ(fl::editorFontName("Courier New"), "Courier New Cyr");
    EXPECT_EQ(fl::editorFontName("Verdana"), "Times New Roman Cyr");
}

TEST_F(Template, FileLineJumpTakesTheNearestEarlierLine) {
    EXPECT_EQ(fl::rowForFileLine(s, 9), 4);
    EXPECT_EQ(fl::rowForFileLine(s, 10), 4);
    EXPECT_EQ(fl::rowForFileLine(s, 12), 5);
    EXPECT_EQ(fl::rowForFileLine(s, 1), 1);
    s.insertRows(3, 1); // a row typed in later has no heading
    s.setMaxRow(6);
    EXPECT_EQ(fl::rowForFileLine(s, 6), 2);

    int typed = -1;
    for (int i = 0; i < 3; ++i) {
        typed = fl::appendLineDigit(typed, 1 + i);
    }
    EXPECT_EQ(typed, 123);
    for (int i = 0; i < 20; ++i) {
        typed = fl::appendLineDigit(typed, 9);
    }
    EXPECT_GT(typed, kMaxRows) << "held digits stop growing instead of overflowing";
    EXPECT_EQ(fl::rowForFileLine(s, typed), 6) << "the last loaded row";
}

TEST(FormulaLine, MovesKeepTheCaretAndStopAtTheEdges) {
    using M = fl::Move;
    auto at = [](std::optional<fl::Place> p) {
        return p ? std::to_string(p->row) + ":" + std::to_string(p->col) + ":" +
                       std::to_string(p->caret)
                 : std::string("stay");
    };
    EXPECT_EQ(at(fl::move(M::Down, 2, 1, 5, 10, 8, 4, 3)), "3:1:5");
    EXPECT_EQ(at(fl::move(M::Up, 2, 1, 5, 10, 8, 4, 3)), "1:1:5");
    EXPECT_EQ(at(fl::move(M::Up, 1, 1, 5, 10, 8, 4, 3)), "stay");
    EXPECT_EQ(at(fl::move(M::Down, 8, 1, 5, 10, 8, 4, 3)), "stay");
    EXPECT_EQ(at(fl::move(M::PageDown, 7, 1, 0, 10, 8, 4, 3)), "8:1:0");
    EXPECT_EQ(at(fl::move(M::PageUp, 2, 1, 0, 10, 8, 4, 3)), "1:1:0");
    EXPECT_EQ(at(fl::move(M::Right, 2, 2, 4, 10, 8, 4, 3)), "stay") << "inside the text";
    EXPECT_EQ(at(fl::move(M::Right, 2, 2, 10, 10, 8, 4, 3)), "2:3:0");
    EXPECT_EQ(at(fl::move(M::Right, 2, 4, 10, 10, 8, 4, 3)), "stay") << "not past MaxCol";
    EXPECT_EQ(at(fl::move(M::Left, 2, 3, 0, 10, 8, 4, 3)), "2:2:-1") << "caret at the end";
    EXPECT_EQ(at(fl::move(M::Left, 2, 1, 0, 10, 8, 4, 3)), "stay");
    EXPECT_EQ(at(fl::move(M::CtrlHome, 5, 3, 2, 10, 8, 4, 3)), "1:1:0");
    EXPECT_EQ(at(fl::move(M::CtrlEnd, 5, 3, 2, 10, 8, 4, 3)), "8:1:0");
}

TEST(UndoHistory, SixSlotsDropTheOldestAndRestoreTheView) {
    Workbook book;
    Sheet& s = book.sheet();
    UndoHistory h;
    s.setText(1, 2, "v0");
    h.reset(book);
    EXPECT_FALSE(h.canUndo());
    EXPECT_FALSE(h.changed());
    for (int i = 1; i <= 7; ++i) {
        s.setText(1, 2, "v" + std::to_string(i));
        s.setMaxRow(10 + i);
        s.setSelection({i, 2, i + 1, 3});
        h.record(book);
    }
    EXPECT_EQ(h.count(), 6);
    EXPECT_EQ(h.current(), 5);
    EXPECT_TRUE(h.changed());
    EXPECT_FALSE(h.canRedo());
    int undone = 0;
    while (h.undo(book)) {
        ++undone;
    }
    EXPECT_EQ(undone, 5);
    EXPECT_EQ(book.sheet().text(1, 2), "v2") << "v0 and v1 were dropped by the seventh change";
    EXPECT_EQ(book.sheet().maxRow(), 12);
    EXPECT_EQ(book.sheet().selectionRange(0), (CellRange{2, 2, 3, 3}));
    EXPECT_EQ(book.sheet().number(1, UndoHistory::kStateCol), 12);

    int redone = 0;
    while (h.redo(book)) {
        ++redone;
    }
    EXPECT_EQ(redone, 5) << "redo stops at slot 5";
    EXPECT_EQ(h.current(), 5);
    EXPECT_EQ(book.sheet().text(1, 2), "v7");

    h.markSaved();
    EXPECT_FALSE(h.changed());
    h.undo(book);
    EXPECT_TRUE(h.changed());
    book.sheet().setText(2, 2, "new");
    h.record(book);
    EXPECT_FALSE(h.canRedo()) << "a change after undo drops the images ahead";
    EXPECT_TRUE(h.changed());
}

TEST_F(Template, SearchFindsInUpperCaseAfterTheStart) {
    std::optional<ts::Hit> h = ts::find(s, "endif", 1, 2, 0);
    ASSERT_TRUE(h);
    EXPECT_EQ(*h, (ts::Hit{2, 1, 0}));
    EXPECT_EQ(ts::find(s, "TEXT", 3, 2, 0), (ts::Hit{3, 2, 5}));
    EXPECT_FALSE(ts::find(s, "TEXT", 3, 2, 6)) << "within the cell only after the offset";
    EXPECT_FALSE(ts::find(s, "  ", 1, 1, 0)) << "a blank text searches nothing";
}

TEST_F(Template, ReplaceAnswersYesNoCancelAndAll) {
    s.setText(5, 3, "IF IF");
    ScriptedPrompter p({A::No, A::Yes, A::Cancel});
    ts::Outcome out = ts::run(s, "IF", std::string("WHEN"), 1, 1, 0, p, colourer);
    EXPECT_EQ(out.replaced, 1);
    EXPECT_EQ(s.text(1, 1), "IF A");
    EXPECT_EQ(s.text(2, 1), "ENDWHEN");
    EXPECT_EQ(s.text(5, 3), "IF IF");
    ASSERT_TRUE(out.hit);
    EXPECT_EQ(*out.hit, (ts::Hit{5, 3, 0})) << "Cancel stops at the match";
    EXPECT_EQ(p.transcript(), "Внимание:|Заменить на \"WHEN\" ?\n"
                              "Внимание:|Заменить на \"WHEN\" ?\n"
                              "Внимание:|Заменить на \"WHEN\" ?\n");

    ScriptedPrompter all({A::All});
    out = ts::run(s, "if", std::string("if if"), 1, 1, 0, all, colourer);
    EXPECT_EQ(out.replaced, 3) << "replacement text is not searched again";
    EXPECT_EQ(s.text(1, 1), "if if A");
    EXPECT_EQ(s.text(5, 3), "if if if if");
    EXPECT_EQ(all.transcript(), "Внимание:|Заменить на \"if if\" ?\nВнимание:|Замена выполнена.\n");

    ScriptedPrompter none;
    out = ts::run(s, "nothing", std::nullopt, 1, 1, 0, none, colourer);
    EXPECT_FALSE(out.hit);
    EXPECT_EQ(none.transcript(), "Внимание:|Обpазец: \"nothing\" не найден\n");
}

TEST(DesignerCommands, SaveNamesAndClearingRightOfTheForm) {
    using designercmd::withRptExtension;
    using designercmd::withXlsExtension;
    EXPECT_EQ(withRptExtension("/a/form"), "/a/form.rpt");
    EXPECT_EQ(withRptExtension("/a/FORM.RPT"), "/a/FORM.RPT");
    EXPECT_EQ(withRptExtension("/a/formrpt"), "/a/formrpt") << "the name ends in RPT";
    EXPECT_EQ(withXlsExtension("/a/form"), "/a/form.xls");
    EXPECT_EQ(withXlsExtension("/a/form.XLS"), "/a/form.XLS");
    EXPECT_EQ(withXlsExtension("/a/form.rpt"), "/a/form.rpt.xls");

    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(4);
    s.setMaxRow(3);
    s.setText(4, 5, "below and right");
    s.setText(5, 5, "two below");
    s.setText(1, 4, "form");
    s.setText(1, 101, "far");
    s.setNumber(1, designer::kHeightCol, 300);
    designercmd::clearRightOfForm(s);
    EXPECT_EQ(s.text(4, 5), "");
    EXPECT_EQ(s.text(5, 5), "two below");
    EXPECT_EQ(s.text(1, 4), "form");
    EXPECT_EQ(s.text(1, 101), "far");
    EXPECT_EQ(s.number(1, designer::kHeightCol), 300);
}

TEST(DesignerCommands, WholeRowsAndColumnsKeepTheHeightColumn) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(4);
    s.setMaxRow(4);
    s.setText(1, 3, "C");
    s.setNumber(2, designer::kHeightCol, 400);
    s.setSelection({1, 2, kMaxRows, 2});
    EXPECT_TRUE(designercmd::insertRowOrCol(s));
    EXPECT_EQ(s.maxCol(), 5);
    EXPECT_EQ(s.text(1, 4), "C");
    EXPECT_EQ(s.number(2, designer::kHeightCol), 400) << "the height column stays at 255";
    EXPECT_TRUE(designercmd::deleteSelectedRowsOrCols(s));
    EXPECT_EQ(s.maxCol(), 4);
    EXPECT_EQ(s.text(1, 3), "C");
    EXPECT_EQ(s.number(2, designer::kHeightCol), 400) << "and stays there after a deletion";
    s.setSelection({1, 6, kMaxRows, 9});
    EXPECT_FALSE(designercmd::deleteSelectedRowsOrCols(s)) << "right of the object column";
    EXPECT_FALSE(designercmd::insertRowOrCol(s));
    EXPECT_EQ(s.maxCol(), 4);

    s.setSelection({2, 1, 3, kMaxCols});
    EXPECT_TRUE(designercmd::deleteSelectedRowsOrCols(s));
    EXPECT_EQ(s.maxRow(), 2);
    EXPECT_EQ(s.number(2, designer::kHeightCol), 0);
    s.setSelection({1, 1, 1, kMaxCols});
    EXPECT_TRUE(designercmd::insertRowOrCol(s));
    EXPECT_EQ(s.maxRow(), 3);
    EXPECT_EQ(s.text(2, 3), "C");
    s.setSelection({1, 1, 2, 2});
    EXPECT_FALSE(designercmd::insertRowOrCol(s)) << "neither whole rows nor columns";
}

TEST(DesignerCommands, FixedHeightsAndPasteRows) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setRowHeight(2, 500);
    s.setSelection({2, 1, 3, 4});
    EXPECT_FALSE(designercmd::anySelectedRowFixed(s));
    designercmd::fixSelectedRowHeights(s);
    EXPECT_EQ(designer::fixedHeight(s, 2), 500);
    EXPECT_EQ(designer::fixedHeight(s, 3), s.rowHeight(3));
    EXPECT_TRUE(designercmd::anySelectedRowFixed(s));
    designercmd::unfixSelectedRowHeights(s);
    EXPECT_FALSE(designercmd::anySelectedRowFixed(s));

    EXPECT_EQ(designercmd::rowsToInsertForPaste(5, 2), 3);
    EXPECT_EQ(designercmd::rowsToInsertForPaste(2, 5), 0);
    EXPECT_EQ(designercmd::clipboardLines("a\r\nb\r\nc\r\n"), 3);
    EXPECT_EQ(designercmd::clipboardLines("a\tb"), 1);
    EXPECT_EQ(designercmd::clipboardLines(""), 0);
}

TEST(DesignerCommands, DefaultFontOnTheFirstAndOtherSheets) {
    Workbook book;
    book.setDefaultFont("Fixedsys", 10);
    StatementColourer colourer;
    Sheet& first = book.sheet();
    first.setMaxRow(3);
    first.setText(1, 1, "IF A");
    fl::recolour(first, 1, colourer);
    const Color statementColour = first.style(1, 1).font.color;
    ASSERT_TRUE(statementColour == kStatementRed || statementColour == kStatementGray);
    first.setText(2, 2, "cell");
    designercmd::applyDefaultFont(book, "Arial", 12);
    EXPECT_EQ(book.defaultFont().name, "Arial");
    EXPECT_EQ(first.style(1, 1).font.name, "Arial");
    EXPECT_EQ(first.style(1, 1).font.size, 12);
    EXPECT_EQ(first.style(1, 1).font.color, statementColour) << "the colour stays";

    book.setNumSheets(2);
    book.setCurrentSheet(2);
    Sheet& second = book.sheet();
    second.setMaxRow(3);
    second.setMaxCol(3);
    second.editStyle(CellRange::cell(1, 1), [](Style& st) {
        st.font.name = "Courier";
        st.font.size = 9;
    });
    second.editStyle({2, 2, 2, 3}, [](Style& st) {
        st.font.name = "Courier";
        st.font.size = 9;
    });
    second.editStyle(CellRange::cell(2, 3), [](Style& st) { st.font.bold = true; });
    EXPECT_EQ(designercmd::defaultFontOf(book).name, "Courier");
    designercmd::applyDefaultFont(book, "Tahoma", 11);
    EXPECT_EQ(book.defaultFont().name, "Arial") << "only the first sheet sets the workbook's";
    EXPECT_EQ(second.style(1, 1).font.name, "Tahoma");
    EXPECT_EQ(second.style(2, 2).font.name, "Tahoma");
    EXPECT_EQ(second.style(2, 2).font.size, 11);
    EXPECT_EQ(second.style(2, 3).font.name, "Courier") << "bold is not the plain old default";
}

} // namespace
} // namespace fc
