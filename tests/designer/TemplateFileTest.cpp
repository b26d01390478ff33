#include "DosText.h"

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "designer/TableFormatWriter.h"
#include "designer/TemplateFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::win;

std::string slurp(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return "<missing>";
    }
    return f.readAll().toStdString();
}

void put(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

class TemplateFileTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("form.rpt");
        book.setDefaultFont("Fixedsys", 10);
        Sheet& s = book.sheet();
        s.setMaxCol(3);
        s.setMaxRow(2);
        s.setText(1, 1, "IF A");
        s.setText(2, 2, win("ячейка"));
    }
    QStringList files() const {
        return QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
    QString path;
    Workbook book;
    ScriptedPrompter prompter;
};

TEST_F(TemplateFileTest, SaveLeavesOnlyTheTemplate) {
    put(path, "old contents");
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    EXPECT_EQ(prompter.transcript(), "");
    EXPECT_EQ(files(), QStringList{"form.rpt"});
    EXPECT_EQ(slurp(path), TableFormatWriter(book).write());
    Workbook back;
    TemplateLoadResult r = TemplateFile::load(path, back, prompter);
    EXPECT_TRUE(r.opened);
    EXPECT_EQ(r.layout, TemplateLayout::Table);
    EXPECT_EQ(back.sheet().text(2, 2), win("ячейка"));
    EXPECT_EQ(back.view().mousePointer, 0);
}

TEST_F(TemplateFileTest, StatementsOnlySaveAsATextForm) {
    book.sheet().setText(2, 2, {});
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    EXPECT_EQ(slurp(path), "IF A\r\n");
    Workbook back;
    EXPECT_EQ(TemplateFile::load(path, back, prompter).layout, TemplateLayout::Text);
    EXPECT_EQ(back.sheet().text(1, 1), "IF A");
}

TEST_F(TemplateFileTest, FailedSaveLeavesTheTemplateUntouched) {
    put(path, "old contents");
    ASSERT_TRUE(QDir(dir.path()).mkdir("form.rpt.tmp")); // the output cannot be created
    EXPECT_FALSE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка сохpанения файла !\n");
    EXPECT_EQ(slurp(path), "old contents");
    EXPECT_FALSE(QFile::exists(dir.filePath("form.tmp")));
}

TEST_F(TemplateFileTest, StagingFileTroubleStillSavesEverything) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("form.tmp")); // the staging file cannot be opened
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Не могу откpыть .tmp файл!\n");
    EXPECT_EQ(slurp(path), TableFormatWriter(book).write());
}

TEST_F(TemplateFileTest, LoadMessages) {
    EXPECT_FALSE(TemplateFile::load(dir.filePath("none.rpt"), book, prompter).opened);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Не могу откpыть файл !!!\n");
    EXPECT_EQ(book.sheet().text(1, 1), "IF A") << "the workbook keeps what it had";

    prompter.clear();
    put(path,
        ";table\r\n;col3\r\n&&\r\n&2  good|0000lb\r\n&zz bad\r\n&3  also good|0000lb\r\n&q\r\n"
        "&999far|0000lb\r\n");
    TemplateLoadResult r = TemplateFile::load(path, book, prompter);
    EXPECT_EQ(r.report.unreadableLines, 3);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка пpи чтении фоpмы!\n");
    EXPECT_EQ(book.sheet().text(1, 3), "also good");

    prompter.clear();
    std::string many;
    for (int i = 0; i < 1200; ++i) {
        many += "line\r\n";
    }
    put(path, many);
    TemplateFile::load(path, book, prompter);
    EXPECT_EQ(prompter.transcript(), "Внимание:|Не вся фоpма загpужена !\n");
}

TEST_F(TemplateFileTest, NonameIsNeverRead) {
    const QString noname = dir.filePath("Noname.rpt");
    put(noname, ";table\r\n;;0=Arial,20\r\nIF X\r\n");
    EXPECT_TRUE(TemplateFile::load(noname, book, prompter).opened);
    EXPECT_EQ(book.defaultFont().name, "Fixedsys");
    EXPECT_EQ(book.defaultFont().size, 10);
    EXPECT_EQ(book.sheet().text(1, 1), "");
    EXPECT_EQ(book.sheet().activeCell(), (CellRef{1, 1}));
    EXPECT_EQ(prompter.transcript(), "");
}

TEST(TemplateFileNames, StagingPath) {
    EXPECT_EQ(TemplateFile::stagingPath("/d/form.rpt"), "/d/form.tmp");
    EXPECT_EQ(TemplateFile::stagingPath("/d/FORM.RPT"), "/d/FORM.tmp");
    EXPECT_EQ(TemplateFile::stagingPath("/d/form.tmp"), "/d/form.tmp.stage");
    EXPECT_EQ(TemplateFile::stagingPath("/d/report"), "/d/report.stage");
}

} // namespace
} // namespace fc

namespace fc {
namespace {

// Every sample template loads whole, and saving it in its own layout and loading it again
// gives the same file.
TEST(DemoTemplates, LoadWholeAndSaveToTheSameBytes) {
    const QDir demo(QStringLiteral(FC_SOURCE_DIR "/demo/templates"));
    const QStringList names = demo.entryList({"*.rpt"}, QDir::Files);
    ASSERT_GE(names.size(), 3);
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        Workbook book;
        ScriptedPrompter prompter;
        TemplateLoadResult r = TemplateFile::load(demo.filePath(name), book, prompter);
        EXPECT_EQ(prompter.transcript(), "");
        EXPECT_EQ(r.report.unreadableLines, 0);
        QTemporaryDir dir;
        const QString copy = dir.filePath(name);
        const TemplateFormat format = r.layout == TemplateLayout::Turbo ? TemplateFormat::Turbo
                                      : r.layout == TemplateLayout::Ext ? TemplateFormat::Ext
                                                                        : TemplateFormat::Table;
        ASSERT_TRUE(TemplateFile::save(copy, book, format, prompter));
        Workbook again;
        TemplateFile::load(copy, again, prompter);
        const QString twice = dir.filePath("twice.rpt");
        ASSERT_TRUE(TemplateFile::save(twice, again, format, prompter));
        std::string a = slurp(copy), b = slurp(twice);
        if (format != TemplateFormat::Table) {
            // The layout line names the companion and the time of saving.
            a.erase(0, a.find(";ver="));
            a.erase(0, a.find('\n'));
            b.erase(0, b.find(";ver="));
            b.erase(0, b.find('\n'));
        } else if (r.layout == TemplateLayout::Table) {
            EXPECT_EQ(a, slurp(demo.filePath(name))) << "the sample is as the writer writes it";
        }
        EXPECT_EQ(a, b);
        EXPECT_EQ(prompter.transcript(), "");
    }
}

} // namespace
} // namespace fc
