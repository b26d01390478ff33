#include "designer/ObjectTransfer.h"

#include "components/model/Sheet.h"
#include "designer/DesignerSheet.h"
#include "designer/TemplateText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace fc {

namespace {

std::optional<double> decimal(std::string_view s) {
    std::string t(tpl::trimmed(s));
    std::replace(t.begin(), t.end(), ',', '.');
    return tpl::parseNumber(t);
}

} // namespace

std::string PlacementRecord::format() const {
    char buf[160];
    if (kind == static_cast<int>(ObjectKind::Picture)) {
        std::snprintf(buf, sizeof buf, "%.2f|%.2f|%.2f|%d|%d|%d|[", left, right, topFraction,
                      static_cast<int>(std::lround(height)), id, kind);
    } else {
        std::snprintf(buf, sizeof buf, "%.2f|%.2f|%.2f|%.2f|%d|%d|[", left, right, topFraction,
                      height, id, kind);
    }
    // The file wants a decimal point whatever the process's numeric locale says.
    std::string out(buf);
    std::replace(out.begin(), out.end(), ',', '.');
    return out;
}

std::vector<PlacementRecord> PlacementRecord::parseAll(std::string_view text) {
    std::vector<PlacementRecord> out;
    text = tpl::trimmed(text);
    if (tpl::startsWith(text, "OBJ=")) {
        text.remove_prefix(4);
    }
    while (!text.empty()) {
        const std::size_t end = text.find('[');
        std::string_view one = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        std::vector<std::string_view> f;
        std::size_t start = 0;
        for (std::size_t bar = one.find('|'); bar != std::string_view::npos;
             bar = one.find('|', start)) {
            f.push_back(one.substr(start, bar - start));
            start = bar + 1;
        }
        if (f.size() < 6) {
            continue;
        }
        auto l = decimal(f[0]), r = decimal(f[1]), t = decimal(f[2]), h = decimal(f[3]);
        auto id = tpl::parseInt(f[4]), kind = tpl::parseInt(f[5]);
        if (!l || !r || !t || !h || !id || !kind) {
            continue;
        }
        out.push_back({*l, *r, *t, *h, *id, *kind});
    }
    return out;
}

namespace objects {

Collected collect(const Sheet& sheet, Sheet& objectSheet, bool statementRowsAllowed) {
    Collected out;
    for (const DrawnObject& obj : sheet.objects()) {
        const double top = std::min(obj.y1, obj.y2);
        const int row = std::clamp(static_cast<int>(std::floor(top)) + 1, 1, kMaxRows);
        if (std::min(obj.x1, obj.x2) < 1.0 ||
            (!statementRowsAllowed && designer::isStatementRow(sheet, row))) {
            out.misplaced = obj.id;
            out.records.clear();
            return out;
        }
        DrawnObject copy = obj;
        copy.selected = false;
        PlacementRecord rec;
        rec.left = std::min(obj.x1, obj.x2);
        rec.right = std::max(obj.x1, obj.x2);
        rec.topFraction = top - std::floor(top);
        rec.kind = static_cast<int>(obj.kind);
        rec.height = obj.kind == ObjectKind::Picture ? obj.heightPx : std::fabs(obj.y2 - obj.y1);
        rec.id = objectSheet.addObject(std::move(copy));
        out.records[row] += rec.format();
    }
    return out;
}

int place(Sheet& sheet, const Sheet& objectSheet) {
    const int col = designer::objectCol(sheet);
    const double bottom = sheet.maxRow();
    int placed = 0;
    for (int r = 1; r <= sheet.maxRow() && r <= sheet.storedRows(); ++r) {
        const std::string text = sheet.text(r, col);
        if (!tpl::startsWith(tpl::trimmed(text), "OBJ=")) {
            continue;
        }
        for (const PlacementRecord& rec : PlacementRecord::parseAll(text)) {
            const DrawnObject* src = objectSheet.object(rec.id);
            if (!src) {
                continue;
            }
            DrawnObject o = *src;
            const double top = r - 1 + std::clamp(rec.topFraction, 0.0, 0.99);
            double low;
            if (o.kind == ObjectKind::Picture) {
                // A picture keeps its own height in pixels, whatever the rows it covers.
                o.heightPx = static_cast<int>(std::lround(std::max(0.0, rec.height)));
                low = sheet.rowsBelow(top, o.heightPx);
            } else {
                low = top + std::max(0.0, rec.height);
            }
            low = std::max(top, std::min(low, bottom));
            setEdges(o, std::min(rec.left, rec.right), top, std::max(rec.left, rec.right), low);
            o.selected = false;
            sheet.addObject(std::move(o));
            ++placed;
        }
    }
    sheet.clear(CellRange{1, col, sheet.maxRow(), col}, ClearWhat::Values);
    return placed;
}

bool hasWaitingRecords(const Sheet& sheet) {
    const int col = designer::objectCol(sheet);
    for (int r = 1; r <= sheet.maxRow() && r <= sheet.storedRows(); ++r) {
        const Cell* c = sheet.cell(r, col);
        if (c && c->kind == ValueKind::Text && tpl::startsWith(tpl::trimmed(c->text), "OBJ=")) {
            return true;
        }
    }
    return false;
}

} // namespace objects
} // namespace fc
