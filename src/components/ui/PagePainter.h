#pragma once

#include "components/print/HeaderFooter.h"
#include "components/print/PageLayout.h"
#include "components/ui/FontMapper.h"
#include "components/ui/SheetLayout.h"
#include "components/ui/SheetPainter.h"

#include <QRectF>

#include <string>

class QPagedPaintDevice;
class QPageLayout;
class QPainter;

namespace fc {

class Sheet;
class TextMeasurer;
class Workbook;

// Paints printed pages: the cells of a page drawn by the sheet view's own painter (so that
// fonts, borders, merges, patterns, number formats and objects look as on the screen), the
// page's scale and position on the paper, and the header and footer.
class PagePainter {
public:
    // Paints `page` with a painter whose coordinates cover the whole paper as `paper`.
    void paint(QPainter& p, const Sheet& s, const print::PageLayout& layout,
               const print::Page& page, const QRectF& paper, const print::PageFields& fields);

private:
    void paintHeaderFooter(QPainter& p, const Sheet& s, const print::Paper& paper,
                           const print::HeaderFooter& hf, bool header);

    FontMapper fonts_;
    SheetPainter cells_{fonts_};
    SheetLayout layout_;
};

// The paper of a laid-out sheet as Qt's page layout, with no margins: the pages place their
// cells themselves.
QPageLayout pageLayoutOf(const print::Paper& paper);

// Paints the pages of every sheet of `book` on `device` (a printer, a PDF writer, a preview),
// each sheet with its own paper and page numbers; `file` is what "&F" prints. Returns the
// number of pages, or -1 when the device could not be painted on.
int printWorkbook(const Workbook& book, QPagedPaintDevice& device, const TextMeasurer& measurer,
                  const std::string& file);

} // namespace fc
