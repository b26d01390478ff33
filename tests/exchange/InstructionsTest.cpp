#include "AnswerFixture.h"

#include "components/model/Sheet.h"
#include "exchange/ResultRows.h"
#include "exchange/ServiceInstructions.h"
#include "exchange/TableResultReader.h"

#include <QDir>
#include <QFile>

#include <functional>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::AnswerFixture;
using test::dos;
using test::u8;

void readLines(AnswerFixture& fx, const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& l : lines) {
        bytes += dos(l) + "\r\n";
    }
    fx.setAnswer(bytes);
    read_table(fx.ctx, "x.out");
}

struct InstructionCase {
    const char* name;
    std::vector<std::string> lines;
    std::function<void(AnswerFixture&)> check;
};

class InstructionTest : public ::testing::TestWithParam<InstructionCase> {};

TEST_P(InstructionTest, HasItsEffect) {
    AnswerFixture fx;
    fx.settings.caption = w("Оборот: старый");
    readLines(fx, GetParam().lines);
    GetParam().check(fx);
}

const Sheet& sheet(AnswerFixture& fx) { return fx.book.sheet(1); }

const InstructionCase kInstructions[] = {
    {"maxcol", {";MAXCOL=12.4"}, [](AnswerFixture& fx) { EXPECT_EQ(sheet(fx).maxCol(), 12); }},
    {"colw",
     {";COLW[3 ]=2560", "&&", "&03x|0000lb"},
     [](AnswerFixture& fx) { EXPECT_EQ(sheet(fx).colWidth(3), 2560); }},
    {"colh",
     {";colh[4]"},
     [](AnswerFixture& fx) {
         EXPECT_TRUE(sheet(fx).colHidden(4));
         EXPECT_EQ(fx.settings.hiddenColumns, std::vector<int>{4});
     }},
    {"fix",
     {";FIX=03"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(sheet(fx).fixedRows(), 3);
         EXPECT_EQ(sheet(fx).fixedRow(), 1);
     }},
    {"fix0",
     {";FIX0=02", ";FIX=01"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(sheet(fx).fixedRow(), 2);
         EXPECT_EQ(sheet(fx).fixedRows(), 1);
     }},
    {"fixcol", {";FIXCOL=02"}, [](AnswerFixture& fx) { EXPECT_EQ(sheet(fx).fixedCols(), 2); }},
    {"fzag", {";FZAG=04"}, [](AnswerFixture& fx) { EXPECT_EQ(fx.settings.headerRows, 4); }},
    {"totTwoDigits",
     {";TOT=05", ";TOT=xx"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.totalsColumns, std::vector<int>{5});
         EXPECT_TRUE(fx.settings.totals);
     }},
    {"totThreeDigitsAfterCol3",
     {";COL3", ";TOT=105"},
     [](AnswerFixture& fx) { EXPECT_EQ(fx.settings.totalsColumns, std::vector<int>{105}); }},
    {"subtitleGoesBeforeTheCaption",
     {";SP=Сальдо"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(u8(fx.settings.subtitle), "Сальдо");
         EXPECT_EQ(u8(fx.settings.caption), "Сальдо: Оборот");
         EXPECT_TRUE(fx.world.closed.empty());
     }},
    {"kursor",
     {";KURSOR"},
     [](AnswerFixture& fx) {
         EXPECT_TRUE(fx.settings.cursor);
         EXPECT_EQ(fx.settings.savedPointer, 1);
     }},
    {"editAllColumns",
     {";MAXCOL=4", ";EDIT"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.editColumns, (std::vector<int>{2, 3, 4}));
         EXPECT_TRUE(fx.settings.editable);
         EXPECT_TRUE(fx.settings.editAll);
     }},
    {"editOneColumn",
     {";EDIT=3"},
     [](AnswerFixture& fx) { EXPECT_EQ(fx.settings.editColumns, std::vector<int>{3}); }},
    {"printSettings",
     {";LAND", ";COLOR", ";LEFT=12.25", ";TOP=24.5", ";BOTTOM=x", ";PRINTAREA=$A$1:$C$9",
      ";PTITLES=$1:$2", ";HEADER=Шапка"},
     [](AnswerFixture& fx) {
         const PrintSettings& p = sheet(fx).print();
         EXPECT_TRUE(p.landscape);
         EXPECT_FALSE(p.noColor);
         EXPECT_DOUBLE_EQ(p.leftMargin, 0.5);
         EXPECT_DOUBLE_EQ(p.topMargin, 1.0);
         EXPECT_DOUBLE_EQ(p.bottomMargin, 0.75); // unreadable: the result default stays
         EXPECT_EQ(p.area, "$A$1:$C$9");
         EXPECT_EQ(p.titles, "$1:$2");
         EXPECT_EQ(u8(p.header), "Шапка");
     }},
    {"pageFooter",
     {";PAGE=из 5  "},
     [](AnswerFixture& fx) { EXPECT_EQ(u8(sheet(fx).print().footer), "Стpаница &P  из 5"); }},
    {"footer",
     {";FOOTER=Подвал"},
     [](AnswerFixture& fx) { EXPECT_EQ(u8(sheet(fx).print().footer), "Подвал"); }},
    {"noSaveNoPrint",
     {";NON_SAVE", ";non_print"},
     [](AnswerFixture& fx) {
         EXPECT_TRUE(fx.settings.noSave);
         EXPECT_TRUE(fx.settings.noPrint);
         EXPECT_EQ(fx.world.menuUpdates, 2);
     }},
    {"pageBreakAtTheCurrentRow",
     {";PBK", "one", "two", ";PBK", "three"},
     [](AnswerFixture& fx) {
         EXPECT_TRUE(sheet(fx).rowPageBreak(2));
         EXPECT_FALSE(sheet(fx).rowPageBreak(1)); // before any row: nowhere
         EXPECT_FALSE(sheet(fx).rowPageBreak(3));
     }},
    {"columnFormat",
     {";FORMAT[3]=0.00", "&&", "&03 1.5|0000rb", "&&", "&03 2|0000rb|0"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(sheet(fx).style(1, 3).numberFormat, "0.00");
         EXPECT_EQ(sheet(fx).style(2, 3).numberFormat, "0");
     }},
    {"autoWidth",
     {";AUTOW[2]", ";AUTOW[5:3]"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.autoWidth, (std::vector<std::pair<int, int>>{{2, 2}, {3, 5}}));
     }},
    {"rowPattern",
     {";SETPAT=0312"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.rowPattern, std::make_pair(3, 12));
         EXPECT_FALSE(sheet(fx).print().noColor);
     }},
    {"saveWithButton",
     {";SAVE=W SAVEDOC [2,x,5]"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.saveInstruction, "W SAVEDOC");
         EXPECT_EQ(fx.settings.saveColumns, (std::vector<std::optional<int>>{2, std::nullopt, 5}));
         EXPECT_TRUE(fx.settings.saveButton);
     }},
    {"saveWithoutButton",
     {";SAVEBTN=W X[3]"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.saveInstruction, "W X");
         EXPECT_FALSE(fx.settings.saveButton);
     }},
    {"displayParts",
     {";DP", ";DP2", ";DP5", ";DP9"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.displayParts,
                   (std::array<bool, 5>{false, true, false, false, true}));
     }},
    {"windowFlags",
     {";RESTART_CLOSE", ";PARENT_RERUN", ";MODAL_RESULT", ";IND_RERUN", ";NO_ARGS", ";AUTOALWAYS",
      ";AUTOSAVE", ";ALLOW_PASTE", ";NO_CALENDAR", ";DO_NOTBOLD", ";INDEX=abc", ";PT=1", ";TOT_4"},
     [](AnswerFixture& fx) {
         const ReportSettings& s = fx.settings;
         EXPECT_TRUE(s.restartClose && s.parentRerun && s.modalResult && s.indexRerun && s.noArgs &&
                     s.autoAlways && s.autoSave && s.allowPaste && s.noCalendar && s.doNotBold);
         EXPECT_EQ(s.index, "abc");
         EXPECT_EQ(fx.world.menuUpdates, 1);
     }},
    {"positionByRow",
     {";POS=12:3"},
     [](AnswerFixture& fx) {
         EXPECT_TRUE(fx.settings.positionSet);
         EXPECT_EQ(fx.settings.positionRow, 12);
         EXPECT_EQ(fx.settings.positionCol, 3);
     }},
    {"positionByQuotedKey",
     {";POS=\"б:в\":4", "&&", "&02а|0000lb", "&&", "&02б:в|0000lb"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(u8(fx.settings.positionKeyWanted), "б:в");
         EXPECT_EQ(fx.settings.positionRow, 2);
         EXPECT_EQ(fx.settings.positionCol, 4);
     }},
    {"positionByPlainKey",
     {";POS=а:x", "&&", "&02а|0000lb"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.positionRow, 1);
         EXPECT_EQ(fx.settings.positionCol, 0);
     }},
    {"autoRerun",
     {";AUTORERUN=3000,R SALDO"},
     [](AnswerFixture& fx) {
         EXPECT_TRUE(fx.settings.autoRerun);
         EXPECT_EQ(fx.settings.autoRerunMs, 3000);
         EXPECT_EQ(fx.settings.autoRerunText, "R SALDO");
     }},
    {"autoRerunUnreadable",
     {";AUTORERUN=soon"},
     [](AnswerFixture& fx) { EXPECT_FALSE(fx.settings.autoRerun); }},
    {"autoMessage",
     {";AUTOMSG=[Итог]Готово"},
     [](AnswerFixture& fx) {
         ASSERT_EQ(fx.world.messages.size(), 1u);
         EXPECT_EQ(u8(fx.world.messages[0]), "[Итог]Готово");
     }},
    {"sortKeys",
     {";SORT1=2", ";SORT2=-3", ";SORT3=abc"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.sortKeys, (std::array<int, 3>{2, -3, 0}));
     }},
    {"filterLists",
     {";FILTR", "Счет", "2", "301·Касса", ";FEND", "row"},
     [](AnswerFixture& fx) {
         ASSERT_TRUE(fx.settings.filterList);
         EXPECT_EQ(u8(fx.settings.filterList->caption), "Счет");
         EXPECT_EQ(fx.settings.filterList->column, "2");
         ASSERT_EQ(fx.settings.filterList->values.size(), 1u);
         EXPECT_EQ(u8(fx.settings.filterList->values[0]), "301·Касса");
         EXPECT_EQ(fx.text(1, 1), "row");
     }},
    {"objectBlocksAreKeptForPlacement",
     {";TABLE First", ";NOBJECTS[", "0A0B", ";]OBJECTS", ";TABLE Second", ";OBJECTS[", " 65 66",
      ";]O", "row"},
     [](AnswerFixture& fx) {
         EXPECT_TRUE(fx.settings.hasObjects);
         // One block a sheet, found by the sheet's number.
         ASSERT_EQ(fx.settings.objectBlocks.size(), 2u);
         EXPECT_TRUE(fx.settings.objectBlocks[0].encoded);
         EXPECT_EQ(fx.settings.objectBlocks[0].bytes, "\x0A\x0B");
         EXPECT_FALSE(fx.settings.objectBlocks[1].encoded);
         EXPECT_EQ(fx.settings.objectBlocks[1].bytes, "AB");
         EXPECT_EQ(fx.text(1, 1, 2), "row");
     }},
    {"objectPlacement",
     {";MAXCOL=3", "&&", ";OBJ=1.00|2.00|0.00|1.00|1|7|["},
     // Placed when the sheet is finished (no object block here to take it from); the record
     // leaves the column, a sort helper.
     [](AnswerFixture& fx) {
         EXPECT_TRUE(fx.settings.hasObjects);
         EXPECT_EQ(fx.text(1, 4), "");
     }},
    {"mailAndPrinters",
     {";EMAIL= buh@firma.ua ", ";PRNNUMBER= 17 ", ";PDF_PRINTER=\\\\srv\\pdf"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.email, "buh@firma.ua");
         EXPECT_EQ(fx.settings.printId, "17");
         EXPECT_EQ(fx.settings.pdfPrinter, "\\\\srv\\pdf");
     }},
    {"run",
     {";RUN=notepad.exe отчет.txt"},
     [](AnswerFixture& fx) {
         ASSERT_EQ(fx.world.runs.size(), 1u);
         EXPECT_EQ(u8(fx.world.runs[0]), "notepad.exe отчет.txt");
     }},
    {"saveFilesTakeTenPlaces",
     {";FSAVE[a1.txt]=2", ";FSAVE[a2.txt]=x", ";FSAVE[a3]=3", ";FSAVE[a4]=3", ";FSAVE[a5]=3",
      ";FSAVE[a6]=3", ";FSAVE[a7]=3", ";FSAVE[a8]=3", ";FSAVE[a9]=3", ";FSAVE[a10]=3",
      ";FSAVE[a11]=3"},
     [](AnswerFixture& fx) {
         ASSERT_EQ(fx.settings.saveFiles.size(), 10u);
         EXPECT_EQ(fx.settings.saveFiles[0].name, "a1.txt");
         EXPECT_EQ(fx.settings.saveFiles[0].column, 2);
         EXPECT_FALSE(fx.settings.saveFiles[1].column);
         EXPECT_EQ(fx.settings.saveFiles[9].name, "a10");
     }},
    {"listBox",
     {";LISTBOX[Список]", "один", "два", ";ENDLIST", "row"},
     [](AnswerFixture& fx) {
         ASSERT_EQ(fx.settings.listBoxes.size(), 1u);
         EXPECT_EQ(u8(fx.settings.listBoxes[0].name), "Список");
         ASSERT_EQ(fx.settings.listBoxes[0].items.size(), 2u);
         EXPECT_EQ(u8(fx.settings.listBoxes[0].items[1]), "два");
         EXPECT_EQ(fx.text(1, 1), "row");
     }},
    {"popupItems",
     {";ALLOWPOP=3", ";POPUP=Карточка[;R KART]", ";POPUP=[only]"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.settings.popupAllowance, 3);
         ASSERT_EQ(fx.settings.popupItems.size(), 1u);
         EXPECT_EQ(u8(fx.settings.popupItems[0]), "Карточка");
         EXPECT_EQ(fx.settings.popupReport, "only"); // the last bracket names the menu report
     }},
    {"popupMenuReport",
     {";POPUP= [ СТАТУС %2 ", ";POPUP=Оплачено {1}"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(u8(fx.settings.popupReport), "СТАТУС %2"); // an unclosed bracket: to the end
         ASSERT_EQ(fx.settings.popupItems.size(), 1u);
         EXPECT_EQ(u8(fx.settings.popupItems[0]), "Оплачено {1}");
     }},
    {"unknownInstructionIsIgnored",
     {";WHATEVER=1", ";CACHE=x", "row"},
     [](AnswerFixture& fx) {
         EXPECT_EQ(fx.text(1, 1), "row");
         EXPECT_EQ(fx.settings.windowCache, "");
         EXPECT_EQ(fx.messages(), "");
     }},
};

INSTANTIATE_TEST_SUITE_P(Table, InstructionTest, ::testing::ValuesIn(kInstructions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Instructions, LongerInstructionsAreNeverTakenForShorterOnes) {
    const std::string keys = ServiceInstructions::keys();
    auto before = [&](const char* a, const char* b) {
        return keys.find(std::string(a) + " ") < keys.find(std::string(b) + " ");
    };
    EXPECT_TRUE(before(";EDIT!", ";EDIT="));
    EXPECT_TRUE(before(";DP!", ";DP"));
    EXPECT_TRUE(before(";OBJECTS[", ";OBJECT"));
    EXPECT_TRUE(before(";MAXCOL=", ";TOT_4"));
}

TEST(Instructions, ListBoxLinesAreKeptForThePlacedListBox) {
    AnswerFixture fx;
    readLines(fx, {";LISTBOX[Счета]", "301", "361", ";ENDLIST", "after"});
    ASSERT_EQ(fx.settings.listBoxes.size(), 1u);
    EXPECT_EQ(u8(fx.settings.listBoxes[0].name), "Счета");
    EXPECT_EQ(fx.settings.listBoxes[0].items, (std::vector<std::string>{"301", "361"}));
    EXPECT_EQ(fx.text(1, 1), "after");
}

TEST(Instructions, ExclusiveRunClosesTheOtherCopyOfTheReport) {
    AnswerFixture fx;
    fx.settings.caption = w("Отчет");
    fx.settings.exclusive = true;
    fx.settings.mainCaption = "Main";
    readLines(fx, {";SP=Сальдо"});
    ASSERT_EQ(fx.world.closed.size(), 1u);
    EXPECT_EQ(u8(fx.world.closed[0]), "Main - [Сальдо: Отчет]");
}

TEST(OutsideFilesTest, CreatePrintAndCloseInBothCodePages) {
    AnswerFixture fx;
    readLines(fx, {";FILECREATE[1]=out1.txt", ";FileCreate[2,DOS]=out2.txt", ";PRINTSTR[1]=Текст",
                   ";PRINTSTR[2]=Текст", ";FILECLOSE[1]", ";FILECLOSE[2]", ";PRINTSTR[1]=late"});
    EXPECT_EQ(fx.fileText("out1.txt"), w("Текст") + "\r\n");
    EXPECT_EQ(fx.fileText("out2.txt"), dos("Текст") + "\r\n");
    EXPECT_EQ(fx.messages(), "Ошибка:|Не открыт файл для записи!\n");
}

TEST(OutsideFilesTest, OpenAppendsAndFilesStayOpenBetweenAnswers) {
    AnswerFixture fx;
    fx.writeFile("log.txt", "old\r\n");
    readLines(fx, {";FILEOPEN[3]=log.txt", ";PRINTSTR[3]=one"});
    readLines(fx, {";PRINTSTR[3]=two", ";FILECLOSE[3]"});
    EXPECT_EQ(fx.fileText("log.txt"), "old\r\none\r\ntwo\r\n");
}

struct BadIndexCase {
    const char* name;
    const char* line;
    const char* message;
};

class BadIndexTest : public ::testing::TestWithParam<BadIndexCase> {};

TEST_P(BadIndexTest, IsReportedAndWritesNothing) {
    AnswerFixture fx;
    readLines(fx, {";FILECREATE[1]=ok.txt", GetParam().line, ";FILECLOSE[1]"});
    EXPECT_EQ(fx.messages(), std::string("Ошибка:|") + GetParam().message + "\n");
    EXPECT_EQ(fx.fileText("ok.txt"), "");
    EXPECT_EQ(fx.fileText("bad.txt"), "<missing>");
}

INSTANTIATE_TEST_SUITE_P(
    Indices, BadIndexTest,
    ::testing::Values(BadIndexCase{"printstr12", ";PRINTSTR[12]=x",
                                   "Неправильно указан индекс файла в ;PrintStr !"},
                      BadIndexCase{"create11", ";FILECREATE[11]=bad.txt",
                                   "Неправильно указан индекс файла в FileCreate !"},
                      BadIndexCase{"create0", ";FILECREATE[0]=bad.txt",
                                   "Неправильно указан индекс файла в FileCreate !"},
                      BadIndexCase{"open99", ";FILEOPEN[99]=bad.txt",
                                   "Неправильно указан индекс файла в FileOpen !"},
                      BadIndexCase{"close11", ";FILECLOSE[11]",
                                   "Неправильно указан индекс файла в FileClose !"},
                      BadIndexCase{"missingDirectory", ";FILECREATE[2]=nodir/bad.txt",
                                   "Не могу создать файл nodir/bad.txt"},
                      BadIndexCase{"openMissingDirectory", ";FILEOPEN[2]=nodir/bad.txt",
                                   "Не могу открыть файл nodir/bad.txt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutsideFilesTest, UnreadableIndexCountsAsOne) {
    AnswerFixture fx;
    readLines(fx, {";FILECREATE[x]=one.txt", ";PRINTSTR[1]=a", ";FILECLOSE[1]"});
    EXPECT_EQ(fx.fileText("one.txt"), "a\r\n");
}

TEST(OutsideFilesTest, DeleteAndRenameTouchOnlyTheNamedFiles) {
    AnswerFixture fx;
    fx.writeFile("gone.txt", "x");
    fx.writeFile("old.txt", "old");
    fx.writeFile("new.txt", "new");
    fx.writeFile("keep.txt", "keep");
    readLines(fx,
              {";DELETEFILE[gone.txt]", ";DELETEFILE[absent.txt]", ";RENAMEFILE[old.txt,new.txt]"});
    EXPECT_EQ(fx.fileText("gone.txt"), "<missing>");
    EXPECT_EQ(fx.fileText("old.txt"), "<missing>");
    EXPECT_EQ(fx.fileText("new.txt"), "old");
    EXPECT_EQ(fx.messages(), "");

    // A missing source leaves the target as it was.
    readLines(fx, {";RENAMEFILE[absent.txt, keep.txt]"});
    EXPECT_EQ(fx.fileText("keep.txt"), "keep");
    EXPECT_EQ(fx.messages(),
              "Ошибка|Невозможно переименовать файл \"absent.txt\" в \"keep.txt\"!\n");
    EXPECT_EQ(QDir(fx.dir.path()).entryList(QDir::Files).size(), 2);
}

TEST(ArgumentFile, WrittenWholeWithItsLinesAsSent) {
    AnswerFixture fx;
    readLines(fx, {";ARGS=SALDO.arg", ";ARG=301 Касса *", ";ARG=[VREK KART %2] Карточка",
                   ";CLOSEARGS", ";ARG=late"});
    EXPECT_EQ(fx.settings.argumentFile, "SALDO.arg");
    EXPECT_EQ(fx.fileText("SALDO.arg"), dos("301 Касса *\r\n[VREK KART %2] Карточка\r\n"));
}

TEST(ArgumentFile, TreeModeAndAFileLeftOpenByTheAnswer) {
    AnswerFixture fx;
    readLines(fx, {";ARGS_TREE[150:3]=T.arg", ";ARG=1 one"});
    EXPECT_TRUE(fx.settings.argumentTree);
    EXPECT_EQ(fx.settings.treeWidth, 150);
    EXPECT_EQ(fx.settings.treeColumn, 3);
    EXPECT_EQ(fx.fileText("T.arg"), "1 one\r\n");
}

TEST(ArgumentFile, MissingDirectoryIsReported) {
    AnswerFixture fx;
    readLines(fx, {";ARGS=nodir/T.arg", ";ARG=1 one", ";CLOSEARGS"});
    EXPECT_EQ(fx.messages(), "Ошибка:|Не могу создать файл nodir/T.arg\n");
    EXPECT_EQ(fx.settings.argumentFile, "");
}

TEST(Picture, HexadecimalTextBecomesTheNamedFile) {
    AnswerFixture fx;
    readLines(fx, {";PICTURE=logo.bmp", "424D00FF", "7f", ";]O", "row"});
    EXPECT_EQ(fx.fileText("logo.bmp"), std::string("BM\0\xFF\x7F", 5));
    EXPECT_EQ(fx.settings.picturesWritten, std::vector<std::string>{"logo.bmp"});
    EXPECT_EQ(fx.text(1, 1), "row");
}

} // namespace
} // namespace fc
