#include "designer/TurboReader.h"

#include "components/model/Workbook.h"
#include "components/text/CodePage.h"
#include "designer/DesignerSheet.h"
#include "designer/MergeIndex.h"
#include "designer/ObjectTransfer.h"
#include "designer/Printstr.h"
#include "designer/RowHeightFitter.h"
#include "designer/StatementColour.h"
#include "designer/TemplateText.h"

#include <cmath>
#include <map>
#include <unordered_map>

namespace fc {

namespace {

constexpr char kContinued = static_cast<char>(250);

bool isDigit(char ch) { return ch >= '0' && ch <= '9'; }

// The companion row number in front of a turbo row, and where its statement starts: up to
// three digits as written, then the blanks before the statement (a statement never begins
// with one). A longer number is ended by a blank and counts only when the companion has rows
// that far; otherwise its first three digits are the number and the rest is the statement.
std::size_t rowNumber(std::string_view field, int companionRows, int& n) {
    std::size_t digits = 0;
    while (digits < field.size() && isDigit(field[digits])) {
        ++digits;
    }
    std::size_t end = std::min<std::size_t>(digits, 3);
    if (digits > 3 && digits <= 9 && digits < field.size() && field[digits] == ' ' &&
        *tpl::parseInt(field.substr(0, digits)) <= companionRows) {
        end = digits;
    }
    n = end > 0 ? *tpl::parseInt(field.substr(0, end)) : 0;
    while (end < field.size() && field[end] == ' ') {
        ++end;
    }
    return end;
}

class Loader {
public:
    Loader(Workbook& book, const TemplateReadOptions& options, TurboReader::Result& result)
        : book_(book), sheet_(book.sheet(1)), options_(options), result_(result),
          colour_(options.prototypes) {}

    void companionRead(Workbook& companion) {
        companion_ = &companion;
        const Sheet& c = companion.sheet(1);
        maxCol_ = std::clamp(c.maxCol(), 1, designer::kMaxFormCol);
        sheet_.setMaxCol(maxCol_);
        book_.setDefaultFont(companion.defaultFont().name,
                             static_cast<double>(std::lround(companion.defaultFont().size)));
        for (const CellRange& m : c.merges()) {
            mergesByRow_[m.r1].push_back(m);
        }
    }

    bool full() const { return rows_ >= kMaxRows; }

    void statement(std::string_view line, int lineNo) {
        ++rows_;
        std::string text = codepage::toWindows(tpl::rightTrimmed(line));
        colour(rows_, text);
        sheet_.setText(rows_, designer::kStatementCol, text);
        sheet_.setRowHeading(rows_, std::to_string(lineNo));
    }

    // A form row: formats of companion row `n`, then the tab-separated texts from `col`.
    void formRow(int n, int lineNo, int col, const std::string& dosText) {
        ++rows_;
        sheet_.setRowHeading(rows_, std::to_string(lineNo));
        copyFormats(n, rows_);
        std::string text = codepage::toWindows(dosText);
        sheet_.setActiveCell(rows_, col);
        sheet_.setClipValues(text);
        if (col == designer::kStatementCol) {
            const std::string stmt = sheet_.text(rows_, col);
            if (!stmt.empty()) {
                colour(rows_, stmt);
            }
        }
    }

    int maxCol() const { return maxCol_; }

    void finish() {
        if (rows_ >= 1) {
            sheet_.setMaxRow(rows_);
        }
        std::vector<bool> fixed(static_cast<std::size_t>(rows_) + 1, false);
        if (companion_) {
            const Sheet& c = companion_->sheet(1);
            for (int col = designer::kFirstFormCol; col <= maxCol_; ++col) {
                if (c.colHasOwnWidth(col)) {
                    sheet_.setColWidth(col, c.colWidth(col));
                }
            }
            sheet_.print() = c.print();
            if (!c.name().empty() && !tpl::startsWith(c.name(), "Sheet")) {
                sheet_.setName(c.name());
            }
        }
        // Fixed heights travel as "H=" cells right of the form.
        for (int r = 1; r <= rows_ && r <= sheet_.storedRows(); ++r) {
            std::vector<int> cols;
            for (const Cell& cell : sheet_.rows()[static_cast<std::size_t>(r - 1)].cells) {
                if (cell.col > maxCol_ + 1 && cell.col < designer::kHeightCol &&
                    cell.kind == ValueKind::Text && tpl::startsWith(cell.text, "H=")) {
                    cols.push_back(cell.col);
                }
            }
            for (int col : cols) {
                std::optional<double> h = tpl::parseNumber(sheet_.text(r, col).substr(2));
                sheet_.setText(r, col, {});
                if (h && *h > 0 && *h < 1e6) {
                    designer::setFixedHeight(sheet_, r, *h);
                    sheet_.setRowHeight(r, static_cast<int>(std::lround(*h)));
                    fixed[static_cast<std::size_t>(r)] = true;
                }
            }
        }
        const std::vector<CellRange> merges = MergeIndex::resolve(merges_);
        sheet_.setMergesForLoad(merges);
        if (companion_ && !companion_->sheet(1).objects().empty()) {
            result_.objectsPlaced = objects::place(sheet_, companion_->sheet(1));
        }
        if (options_.measurer) {
            fitAutomaticRows(sheet_, rows_, fixed, MergeIndex(merges), *options_.measurer);
        }
    }

private:
    void colour(int row, const std::string& text) {
        Style st = sheet_.style(row, designer::kStatementCol);
        st.font = book_.defaultFont();
        colour_.recolour(st.font, tpl::trimmed(text));
        sheet_.setStyle(row, designer::kStatementCol, st);
    }

    void copyFormats(int n, int row) {
        if (!companion_ || n < 1) {
            return;
        }
        const Sheet& c = companion_->sheet(1);
        if (n <= c.storedRows()) {
            for (const Cell& cell : c.rows()[static_cast<std::size_t>(n - 1)].cells) {
                if (cell.col < designer::kFirstFormCol || cell.col > maxCol_ || cell.style == 0) {
                    continue;
                }
                auto it = styles_.find(cell.style);
                if (it == styles_.end()) {
                    it = styles_
                             .emplace(cell.style,
                                      book_.styles().intern(companion_->styles().get(cell.style)))
                             .first;
                }
                sheet_.setStyleId(row, cell.col, it->second);
            }
        }
        auto m = mergesByRow_.find(n);
        if (m != mergesByRow_.end()) {
            for (const CellRange& r : m->second) {
                merges_.push_back({row, r.c1, std::min(row + r.rows() - 1, kMaxRows), r.c2});
            }
        }
    }

    Workbook& book_;
    Sheet& sheet_;
    const TemplateReadOptions& options_;
    TurboReader::Result& result_;
    StatementColourer colour_;
    Workbook* companion_ = nullptr;
    int maxCol_ = 1;
    int rows_ = 0;
    std::unordered_map<StyleId, StyleId> styles_;
    std::map<int, std::vector<CellRange>> mergesByRow_;
    std::vector<CellRange> merges_;
};

} // namespace

std::string TurboReader::companionName(std::string_view line) {
    const std::size_t at = line.find(";ext=");
    if (at == std::string_view::npos) {
        return {};
    }
    std::string_view rest = line.substr(at + 5);
    return std::string(tpl::trimmed(rest.substr(0, rest.find(" ;"))));
}

TurboReader::Result TurboReader::read(std::string_view bytes, const CompanionLoader& loadCompanion,
                                      Workbook& book) const {
    Result result;
    book.reset();
    book.setRepaint(false);
    designer::applyNewSheetDefaults(book.sheet(1));
    book.sheet(1).setMaxRow(1);
    const std::vector<std::string_view> lines = tpl::splitLines(bytes);
    Loader load(book, options_, result);
    Workbook companion;
    bool haveCompanion = false;
    auto unreadable = [&](std::size_t i) {
        if (result.report.unreadableLines++ == 0) {
            result.report.firstUnreadableLine = static_cast<int>(i) + 1;
        }
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        const int lineNo = static_cast<int>(i) + 1;
        if (load.full()) {
            unreadable(i);
            break;
        }
        if (!haveCompanion) {
            if (!line.empty() && line[0] == ';' && line.find(";table") != std::string_view::npos) {
                result.companion = companionName(line);
                result.turbo = line.find(";turbo") != std::string_view::npos;
                const int got = loadCompanion(result.companion, companion);
                if (got <= 0) {
                    (got == 0 ? result.companionMissing : result.companionDamaged) = true;
                    break;
                }
                haveCompanion = true;
                load.companionRead(companion);
            } else {
                load.statement(line, lineNo);
            }
            continue;
        }
        if (!line.empty() && line[0] == ';') {
            const std::string upper = tpl::upperAscii(tpl::rightTrimmed(line));
            if (upper == ";OBJECT" || upper == ";ROW_HEIGHT_FIX") {
                continue;
            }
            load.statement(line, lineNo);
            continue;
        }
        if (!result.turbo) {
            const std::size_t bar = line.find('|');
            std::optional<int> n = bar < 4 ? tpl::parseInt(line.substr(0, bar)) : std::nullopt;
            if (n && *n >= 1) {
                std::string text(line.substr(bar + 1));
                while (text.size() >= 2 && text.back() == kContinued &&
                       text[text.size() - 2] == '\t' && i + 1 < lines.size()) {
                    text.pop_back();
                    text += lines[++i];
                }
                load.formRow(*n, lineNo, designer::kFirstFormCol, text);
                continue;
            }
            load.statement(line, lineNo);
            continue;
        }
        printstr::Piece p = printstr::parseLine(line);
        if (!p.ok || !p.endsField) {
            load.statement(line, lineNo);
            continue;
        }
        std::vector<std::string> fields{p.text};
        std::string current;
        bool ended = false;
        std::size_t j = i + 1;
        for (; j < lines.size(); ++j) {
            printstr::Piece q = printstr::parseLine(lines[j]);
            if (!q.ok) {
                break;
            }
            if (q.endsRow) {
                ended = true;
                ++j;
                break;
            }
            current += q.text;
            if (q.endsField) {
                fields.push_back(std::move(current));
                current.clear();
            }
        }
        if (!ended) {
            unreadable(j < lines.size() ? j : lines.size() - 1);
            if (!current.empty()) {
                fields.push_back(std::move(current));
            }
        }
        i = j - 1;
        int n = 0;
        std::string& first = fields[0];
        first.erase(0, rowNumber(first, companion.sheet(1).maxRow(), n));
        if (first == "*") {
            first.clear();
        }
        // Placement records come back without the "OBJ=" the object column needs.
        const std::size_t objField = static_cast<std::size_t>(load.maxCol());
        if (objField < fields.size() && !fields[objField].empty() &&
            !tpl::startsWith(fields[objField], "OBJ=") &&
            !tpl::startsWith(fields[objField], "H=")) {
            fields[objField].insert(0, "OBJ=");
        }
        std::string text;
        for (std::size_t k = 0; k < fields.size(); ++k) {
            if (k > 0) {
                text += '\t';
            }
            text += fields[k];
        }
        load.formRow(n, lineNo, designer::kStatementCol, text);
    }
    load.finish();
    book.setCurrentSheet(1);
    Sheet& s = book.sheet(1);
    s.setActiveCell(s.fixedRows() + 1, 1);
    book.setRepaint(true);
    book.setModified(false);
    return result;
}

} // namespace fc
