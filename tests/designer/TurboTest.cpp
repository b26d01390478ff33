#include "DosText.h"

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "designer/DesignerSheet.h"
#include "designer/Printstr.h"
#include "designer/TemplateFile.h"
#include "designer/TurboReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::win;

struct CompileCase {
    const char* name;
    const char* field;
    std::vector<std::string> lines;
};

class PrintstrCompile : public testing::TestWithParam<CompileCase> {};

TEST_P(PrintstrCompile, LinesAndBack) {
    const CompileCase& k = GetParam();
    const std::vector<std::string> lines = printstr::compileField(win(k.field));
    std::vector<std::string> expected;
    for (const std::string& l : k.lines) {
        expected.push_back(win(l));
    }
    EXPECT_EQ(lines, expected);
    std::string back;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        printstr::Piece p = printstr::parseLine(lines[i]);
        ASSERT_TRUE(p.ok);
        EXPECT_EQ(p.endsField, i + 1 == lines.size());
        back += p.text;
    }
    std::string field = win(k.field);
    if (field.rfind("OBJ=", 0) == 0) {
        field.erase(0, 4); // records come back bare; the reader gives them their "OBJ="
    }
    if (field.find_first_not_of(' ') == std::string::npos) {
        field.clear();
    }
    for (std::size_t at = field.find("^^"); at != std::string::npos; at = field.find("^^")) {
        field.erase(at, 1);
    }
    EXPECT_EQ(back, field);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, PrintstrCompile,
    testing::Values(CompileCase{"wordAndVariable", "Сумма^A1", {"printstr 'Сумма'+A1+[ch 9]"}},
                    CompileCase{"variableOnly", "^A", {"printstr A+[ch 9]"}},
                    CompileCase{"oneLetterName", "^A, ^B2.", {"printstr A+', '+B2+'.'+[ch 9]"}},
                    CompileCase{"runOfCarets", "x^^X", {"printstr 'x'+X+[ch 9]"}},
                    CompileCase{"empty", "", {"printstr [ch 9]"}},
                    CompileCase{"blank", "   ", {"printstr [ch 9]"}},
                    CompileCase{"plusInLiteral", "a+b", {"printstr 'a+b'+[ch 9]"}},
                    CompileCase{"quote", "it's", {"printstr 'it'+[ch 39]+'s'+[ch 9]"}},
                    CompileCase{"records",
                                "OBJ=1.50|3.00|0.25|2.00|1|2|[2.00|4.00|0.00|80|2|11|[",
                                {"printstr '1.50|3.00|0.25|2.00|1|2|['",
                                 "printstr '2.00|4.00|0.00|80|2|11|['", "printstr [ch 9]"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Printstr, RowEndAndOtherLines) {
    EXPECT_TRUE(printstr::parseLine("printstr [ch 10]").endsRow);
    EXPECT_TRUE(printstr::parseLine("PRINTSTR 'x'+[CH 9]  ").endsField);
    EXPECT_FALSE(printstr::parseLine("IF A").ok);
    EXPECT_EQ(printstr::parseLine("printstr 'a'+B+'c'").text, "a^Bc");
}

class TurboFiles : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("form.rpt");
        book.setDefaultFont("Arial", 10);
        Sheet& s = book.sheet();
        s.setMaxCol(4);
        s.setMaxRow(6);
        s.setColWidth(3, 3333);
        s.print().landscape = true;
        s.setText(1, 1, win("* шапка"));
        s.setText(2, 1, ";fix=1");
        Style box;
        box.font = book.defaultFont();
        box.font.bold = true;
        for (Border& b : box.borders) {
            b.style = BorderStyle::Thin;
        }
        s.setStyle(3, 2, box);
        s.setText(3, 2, win("Итого: ^A1"));
        s.setText(3, 4, "^S");
        s.merge({3, 2, 3, 3});
        s.setText(4, 1, "FOR I");
        designer::setFixedHeight(s, 5, 500);
        s.setText(5, 2, win("строка пять"));
        s.setText(6, 1, "ENDFOR");
    }
    void load(Workbook& back) { EXPECT_TRUE(TemplateFile::load(path, back, prompter).opened); }
    void expectSameForm(const Workbook& back) {
        const Sheet& a = book.sheet();
        const Sheet& b = back.sheet();
        EXPECT_EQ(b.maxRow(), 6);
        EXPECT_EQ(b.maxCol(), 4);
        for (int r = 1; r <= 6; ++r) {
            for (int c = 1; c <= 4; ++c) {
                EXPECT_EQ(b.text(r, c), a.text(r, c)) << r << "," << c;
            }
        }
        EXPECT_EQ(b.style(3, 2), a.style(3, 2));
        EXPECT_EQ(b.merges(), a.merges());
        EXPECT_EQ(b.colWidth(3), 3333);
        EXPECT_TRUE(b.print().landscape);
        EXPECT_EQ(designer::fixedHeight(b, 5), 500);
        EXPECT_EQ(b.rowHeight(5), 500);
        EXPECT_EQ(b.text(5, 6), "") << "the height cell is gone";
        EXPECT_EQ(b.style(2, 1).font.color, rgb(255, 0, 0));
    }
    std::string text() const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

    QTemporaryDir dir;
    QString path;
    Workbook book;
    ScriptedPrompter prompter;
};

TEST_F(TurboFiles, ExtRoundTrip) {
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Ext, prompter));
    EXPECT_EQ(prompter.transcript(), "");
    const std::vector<std::string> lines = test::utf8Lines(text());
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "* шапка");
    EXPECT_EQ(lines[1].rfind(";table ;ext=form.vts ;ver=", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], ";ROW_HEIGHT_FIX");
    EXPECT_EQ(lines[3], ";fix=1");
    EXPECT_EQ(lines[4], "1|Итого: ^A1\t\t^S");
    EXPECT_EQ(lines[6], "2|строка пять\t\t\t\tH=500");
    EXPECT_TRUE(QFile::exists(dir.filePath("form.vts")));
    Workbook back;
    load(back);
    EXPECT_EQ(prompter.transcript(), "");
    expectSameForm(back);
}

TEST_F(TurboFiles, TurboRoundTrip) {
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Turbo, prompter));
    const std::vector<std::string> lines = test::utf8Lines(text());
    EXPECT_NE(lines[1].find(" ;turbo ;ver="), std::string::npos) << lines[1];
    const std::vector<std::string> row(lines.begin() + 4, lines.begin() + 9);
    EXPECT_EQ(row, (std::vector<std::string>{"printstr '1  *'+[ch 9]",
                                             "printstr 'Итого: '+A1+[ch 9]", "printstr [ch 9]",
                                             "printstr S+[ch 9]", "printstr [ch 10]"}));
    Workbook back;
    load(back);
    EXPECT_EQ(prompter.transcript(), "");
    expectSameForm(back);
}

TEST_F(TurboFiles, LongRowsReadBackWhole) {
    Sheet& s = book.sheet();
    s.setMaxCol(40);
    for (int c = 2; c <= 40; ++c) {
        s.setText(3, c, "cell" + std::to_string(c) + win(" значение ^V") + std::to_string(c % 10));
    }
    s.unmerge({3, 2, 3, 3});
    for (TemplateFormat format : {TemplateFormat::Ext, TemplateFormat::Turbo}) {
        SCOPED_TRACE(format == TemplateFormat::Ext ? "ext" : "turbo");
        ASSERT_TRUE(TemplateFile::save(path, book, format, prompter));
        const std::string t = text();
        std::size_t start = 0;
        int continued = 0;
        while (start < t.size()) {
            std::size_t end = t.find("\r\n", start);
            EXPECT_LE(end - start, 255u);
            if (end - start >= 2 && t[end - 1] == '\xFA' && t[end - 2] == '\t') {
                ++continued;
            }
            start = end + 2;
        }
        EXPECT_EQ(continued >= 2, format == TemplateFormat::Ext);
        Workbook back;
        load(back);
        for (int c = 2; c <= 40; ++c) {
            EXPECT_EQ(back.sheet().text(3, c), s.text(3, c)) << c;
        }
        EXPECT_EQ(back.sheet().text(4, 1), "FOR I");
    }
}

TEST_F(TurboFiles, RefusalsLeaveTheFileAlone) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    book.sheet().merge({5, 2, 6, 2});
    EXPECT_FALSE(TemplateFile::save(path, book, TemplateFormat::Turbo, prompter));
    EXPECT_EQ(prompter.transcript(),
              "Ошибка:|В форме формата \"турбо\" нельзя использовать вертикальное объединение "
              "ячеек!\n");
    prompter.clear();
    book.setNumSheets(2);
    EXPECT_FALSE(TemplateFile::save(path, book, TemplateFormat::Ext, prompter));
    EXPECT_EQ(prompter.transcript(),
              "Ошибка сохранения:|В формате \"TURBO\" форма не может быть многостраничной!\n");
    EXPECT_EQ(text(), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"form.rpt"});
}

TEST_F(TurboFiles, FailedSaveWarns) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("form.rpt.tmp"));
    EXPECT_FALSE(TemplateFile::save(path, book, TemplateFormat::Ext, prompter));
    EXPECT_EQ(prompter.transcript(), "Внимание:|Ошибка сохpанения !\n");
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(dir.filePath("form.vts")));
}

TEST_F(TurboFiles, MissingCompanion) {
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Ext, prompter));
    ASSERT_TRUE(QFile::remove(dir.filePath("form.vts")));
    Workbook back;
    back.sheet().setText(1, 1, "before");
    TemplateLoadResult r = TemplateFile::load(path, back, prompter);
    EXPECT_EQ(r.layout, TemplateLayout::Ext);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Не найден шаблон form.vts\n");
    EXPECT_EQ(back.sheet().text(1, 1), win("* шапка")) << "what came before the layout line";
}

TEST(TurboReaderNames, CompanionName) {
    EXPECT_EQ(TurboReader::companionName(";table ;ext=a.vts ;ver=1"), "a.vts");
    EXPECT_EQ(TurboReader::companionName(";table ;ext=b.vts"), "b.vts");
    EXPECT_EQ(TurboReader::companionName(";table"), "");
}

} // namespace
} // namespace fc
