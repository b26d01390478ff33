#include "designer/ui/DesignerObjects.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"
#include "designer/ui/ObjectFormatDialog.h"
#include "designer/ui/PictureDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace fc {
namespace {

class DesignerObjectsTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        view.resize(640, 400);
        view.show();
        QApplication::processEvents();
        QObject::connect(&view, &SheetView::selChange, [this] { ++selChanges; });
    }
    QString picture(const char* name, const char* format, QSize size) {
        QImage img(size, QImage::Format_ARGB32);
        img.fill(QColor(10, 200, 30));
        const QString path = dir.filePath(QString::fromLatin1(name));
        EXPECT_TRUE(img.save(path, format));
        return path;
    }
    Sheet& sheet() { return view.workbook().sheet(); }

    QTemporaryDir dir;
    SheetView view;
    ScriptedPrompter prompter;
    DesignerObjects objects{view, prompter};
    int selChanges = 0;
};

TEST_F(DesignerObjectsTest, PictureDialogReadsTheCommonTypes) {
    struct Case {
        const char* name;
        const char* format;
    };
    const Case cases[] = {{"p.bmp", "BMP"}, {"p.png", "PNG"}, {"p.jpg", "JPG"}, {"p.ico", "ICO"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (!QImageReader::supportedImageFormats().contains(QByteArray(c.format).toLower())) {
            continue;
        }
        PictureDialog d;
        ASSERT_TRUE(d.load(picture(c.name, c.format, QSize(32, 24))));
        EXPECT_EQ(d.pictureSize(), QSize(32, 24));
        EXPECT_FALSE(d.findChild<QLabel*>("picturePreview")->pixmap().isNull());
    }
    if (QImageReader::supportedImageFormats().contains("svg")) {
        QFile f(dir.filePath("d.svg"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("<svg xmlns='http://www.w3.org/2000/svg' width='40' height='30'>"
                "<circle cx='20' cy='15' r='10' fill='red'/></svg>");
        f.close();
        PictureDialog d;
        ASSERT_TRUE(d.load(f.fileName()));
        EXPECT_EQ(d.pictureSize(), QSize(40, 30)) << "a drawing at its own size";
    }
    // A file that is no picture chooses nothing.
    QFile bad(dir.filePath("bad.bmp"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("BM not really");
    bad.close();
    PictureDialog d;
    EXPECT_FALSE(d.load(bad.fileName()));
    EXPECT_TRUE(d.bytes().empty());
    EXPECT_FALSE(d.load(dir.filePath("missing.png")));
}

TEST_F(DesignerObjectsTest, PictureIsInsertedAtTheSelection) {
    sheet().setSelection({3, 4, 5, 6});
    const QString path = picture("in.png", "PNG", QSize(50, 40));
    objects.runPictureDialog = [&](PictureDialog& d) { return d.load(path); };
    objects.insertPicture();
    ASSERT_EQ(sheet().objects().size(), 1u);
    const DrawnObject& o = sheet().objects()[0];
    EXPECT_EQ(o.kind, ObjectKind::Picture);
    EXPECT_DOUBLE_EQ(o.x1, 3);
    EXPECT_DOUBLE_EQ(o.y1, 2);
    EXPECT_EQ(o.heightPx, 40);
    const QRectF box = view.sheetLayout().objectRect(o.x1, o.y1, o.x2, o.y2);
    EXPECT_NEAR(box.width(), 50, 1) << "its own size on the screen";
    EXPECT_NEAR(box.height(), 40, 1);
    EXPECT_TRUE(o.selected);
    EXPECT_EQ(sheet().activeCell(), (CellRef{3, 4})) << "the cell under its corner";

    // Cancelled, nothing happens; a file that is no picture is reported.
    objects.runPictureDialog = [](PictureDialog&) { return false; };
    objects.insertPicture();
    EXPECT_EQ(sheet().objects().size(), 1u);
    EXPECT_FALSE(objects.insertPictureFile(dir.filePath("none.png")));
    EXPECT_EQ(prompter.transcript(), "Ошибка:|Не могу откpыть файл !!!\n");
}

TEST_F(DesignerObjectsTest, ClickedObjectSelectsTheCellUnderItsCorner) {
    const int id = sheet().createObject(ObjectKind::Rectangle, 2.5, 4.5, 5, 7);
    sheet().setActiveCell(1, 1);
    selChanges = 0;
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.cellRect(6, 4).center());
    EXPECT_EQ(sheet().selectedObjects(), (std::vector<int>{id}));
    EXPECT_EQ(sheet().activeCell(), (CellRef{5, 3}));
    EXPECT_EQ(selChanges, 1) << "one event: the object's, none for the cell";
    // Moving it takes the cell along.
    QTest::mousePress(view.viewport(), Qt::LeftButton, {}, view.cellRect(6, 4).center());
    QTest::mouseMove(view.viewport(), view.cellRect(7, 5).center());
    QTest::mouseMove(view.viewport(), view.cellRect(8, 6).center());
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, view.cellRect(8, 6).center());
    EXPECT_EQ(sheet().activeCell(), (CellRef{7, 5}));
}

TEST_F(DesignerObjectsTest, FormatEditsTextColoursAndLinks) {
    EXPECT_FALSE(objects.formatObject()) << "no object: the cells' dialog";
    const int check = sheet().createObject(ObjectKind::CheckBox, 1, 1, 3, 2);
    sheet().selectObject(check);
    view.workbook().setModified(false);
    objects.runFormatDialog = [](ObjectFormatDialog& d) {
        d.findChild<QPlainTextEdit*>("objectText")->setPlainText(QStringLiteral("Итоги rerun"));
        d.findChild<QLineEdit*>("linkedCell")->setText(QStringLiteral(" $F$2 "));
        EXPECT_EQ(d.findChild<QLineEdit*>("inputRange"), nullptr) << "no range for a check box";
        d.setLineColor(rgb(0, 0, 128));
        d.setFillColor(rgb(255, 255, 0));
        d.findChild<QCheckBox*>("fillColorAuto")->setChecked(true); // and back to none
        return true;
    };
    EXPECT_TRUE(objects.formatObject());
    const DrawnObject& o = *sheet().object(check);
    EXPECT_EQ(o.text, w("Итоги rerun"));
    EXPECT_EQ(o.linkedCell, "$F$2");
    EXPECT_EQ(o.lineColor, rgb(0, 0, 128));
    EXPECT_EQ(o.fillColor, kAutoColor);
    EXPECT_TRUE(view.workbook().modified());

    const int list = sheet().createObject(ObjectKind::ListBox, 4, 1, 6, 5);
    const int chart = sheet().createObject(ObjectKind::Chart, 4, 6, 8, 12);
    sheet().selectObject(list);
    objects.runFormatDialog = [](ObjectFormatDialog& d) {
        d.findChild<QPlainTextEdit*>("listItems")->setPlainText(QStringLiteral("a\nб\n\n"));
        return true;
    };
    objects.formatObject();
    EXPECT_EQ(sheet().object(list)->items, (std::vector<std::string>{"a", w("б")}));
    sheet().selectObject(chart);
    objects.runFormatDialog = [](ObjectFormatDialog& d) {
        d.findChild<QLineEdit*>("inputRange")->setText(QStringLiteral("B1:B5"));
        d.findChild<QComboBox*>("chartType")->setCurrentIndex(1);
        d.findChild<QPlainTextEdit*>("objectText")->setPlainText(QStringLiteral("x"));
        return false; // cancelled
    };
    objects.formatObject();
    EXPECT_EQ(sheet().object(chart)->inputRange, "");
    EXPECT_EQ(sheet().object(chart)->chartType, 0);
}

TEST_F(DesignerObjectsTest, DeleteTakesTheSelectionWithItsObjects) {
    sheet().setText(2, 2, "cell");
    sheet().createObject(ObjectKind::Oval, 1.2, 1.2, 3, 3); // starts in B2
    const int far = sheet().createObject(ObjectKind::Line, 9, 9, 10, 10);
    sheet().setSelection({2, 2, 3, 3});
    EXPECT_EQ(objects.deleteSelection(), 1);
    EXPECT_EQ(sheet().text(2, 2), "");
    ASSERT_EQ(sheet().objects().size(), 1u);
    EXPECT_EQ(sheet().objects()[0].id, far);
}

} // namespace
} // namespace fc
