#include "designer/TableFormatWriter.h"

#include "components/model/Workbook.h"
#include "components/text/CodePage.h"
#include "designer/CellLine.h"
#include "designer/DesignerSheet.h"
#include "designer/FontTable.h"
#include "designer/MergeIndex.h"
#include "designer/ObjectBlock.h"
#include "designer/StatementColour.h"
#include "designer/TemplateLayout.h"
#include "designer/TemplateText.h"
#include "designer/TextFormReader.h"

#include <cmath>
#include <unordered_map>

namespace fc {

namespace {

constexpr double kMarginFactor = 24.5;
constexpr const char* kEol = "\r\n";

// Border styles past 9 do not fit the one-digit fields: the medium dash-dot kinds are
// written as medium dashed, the thin dash-dot-dot as dash-dot.
int borderDigit(BorderStyle s) {
    const int v = static_cast<int>(s);
    if (v <= 9) {
        return v;
    }
    return s == BorderStyle::DashDotDot ? 9 : 8;
}

// Appends a Windows-1251 text in code page 866, its line ends turned into blanks.
void appendDos(std::string& out, std::string_view text) {
    for (char ch : text) {
        out += ch == '\r' || ch == '\n'
                   ? ' '
                   : static_cast<char>(codepage::toDos(static_cast<unsigned char>(ch)));
    }
}

// Line ends inside a text would cut its line in two.
std::string oneLine(std::string s) {
    for (char& ch : s) {
        if (ch == '\r' || ch == '\n') {
            ch = ' ';
        }
    }
    return s;
}

bool checkerColour(const Font& f) { return f.color == kStatementRed || f.color == kStatementGray; }

// Statements the table reader would take for a directive that shapes the file (a new sheet,
// fonts, widths, column numbers, object blocks) rather than a print setting.
bool looksStructural(std::string_view text) {
    if (text.empty() || text[0] != ';') {
        return false;
    }
    for (const char* key : {";TABLE", ";SHEET", ";;", ";COLW[", ";COL3", ";MAXCOL=", ";NOBJECTS[",
                            ";OBJECTS[", ";OBJ="}) {
        if (tpl::startsWithNoCase(text, key)) {
            return true;
        }
    }
    return false;
}

bool looksLikePrefix(std::string_view text) {
    std::size_t n = 0;
    return fontPrefix(text, n) >= 0;
}

// The parts of a cell line that depend on the cell's style only.
struct StyleParts {
    int font = -1;
    std::string fontText; // "<N>" or nothing
    bool plain = false;   // with an empty text the line would say nothing
    std::string head;     // borders, alignment, wrap
    std::string tail;     // pattern and number format
};

class SheetEmitter {
public:
    SheetEmitter(const Workbook& book, int index, const std::map<int, std::string>* placements)
        : book_(book), sheet_(book.sheet(index)), placements_(placements),
          maxCol_(std::min(sheet_.maxCol(), designer::kMaxFormCol)),
          colDigits_(maxCol_ >= 100 ? 3 : 2), merges_(sheet_.merges()) {
        if (index == 1) {
            default_ = book.defaultFont();
        } else {
            const Font& a1 = sheet_.style(1, 1).font;
            default_ = Font{};
            default_.name = a1.name;
            default_.size = a1.size;
        }
        TemplateFont def;
        def.font = default_;
        fonts_.set(0, def);
        colText_.resize(static_cast<std::size_t>(maxCol_) + 1);
        for (int c = designer::kFirstFormCol; c <= maxCol_; ++c) {
            colText_[static_cast<std::size_t>(c)] =
                "&" + tpl::padRight(std::to_string(c), colDigits_);
        }
    }

    int maxCol() const { return maxCol_; }

    std::string directives() const;
    // Row lines from `firstRow`; registers the fonts they use.
    std::string rows(int firstRow);
    std::string fontLines() const;

    // Whether this sheet may be written as a text form (see TableFormatWriter::writesPlain).
    bool plainable();

private:
    std::string statementLine(int row);
    // Appends the cell lines of a form row; returns whether any was written.
    bool cellLines(int row, std::string& out);
    const StyleParts& parts(StyleId id);
    std::string objectText(int row) const;

    const Workbook& book_;
    const Sheet& sheet_;
    const std::map<int, std::string>* placements_;
    int maxCol_;
    int colDigits_;
    MergeIndex merges_;
    Font default_;
    FontTable fonts_;
    std::unordered_map<StyleId, StyleParts> parts_;
    std::vector<std::string> colText_; // "&" + the padded column number
};

std::string SheetEmitter::directives() const {
    std::string out;
    const std::string& name = sheet_.name();
    out += ";table";
    if (!name.empty() && !tpl::startsWith(name, "Sheet")) {
        out += "  " + codepage::toDos(name);
    }
    out += kEol;
    if (colDigits_ == 3) {
        out += ";col3";
        out += kEol;
    }
    for (int c = designer::kFirstFormCol; c <= maxCol_; ++c) {
        out += ";colw[" + tpl::padRight(std::to_string(c), colDigits_) +
               "]=" + std::to_string(sheet_.colWidth(c)) + kEol;
    }
    out += ";maxcol=" + std::to_string(maxCol_) + kEol;
    out += formatDefaultFontLine(default_) + kEol;
    const PrintSettings& p = sheet_.print();
    if (!(p.leftMargin > 0.499999 && p.leftMargin < 0.5)) {
        out += ";LEFT=" + tpl::formatNumber(p.leftMargin * kMarginFactor) + kEol;
    }
    if (!(p.topMargin > 0.499999 && p.topMargin < 0.5)) {
        out += ";TOP=" + tpl::formatNumber(p.topMargin * kMarginFactor) + kEol;
    }
    if (!(p.bottomMargin > 0.749999 && p.bottomMargin < 0.75111)) {
        out += ";BOTTOM=" + tpl::formatNumber(p.bottomMargin * kMarginFactor) + kEol;
    }
    if (!p.noColor) {
        out += ";COLOR";
        out += kEol;
    }
    if (p.fitToPage) {
        out += p.fitVPages == 1 ? ";FTP1" : ";FTP";
        out += kEol;
    }
    auto text = [&](const char* key, const std::string& value, bool convert) {
        std::string_view v = tpl::trimmed(value);
        if (!v.empty()) {
            out += key +
                   (convert ? codepage::toDos(oneLine(std::string(v))) : oneLine(std::string(v)));
            out += kEol;
        }
    };
    text(";PTITLES=", p.titles, false);
    text(";PRINTAREA=", p.area, false);
    text(";FOOTER=", p.footer, true);
    text(";HEADER=", p.header, true);
    if (p.landscape) {
        out += ";LAND";
        out += kEol;
    }
    return out;
}

std::string SheetEmitter::fontLines() const {
    std::string out;
    const int used = fonts_.usedCount();
    for (int n = 1; n <= used; ++n) {
        out += formatFontLine(n, fonts_.entry(n)->font) + kEol;
    }
    return out;
}

const StyleParts& SheetEmitter::parts(StyleId id) {
    auto it = parts_.find(id);
    if (it != parts_.end()) {
        return it->second;
    }
    const Style& st = book_.styles().get(id);
    StyleParts p;
    if (FontTable::differsFromDefault(st.font, default_)) {
        p.font = fonts_.registerFont(st.font);
    }
    for (BorderSide side :
         {BorderSide::Left, BorderSide::Right, BorderSide::Top, BorderSide::Bottom}) {
        p.head += static_cast<char>('0' + borderDigit(st.border(side).style));
    }
    p.head += st.halign == HAlign::Right ? 'r' : st.halign == HAlign::Center ? 'c' : 'l';
    p.head += st.valign == VAlign::Top ? 't' : st.valign == VAlign::Center ? 'c' : 'b';
    p.head += st.wrap ? 'w' : ' ';
    if (st.fill.pattern >= 1) {
        p.tail += tpl::padLeft(st.fill.pattern, 2);
        p.tail += tpl::padLeft(colorToFile(st.fill.fg, 0), 8);
        p.tail += tpl::padLeft(colorToFile(st.fill.bg, 0xFFFFFF), 8);
    }
    if (!st.numberFormat.empty() && st.numberFormat != "General") {
        p.tail += '|' + oneLine(st.numberFormat);
    }
    if (p.font >= 0) {
        p.fontText = '<' + std::to_string(p.font) + '>';
    }
    p.plain = p.font < 0 && p.tail.empty() && p.head == "0000lb ";
    return parts_.emplace(id, std::move(p)).first->second;
}

bool SheetEmitter::cellLines(int row, std::string& out) {
    const bool stored = row <= sheet_.storedRows();
    static const std::vector<Cell> kNone;
    const std::vector<Cell>& cells =
        stored ? sheet_.rows()[static_cast<std::size_t>(row - 1)].cells : kNone;
    // Merged areas starting in this row give lines even for cells that hold nothing.
    std::vector<int> starts;
    if (!sheet_.merges().empty()) {
        for (const CellRange* m : merges_.inRow(row)) {
            if (m->r1 == row && m->c1 >= designer::kFirstFormCol && m->c1 <= maxCol_) {
                starts.push_back(m->c1);
            }
        }
        std::sort(starts.begin(), starts.end());
    }
    bool any = false;
    std::size_t ci = 0, si = 0;
    while (ci < cells.size() || si < starts.size()) {
        int col;
        const Cell* cell = nullptr;
        if (si >= starts.size() || (ci < cells.size() && cells[ci].col <= starts[si])) {
            cell = &cells[ci++];
            col = cell->col;
            if (si < starts.size() && starts[si] == col) {
                ++si;
            }
        } else {
            col = starts[si++];
        }
        if (col < designer::kFirstFormCol || col > maxCol_) {
            continue;
        }
        const CellRange* area =
            starts.empty() && sheet_.merges().empty() ? nullptr : merges_.at(row, col);
        if (area && (area->r1 != row || area->c1 != col)) {
            continue;
        }
        const StyleParts& p = parts(cell ? cell->style : 0);
        const bool content = cell && cell->hasContent();
        if (!area && !content && p.plain) {
            continue; // "|0000lb": nothing to say
        }
        out += colText_[static_cast<std::size_t>(col)];
        out += p.fontText;
        if (content) {
            const std::size_t at = out.size();
            if (cell->kind == ValueKind::Text && !cell->formula) {
                appendDos(out, cell->text);
            } else {
                appendDos(out, sheet_.entry(row, col));
            }
            if (p.font < 0 && looksLikePrefix(std::string_view(out).substr(at))) {
                out.insert(at, "<0>"); // the default font, so that the text's "<N>" stays text
            }
        }
        out += '|';
        out += p.head;
        if (area) {
            out += tpl::padLeft(std::min(area->c2 - area->c1, 99), 2);
            out += tpl::padLeft(std::min(area->r2 - area->r1, 99), 2);
        } else {
            out += "    ";
        }
        out += p.tail;
        out += kEol;
        any = true;
    }
    return any;
}

std::string SheetEmitter::objectText(int row) const {
    if (placements_) {
        auto it = placements_->find(row);
        return it == placements_->end() ? std::string() : it->second;
    }
    const std::string text = sheet_.text(row, maxCol_ + 1);
    std::string_view t = tpl::trimmed(text);
    // Only records still waiting to be placed, with the "OBJ=" the reader gave them; other
    // text that strayed into the column is no record.
    if (!tpl::startsWith(t, "OBJ=")) {
        return {};
    }
    t.remove_prefix(4);
    return std::string(oneLine(std::string(t)));
}

std::string SheetEmitter::statementLine(int row) {
    const std::string text = oneLine(designer::statementText(sheet_, row));
    const Font& f = sheet_.style(row, designer::kStatementCol).font;
    std::string line;
    if (!checkerColour(f) && FontTable::differsFromDefault(f, default_)) {
        line = '<' + std::to_string(fonts_.registerFont(f)) + '>';
    } else if (looksLikePrefix(text) || (!text.empty() && text[0] == '&') ||
               looksStructural(text) || tpl::isPageBreakLine(text)) {
        line = "<0>"; // keeps the line a statement with its text whole
    }
    return line + codepage::toDos(text);
}

std::string SheetEmitter::rows(int firstRow) {
    std::string out;
    out.reserve(static_cast<std::size_t>(std::max(0, sheet_.maxRow() - firstRow + 1)) * 16);
    for (int r = firstRow; r <= sheet_.maxRow(); ++r) {
        const bool pageBreak = sheet_.rowPageBreak(r);
        if (designer::isStatementRow(sheet_, r)) {
            if (pageBreak) {
                out += "PBK"; // a break before a row that holds something: a row of its own
                out += kEol;
            }
            out += statementLine(r);
            out += kEol;
            continue;
        }
        std::string cells;
        const bool any = cellLines(r, cells);
        const double h = designer::fixedHeight(sheet_, r);
        const std::string obj = objectText(r);
        if (pageBreak) {
            // The server's page break; alone on an empty row it is the row.
            out += "PBK";
            out += kEol;
            if (!any && h == 0 && obj.empty()) {
                continue;
            }
        }
        out += "&&";
        if (h != 0) {
            out += std::to_string(std::llround(h));
        }
        out += kEol;
        out += cells;
        if (!obj.empty()) {
            out += ";OBJ=" + obj + kEol;
        }
    }
    return out;
}

bool SheetEmitter::plainable() {
    if (!sheet_.objects().empty()) {
        return false;
    }
    for (const CellRange& m : sheet_.merges()) {
        if (m.c2 >= designer::kFirstFormCol && m.c1 <= maxCol_ && m.r1 <= sheet_.maxRow()) {
            return false;
        }
    }
    for (int r = 1; r <= sheet_.maxRow(); ++r) {
        if (designer::isStatementRow(sheet_, r)) {
            const Font& f = sheet_.style(r, designer::kStatementCol).font;
            if (!checkerColour(f) && FontTable::differsFromDefault(f, default_)) {
                return false;
            }
            std::string dos = codepage::toDos(oneLine(designer::statementText(sheet_, r)));
            if (!TextFormReader::readsAsTextLine(dos)) {
                return false;
            }
            continue;
        }
        std::string cells;
        if (cellLines(r, cells) || designer::fixedHeight(sheet_, r) != 0 ||
            !objectText(r).empty()) {
            return false;
        }
        if (r > sheet_.storedRows()) {
            break;
        }
    }
    return true;
}

} // namespace

bool TableFormatWriter::writesPlain() const {
    if (book_.numSheets() != 1) {
        return false;
    }
    for (const auto& [sheet, lines] : images_) {
        if (!lines.empty()) {
            return false;
        }
    }
    if (!kept_.empty()) {
        return false;
    }
    for (const auto& [sheet, records] : placements_) {
        if (!records.empty()) {
            return false;
        }
    }
    SheetEmitter e(book_, 1, nullptr);
    return e.plainable();
}

std::string TableFormatWriter::plainLines(int firstRow) const {
    const Sheet& s = book_.sheet(1);
    std::string out;
    // Blank lines are rows of the text form too; they are written once a line follows them,
    // so that the spacing of the printed text survives and no blank tail is added.
    int blanks = 0;
    for (int r = firstRow; r <= s.maxRow(); ++r) {
        std::string line;
        if (designer::isStatementRow(s, r)) {
            line = codepage::toDos(oneLine(designer::statementText(s, r)));
            if (s.rowPageBreak(r)) {
                line = "PBK" + std::string(kEol) + line;
            }
        } else if (s.rowPageBreak(r)) {
            line = "PBK";
        } else {
            ++blanks;
            continue;
        }
        for (; blanks > 0; --blanks) {
            out += kEol;
        }
        out += line + kEol;
    }
    return out;
}

std::string TableFormatWriter::sheetLines(int index, int firstRow) const {
    auto pl = placements_.find(index);
    SheetEmitter e(book_, index, pl == placements_.end() ? nullptr : &pl->second);
    std::string out = e.directives();
    std::string rows = e.rows(firstRow);
    out += e.fontLines();
    auto img = images_.find(index);
    auto kept = kept_.find(index);
    if (img != images_.end() && !img->second.empty()) {
        out += ObjectBlock::format(img->second);
    } else if (kept != kept_.end()) {
        out += kept->second;
    }
    out += stage_ ? stage_(std::move(rows)) : rows;
    return out;
}

std::string TableFormatWriter::write() const {
    std::string out;
    int firstRow = 1;
    const Sheet& first = book_.sheet(1);
    const std::string head = designer::statementText(first, 1);
    if (!head.empty() && head[0] == '*') {
        out += codepage::toDos(oneLine(std::string(tpl::trimmed(head)))) + kEol;
        firstRow = 2;
    }
    if (writesPlain()) {
        // A statement that reads as a table-format head in the first two lines would turn the
        // file into the table format; such a sheet is written in the table format instead.
        std::string plain = out + plainLines(firstRow);
        if (detectLayout(plain) == TemplateLayout::Text) {
            return plain;
        }
    }
    for (int i = 1; i <= book_.numSheets(); ++i) {
        out += sheetLines(i, i == 1 ? firstRow : 1);
    }
    return out;
}

} // namespace fc
