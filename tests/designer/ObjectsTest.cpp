#include "DosText.h"

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "designer/DesignerSheet.h"
#include "designer/ObjectBlock.h"
#include "designer/ObjectTransfer.h"
#include "designer/TemplateFile.h"
#include "designer/TextFormReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::win;

struct BlockCase {
    const char* name;
    std::vector<std::string> lines;
    bool encoded;
    std::string bytes;
    bool complete;
    std::size_t next;
};

class ObjectBlockParse : public testing::TestWithParam<BlockCase> {};

TEST_P(ObjectBlockParse, Bytes) {
    const BlockCase& k = GetParam();
    std::vector<std::string_view> lines(k.lines.begin(), k.lines.end());
    ObjectBlock b;
    EXPECT_EQ(ObjectBlock::parse(lines, 0, b), k.next);
    EXPECT_EQ(b.encoded, k.encoded);
    EXPECT_EQ(b.bytes, k.bytes);
    EXPECT_EQ(b.complete, k.complete);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ObjectBlockParse,
    testing::Values(
        BlockCase{"hex",
                  {";NOBJECTS[", "00FF41", "6a", ";]OBJECTS", "&&"},
                  true,
                  std::string("\0\xFF"
                              "Aj",
                              4),
                  true,
                  4},
        BlockCase{"decimal",
                  {";OBJECTS[", "  0255 65", ";]OBJECTS"},
                  false,
                  std::string("\0\xFF"
                              "A",
                              3),
                  true,
                  3},
        BlockCase{"cutShort", {";NOBJECTS[", "4142"}, true, "AB", false, 2},
        BlockCase{"oddDigits", {";NOBJECTS[", "414", ";]O"}, true, "A", false, 3},
        BlockCase{"notHex", {";NOBJECTS[", "41ZZ42", ";]OBJECTS"}, true, "AB", false, 3},
        BlockCase{"badDecimal", {";OBJECTS[", "  1999", ";]OBJECTS"}, false, "\x01", false, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ObjectBlock, DigitsMakeLinesOf126Bytes) {
    const std::string bytes(300, '\x5A');
    const std::string text = ObjectBlock::digits(bytes);
    std::vector<std::string_view> lines{";NOBJECTS["};
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find("\r\n", start);
        lines.push_back(std::string_view(text).substr(start, end - start));
        start = end + 2;
    }
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1].size(), 252u);
    EXPECT_EQ(lines[3].size(), 96u);
    EXPECT_EQ(lines[1].substr(0, 4), "5A5A");
    lines.push_back(";]OBJECTS");
    ObjectBlock b;
    ObjectBlock::parse(lines, 0, b);
    EXPECT_EQ(b.bytes, bytes);
}

TEST(PlacementRecord, FormatAndParse) {
    PlacementRecord r{1.5, 3.25, 0.4, 2.0, 7, 2};
    EXPECT_EQ(r.format(), "1.50|3.25|0.40|2.00|7|2|[");
    PlacementRecord pic{2, 4, 0, 80.4, 9, 11};
    EXPECT_EQ(pic.format(), "2.00|4.00|0.00|80|9|11|[");
    auto all = PlacementRecord::parseAll("OBJ=" + r.format() + "junk|[" + pic.format() +
                                         "1,5|2|0|1|3|1|[");
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].id, 7);
    EXPECT_DOUBLE_EQ(all[0].right, 3.25);
    EXPECT_EQ(all[1].kind, 11);
    EXPECT_DOUBLE_EQ(all[1].height, 80);
    EXPECT_DOUBLE_EQ(all[2].left, 1.5) << "a decimal comma is read too";
}

DrawnObject object(ObjectKind kind, double x1, double y1, double x2, double y2) {
    DrawnObject o;
    o.kind = kind;
    o.x1 = x1;
    o.y1 = y1;
    o.x2 = x2;
    o.y2 = y2;
    return o;
}

TEST(ObjectTransfer, CollectAndPlace) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(6);
    s.setMaxRow(5);
    s.setText(1, 1, "IF X");
    s.addObject(object(ObjectKind::Rectangle, 1.5, 2.25, 3, 4));
    DrawnObject button = object(ObjectKind::Button, 2, 2.5, 4, 3);
    button.text = win("Пуск");
    s.addObject(button);
    s.addObject(object(ObjectKind::Oval, 1, 3, 5, 9)); // reaches below MaxRow

    Workbook store;
    objects::Collected c = objects::collect(s, store.sheet(), false);
    ASSERT_EQ(c.misplaced, 0);
    ASSERT_EQ(store.sheet().objects().size(), 3u);
    EXPECT_EQ(c.records.at(3), "1.50|3.00|0.25|1.75|1|2|[2.00|4.00|0.50|0.50|2|7|[");
    EXPECT_EQ(c.records.at(4), "1.00|5.00|0.00|6.00|3|3|[");

    Workbook back;
    Sheet& b = back.sheet();
    b.setMaxCol(6);
    b.setMaxRow(5);
    for (const auto& [row, text] : c.records) {
        b.setText(row, designer::objectCol(b), "OBJ=" + text);
    }
    EXPECT_EQ(objects::place(b, store.sheet()), 3);
    ASSERT_EQ(b.objects().size(), 3u);
    EXPECT_DOUBLE_EQ(b.objects()[0].y1, 2.25);
    EXPECT_DOUBLE_EQ(b.objects()[0].y2, 4);
    EXPECT_EQ(b.objects()[1].text, win("Пуск"));
    EXPECT_DOUBLE_EQ(b.objects()[2].y2, 5) << "cut back to MaxRow";
    EXPECT_EQ(b.text(3, designer::objectCol(b)), "");

    s.addObject(object(ObjectKind::Line, 0.5, 3, 2, 4));
    Workbook other;
    EXPECT_NE(objects::collect(s, other.sheet(), false).misplaced, 0) << "left edge in column 1";
    Sheet& t = book.sheet();
    t.objects().pop_back();
    t.addObject(object(ObjectKind::Line, 2, 0.2, 3, 1));
    EXPECT_NE(objects::collect(t, other.sheet(), false).misplaced, 0) << "top on a statement row";
    EXPECT_EQ(objects::collect(t, other.sheet(), true).misplaced, 0) << "allowed in turbo";
}

class ObjectFiles : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("obj.rpt");
        book.setNumSheets(2);
        for (int n = 1; n <= 2; ++n) {
            Sheet& s = book.sheet(n);
            s.setMaxCol(5);
            s.setMaxRow(6);
            s.setText(1, 1, "FOR I");
            s.setText(2, 3, "x");
        }
        Sheet& s = book.sheet(1);
        s.addObject(object(ObjectKind::Rectangle, 1.5, 2.25, 3, 4));
        DrawnObject pic = object(ObjectKind::Picture, 2, 3, 4, 4.5);
        pic.heightPx = 30;
        pic.image = std::string("\x89PNG\r\n\x1a\n", 8) + std::string(500, '\x07');
        s.addObject(pic);
        book.sheet(2).addObject(object(ObjectKind::Line, 1, 1, 4, 2));
    }

    QTemporaryDir dir;
    QString path;
    Workbook book;
    ScriptedPrompter prompter;
};

TEST_F(ObjectFiles, TableFormatRoundTrip) {
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    EXPECT_EQ(prompter.transcript(), "");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"obj.rpt"});
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const std::string text = f.readAll().toStdString();
    auto count = [&](const std::string& what) {
        int n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + 1)) {
            ++n;
        }
        return n;
    };
    EXPECT_EQ(count(";NOBJECTS[\r\n"), 2);
    EXPECT_EQ(count(";]OBJECTS\r\n"), 2);
    EXPECT_EQ(count(";OBJ="), 3);
    EXPECT_NE(text.find(";OBJ=1.50|3.00|0.25|1.75|1|2|[\r\n"), std::string::npos);
    EXPECT_NE(text.find(";OBJ=2.00|4.00|0.00|30|2|11|[\r\n"), std::string::npos);

    Workbook back;
    TemplateLoadResult r = TemplateFile::load(path, back, prompter);
    EXPECT_EQ(prompter.transcript(), "");
    EXPECT_EQ(r.report.unreadableObjectBlocks, 0);
    const auto& objs = back.sheet(1).objects();
    ASSERT_EQ(objs.size(), 2u);
    EXPECT_EQ(objs[0].kind, ObjectKind::Rectangle);
    EXPECT_DOUBLE_EQ(objs[0].x1, 1.5);
    EXPECT_DOUBLE_EQ(objs[0].y1, 2.25);
    EXPECT_DOUBLE_EQ(objs[0].y2, 4);
    EXPECT_EQ(objs[1].kind, ObjectKind::Picture);
    EXPECT_EQ(objs[1].heightPx, 30);
    EXPECT_EQ(objs[1].image, book.sheet(1).objects()[1].image);
    EXPECT_DOUBLE_EQ(objs[1].y2, 3 + 30.0 / (back.sheet(1).rowHeight(4) / 15.0));
    ASSERT_EQ(back.sheet(2).objects().size(), 1u);
    EXPECT_EQ(back.sheet(2).objects()[0].kind, ObjectKind::Line);
    EXPECT_EQ(back.sheet(1).text(3, 6), "") << "the object column is cleared once placed";
    EXPECT_EQ(back.sheet(1).text(2, 3), "x");
}

TEST_F(ObjectFiles, MisplacedObjectStopsTheSave) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    book.sheet(2).addObject(object(ObjectKind::Oval, 2, 0.5, 3, 2)); // on the statement row
    EXPECT_FALSE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка pасположения oбъекта!!!\n");
    EXPECT_EQ(book.currentSheet(), 2);
    EXPECT_EQ(book.sheet(2).activeCell(), (CellRef{1, 3}));
    EXPECT_TRUE(book.sheet(2).objects().back().selected);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "old");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"obj.rpt"});
}

TEST_F(ObjectFiles, DamagedBlockKeepsTheCellsAndRecords) {
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    std::string text = f.readAll().toStdString();
    f.close();
    const std::size_t digits = text.find(";NOBJECTS[\r\n") + 12;
    text[digits + 20] = text[digits + 20] == '0' ? '1' : '0'; // one digit changed
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), static_cast<qint64>(text.size()));
    f.close();
    Workbook back;
    TemplateLoadResult r = TemplateFile::load(path, back, prompter);
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка пpи чтении фоpмы!\n");
    EXPECT_EQ(r.report.unreadableObjectBlocks, 1);
    EXPECT_TRUE(back.sheet(1).objects().empty());
    EXPECT_EQ(back.sheet(1).text(3, 6).rfind("OBJ=1.50|", 0), 0u);
    EXPECT_EQ(back.sheet(1).text(2, 3), "x");
    EXPECT_EQ(back.sheet(2).objects().size(), 1u) << "the other sheet's block is whole";
}

TEST_F(ObjectFiles, TurboCarriesObjectsInTheCompanion) {
    book.setNumSheets(1);
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Turbo, prompter));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const std::string text = f.readAll().toStdString();
    EXPECT_NE(text.find(";OBJECT\r\n"), std::string::npos);
    EXPECT_NE(text.find("printstr '1.50|3.00|0.25|1.75|1|2|['\r\n"), std::string::npos);
    Workbook back;
    TemplateFile::load(path, back, prompter);
    EXPECT_EQ(prompter.transcript(), "");
    const auto& objs = back.sheet().objects();
    ASSERT_EQ(objs.size(), 2u);
    EXPECT_DOUBLE_EQ(objs[0].y1, 2.25);
    EXPECT_EQ(objs[1].heightPx, 30);
    EXPECT_EQ(back.sheet().text(2, 3), "x");
}

} // namespace
} // namespace fc
