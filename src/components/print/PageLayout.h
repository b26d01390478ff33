#pragma once

#include "components/model/Types.h"
#include "components/print/PaperSize.h"

#include <vector>

namespace fc {

class Sheet;
class TextMeasurer;

namespace print {

// An inclusive run of rows or columns (1-based); empty when last < first.
struct Band {
    int first = 1, last = 0;
    bool empty() const { return last < first; }
    bool contains(int i) const { return i >= first && i <= last; }
    friend bool operator==(const Band& a, const Band& b) {
        return (a.empty() && b.empty()) || (a.first == b.first && a.last == b.last);
    }
};

// One printed page: the print titles repeated on it (empty where the page itself starts at or
// before them) and the part of the print area it carries.
struct Page {
    int number = 1;
    Band titleRows, rows;
    Band titleCols, cols;
};

// The paper after orientation and the margins, in pixels at 96 dots per inch (the sheet's own
// unit at 100 percent).
struct Paper {
    PaperSize size;
    bool landscape = false;
    double width = 0, height = 0;
    double left = 0, top = 0, right = 0, bottom = 0;
    double header = 0, footer = 0; // from the top and the bottom edge
};

// A sheet laid out into pages by its print settings: the print area (several areas print one
// after the other; an empty area is the sheet's extent, and nothing beyond MaxRow and MaxCol
// ever prints), the print titles, the paper and margins, the scale or fit to pages, manual
// row and column breaks, hidden rows and columns, and horizontal and vertical centring. Pages
// run down, then over. Sizes are the sheet view's at 100 percent, so that a page shows cells
// exactly as the view does; `measurer` gives the width of the default font's "0".
class PageLayout {
public:
    PageLayout(const Sheet& sheet, const TextMeasurer& measurer);

    const std::vector<Page>& pages() const { return pages_; }
    const Paper& paper() const { return paper_; }
    // The scale used, in percent: the setting's, or what fitting to pages gave (10 to 100).
    int scale() const { return scale_; }

    // Pixels at 100 percent; 0 for hidden rows and columns and those out of the sheet.
    int rowSize(int r) const;
    int colSize(int c) const;
    int unitPx() const { return unitPx_; }
    // The cells of a page (titles included), at 100 percent.
    double contentWidth(const Page& p) const;
    double contentHeight(const Page& p) const;
    // Where the page's cells start on the paper, at 96 dots per inch.
    double originX(const Page& p) const;
    double originY(const Page& p) const;

private:
    struct Cut {
        Band band, titles;
    };
    using Breaks = bool (*)(const Sheet&, int);
    std::vector<Cut> split(const Band& area, const Band& titles, const std::vector<int>& sizes,
                           Breaks breakBefore, double capacity) const;
    int sum(const std::vector<int>& sizes, const Band& b) const;
    void layOut(int scale, bool keep, int& across, int& down);

    const Sheet& sheet_;
    int unitPx_ = 7;
    Paper paper_;
    int scale_ = 100;
    std::vector<int> rowSizes_, colSizes_; // index 0 unused
    std::vector<CellRange> areas_;
    Band titleRows_, titleCols_;
    std::vector<Page> pages_;
};

} // namespace print
} // namespace fc
