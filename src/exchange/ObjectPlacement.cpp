#include "exchange/ObjectPlacement.h"

#include "components/model/Sheet.h"
#include "designer/ObjectEdges.h"
#include "exchange/AnswerText.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultRows.h"

#include <algorithm>
#include <cmath>

namespace fc {

std::optional<std::vector<PlacementRecord>> parsePlacements(std::string_view text) {
    text = answer::trimmed(text);
    if (answer::startsWith(text, "OBJ=")) {
        text.remove_prefix(4);
    }
    std::vector<PlacementRecord> out;
    while (!text.empty()) {
        const std::size_t end = text.find('[');
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        std::string_view rec = text.substr(0, end);
        double f[6];
        for (double& v : f) {
            const std::size_t bar = rec.find('|');
            if (bar == std::string_view::npos) {
                return std::nullopt;
            }
            const std::optional<double> d = answer::parseNumber(rec.substr(0, bar));
            if (!d) {
                return std::nullopt;
            }
            v = *d;
            rec.remove_prefix(bar + 1);
        }
        if (!answer::trimmed(rec).empty()) {
            return std::nullopt;
        }
        out.push_back({f[0], f[1], f[2], f[3], static_cast<int>(f[4]), static_cast<int>(f[5])});
        text = answer::trimmed(text.substr(end + 1));
    }
    if (out.empty()) {
        return std::nullopt;
    }
    return out;
}

int placeFormObjects(Sheet& result, const Sheet& form, int lastRow) {
    if (form.objects().empty()) {
        return 0;
    }
    int placed = 0;
    for (int r = 1; r <= lastRow && r <= result.storedRows(); ++r) {
        std::vector<int> emptied;
        for (const Cell& cell : result.rows()[static_cast<std::size_t>(r - 1)].cells) {
            if (cell.col > answers::kLastAnswerCol || cell.kind != ValueKind::Text ||
                cell.text.find('[') == std::string::npos) {
                continue;
            }
            const std::optional<std::vector<PlacementRecord>> recs = parsePlacements(cell.text);
            if (!recs) {
                continue;
            }
            for (const PlacementRecord& p : *recs) {
                const DrawnObject* source = form.object(p.object);
                if (!source) {
                    continue;
                }
                DrawnObject copy = *source;
                const double top = (r - 1) + p.top;
                // A picture keeps its own height; other objects take the record's. The form's
                // copy gives the corner order (the direction of a line or an arc).
                const double height = copy.kind == ObjectKind::Picture
                                          ? std::fabs(source->y2 - source->y1)
                                          : p.height;
                objects::setEdges(copy, std::min(p.left, p.right), top, std::max(p.left, p.right),
                                  top + height);
                result.addObject(std::move(copy));
                ++placed;
            }
            emptied.push_back(cell.col);
        }
        for (int c : emptied) {
            result.setText(r, c, "");
        }
    }
    return placed;
}

void fillListBoxes(Sheet& sheet, const ReportSettings& settings) {
    for (const ReportSettings::ListBoxFill& fill : settings.listBoxes) {
        for (DrawnObject& o : sheet.objects()) {
            if (o.kind == ObjectKind::ListBox && o.text == fill.name) {
                o.items = fill.items;
                o.inputRange.clear();
            }
        }
    }
}

} // namespace fc
