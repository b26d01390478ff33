#include "shell/DesignerSheetOps.h"

#include "components/model/Workbook.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

// Names the sheets so that a test sees where each one went.
std::string sheetNames(const Workbook& book) {
    std::string out;
    for (int i = 1; i <= book.numSheets(); ++i) {
        out += (i > 1 ? "," : "") + book.sheet(i).name();
    }
    return out;
}

struct DesignerSheets : ::testing::Test {
    Workbook book;
    void SetUp() override {
        book.setNumSheets(3);
        for (int i = 1; i <= 3; ++i) {
            book.sheet(i).setName("S" + std::to_string(i));
        }
        book.setCurrentSheet(2);
    }
};

TEST_F(DesignerSheets, AddPutsTheNewSheetLastAndCurrentWithTabs) {
    addDesignerSheet(book);
    EXPECT_EQ(book.numSheets(), 4);
    EXPECT_EQ(book.currentSheet(), 4);
    EXPECT_EQ(sheetNames(book).rfind("S1,S2,S3,", 0), 0u) << sheetNames(book);
    EXPECT_TRUE(book.view().showTabs);
}

TEST_F(DesignerSheets, InsertPutsTheNewSheetBeforeTheCurrentOne) {
    insertDesignerSheet(book);
    EXPECT_EQ(book.numSheets(), 4);
    EXPECT_EQ(book.currentSheet(), 2);
    EXPECT_EQ(book.sheet(1).name(), "S1");
    EXPECT_EQ(book.sheet(3).name(), "S2");
    EXPECT_EQ(book.sheet(4).name(), "S3");
    EXPECT_TRUE(book.view().showTabs);
}

TEST_F(DesignerSheets, DeleteRemovesTheCurrentSheetButNeverTheLastOne) {
    EXPECT_TRUE(deleteDesignerSheet(book));
    EXPECT_EQ(sheetNames(book), "S1,S3");
    EXPECT_TRUE(deleteDesignerSheet(book));
    EXPECT_EQ(book.numSheets(), 1);
    std::string left = sheetNames(book);
    EXPECT_FALSE(deleteDesignerSheet(book));
    EXPECT_EQ(sheetNames(book), left);
}

TEST_F(DesignerSheets, GridIsShownAndPrintedOnEverySheet) {
    setDesignerGrid(book, true);
    EXPECT_TRUE(book.view().showGridLines);
    for (int i = 1; i <= book.numSheets(); ++i) {
        EXPECT_TRUE(book.sheet(i).print().gridLines) << i;
    }
    setDesignerGrid(book, false);
    EXPECT_FALSE(book.view().showGridLines);
    EXPECT_FALSE(book.sheet(3).print().gridLines);
}

TEST_F(DesignerSheets, ScaleSetsTheViewScale) {
    setDesignerScale(book, 75);
    EXPECT_EQ(book.view().viewScale, 75);
}

struct CaptionCase {
    const char* name;
    const char* caption;
    bool down;
    const char* expected;
};

class TurboCaption : public ::testing::TestWithParam<CaptionCase> {};

TEST_P(TurboCaption, MarksTheTurboFormatOnce) {
    const CaptionCase& c = GetParam();
    EXPECT_EQ(turboCaption(c.caption, c.down), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Captions, TurboCaption,
    ::testing::Values(CaptionCase{"DownAppends", "C:\\R\\a.rpt", true, "C:\\R\\a.rpt [ext]"},
                      CaptionCase{"DownKeepsMarked", "a.rpt [ext]", true, "a.rpt [ext]"},
                      CaptionCase{"DownKeepsMarkAnywhere", "a [ext] b", true, "a [ext] b"},
                      CaptionCase{"UpCutsAndTrims", "a.rpt  [ext]", false, "a.rpt"},
                      CaptionCase{"UpCutsWhatFollows", "a.rpt [ext] x", false, "a.rpt"},
                      CaptionCase{"UpWithoutMarkTrims", " a.rpt ", false, "a.rpt"},
                      CaptionCase{"DownOnEmpty", "", true, " [ext]"}),
    [](const ::testing::TestParamInfo<CaptionCase>& info) { return std::string(info.param.name); });

TEST(TurboCaption, DownThenUpGivesTheCaptionBack) {
    for (const char* caption : {"Noname.rpt", "/home/u/отчёт.rpt", "x"}) {
        EXPECT_EQ(turboCaption(turboCaption(caption, true), false), caption);
    }
}

} // namespace
} // namespace fc
