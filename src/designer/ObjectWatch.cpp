#include "designer/ObjectWatch.h"

#include "components/model/Workbook.h"

#include <algorithm>

namespace fc {

bool sameObject(const DrawnObject& a, const DrawnObject& b) {
    return a.id == b.id && a.kind == b.kind && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 &&
           a.y2 == b.y2 && a.text == b.text && a.value == b.value && a.linkedCell == b.linkedCell &&
           a.inputRange == b.inputRange && a.items == b.items && a.heightPx == b.heightPx &&
           a.points == b.points && a.lineColor == b.lineColor && a.fillColor == b.fillColor &&
           a.lineStyle == b.lineStyle && a.chartType == b.chartType && a.image == b.image;
}

void ObjectWatch::sync(const Workbook& book) {
    sheets_.resize(static_cast<std::size_t>(book.numSheets()));
    for (int n = 1; n <= book.numSheets(); ++n) {
        sheets_[static_cast<std::size_t>(n - 1)] = book.sheet(n).objects();
    }
}

bool ObjectWatch::changed(const Workbook& book) {
    bool differs = static_cast<int>(sheets_.size()) != book.numSheets();
    for (int n = 1; n <= book.numSheets() && !differs; ++n) {
        const std::vector<DrawnObject>& now = book.sheet(n).objects();
        const std::vector<DrawnObject>& then = sheets_[static_cast<std::size_t>(n - 1)];
        differs = now.size() != then.size() ||
                  !std::equal(now.begin(), now.end(), then.begin(), sameObject);
    }
    if (differs) {
        sync(book);
    }
    return differs;
}

} // namespace fc
