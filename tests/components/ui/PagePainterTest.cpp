#include "ViewFixture.h"

#include "components/model/Sheet.h"
#include "components/print/PageLayout.h"
#include "components/ui/PagePainter.h"

#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

namespace fc {
namespace {

// A formatted sheet as a result shows it: fonts, borders, a merge, patterns, number formats,
// a drawn object. No headings, no grid: the view shows what a page prints.
class PagePainting : public ViewFixture {
protected:
    void SetUp() override {
        ViewFixture::SetUp();
        ViewOptions v = book().view();
        v.showRowHeading = v.showColHeading = v.showGridLines = false;
        book().setView(v);
        Sheet& s = sheet();
        s.setMaxRow(14);
        s.setMaxCol(5);
        s.setColWidth(2, 14 * 256);
        s.setSelection(CellRange::cell(300, 100));
        s.setText(1, 2, "Sales by client");
        s.editStyle({1, 2, 1, 4}, [](Style& st) {
            st.font.bold = true;
            st.font.size = 14;
        });
        s.merge({1, 2, 1, 4});
        for (int r = 3; r <= 12; ++r) {
            s.setText(r, 2, "Client " + std::to_string(r));
            s.setNumber(r, 3, r * 1234.5);
            s.setNumber(r, 4, r % 3 == 0 ? -r : r / 7.0);
        }
        s.editStyle({3, 3, 12, 3}, [](Style& st) { st.numberFormat = "# ##0.00"; });
        s.editStyle({3, 4, 12, 4}, [](Style& st) { st.numberFormat = "0.0%"; });
        s.editStyle({2, 2, 12, 4}, [](Style& st) {
            for (BorderSide b :
                 {BorderSide::Left, BorderSide::Right, BorderSide::Top, BorderSide::Bottom}) {
                st.border(b).style = BorderStyle::Thin;
            }
        });
        s.editStyle({13, 2, 13, 4}, [](Style& st) {
            st.fill.pattern = 1;
            st.fill.fg = rgb(255, 255, 0);
            st.font.italic = true;
        });
        s.setText(13, 2, "Total");
        s.createObject(ObjectKind::Rectangle, 4.2, 3.2, 4.8, 5.8);
        PrintSettings& p = s.print();
        p.leftMargin = p.topMargin = 0.5;
        p.noColor = false;
        QApplication::processEvents();
    }
    // The page as pdftoppm draws it at 96 dots per inch.
    QImage pdfPage(const QString& pdf) {
        const QString base = dir.filePath("page");
        QProcess p;
        p.start(QStringLiteral("pdftoppm"),
                {"-r", "96", "-png", "-singlefile", "-f", "1", "-l", "1", pdf, base});
        if (!p.waitForFinished(30000) || p.exitCode() != 0) {
            return {};
        }
        return QImage(base + ".png");
    }
    QTemporaryDir dir;
};

// Share of pixels whose grey levels differ by more than `by`, after both pictures are halved
// (text is anti-aliased by two different rasterizers).
double differing(const QImage& a, const QImage& b, int by) {
    const QSize half = a.size() / 2;
    const QImage x = a.convertToFormat(QImage::Format_Grayscale8)
                         .scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage y = b.convertToFormat(QImage::Format_Grayscale8)
                         .scaled(half, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int n = 0;
    for (int j = 0; j < half.height(); ++j) {
        for (int i = 0; i < half.width(); ++i) {
            n += std::abs(qGray(x.pixel(i, j)) - qGray(y.pixel(i, j))) > by ? 1 : 0;
        }
    }
    return double(n) / (half.width() * half.height());
}

TEST_F(PagePainting, APdfPageLooksAsTheSheetView) {
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty()) {
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    }
    const QString pdf = dir.filePath("sheet.pdf");
    {
        QPdfWriter writer(pdf);
        ASSERT_EQ(printWorkbook(book(), writer, view.measurer(), "sheet"), 1);
    }
    const QImage page = pdfPage(pdf);
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 794, 1) << "A4 at 96 dots per inch";
    const print::PageLayout layout(sheet(), view.measurer());
    const print::Page& first = layout.pages().front();
    const QSize cells(static_cast<int>(layout.contentWidth(first)),
                      static_cast<int>(layout.contentHeight(first)));
    const QImage printed = page.copy(QRect(QPoint(48, 48), cells));
    const QImage shown = grab().copy(QRect(QPoint(0, 0), cells));
    if (const char* keep = std::getenv("FC_PAGE_PICTURES")) {
        printed.save(QString::fromLocal8Bit(keep) + "/printed.png");
        shown.save(QString::fromLocal8Bit(keep) + "/shown.png");
    }
    EXPECT_LT(differing(printed, shown, 96), 0.02);
    // And it is not a blank that matches a blank.
    EXPECT_GT(inkIn(printed, printed.rect()), 500);
}

TEST_F(PagePainting, BlackAndWhiteDropsFillsAndHeadersPrint) {
    sheet().print().footer = "&LPage &P of &N";
    const print::PageLayout layout(sheet(), view.measurer());
    auto paintPage = [&] {
        QImage img(794, 1123, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        PagePainter painter;
        print::PageFields f;
        painter.paint(p, sheet(), print::PageLayout(sheet(), view.measurer()),
                      layout.pages().front(), QRectF(0, 0, 794, 1123), f);
        return img;
    };
    const QRect fill = view.cellRect(13, 3).translated(48, 48).adjusted(3, 3, -3, -3);
    QImage colour = paintPage();
    EXPECT_EQ(QColor(colour.pixel(fill.center())), QColor(255, 255, 0));
    EXPECT_GT(inkIn(colour, QRect(40, 1123 - 60, 200, 50)), 20) << "the footer";
    sheet().print().noColor = true;
    QImage mono = paintPage();
    EXPECT_EQ(QColor(mono.pixel(fill.center())), QColor(Qt::white));
}

} // namespace
} // namespace fc
