#include "results/ArgumentFile.h"
#include "results/ArgumentBar.h"
#include "results/ArgumentState.h"

#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

namespace fc::args {
namespace {

std::string dos(std::string_view utf8) { return codepage::toDos(w(utf8)); }
std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }

TEST(ArgumentFile, LinesGiveKeysCaptionsAndTheDefaultMark) {
    const std::string file =
        dos("01 Январь\r\n02  Февраль   *  \r\n01|03 Первый квартал\r\n|НДС С НДС\r\n"
            "[VREK REP %3] Отчет по клиенту\r\n[;save]Сохранить\r\n--X Скрытая\r\n"
            "EMPTY\r\n\r\nXX --Скрыта\r\n[unclosed %2\n");
    const std::vector<ArgumentLine> lines = parseArgumentFile(file);
    struct Want {
        const char* key;
        const char* caption;
        bool marked;
    } want[] = {
        {"01", "Январь", false},
        {"02", "Февраль", true},
        {"01|03", "Первый квартал", false},
        {"|НДС", "С НДС", false},
        {"[VREK REP %3]", "Отчет по клиенту", false},
        {"[;save]", "Сохранить", false},
        {"--X", "Скрытая", false},
        {"EMPTY", "", false}, // a button of width 0
        {"", "", false},      // a line without a key keeps its place and its shortcut
        {"XX", "--Скрыта", false},
        {"[unclosed %2", "", false},
    };
    ASSERT_EQ(lines.size(), std::size(want));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(u8(lines[i].key), want[i].key);
        EXPECT_EQ(u8(lines[i].caption), want[i].caption);
        EXPECT_EQ(lines[i].marked, want[i].marked);
    }
}

TEST(ArgumentFile, DamagedFilesGiveWhatTheyCan) {
    // Text ends at a NUL byte; the tail after the last line end is a line only when not empty.
    EXPECT_EQ(parseArgumentFile(std::string("A a\r\nB b\0C c\r\n", 15)).size(), 2u);
    EXPECT_EQ(parseArgumentFile("A a\r\n   \r\n").size(), 2u);
    EXPECT_EQ(parseArgumentFile("").size(), 0u);
    // Binary bytes, CR alone and very long lines do not get in the way.
    std::string binary;
    for (int i = 0; i < 4096; ++i) {
        binary += static_cast<char>(i * 7 % 255 + 1);
    }
    EXPECT_LE(parseArgumentFile(binary).size(), kMaxLines);
    // 200 lines are 200 buttons; more than kMaxLines are cut there.
    std::string many;
    for (int i = 0; i < 200; ++i) {
        many += "K" + std::to_string(i) + " c\r\n";
    }
    EXPECT_EQ(parseArgumentFile(many).size(), 200u);
    EXPECT_EQ(parseArgumentFile(many + many + many + many + many + many).size(), kMaxLines);
}

struct Dirs : ::testing::Test {
    QTemporaryDir tmp;
    std::string cur() const { return tmp.path().toStdString() + "/cur"; }
    std::string srv() const { return tmp.path().toStdString() + "/srv"; }
    void SetUp() override {
        QDir(tmp.path()).mkpath("cur");
        QDir(tmp.path()).mkpath("srv");
    }
    void put(const std::string& path, const std::string& bytes) {
        ASSERT_TRUE(files::writeAtomic(path, bytes));
    }
    std::string read(const std::string& path) { return files::readAll(path).value_or("<none>"); }
};

TEST_F(Dirs, TheFileIsFoundInAnyLetterCaseLocalFirst) {
    EXPECT_EQ(findArgumentFile(cur(), srv(), "SALES"), ""); // no ARGS folder at all
    QDir(QString::fromStdString(srv())).mkpath("args");
    put(srv() + "/args/Sales.ARG", "S server\r\n");
    EXPECT_EQ(findArgumentFile(cur(), srv(), "SALES"), srv() + "/args/Sales.ARG");
    put(cur() + "/SALES.ARG", "L local\r\n");
    EXPECT_EQ(findArgumentFile(cur(), srv(), "SALES"), cur() + "/SALES.ARG");
    const auto lines = readArgumentFile(cur(), srv(), "SALES");
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->front().key, "L");
    EXPECT_FALSE(readArgumentFile(cur(), srv(), "OTHER"));
    EXPECT_FALSE(readArgumentFile(cur(), srv(), ""));
}

TEST_F(Dirs, MarkingTheDefaultRewritesOneFile) {
    put(cur() + "/SALES.ARG", dos("01 Январь *\r\n02 Февраль\r\n\r\n01|03 Квартал\r\n"));
    ASSERT_TRUE(markDefault(cur(), "SALES", "02"));
    EXPECT_EQ(read(cur() + "/SALES.arg"),
              dos("01 Январь\r\n02 Февраль *\r\n\r\n01|03 Квартал\r\n"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(cur() + "/SALES.ARG")));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(cur() + "/SALES.tmp")));
    ASSERT_TRUE(markDefault(cur(), "SALES", "01|03"));
    EXPECT_EQ(read(cur() + "/SALES.arg"),
              dos("01 Январь\r\n02 Февраль\r\n\r\n01|03 Квартал *\r\n"));
    // The server's answer writes SALES.ARG again: the newer file is the one read.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    put(cur() + "/SALES.ARG", "NEW new\r\n");
    EXPECT_EQ(readArgumentFile(cur(), srv(), "SALES")->front().key, "NEW");

    // No file here (it is the server's), a file with NUL bytes: nothing is written.
    EXPECT_FALSE(markDefault(cur(), "OTHER", "01"));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(cur() + "/OTHER.arg")));
    put(cur() + "/BIN.arg", std::string("A a\r\n\0B b\r\n", 11));
    EXPECT_FALSE(markDefault(cur(), "BIN", "A"));
    EXPECT_EQ(read(cur() + "/BIN.arg").size(), 11u);
}

TEST(ArgumentEditor, RowsRoundTripAndLoseNoLine) {
    const std::string file = dos("01 Январь *\r\nEMPTY\r\n[VREK REP %3] Отчет\r\n");
    std::vector<EditorRow> rows = editorRows(file);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(u8(rows[0].caption), "Январь *");
    EXPECT_EQ(u8(rows[0].key), "01");
    EXPECT_EQ(u8(rows[2].key), "[VREK REP %3]");
    EXPECT_EQ(editorFileBytes(rows), file); // a key without a caption stays
    rows.push_back({"", ""});               // empty grid rows give no line
    rows.push_back({w("Хвост"), "T"});
    EXPECT_EQ(editorFileBytes(rows), file + dos("T Хвост\r\n"));
    // Forty lines: all of them come back (the grid grows past its 30 rows).
    std::string forty;
    for (int i = 0; i < 40; ++i) {
        forty += "K" + std::to_string(i) + " c\r\n";
    }
    EXPECT_EQ(editorFileBytes(editorRows(forty)), forty);
    // A NUL byte shows as a blank instead of ending the file.
    EXPECT_EQ(editorRows(std::string("A a\0b\r\nB b\r\n", 12)).size(), 2u);
}

// ---- the state fields

const std::string kHead = "620A0LA_";
std::string fields(const char* first, const char* second) {
    return kHead + text::fit(dos(first), 12) + text::fit(dos(second), 12);
}

TEST(ArgumentState, ChoosingAKeySetsTheFields) {
    struct Case {
        const char* name;
        std::string state;
        const char* key;
        std::string want;
    } cases[] = {
        {"plain keeps the second", fields("01", "НДС"), "02", fields("02", "НДС")},
        {"plain without a second", kHead, "02", kHead + text::fit("02", 12)},
        {"Cyrillic in the DOS code page", kHead, "Счет", kHead + text::fit(dos("Счет"), 12)},
        {"long key cut to 12", kHead, "ABCDEFGHIJKLMNOP", kHead + "ABCDEFGHIJKL"},
        {"pair", fields("01", ""), " 01 | 03 ", fields("01", "03")},
        {"toggle on", fields("02", ""), "|НДС", fields("02", "НДС")},
        {"toggle off", fields("02", "НДС"), "|НДС", fields("02", "")},
        {"toggle clears another second", fields("02", "X"), "|НДС", fields("02", "")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(chosenState(c.state, w(c.key)), c.want);
    }
    // The edge case of the toggle: twice on the same key is back where it was.
    const std::string once = chosenState(fields("05", ""), w("|X"));
    EXPECT_EQ(stateField(once, 2), "X");
    EXPECT_EQ(chosenState(once, w("|X")), fields("05", ""));
}

TEST(ArgumentState, TheDefaultLineSetsTheState) {
    auto lines = [](const char* text) { return parseArgumentFile(dos(text)); };
    EXPECT_EQ(defaultState(fields("X", "Y"), lines("01 a\r\n02 b *\r\n")), kHead + "02");
    EXPECT_EQ(defaultState(kHead, lines("01|03 a *\r\n")), fields("01", "03"));
    EXPECT_EQ(defaultState(kHead, lines("|НДС a *\r\n")), fields("", "НДС"));
    EXPECT_EQ(defaultState(kHead, lines("01 a *\r\n02 b *\r\n")), kHead + "02");
    EXPECT_EQ(defaultState(kHead, lines("[VREK R] a *\r\n")), std::nullopt);
    EXPECT_EQ(defaultState(kHead, lines("01 a\r\n")), std::nullopt);
}

TEST(ArgumentState, MarkersFollowTheFields) {
    struct Case {
        const char* key;
        std::string state;
        bool current, second;
    } cases[] = {
        {"02", fields("02", "НДС"), true, false},
        {"0", fields("02", ""), false, false}, // a key is not a prefix of the field
        {"02", kHead + "02", true, false},     // the unpadded default
        {"01|03", fields("01", "03"), true, false},
        {"01|03", fields("01", ""), false, false},
        {"|НДС", fields("02", "НДС"), false, true},
        {"|НДС", fields("", "НДС"), true, true},
        {"[VREK X]", fields("[VREK", ""), false, false},
        {"", kHead, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const Markers m = markersFor(w(c.key), c.state);
        EXPECT_EQ(m.current, c.current);
        EXPECT_EQ(m.second, c.second);
    }
    EXPECT_EQ(u8(markedKey(w("01|03"), fields("01", "03"))), "01|03");
    EXPECT_EQ(u8(markedKey(w("|НДС"), fields("02", "НДС"))), "02|НДС");
}

// ---- the bar's flow

TEST(ArgumentBarFlow, ButtonsWrapAndTheBarGrows) {
    const std::vector<ArgumentLine> lines = parseArgumentFile(
        dos("A Один\r\nB Два\r\nC Три\r\nD --Скрыта\r\nE\r\nF Шесть шесть\r\n|N Н\r\n"));
    // Font 8: buttons 18 high ((5 + 1) × 8 = 48 wide for "Один" ... ), bar 25 for one line.
    const BarLayout one = layoutBar(lines, 8, 1000, false);
    EXPECT_EQ(buttonHeight(8), 18);
    EXPECT_EQ(one.height, 25);
    ASSERT_EQ(one.buttons.size(), lines.size());
    EXPECT_EQ(one.buttons[0].left, 4);
    EXPECT_EQ(one.buttons[0].top, 4);
    EXPECT_EQ(one.buttons[0].width, 40);
    EXPECT_EQ(one.buttons[1].left, 48);
    EXPECT_FALSE(one.buttons[3].shown); // "--": hidden, keeps its shortcut
    EXPECT_EQ(one.buttons[4].width, 0); // empty caption
    EXPECT_EQ(one.buttons[5].left, one.buttons[2].left + one.buttons[2].width + 4);

    const BarLayout narrow = layoutBar(lines, 8, 100, false);
    EXPECT_EQ(narrow.buttons[1].top, 4);
    EXPECT_EQ(narrow.buttons[2].left, 4); // 48 + 32 + 4 + 32 passes 100
    EXPECT_EQ(narrow.buttons[2].top, 4 + 18 + 3);
    EXPECT_GT(narrow.height, 25);
    EXPECT_EQ((narrow.height - 25) % 21, 0);

    // Tree mode: the tree shows the arguments, the bar only the toggles.
    const BarLayout tree = layoutBar(lines, 8, 1000, true);
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        EXPECT_FALSE(tree.buttons[i].shown) << i;
    }
    EXPECT_TRUE(tree.buttons.back().shown);
    EXPECT_EQ(tree.buttons.back().left, 4);
    EXPECT_EQ(buttonHeight(10), 22);
}

TEST(ArgumentBarFlow, TreeNodesComeFromTheTreeColumn) {
    Workbook book;
    Sheet& s = book.sheet(1);
    s.setMaxRow(6);
    s.setFixedRows(1, 1);
    const char* col2[] = {"Клиент", "  Группа", "Ромашка", "", "Иванов", "Ромашка"};
    for (int r = 1; r <= 6; ++r) {
        s.setText(r, 2, w(col2[r - 1]));
        s.setText(r, 3, w(col2[r - 1]) + " ");
    }
    std::vector<std::string> nodes = treeChildren(s, 3);
    ASSERT_EQ(nodes.size(), 4u); // the group heading and the empty row give none
    EXPECT_EQ(u8(nodes[0]), "Клиент");
    EXPECT_EQ(u8(nodes[1]), "Ромашка");
    EXPECT_EQ(treeRow(s, 3, w("Ромашка")), 3);
    EXPECT_EQ(treeRow(s, 3, w("Клиент")), 0); // fixed rows are not searched
    EXPECT_EQ(treeRow(s, 3, "nobody"), 0);
    EXPECT_TRUE(treeChildren(s, 0).empty());
    EXPECT_EQ(treeRow(s, 999, "x"), 0);
}

} // namespace
} // namespace fc::args
