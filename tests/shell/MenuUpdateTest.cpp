#include "shell/MenuUpdate.h"

#include "components/model/Workbook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace fc {
namespace {

using Names = std::set<std::string>;

const Names kSave = {"FileSaveItem", "SpeedButton2"};
const Names kPrint = {"N3", "SpeedButton3", "pPreview"};
const Names kDesigner = {"CutItem", "CopyItem", "PasteItem",    "p6",    "p12",  "p13",
                         "Edit1",   "N11",      "SpeedButton6", "N7",    "p2_",  "SpeedButton5",
                         "MaxCol1", "p11",      "p7",           "N8",    "N4",   "Undo1",
                         "ReDo1",   "extd",     "N5",           "RxB11", "RxB13"};
const Names kReport = {"SendMail", "pp2", "N9", "p1", "p2", "StatusBar1"};
const Names kChildren = {"p3",
                         "WindowCascadeItem",
                         "WindowTileItem",
                         "WindowArrangeItem",
                         "WindowMinimizeItem",
                         "ppp1",
                         "Options1",
                         "p4"};

Names unite(std::initializer_list<Names> parts) {
    Names out;
    for (const Names& p : parts) {
        out.insert(p.begin(), p.end());
    }
    return out;
}

struct MenuCase {
    const char* name;
    MenuContext context;
    Names enabled; // every other governed name must be disabled
};

class MenuUpdateTable : public ::testing::TestWithParam<MenuCase> {};

TEST_P(MenuUpdateTable, EnablesExactlyTheGroupsOfTheContext) {
    const MenuCase& c = GetParam();
    std::vector<CommandEnabled> states = updateMenuItems(c.context);
    Names governed;
    for (const CommandEnabled& s : states) {
        std::string name(s.name);
        EXPECT_TRUE(governed.insert(name).second) << name << " listed twice";
        EXPECT_EQ(s.enabled, c.enabled.count(name) == 1) << name;
    }
    for (const std::string& n : c.enabled) {
        EXPECT_EQ(governed.count(n), 1u) << n << " is not governed by the menu update";
    }
    // Items the update never enables.
    for (const char* never : {"p1_", "SpeedButton4", "RxB12"}) {
        EXPECT_EQ(governed.count(never), 1u) << never;
    }
}

MenuContext ctx(int children, ChildKind kind, bool noSave = false, bool noPrint = false,
                bool extd = false) {
    MenuContext c;
    c.childCount = children;
    c.active = kind;
    c.noSave = noSave;
    c.noPrint = noPrint;
    c.extdDown = extd;
    return c;
}

const Names kPdf = {"pPdf"};
const Names kTurbo = {"Turbo"};

INSTANTIATE_TEST_SUITE_P(
    Contexts, MenuUpdateTable,
    ::testing::Values(
        MenuCase{"NoChild", ctx(0, ChildKind::Other), {}},
        // A designer: no report commands, whatever the flags of an earlier report.
        MenuCase{"Designer", ctx(1, ChildKind::Designer),
                 unite({kSave, kPrint, kDesigner, kChildren})},
        MenuCase{"DesignerWithTurboDown", ctx(2, ChildKind::Designer, false, false, true),
                 unite({kSave, kPrint, kDesigner, kChildren, kTurbo})},
        MenuCase{"Report", ctx(1, ChildKind::Report),
                 unite({kSave, kPrint, kReport, kChildren, kPdf})},
        MenuCase{"ReportNoSave", ctx(1, ChildKind::Report, true, false),
                 unite({kPrint, kReport, kChildren, kPdf})},
        MenuCase{"ReportNoPrint", ctx(1, ChildKind::Report, false, true),
                 unite({kSave, kReport, kChildren})},
        MenuCase{"ReportNoSaveNoPrint", ctx(3, ChildKind::Report, true, true),
                 unite({kReport, kChildren})},
        // Children that are neither (the active one is another kind of window).
        MenuCase{"OtherChild", ctx(1, ChildKind::Other), unite({kSave, kPrint, kChildren})},
        // A stale kind without children enables nothing.
        MenuCase{"KindWithoutChildren", ctx(0, ChildKind::Designer), {}}),
    [](const ::testing::TestParamInfo<MenuCase>& info) { return std::string(info.param.name); });

TEST(MenuUpdate, HidesTheHiddenItems) {
    const auto& hidden = hiddenMenuItems();
    EXPECT_EQ(std::vector<std::string_view>(hidden.begin(), hidden.end()),
              (std::vector<std::string_view>{"pExcel1", "N16"}));
}

struct NarrowCase {
    const char* name;
    CellRange selection;
    int sheets;
    bool rowColumnOps;
    bool deleteSheet;
};

class EditMenuNarrowingTable : public ::testing::TestWithParam<NarrowCase> {};

TEST_P(EditMenuNarrowingTable, FollowsSelectionAndSheetCount) {
    const NarrowCase& c = GetParam();
    Workbook book;
    book.setNumSheets(c.sheets);
    book.sheet().setSelection(c.selection);
    EditMenuNarrowing n = narrowEditMenu(book);
    EXPECT_EQ(n.rowColumnOps, c.rowColumnOps);
    EXPECT_EQ(n.deleteSheet, c.deleteSheet);
}

INSTANTIATE_TEST_SUITE_P(
    Selections, EditMenuNarrowingTable,
    ::testing::Values(NarrowCase{"OneCell", {3, 3, 3, 3}, 1, false, false},
                      NarrowCase{"WholeColumns", {1, 2, kMaxRows, 4}, 1, true, false},
                      NarrowCase{"WholeRows", {5, 1, 7, kMaxCols}, 2, true, true},
                      NarrowCase{"AllCells", {1, 1, kMaxRows, kMaxCols}, 1, true, false},
                      NarrowCase{"ColumnsCutShort", {2, 2, kMaxRows, 4}, 1, false, false},
                      NarrowCase{"RowsCutShort", {5, 1, 7, kMaxCols - 1}, 3, false, true}),
    [](const ::testing::TestParamInfo<NarrowCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace fc
