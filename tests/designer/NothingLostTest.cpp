// What a report author made survives every save and load: page breaks, object blocks that
// could not be read, long templates under F6, turbo texts and row numbers, the default font of
// a later sheet, workbooks opened in the designer, and the checker's colours alike in the
// formula line editor and the sheet.
#include "components/format/FileType.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "designer/DesignerCommands.h"
#include "designer/DesignerFile.h"
#include "designer/DesignerSheet.h"
#include "designer/StatementColour.h"
#include "designer/TemplateFile.h"
#include "designer/TemplateText.h"
#include "language/EditorCheck.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

std::string readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

void put(const QString& path, const std::string& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

class NothingLost : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // Saves `book` in `format` and loads it back into `back`; nothing may be said.
    std::string roundTrip(Workbook& book, Workbook& back, TemplateFormat format,
                          const char* name = "t.rpt") {
        const QString path = file(name);
        EXPECT_TRUE(TemplateFile::save(path, book, format, prompter)) << prompter.transcript();
        EXPECT_TRUE(TemplateFile::load(path, back, prompter).whole());
        EXPECT_EQ(prompter.transcript(), "");
        return readFile(path);
    }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
};

// ---------------------------------------------------------------- page breaks

TEST_F(NothingLost, PageBreaksComeBackWhereTheyWere) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(4);
    s.setMaxRow(7);
    s.setText(1, 1, "IF A");
    s.setText(2, 2, "cell");
    s.setRowPageBreak(3, true); // an empty row that starts a page
    s.setText(4, 2, "after");
    s.setText(5, 1, "ENDIF");
    s.setRowPageBreak(5, true); // a break on rows that hold something
    s.setText(6, 3, "held");
    s.setRowPageBreak(6, true);
    s.setText(7, 1, "PBK"); // typed by the author: a statement, not a break
    Workbook back;
    const std::string text = roundTrip(book, back, TemplateFormat::Table);
    EXPECT_NE(text.find("&2 after|"), std::string::npos);
    EXPECT_NE(text.find("\r\n<0>PBK\r\n"), std::string::npos) << text;

    const Sheet& b = back.sheet();
    // A break in front of a row that holds something is a row of its own.
    ASSERT_EQ(b.maxRow(), 9);
    const bool breaks[] = {false, false, true, false, true, false, true, false, false};
    for (int r = 1; r <= 9; ++r) {
        EXPECT_EQ(b.rowPageBreak(r), breaks[r - 1]) << "row " << r;
    }
    EXPECT_EQ(b.text(3, 1), "") << "the break's row is empty, not a statement \"PBK\"";
    EXPECT_EQ(b.text(6, 1), "ENDIF");
    EXPECT_EQ(b.text(8, 3), "held");
    EXPECT_EQ(b.text(9, 1), "PBK");

    // From here on a save and a load keep the rows as they are.
    Workbook again;
    const std::string second = roundTrip(back, again, TemplateFormat::Table, "u.rpt");
    EXPECT_EQ(again.sheet().maxRow(), 9);
    for (int r = 1; r <= 9; ++r) {
        EXPECT_EQ(again.sheet().rowPageBreak(r), breaks[r - 1]) << "row " << r;
    }

    // A sheet of statements only is a text form, whose "PBK" line means the same.
    Workbook plain;
    plain.sheet().setMaxRow(3);
    plain.sheet().setText(1, 1, "FOR I");
    plain.sheet().setRowPageBreak(2, true);
    plain.sheet().setText(3, 1, "ENDFOR");
    Workbook plainBack;
    EXPECT_EQ(roundTrip(plain, plainBack, TemplateFormat::Table, "p.rpt"),
              "FOR I\r\nPBK\r\nENDFOR\r\n");
    EXPECT_TRUE(plainBack.sheet().rowPageBreak(2));
    EXPECT_EQ(plainBack.sheet().maxRow(), 3);
}

// ---------------------------------------------------------------- object blocks

TEST_F(NothingLost, AnUnreadableObjectBlockIsWrittenBackAsItWas) {
    const std::string block = ";NOBJECTS[\r\n0A1BZZ\r\n;]OBJECTS\r\n";
    const std::string records = ";OBJ=1.00|2.50|0.25|1.00|1|2|[2.00|3.00|0.00|2.00|2|7|[\r\n";
    put(file("damaged.rpt"),
        ";table\r\n;maxcol=4\r\n" + block + "&&\r\n&2 x|0000lb\r\n" + records + "IF A\r\n&&\r\n");
    Workbook book;
    TemplateLoadResult r = TemplateFile::load(file("damaged.rpt"), book, prompter);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка пpи чтении фоpмы!\n");
    prompter.clear();
    ASSERT_EQ(r.keptBlocks.size(), 1u);
    EXPECT_EQ(r.keptBlocks.begin()->second, block);

    // Saved twice over, each time from what was read: block and records stay.
    std::string before;
    for (const char* name : {"once.rpt", "twice.rpt"}) {
        ASSERT_TRUE(
            TemplateFile::save(file(name), book, TemplateFormat::Table, prompter, &r.keptBlocks));
        const std::string text = readFile(file(name));
        EXPECT_NE(text.find(block), std::string::npos) << text;
        EXPECT_NE(text.find(records), std::string::npos) << text;
        if (!before.empty()) {
            EXPECT_EQ(text, before);
        }
        before = text;
        r = TemplateFile::load(file(name), book, prompter);
        prompter.clear();
    }
    EXPECT_EQ(book.sheet().text(2, 1), "IF A");

    // Records whose block is missing altogether are kept too.
    put(file("noblock.rpt"), ";table\r\n;maxcol=4\r\n&&\r\n&2 x|0000lb\r\n" + records);
    r = TemplateFile::load(file("noblock.rpt"), book, prompter);
    ASSERT_TRUE(TemplateFile::save(file("noblock2.rpt"), book, TemplateFormat::Table, prompter));
    EXPECT_NE(readFile(file("noblock2.rpt")).find(records), std::string::npos);

    // An object drawn on such a sheet takes its place: its block and records are written.
    put(file("damaged.rpt"), ";table\r\n;maxcol=4\r\n" + block + "&&\r\n" + records + "&&\r\n");
    r = TemplateFile::load(file("damaged.rpt"), book, prompter);
    book.sheet().createObject(ObjectKind::Rectangle, 1.5, 1.25, 3, 1.75);
    ASSERT_TRUE(TemplateFile::save(file("redrawn.rpt"), book, TemplateFormat::Table, prompter,
                                   &r.keptBlocks));
    const std::string redrawn = readFile(file("redrawn.rpt"));
    EXPECT_EQ(redrawn.find(block), std::string::npos);
    EXPECT_NE(redrawn.find(";OBJ=1.50|3.00|0.25|0.50|1|2|[\r\n"), std::string::npos) << redrawn;
}

// ---------------------------------------------------------------- columns and rows (F6, F7)

TEST_F(NothingLost, TheExtentCannotCutUsedCells) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(10);
    s.setMaxRow(400);
    s.setText(1, 1, "IF A");
    s.setText(400, 2, "last row");
    s.setText(3, 9, "far column");
    EXPECT_EQ(cp1251::toUtf8(designercmd::setExtent(s, 10, 250)),
              "Строк не может быть меньше 400: в строке 400 есть данные.");
    EXPECT_EQ(s.maxRow(), 400) << "refused: nothing changed";
    EXPECT_EQ(cp1251::toUtf8(designercmd::setExtent(s, 5, 500)),
              "Столбцов не может быть меньше 9: в столбце 9 есть данные.");
    EXPECT_EQ(s.maxCol(), 10);
    EXPECT_EQ(designercmd::setExtent(s, 9, 1000), "");
    EXPECT_EQ(s.maxCol(), 9);
    EXPECT_EQ(s.maxRow(), 1000);
    EXPECT_EQ(designercmd::setExtent(s, 253, kMaxRows), "") << "the sheet's own limits";

    // Formats, merges, fixed heights, breaks and objects hold their rows as texts do.
    Workbook other;
    Sheet& o = other.sheet();
    o.setMaxCol(8);
    o.setMaxRow(600);
    Style boxed;
    boxed.border(BorderSide::Bottom).style = BorderStyle::Thin;
    o.setStyle(20, 7, boxed);
    o.setMergesForLoad({{30, 2, 40, 3}});
    designer::setFixedHeight(o, 50, 400);
    o.setRowPageBreak(60, true);
    o.createObject(ObjectKind::Line, 2, 70.5, 3, 72);
    const designercmd::Extent used = designercmd::usedExtent(o);
    EXPECT_EQ(used.rows, 71);
    EXPECT_EQ(used.cols, 7);

    // Records waiting in the object column move with it.
    o.setText(5, 9, "OBJ=1.00|2.00|0.00|1.00|1|2|[");
    EXPECT_EQ(designercmd::setExtent(o, 12, 600), "");
    EXPECT_EQ(o.text(5, 13), "OBJ=1.00|2.00|0.00|1.00|1|2|[");
    EXPECT_EQ(o.text(5, 9), "");
}

// ---------------------------------------------------------------- F9 on a later sheet

TEST_F(NothingLost, TheDefaultFontOfALaterSheetReachesStatementRows) {
    Workbook book;
    book.setNumSheets(2);
    book.setCurrentSheet(2);
    Sheet& s = book.sheet();
    s.setMaxCol(4);
    s.setMaxRow(4);
    Style old;
    old.font.name = "Arial";
    old.font.size = 10;
    s.setStyle(1, 1, old);
    s.setText(2, 1, "IF A"); // a statement row with a form cell left on it
    Style red = old;
    red.font.color = kStatementRed;
    s.setStyle(2, 1, red);
    s.setStyle(2, 3, old);
    s.setText(2, 3, "kept");
    s.setStyle(3, 2, old);
    s.setText(3, 2, "form");
    Style bold = old;
    bold.font.bold = true;
    s.setStyle(3, 3, bold);
    designercmd::applyDefaultFont(book, "Courier New", 12);
    for (auto [r, c] : {std::pair{1, 1}, {2, 1}, {2, 3}, {3, 2}}) {
        EXPECT_EQ(s.style(r, c).font.name, "Courier New") << r << "," << c;
        EXPECT_EQ(s.style(r, c).font.size, 12) << r << "," << c;
    }
    EXPECT_EQ(s.style(3, 3).font.name, "Arial") << "a font of its own stays";
}

// ---------------------------------------------------------------- turbo texts

TEST_F(NothingLost, TurboTextsAndRowNumbersComeBackAsWritten) {
    const std::vector<std::string> texts = {"O'Hara", "1+1", "'", "it's 1+1", "+", "''x'+'"};
    for (int rows : {5, 150, 1200}) {
        SCOPED_TRACE(rows);
        Workbook book;
        Sheet& s = book.sheet();
        s.setMaxCol(3);
        s.setMaxRow(rows);
        Style bold;
        bold.font.bold = true;
        for (int r = 1; r <= rows; ++r) {
            s.setText(r, 2, "r" + std::to_string(r));
        }
        // Statements that begin with digits, on form rows whose numbers have one, three and
        // four digits.
        for (int r : {3, 100, 1000}) {
            if (r <= rows) {
                s.setText(r, 1, "9 LIVES");
                s.setStyle(r, 2, bold);
            }
        }
        for (std::size_t i = 0; i < texts.size() && static_cast<int>(i) < rows; ++i) {
            s.setText(static_cast<int>(i) + 1, 3, texts[i]);
        }
        Workbook back;
        roundTrip(book, back, TemplateFormat::Turbo);
        const Sheet& b = back.sheet();
        ASSERT_EQ(b.maxRow(), rows);
        for (int r = 1; r <= rows; ++r) {
            ASSERT_EQ(b.text(r, 2), "r" + std::to_string(r)) << "row " << r;
            const bool marked = r == 3 || r == 100 || r == 1000;
            EXPECT_EQ(b.text(r, 1), marked ? "9 LIVES" : "") << "row " << r;
            EXPECT_EQ(b.style(r, 2).font.bold, marked) << "row " << r << " took its own formats";
        }
        for (std::size_t i = 0; i < texts.size() && static_cast<int>(i) < rows; ++i) {
            EXPECT_EQ(b.text(static_cast<int>(i) + 1, 3), texts[i]);
        }
    }
}

// ---------------------------------------------------------------- the checker's colours

TEST_F(NothingLost, TheEditorColoursALineAsTheSheetDoes) {
    StatementColourer sheet;
    PrototypeTable table;
    Checker editor(table);
    for (const char* line : {" STOP", "STOP", "  IF A", " FACT zz", "EVERY", " *note", "  hello",
                             ";fix=1", " ;fix", "X=(1+2", " A=5", "   ", " ELSE x"}) {
        const LineClass inSheet = sheet.classify(tpl::trimmed(line));
        const EditorCheck e = checkEditorText(editor, line);
        EXPECT_EQ(lineClassText(classify(e.result)), lineClassText(inSheet)) << '"' << line << '"';
        // The first character that is not a blank shows the sheet's colour.
        const std::string_view t(line);
        const std::size_t first = t.find_first_not_of(' ');
        if (first == std::string_view::npos) {
            continue;
        }
        for (const EditorSpan& span : e.spans) {
            if (static_cast<std::size_t>(span.start + span.length) <= first) {
                continue;
            }
            Font f;
            f.color = kStatementBlack;
            StatementColourer::apply(f, inSheet);
            EXPECT_EQ(span.color, f.color) << '"' << line << '"';
            break;
        }
    }
}

// ---------------------------------------------------------------- a text form near its limit

TEST_F(NothingLost, ATextFormOfMoreThan998RowsSaysSo) {
    for (int rows : {998, 999, 1000}) {
        std::string many;
        for (int i = 0; i < rows; ++i) {
            many += "line\r\n";
        }
        put(file("long.rpt"), many);
        Workbook book;
        prompter.clear();
        const TemplateLoadResult r = TemplateFile::load(file("long.rpt"), book, prompter);
        EXPECT_EQ(prompter.transcript(), rows > 998 ? "Внимание:|Не вся фоpма загpужена !\n" : "")
            << rows;
        EXPECT_TRUE(r.whole()) << "every row was read";
        EXPECT_EQ(book.sheet().maxRow(), rows);
    }
}

// ---------------------------------------------------------------- files the designer opens

TEST_F(NothingLost, TheDesignerOpensAFileByItsExtension) {
    Workbook made;
    made.sheet().setText(1, 1, "STOP");
    made.sheet().setText(2, 2, w("Итого"));
    std::string error;
    ASSERT_TRUE(writeWorkbookFile(file("book.xls"), kFileExcel97, made, error)) << error;
    ASSERT_TRUE(writeWorkbookFile(file("book.vts"), kFileNative, made, error)) << error;
    for (const char* name : {"book.xls", "book.vts"}) {
        Workbook book;
        const TemplateLoadResult r = openDesignerFile(file(name), book, prompter);
        EXPECT_TRUE(r.opened) << name;
        EXPECT_EQ(prompter.transcript(), "") << name;
        EXPECT_EQ(book.sheet().text(2, 2), w("Итого")) << name;
        EXPECT_EQ(book.sheet().style(1, 1).font.color, kStatementRed) << name << ": coloured";
        EXPECT_LE(book.sheet().maxRow(), 2) << name << ": its used rows, not 65,536";
        EXPECT_LE(book.sheet().maxCol(), designer::kMaxFormCol) << name;
    }
    EXPECT_EQ(designerFileKind(file("A.XLS")), DesignerFileKind::Excel);
    EXPECT_EQ(designerFileKind(file("a.rpt")), DesignerFileKind::Template);

    // Files of another kind than their names say are refused; the workbook stays.
    QFile::copy(file("book.vts"), file("workbook.rpt"));
    QFile::copy(file("book.xls"), file("excel.vts"));
    put(file("text.xls"), "IF A\r\n");
    struct Wrong {
        const char* name;
        const char* said;
    };
    for (const Wrong& c :
         {Wrong{"workbook.rpt", "Ошибка:|Файл workbook.rpt - рабочая книга, а не шаблон отчета: "
                                "откройте книгу как .xls или .vts\n"},
          Wrong{"excel.vts", "Ошибка:|Файл excel.vts не является книгой VTS\n"},
          Wrong{"text.xls", "Ошибка:|Файл text.xls не является книгой Excel 97\n"}}) {
        Workbook book;
        book.sheet().setText(1, 1, "mine");
        prompter.clear();
        EXPECT_FALSE(openDesignerFile(file(c.name), book, prompter).opened) << c.name;
        EXPECT_EQ(prompter.transcript(), c.said);
        EXPECT_EQ(book.sheet().text(1, 1), "mine");
    }
}

} // namespace
} // namespace fc
