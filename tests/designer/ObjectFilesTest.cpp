// The edge cases of drawn objects through save and reload, in each layout that carries them.
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "designer/DesignerSheet.h"
#include "designer/TemplateFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace fc {
namespace {

std::string readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

const char* formatName(TemplateFormat f) {
    return f == TemplateFormat::Table ? "table" : f == TemplateFormat::Ext ? "ext" : "turbo";
}

class ObjectEdgeCases : public testing::TestWithParam<TemplateFormat> {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("edge.rpt");
        Sheet& s = book.sheet();
        s.setMaxCol(5);
        s.setMaxRow(6);
        s.setText(1, 1, "FOR I");
        s.setText(2, 3, "x");
        s.setText(4, 2, "y");
    }
    DrawnObject& add(ObjectKind k, double x1, double y1, double x2, double y2) {
        Sheet& s = book.sheet();
        return *s.object(s.createObject(k, x1, y1, x2, y2));
    }
    bool save() { return TemplateFile::save(path, book, GetParam(), prompter); }
    bool turbo() const { return GetParam() == TemplateFormat::Turbo; }
    // Saves, checks that nothing was said, reloads.
    void roundTrip() {
        ASSERT_TRUE(save()) << prompter.transcript();
        text = readFile(path);
        TemplateFile::load(path, back, prompter);
        EXPECT_EQ(prompter.transcript(), "");
    }
    // The placement records as the file spells them: the ";OBJ=" line of the table format,
    // one "printstr" line a record in the extended layouts.
    std::string spelled(const std::vector<std::string>& records) const {
        std::string out;
        if (GetParam() == TemplateFormat::Table) {
            out = ";OBJ=";
            for (const std::string& r : records) {
                out += r;
            }
            return out + "\r\n";
        }
        if (GetParam() == TemplateFormat::Ext) {
            out = "\tOBJ=";
            for (const std::string& r : records) {
                out += r;
            }
            return out;
        }
        for (const std::string& r : records) {
            out += "printstr '" + r + "'\r\n";
        }
        return out;
    }

    QTemporaryDir dir;
    QString path;
    Workbook book, back;
    ScriptedPrompter prompter;
    std::string text;
};

TEST_P(ObjectEdgeCases, SheetWithoutObjectsWritesNone) {
    roundTrip();
    EXPECT_EQ(text.find("OBJ"), std::string::npos);
    EXPECT_TRUE(back.sheet().objects().empty());
    const Sheet& b = back.sheet();
    for (int r = 1; r <= b.maxRow(); ++r) {
        EXPECT_EQ(b.text(r, designer::objectCol(b)), "") << "row " << r;
    }
    EXPECT_EQ(b.text(2, 3), "x");
}

TEST_P(ObjectEdgeCases, TwoObjectsInOneRowInSheetOrder) {
    add(ObjectKind::Rectangle, 1.5, 2.25, 3.126, 4);
    DrawnObject& button = add(ObjectKind::Button, 2, 2.5, 4, 3);
    button.text = "Go";
    add(ObjectKind::Oval, 2.04, 4.994, 4.5, 5.5); // starts in row 5 with a fraction near 1
    roundTrip();
    EXPECT_NE(text.find(spelled({"1.50|3.13|0.25|1.75|1|2|[", "2.00|4.00|0.50|0.50|2|7|["})),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(spelled({"2.04|4.50|0.99|0.51|3|3|["})), std::string::npos) << text;
    if (turbo()) {
        EXPECT_NE(text.find(";OBJECT\r\n"), std::string::npos);
    }
    const auto& objs = back.sheet().objects();
    ASSERT_EQ(objs.size(), 3u);
    EXPECT_EQ(objs[0].kind, ObjectKind::Rectangle);
    EXPECT_DOUBLE_EQ(objs[0].x2, 3.13) << "as written, two decimals";
    EXPECT_DOUBLE_EQ(objs[0].y1, 2.25);
    EXPECT_DOUBLE_EQ(objs[0].y2, 4);
    EXPECT_EQ(objs[1].kind, ObjectKind::Button);
    EXPECT_EQ(objs[1].text, "Go");
    EXPECT_DOUBLE_EQ(objs[2].y1, 4.99);
    EXPECT_EQ(back.sheet().text(3, designer::objectCol(back.sheet())), "");
}

TEST_P(ObjectEdgeCases, PictureKeepsItsOwnIntegerHeight) {
    book.sheet().setRowHeight(3, 600); // 40 px
    DrawnObject& pic = add(ObjectKind::Picture, 1, 2.5, 3, 4);
    pic.image = std::string("\x89PNG\r\n\x1a\n", 8) + std::string(300, 'p');
    pic.heightPx = 45;
    roundTrip();
    EXPECT_NE(text.find(spelled({"1.00|3.00|0.50|45|1|11|["})), std::string::npos) << text;
    ASSERT_EQ(back.sheet().objects().size(), 1u);
    const DrawnObject& p = back.sheet().objects()[0];
    EXPECT_EQ(p.heightPx, 45);
    EXPECT_EQ(p.image, pic.image);
    const Sheet& b = back.sheet();
    const double rest = 45 - 0.5 * b.rowHeight(3) / 15.0;
    EXPECT_NEAR(p.y2, 3 + rest / (b.rowHeight(4) / 15.0), 1e-9)
        << "its pixels laid over the rows it covers";
}

TEST_P(ObjectEdgeCases, ObjectOnAStatementRow) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    add(ObjectKind::Line, 2, 0.5, 4, 2);
    if (!turbo()) {
        EXPECT_FALSE(save());
        EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка pасположения oбъекта!!!\n");
        EXPECT_EQ(readFile(path), "old");
        EXPECT_EQ(book.sheet().activeCell(), (CellRef{1, 3}));
        return;
    }
    roundTrip();
    ASSERT_EQ(back.sheet().objects().size(), 1u);
    EXPECT_DOUBLE_EQ(back.sheet().objects()[0].y1, 0.5);
    EXPECT_EQ(back.sheet().text(1, 1), "FOR I") << "the statement stays";
}

TEST_P(ObjectEdgeCases, ObjectInColumnOneIsRefused) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("old");
    f.close();
    add(ObjectKind::Rectangle, 2, 2, 3, 3);
    add(ObjectKind::Oval, 0.5, 3, 2, 4);
    EXPECT_FALSE(save());
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Ошибка pасположения oбъекта!!!\n");
    EXPECT_EQ(readFile(path), "old") << "nothing written";
    EXPECT_FALSE(QFile::exists(path + ".tmp"));
    EXPECT_TRUE(book.sheet().objects()[1].selected);
    EXPECT_FALSE(book.sheet().objects()[0].selected);
}

TEST_P(ObjectEdgeCases, ObjectBelowMaxRowIsCutBack) {
    add(ObjectKind::Rectangle, 2, 4.5, 4, 9.25);
    roundTrip();
    ASSERT_EQ(back.sheet().objects().size(), 1u);
    EXPECT_EQ(back.sheet().maxRow(), 6);
    EXPECT_DOUBLE_EQ(back.sheet().objects()[0].y1, 4.5);
    EXPECT_DOUBLE_EQ(back.sheet().objects()[0].y2, 6);
}

TEST_P(ObjectEdgeCases, ControlsKeepTheirSettings) {
    DrawnObject& check = add(ObjectKind::CheckBox, 1, 3, 3, 4);
    check.linkedCell = "$E$4";
    check.lineColor = rgb(200, 0, 0);
    DrawnObject& list = add(ObjectKind::ListBox, 3, 3, 5, 6);
    list.items = {"one", "two"};
    list.value = 2;
    DrawnObject& chart = add(ObjectKind::Chart, 1, 4, 4, 6);
    chart.inputRange = "B4:D4";
    chart.chartType = 1;
    DrawnObject& poly = add(ObjectKind::Polygon, 1, 3, 3, 5);
    poly.points = {{1, 5}, {2, 3}, {3, 5}, {1.5, 4}};
    poly.fillColor = rgb(1, 2, 3);
    roundTrip();
    // Placed row by row: the chart, a row lower, comes last.
    const auto& o = back.sheet().objects();
    ASSERT_EQ(o.size(), 4u);
    EXPECT_EQ(o[0].linkedCell, "$E$4");
    EXPECT_EQ(o[0].lineColor, rgb(200, 0, 0));
    EXPECT_EQ(o[1].items, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(o[1].value, 2);
    ASSERT_EQ(o[2].points.size(), 4u);
    EXPECT_DOUBLE_EQ(o[2].points[3].first, 1.5);
    EXPECT_DOUBLE_EQ(o[2].points[3].second, 4);
    EXPECT_EQ(o[2].fillColor, rgb(1, 2, 3));
    EXPECT_EQ(o[3].inputRange, "B4:D4");
    EXPECT_EQ(o[3].chartType, 1);
}

TEST_P(ObjectEdgeCases, LinesAndArcsKeepTheirDirection) {
    // Drawn from lower left to upper right; an arc from upper right to lower left, as a file
    // may carry it.
    add(ObjectKind::Line, 1.5, 4.75, 3.25, 2.5);
    DrawnObject& arc = add(ObjectKind::Arc, 2, 2.25, 4, 5);
    std::swap(arc.x1, arc.x2);
    add(ObjectKind::Line, 2, 3, 4.5, 3.5); // falling, as drawn
    roundTrip();
    // The records give the edges, left before right, whatever the direction.
    EXPECT_NE(text.find(spelled({"1.50|3.25|0.50|2.25|1|1|[", "2.00|4.00|0.25|2.75|2|4|["})),
              std::string::npos)
        << text;
    const auto& o = back.sheet().objects();
    ASSERT_EQ(o.size(), 3u);
    auto corners = [](const DrawnObject& d) { return std::vector<double>{d.x1, d.y1, d.x2, d.y2}; };
    EXPECT_EQ(corners(o[0]), (std::vector<double>{1.5, 4.75, 3.25, 2.5})) << "still rising";
    EXPECT_EQ(corners(o[1]), (std::vector<double>{4, 2.25, 2, 5}));
    EXPECT_EQ(corners(o[2]), (std::vector<double>{2, 3, 4.5, 3.5}));

    // And once more, from what was read.
    book.swapContents(back);
    roundTrip();
    EXPECT_EQ(corners(back.sheet().objects()[0]), (std::vector<double>{1.5, 4.75, 3.25, 2.5}));
}

INSTANTIATE_TEST_SUITE_P(Layouts, ObjectEdgeCases,
                         testing::Values(TemplateFormat::Table, TemplateFormat::Ext,
                                         TemplateFormat::Turbo),
                         [](const auto& info) { return std::string(formatName(info.param)); });

TEST(ObjectCopies, FromAnotherWorkbookAreSaved) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Workbook from;
    Sheet& a = from.sheet();
    const int pic = a.createObject(ObjectKind::Picture, 0.25, 0.5, 1, 2);
    a.object(pic)->image = "GIF89a....";
    a.createObject(ObjectKind::Button, 0.5, 0.5, 1, 1);
    const ClipData clip = a.copy({1, 1, 2, 2});

    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(6);
    s.setMaxRow(8);
    s.setText(1, 1, "FOR I");
    s.paste(clip, {3, 3});
    ASSERT_EQ(s.objects().size(), 2u);
    ScriptedPrompter prompter;
    const QString path = dir.filePath("copied.rpt");
    ASSERT_TRUE(TemplateFile::save(path, book, TemplateFormat::Table, prompter));
    Workbook back;
    TemplateFile::load(path, back, prompter);
    EXPECT_EQ(prompter.transcript(), "");
    ASSERT_EQ(back.sheet().objects().size(), 2u);
    EXPECT_EQ(back.sheet().objects()[0].image, "GIF89a....");
    EXPECT_DOUBLE_EQ(back.sheet().objects()[0].x1, 2.25);
    EXPECT_DOUBLE_EQ(back.sheet().objects()[1].y1, 2.5);
}

} // namespace
} // namespace fc
