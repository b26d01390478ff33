#include "results/Sorting.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "results/CellActions.h"
#include "results/Filter.h"
#include "results/Marks.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace fc {

namespace {

void toTop(Sheet& sh) {
    sh.setTopLeft(1, sh.leftCol());
    sh.setActiveCell(1, 2);
}

// Column 253 of each row names the drawn objects whose top edge lies in it.
void recordObjects(Sheet& sh) {
    sh.clear(CellRange{1, result::kObjectIdsCol, sh.maxRow(), result::kObjectIdsCol},
             ClearWhat::Values);
    for (const DrawnObject& o : sh.objects()) {
        const int row = static_cast<int>(std::floor(std::min(o.y1, o.y2))) + 1;
        if (row >= 1 && row <= sh.maxRow()) {
            sh.setText(row, result::kObjectIdsCol,
                       sh.text(row, result::kObjectIdsCol) + std::to_string(o.id) + "|");
        }
    }
}

void moveObjects(Sheet& sh, int r1, int r2) {
    for (int r = r1; r <= r2; ++r) {
        const std::string ids = sh.text(r, result::kObjectIdsCol);
        std::size_t i = 0;
        for (std::size_t bar = ids.find('|'); bar != std::string::npos; bar = ids.find('|', i)) {
            long long id = 0;
            if (text::parseInt(ids.substr(i, bar - i), &id) && id > 0) {
                sh.moveObjectToRow(static_cast<int>(id), r);
            }
            i = bar + 1;
        }
    }
}

// Rows whose height the turbo reader fixed ("H=" in MaxCol + 2) get it back.
void restoreHeights(Sheet& sh) {
    const int col = result::heightCol(sh);
    for (int r = 1; r <= sh.maxRow() && r <= sh.storedRows(); ++r) {
        const Cell* x = sh.cell(r, col);
        if (x && x->kind == ValueKind::Text && text::startsWith(x->text, "H=")) {
            long long h = 0;
            if (text::parseInt(x->text.substr(2), &h) && h > 0 && h < 100000) {
                sh.setRowHeight(r, static_cast<int>(h));
            }
        }
    }
}

} // namespace

bool chooseSortColumn(ResultSession& s, int row, int k) {
    Sheet& sh = s.sheet();
    const int heading = result::lastHeadingRow(sh);
    const int first = result::firstDataRow(sh);
    const int last = sh.maxRow();
    if (heading < 1 || row < 1 || row > heading || k < 2 || k > sh.maxCol() ||
        result::sortKeyCol(sh) >= result::kObjectIdsCol) {
        return false;
    }
    Workbook& book = s.book();
    // Only the helper columns beyond MaxCol change: the filter's row texts stay good.
    const RowTexts::Hold hold(s.view.filter.texts);
    const bool selChange = book.events().doSelChange;
    const bool repaint = book.repaint();
    book.events().doSelChange = false;
    book.setRepaint(false);
    const int numbers = result::runningNumberCol(sh);
    const int keys = result::sortKeyCol(sh);
    const StyleTable& styles = book.styles();
    // A key copied down keeps its number format in the key's small font; made once a style.
    std::unordered_map<StyleId, StyleId> keyStyles;
    auto keyStyle = [&](StyleId from) {
        auto [at, fresh] = keyStyles.try_emplace(from, 0);
        if (fresh) {
            Style st;
            st.numberFormat = styles.get(from).numberFormat;
            st.font.name = "MS Sans Serif";
            st.font.size = 8;
            at->second = book.styles().intern(st);
        }
        return at->second;
    };
    // One pass: each row's key is the value shown in column k (a formula's result) with the
    // cell's format, except that the later rows of a record take the key of its first row,
    // an empty one included (a key of their own would tear the record apart); the rows of
    // multi-row records are numbered in order.
    Value key;
    StyleId keyFrom = 0;
    int counter = 0;
    bool continues = false; // row r continues the record of row r - 1
    for (int r = first; r <= last; ++r) {
        const bool next = r < last && !result::borderBelow(sh, r, k, k);
        if (!continues) {
            const Cell* x = sh.cell(r, k);
            key = x ? x->value() : Value();
            keyFrom = x ? x->style : 0;
        }
        if (continues || next) {
            sh.setNumber(r, numbers, ++counter);
        } else if (sh.cell(r, numbers)) {
            sh.setValue(r, numbers, Value());
        }
        if (r < last || continues) {
            sh.setValue(r, keys, key);
            sh.setStyleId(r, keys, continues ? keyStyle(keyFrom) : keyFrom);
        } else if (sh.cell(r, keys)) {
            sh.clear(CellRange::cell(r, keys));
        }
        continues = next;
    }
    s.view.sort.column = k;
    s.view.sort.heading = result::columnHeading(sh, k);
    s.view.sort.order = 0;

    // The heading cells, then one range a group: groups end at group headings, separators
    // and totals rows (a totals row closes its group and never moves).
    std::vector<CellRange> ranges{CellRange{1, k, heading, k}};
    int previous = heading;
    auto close = [&](int boundary) {
        if (boundary - 1 >= previous + 1) {
            ranges.push_back(CellRange{previous + 1, k, boundary - 1, k});
        }
        previous = boundary;
    };
    for (int i = first; i < last; ++i) {
        if (result::isGroupHeading(sh, i) || result::isSeparator(sh, i) ||
            result::isTotalsRow(sh, i)) {
            close(i);
        }
    }
    close(last);
    sh.setSelectionRanges(ranges, CellRef{1, k});
    book.setRepaint(repaint);
    book.events().doSelChange = selChange;
    return true;
}

void sortRecords(ResultSession& s, bool descending) {
    // The cursor row's colours belong to a place, not to a record: they must not travel.
    dropRowCursor(s);
    Sheet& sh = s.sheet();
    SortState& sort = s.view.sort;
    if (sort.column == 0 || sh.selectionCount() < 2) {
        toTop(sh);
        Filtr(s, true);
        return;
    }
    Workbook& book = s.book();
    const bool repaint = book.repaint();
    book.setRepaint(false);
    recordObjects(sh);
    const int first = result::firstDataRow(sh);
    const std::vector<SortKey> keys{{result::sortKeyCol(sh), !descending},
                                    {result::runningNumberCol(sh), true}};
    const std::vector<CellRange> groups(sh.selection().begin() + 1, sh.selection().end());
    for (const CellRange& any : groups) {
        const CellRange g = any.normalized();
        const int r1 = std::max(g.r1, first);
        const int r2 = std::min(g.r2, sh.maxRow() - 1);
        if (r1 > r2) {
            continue;
        }
        // Columns 253 to 255 belong to the row (its objects, its edit mark, its action and
        // keys) and move with it; column 256 is the window's and stays.
        sh.sortRows(CellRange{r1, 1, r2, result::kActionCol}, keys);
        if (s.view.measurer && sh.maxCol() >= 2) {
            sh.fitRowHeights(CellRange{r1, 2, r2, sh.maxCol()}, *s.view.measurer);
        }
        moveObjects(sh, r1, r2);
    }
    // Once for all groups: a later group's fit touches only its own rows.
    restoreHeights(sh);
    sort.order = descending ? 2 : 1;
    toTop(sh);
    book.setRepaint(repaint);
    Filtr(s, true);
    s.status().setStatusText(replaceSortNote(s.status().statusText(), sortNote(sort)));
}

std::string sortNote(const SortState& sort) {
    if (sort.order == 0) {
        return {};
    }
    return std::string("   ") + (sort.order == 2 ? "v" : "^") + w(" Соpтиpовка по: \"") +
           sort.heading + "\"";
}

std::string replaceSortNote(const std::string& status, const std::string& note) {
    std::string out = status;
    const std::size_t p = out.find(w("Соpт"));
    if (p != std::string::npos) {
        out.erase(p >= 5 ? p - 5 : 0);
    }
    return out + note;
}

} // namespace fc
