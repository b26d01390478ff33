#include "components/ui/PagePainter.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <QDateTime>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace fc {

namespace {

// The rows or columns of a page along one axis: the titles, then the page's own part.
void setAxis(LayoutAxis& axis, const print::Band& titles, const print::Band& own, int extent,
             const std::function<int(int)>& size) {
    const int count = std::max(titles.empty() ? 0 : titles.last, own.last);
    axis.setSizes(count,
                  [&](int i) { return titles.contains(i) || own.contains(i) ? size(i) : 0; });
    axis.place(0, extent, 1, 0, 1);
}

} // namespace

void PagePainter::paint(QPainter& p, const Sheet& s, const print::PageLayout& layout,
                        const print::Page& page, const QRectF& paper,
                        const print::PageFields& fields) {
    const print::Paper& pp = layout.paper();
    p.save();
    // Paper coordinates: pixels at 96 dots per inch from the paper's top left corner.
    p.translate(paper.topLeft());
    p.scale(paper.width() / pp.width, paper.height() / pp.height);

    const PrintSettings& ps = s.print();
    paintHeaderFooter(p, s, pp, print::expandHeaderFooter(ps.header, fields), true);
    paintHeaderFooter(p, s, pp, print::expandHeaderFooter(ps.footer, fields), false);

    const int width = static_cast<int>(std::ceil(layout.contentWidth(page)));
    const int height = static_cast<int>(std::ceil(layout.contentHeight(page)));
    setAxis(layout_.rows(), page.titleRows, page.rows, height,
            [&](int r) { return layout.rowSize(r); });
    setAxis(layout_.cols(), page.titleCols, page.cols, width,
            [&](int c) { return layout.colSize(c); });
    p.translate(layout.originX(page), layout.originY(page));
    p.scale(layout.scale() / 100.0, layout.scale() / 100.0);
    // Borders on the outer edge lie half outside the cells.
    p.setClipRect(QRect(-2, -2, width + 4, height + 4));

    PaintOptions o;
    o.gridLines = ps.gridLines;
    o.zeroValues = s.workbook().view().showZeroValues;
    o.selection = false;
    o.printing = true;
    o.monochrome = ps.noColor;
    cells_.paint(p, s, layout_, QRect(0, 0, width, height), o);
    p.restore();
}

void PagePainter::paintHeaderFooter(QPainter& p, const Sheet& s, const print::Paper& paper,
                                    const print::HeaderFooter& hf, bool header) {
    if (hf.empty()) {
        return;
    }
    const QRectF band(paper.left, header ? paper.header : 0, paper.width - paper.left - paper.right,
                      header ? paper.top - paper.header : paper.height - paper.footer);
    const std::pair<const print::HeaderPart*, Qt::Alignment> parts[] = {
        {&hf.left, Qt::AlignLeft}, {&hf.center, Qt::AlignHCenter}, {&hf.right, Qt::AlignRight}};
    for (const auto& [part, align] : parts) {
        if (part->text.empty()) {
            continue;
        }
        Font f;
        f.name = part->fontName.empty() ? s.workbook().defaultFont().name : part->fontName;
        f.size = part->fontSize > 0 ? part->fontSize : 10;
        f.bold = part->bold;
        f.italic = part->italic;
        f.underline = part->underline;
        f.strikeout = part->strikeout;
        p.setFont(FontMapper::toQFont(f));
        p.setPen(Qt::black);
        // A header hangs from its margin, a footer stands on its own.
        const QRectF box = header ? QRectF(band.left(), band.top(), band.width(), 4000)
                                  : QRectF(band.left(), band.bottom() - 4000, band.width(), 4000);
        p.drawText(box, int(align | (header ? Qt::AlignTop : Qt::AlignBottom)),
                   cp1251::toQString(part->text));
    }
}

QPageLayout pageLayoutOf(const print::Paper& paper) {
    const QPageSize size(QSizeF(paper.size.widthMm, paper.size.heightMm), QPageSize::Millimeter,
                         QString(), QPageSize::FuzzyMatch);
    return QPageLayout(size, paper.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0));
}

int printWorkbook(const Workbook& book, QPagedPaintDevice& device, const TextMeasurer& measurer,
                  const std::string& file) {
    PagePainter painter;
    QPainter p;
    int pages = 0;
    const QDateTime now = QDateTime::currentDateTime();
    print::PageFields fields;
    fields.file = file;
    fields.date = cp1251::fromQString(now.toString(QStringLiteral("dd.MM.yyyy")));
    fields.time = cp1251::fromQString(now.toString(QStringLiteral("hh:mm")));
    for (int n = 1; n <= book.numSheets(); ++n) {
        const Sheet& s = book.sheet(n);
        const print::PageLayout layout(s, measurer);
        fields.sheet = s.name();
        fields.pages = static_cast<int>(layout.pages().size());
        for (const print::Page& page : layout.pages()) {
            device.setPageLayout(pageLayoutOf(layout.paper()));
            if (pages == 0) {
                if (!p.begin(&device)) {
                    return -1;
                }
            } else if (!device.newPage()) {
                p.end();
                return -1;
            }
            // The device's page in its own units; the paper at its resolution.
            const double unit = device.logicalDpiX() / 96.0;
            fields.page = page.number;
            painter.paint(p, s, layout, page,
                          QRectF(0, 0, layout.paper().width * unit, layout.paper().height * unit),
                          fields);
            ++pages;
        }
    }
    if (pages > 0 && !p.end()) {
        return -1;
    }
    return pages;
}

} // namespace fc
