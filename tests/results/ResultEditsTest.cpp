#include "ActionFixture.h"

#include "results/CellActions.h"
#include "results/ResultEdits.h"
#include "results/ResultMenu.h"

namespace fc {
namespace {

struct Edits : test::ActionFixture {
    void SetUp() override {
        ActionFixture::SetUp();
        makeSheet(4, 5);
        editable({3, 4});
    }
};

TEST_F(Edits, TypingEditsOnlyWhereTheAnswerAllows) {
    action(3, "VREK CARD");
    action(4, "{2}VREK CARD|{5}X|");
    struct Case {
        int row, col;
        bool edits;
    } cases[] = {
        {2, 3, true},  // editable column, no action
        {2, 2, false}, // column 2 is not editable
        {1, 3, false}, // the heading row
        {6, 3, false}, // below MaxRow
        {3, 3, false}, // the row's action covers every column
        {4, 3, true},  // the action has segments, none for column 3
        {4, 4, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(edit::typingEdits(session, c.row, c.col), c.edits) << c.row << ":" << c.col;
    }
}

TEST_F(Edits, TheEntryFollowsTheCellsFormat) {
    struct Case {
        const char* format;
        const char* typed;
        const char* entry;
    } cases[] = {
        {"0.00", "12,5", "12.5"}, {"# ##0.00", "1,5,5", "1.5,5"}, {"0", "", "0"},
        {"General", "", ""},      {"General", "12,5", "12,5"},    {"@", "a,b", "a,b"},
        {"0%", "3,5", "3,5"},
    };
    for (const Case& c : cases) {
        sheet.editStyle(CellRange::cell(2, 3), [&](Style& st) { st.numberFormat = c.format; });
        EXPECT_EQ(edit::finalEntry(sheet, 2, 3, c.typed), c.entry) << c.format << " " << c.typed;
    }
}

TEST_F(Edits, AnEditMarksItsRowAndInASavableWindowTheSheet) {
    sheet.editStyle(CellRange::cell(2, 3), [](Style& st) { st.numberFormat = "0.00"; });
    sheet.setNumber(2, 3, 0);
    book.allow().allowInCellEditing = true;
    EXPECT_EQ(edit::startEdit(session, 2, 3, std::nullopt), ""); // "0" starts empty
    EXPECT_EQ(edit::startEdit(session, 2, 3, std::string("7")), "7");
    EXPECT_EQ(edit::endEdit(session, 2, 3, "12,5"), "12.5");
    EXPECT_DOUBLE_EQ(sheet.number(2, 3), 12.5);
    EXPECT_EQ(mark(2), "X");
    EXPECT_EQ(sheetMark(), "");
    EXPECT_FALSE(book.allow().allowInCellEditing);

    savable();
    edit::endEdit(session, 3, 4, "1");
    EXPECT_EQ(mark(3), "X");
    EXPECT_EQ(sheetMark(), "X");
}

TEST_F(Edits, TheOverlayEditorStoresZeroOrEmpties) {
    sheet.editStyle(CellRange::cell(2, 3), [](Style& st) { st.numberFormat = "0.00"; });
    sheet.setNumber(2, 3, 5);
    sheet.setNumber(2, 4, 5);
    edit::commitOverlay(session, 2, 3, "");
    edit::commitOverlay(session, 2, 4, "");
    EXPECT_EQ(sheet.text(2, 3), "0.00");
    EXPECT_FALSE(sheet.cell(2, 4) && sheet.cell(2, 4)->hasContent());
    edit::commitOverlay(session, 3, 4, "x");
    EXPECT_EQ(sheet.text(3, 4), "x");
    EXPECT_EQ(mark(2), "X");
    EXPECT_EQ(mark(3), "X");
}

TEST_F(Edits, FormulasComeBackOnlyForEditsThatEnded) {
    sheet.setFormula(2, 3, "=2*3");
    sheet.setFormula(3, 3, "=4*3");
    edit::startEdit(session, 2, 3, std::nullopt);
    edit::endEdit(session, 2, 3, "1");
    edit::startEdit(session, 3, 3, std::nullopt);
    edit::cancelEdit(session);
    sheet.setNumber(3, 3, 8); // changed otherwise: no edit of it ended
    EXPECT_EQ(edit::restoreFormulas(session), 1);
    EXPECT_EQ(sheet.formula(2, 3), "=2*3");
    EXPECT_DOUBLE_EQ(sheet.number(2, 3), 6);
    EXPECT_DOUBLE_EQ(sheet.number(3, 3), 8);
    // A new answer forgets them.
    session.actions().sheetRead();
    EXPECT_EQ(edit::restoreFormulas(session), 0);
}

// A result of 80 columns: the formula an edit replaces is kept where no data lives, so the
// data of column 78 are untouched, saved and restored alike.
TEST_F(Edits, AWideResultKeepsItsDataWhenFormulasAreKept) {
    makeSheet(3, 80);
    editable({80});
    for (int c = 2; c <= 80; ++c) {
        sheet.setText(2, c, "d" + std::to_string(c));
    }
    sheet.setFormula(2, 80, "=1+2");
    edit::startEdit(session, 2, 80, std::nullopt);
    edit::endEdit(session, 2, 80, "4");
    EXPECT_EQ(sheet.text(2, 78), "d78");
    EXPECT_EQ(sheet.text(4, 78), ""); // below MaxRow: nothing either
    for (int c = 81; c <= 256; ++c) {
        ASSERT_EQ(sheet.text(2, c), c == result::kMarkCol ? "X" : "") << c;
    }
    EXPECT_EQ(edit::restoreFormulas(session), 1);
    EXPECT_EQ(sheet.formula(2, 80), "=1+2");
    EXPECT_EQ(sheet.text(2, 78), "d78");
}

TEST(OverlayFonts, MapToTheProgramsFonts) {
    EXPECT_EQ(edit::overlayFontName("Fixedsys"), "Fixedsys");
    EXPECT_EQ(edit::overlayFontName("MS Sans Serif"), "MS Sans Serif");
    EXPECT_EQ(edit::overlayFontName("system"), "system");
    EXPECT_EQ(edit::overlayFontName("Arial"), "Arial Cyr");
    EXPECT_EQ(edit::overlayFontName("Courier New"), "Courier New Cyr");
    EXPECT_EQ(edit::overlayFontName("Times New Roman"), "FixedSys");
    EXPECT_EQ(edit::overlayFontName("Arial Cyr"), "FixedSys");
}

// ---- the pop-up menu's rules and items

TEST_F(Edits, TheMenuOpensItsItemsWhereTheyMayAct) {
    action(3, "VREK CARD");
    sheet.setSelection(CellRange::cell(2, 3));
    menu::PopupState p = menu::popupState(session, true);
    EXPECT_TRUE(p.copy);
    EXPECT_FALSE(p.paste); // no editable data
    EXPECT_FALSE(p.remove);
    settings.noSave = true;
    EXPECT_FALSE(menu::popupState(session, true).copy);
    savable();
    p = menu::popupState(session, true);
    EXPECT_TRUE(p.copy); // editable data copy whatever ";NON_SAVE" says
    EXPECT_TRUE(p.remove);
    EXPECT_EQ(p.paste, menu::copied());
    menu::noteCopy();
    EXPECT_TRUE(menu::popupState(session, true).paste);
    sheet.setSelection(CellRange::cell(2, 2)); // a column that is not editable
    EXPECT_FALSE(menu::popupState(session, true).remove);
    sheet.setSelection(CellRange::cell(3, 3)); // the row's action covers its columns
    EXPECT_FALSE(menu::popupState(session, true).paste);
    p = menu::popupState(session, false);
    EXPECT_FALSE(p.editItems);
    EXPECT_FALSE(p.hideColumn);

    // ";ALLOWPOP=": the server's items only within that column.
    settings.popupAllowance = 3;
    EXPECT_TRUE(menu::popupState(session, true).serverItems);
    sheet.setSelection({2, 3, 4, 4});
    EXPECT_FALSE(menu::popupState(session, true).serverItems);
}

TEST_F(Edits, PasteAndDeleteStayInTheEditableCells) {
    savable();
    action(4, "VREK CARD");
    sheet.setText(2, 2, "keep");
    sheet.setSelection({2, 2, 2, 2});
    EXPECT_EQ(menu::pasteValues(session, "a\t1,5\t7\r\nb\tc\td\r\ne\tf\tg\r\nh\ti\tj\r\n"), 3);
    EXPECT_EQ(sheet.text(2, 2), "keep");
    EXPECT_EQ(sheet.text(2, 3), "1,5");
    EXPECT_DOUBLE_EQ(sheet.number(2, 4), 7);
    EXPECT_EQ(sheet.text(3, 3), "c");
    EXPECT_EQ(sheet.text(4, 3), ""); // the row's action keeps it out
    EXPECT_EQ(sheet.text(5, 3), "i");
    EXPECT_EQ(mark(2) + mark(3) + mark(4) + mark(5), "XXX");
    EXPECT_EQ(sheetMark(), "X");

    sheet.setSelectionRanges({{1, 2, 3, 5}}, {1, 2});
    EXPECT_EQ(menu::clearSelection(session), 2);
    EXPECT_EQ(sheet.text(2, 2), "keep");
    EXPECT_EQ(sheet.text(3, 3), "");
    EXPECT_EQ(sheet.text(5, 3), "i");
}

TEST_F(Edits, ServerItemsFillTheSelectedDataCells) {
    EXPECT_EQ(menu::itemValue(w(" Оплачено - {paid} ")), w("Оплачено"));
    EXPECT_EQ(menu::itemValue(w("Долг-")), w("Долг"));
    EXPECT_EQ(menu::itemValue("{x}"), "");
    sheet.setText(1, 4, w("Статус"));
    sheet.setSelectionRanges({{1, 4, 3, 4}, {5, 2, 5, 2}}, {1, 4});
    EXPECT_EQ(menu::writeServerItem(session, w("Оплачено {1}")), 3);
    EXPECT_EQ(sheet.text(1, 4), w("Статус")); // the heading stays
    EXPECT_EQ(sheet.text(2, 4), w("Оплачено"));
    EXPECT_EQ(sheet.text(5, 2), w("Оплачено"));
    EXPECT_EQ(mark(2) + mark(3) + mark(5), "XXX");
    // A whole column writes within MaxRow only.
    sheet.setSelection({1, 5, kMaxRows, 5});
    EXPECT_EQ(menu::writeServerItem(session, "z"), 4);
    EXPECT_EQ(sheet.text(6, 5), "");
    menu::hideColumn(session);
    EXPECT_TRUE(sheet.colHidden(5));
}

} // namespace
} // namespace fc
