#include "output/FileExport.h"

#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/ReportSettings.h"
#include "results/ResultSession.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

// A result sheet and its export slots in a temporary current directory.
struct ExportFiles : ::testing::Test {
    QTemporaryDir tmp;
    QString before = QDir::currentPath();
    Workbook book;
    Sheet& s = book.sheet();
    ReportSettings settings;
    ScriptedPrompter prompter;
    KeptStatus status;
    ResultSession session{book, settings, prompter, status};

    void SetUp() override {
        QDir::setCurrent(tmp.path());
        s.setMaxRow(4);
        s.setMaxCol(4);
        const std::string rows[4][3] = {
            {"a1", "b1", "c1"}, {"a2", "", "c2"}, {"", "  ", ""}, {w("Итого"), "b4 ", ""}};
        for (int r = 1; r <= 4; ++r) {
            for (int c = 2; c <= 4; ++c) {
                s.setText(r, c, rows[r - 1][c - 2]);
            }
        }
    }
    void TearDown() override { QDir::setCurrent(before); }
    void slot(const char* name, std::optional<int> col) {
        settings.saveFiles.push_back({name, col});
    }
    std::string file(const char* name) const {
        return files::readAll(tmp.filePath(name).toStdString()).value_or("<missing>");
    }
};

TEST_F(ExportFiles, EachSlotWritesItsColumnLineByLine) {
    slot("one.txt", 2);
    slot("two.txt", 4);
    EXPECT_TRUE(output::DoFSave(session));
    EXPECT_EQ(file("one.txt"), "a1\r\na2\r\n" + w("Итого") + "\r\n");
    EXPECT_EQ(file("two.txt"), "c1\r\nc2\r\n");
    EXPECT_EQ(prompter.transcript(), "");
}

TEST_F(ExportFiles, SlotsOfOneNameShareTheirFileWhereverTheyStand) {
    slot("same.txt", 2);
    slot("same.txt", 3);
    EXPECT_TRUE(output::DoFSave(session));
    EXPECT_EQ(file("same.txt"), "a1b1\r\na2\r\n" + w("Итого") + "b4 \r\n")
        << "the cells of both slots follow each other on each line, untrimmed";

    // A name further down opens no second copy that would cut what the first wrote.
    settings.saveFiles.clear();
    slot("same.txt", 2);
    slot("other.txt", 3);
    slot("same.txt", 4);
    EXPECT_TRUE(output::DoFSave(session));
    EXPECT_EQ(file("same.txt"), "a1c1\r\na2c2\r\n" + w("Итого") + "\r\n");
    EXPECT_EQ(file("other.txt"), "b1\r\nb4 \r\n");
}

TEST_F(ExportFiles, AFileThatCannotBeMadeStopsBeforeAnyIsWritten) {
    slot("first.txt", 2);
    slot("missing/second.txt", 3);
    EXPECT_FALSE(output::DoFSave(session));
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Не могу создать файл missing/second.txt\n");
    EXPECT_EQ(file("first.txt"), "<missing>");
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files).isEmpty()) << "no temporary file stays";
}

TEST_F(ExportFiles, ASlotWithoutAColumnMakesAnEmptyFile) {
    slot("empty.txt", std::nullopt);
    EXPECT_TRUE(output::DoFSave(session));
    EXPECT_EQ(file("empty.txt"), "");
    settings.saveFiles.clear();
    EXPECT_TRUE(output::DoFSave(session)) << "no slots, nothing to do";
}

} // namespace
} // namespace fc
