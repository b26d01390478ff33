#include "output/WorkbookFile.h"

#include "components/format/XlsWriter.h"
#include "components/format/XlsxWriter.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "results/ResultLayout.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace fc::output {

namespace {

bool endsWithNoCase(const std::string& s, const char* suffix) {
    const std::string tail(suffix);
    if (s.size() < tail.size()) {
        return false;
    }
    return std::equal(tail.begin(), tail.end(), s.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

// The window's own parts set aside while the workbook is written, and put back however the
// write ends. Moving them costs next to nothing, where a copy of a 65,000-row result would
// copy a hundred megabytes of cells.
class AsideForWriting {
public:
    explicit AsideForWriting(Workbook& book) : book_(book) {
        for (int n = 1; n <= book.numSheets(); ++n) {
            Sheet& s = book.sheet(n);
            const int lastRow = std::min(s.storedRows(), s.maxRow() + result::kAuxRows);
            for (int r = 1; r <= lastRow; ++r) {
                std::vector<Cell>& cells = s.rowForLoad(r).cells;
                // Cells are kept in column order: the parts right of MaxCol are a tail.
                auto from = r > s.maxRow()
                                ? cells.begin()
                                : std::find_if(cells.begin(), cells.end(),
                                               [&](const Cell& c) { return c.col > s.maxCol(); });
                if (from == cells.end()) {
                    continue;
                }
                Taken t{n, r, {}};
                t.cells.assign(std::make_move_iterator(from), std::make_move_iterator(cells.end()));
                cells.erase(from, cells.end());
                taken_.push_back(std::move(t));
            }
            const CellRange right{1, s.maxCol() + 1, kMaxRows, kMaxCols};
            const CellRange below{s.maxRow() + 1, 1, s.maxRow() + result::kAuxRows, kMaxCols};
            std::vector<CellRange> kept;
            for (const CellRange& m : s.merges()) {
                if (!m.intersects(right) && !m.intersects(below)) {
                    kept.push_back(m);
                }
            }
            if (kept.size() != s.merges().size()) {
                merges_.push_back({n, s.merges()});
                s.setMergesForLoad(std::move(kept));
            }
        }
    }
    ~AsideForWriting() {
        for (Taken& t : taken_) {
            std::vector<Cell>& cells = book_.sheet(t.sheet).rowForLoad(t.row).cells;
            cells.insert(cells.end(), std::make_move_iterator(t.cells.begin()),
                         std::make_move_iterator(t.cells.end()));
        }
        for (Merges& m : merges_) {
            book_.sheet(m.sheet).setMergesForLoad(std::move(m.all));
        }
    }
    AsideForWriting(const AsideForWriting&) = delete;
    AsideForWriting& operator=(const AsideForWriting&) = delete;

private:
    struct Taken {
        int sheet, row;
        std::vector<Cell> cells;
    };
    struct Merges {
        int sheet;
        std::vector<CellRange> all;
    };
    Workbook& book_;
    std::vector<Taken> taken_;
    std::vector<Merges> merges_;
};

} // namespace

bool writeWorkbookFile(Workbook& book, const std::string& path, std::string& error) {
    // Results are brought up to date with the whole sheet; the writers then find nothing to
    // recalculate while the window's parts are aside.
    book.recalcIfNeeded();
    const AsideForWriting aside(book);
    return endsWithNoCase(path, ".xlsx") ? writeXlsx(path, book, error)
                                         : writeXls(path, book, error);
}

bool saveWorkbookFile(Workbook& book, const std::string& path, Prompter& prompter) {
    std::string error;
    if (writeWorkbookFile(book, path, error)) {
        return true;
    }
    prompter.error(w("Ошибка сохранения!"));
    return false;
}

} // namespace fc::output
