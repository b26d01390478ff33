#include "designer/TextFormReader.h"

#include "components/model/Workbook.h"
#include "components/text/CodePage.h"
#include "designer/CellLine.h"
#include "designer/DesignerSheet.h"
#include "designer/MergeIndex.h"
#include "designer/RowHeightFitter.h"
#include "designer/StatementColour.h"
#include "designer/TemplateText.h"

#include <algorithm>
#include <cctype>

namespace fc {

namespace {

using Span = TextFormReader::Span;

constexpr unsigned char kMiddleDot = 250;
constexpr unsigned char kDoubleRule = 205; // ═
constexpr unsigned char kSingleRule = 196; // ─

unsigned char at(std::string_view s, std::size_t i) { return static_cast<unsigned char>(s[i]); }

bool isSeparator(unsigned char ch) {
    return (ch >= 179 && ch <= 218 && ch != kSingleRule && ch != kDoubleRule) || ch == '|' ||
           ch == kMiddleDot;
}

bool startsTableLine(unsigned char ch) {
    return (ch >= 178 && ch <= 219) || ch == '|' || ch == '_' || ch == kMiddleDot;
}

// The border a separator gives the cells on either side, by the stroke running up from it.
int separatorBorder(unsigned char ch) {
    switch (ch) {
    case '|': return 4;
    case 179:
    case 180:
    case 181:
    case 190:
    case 192:
    case 193:
    case 195:
    case 197:
    case 198:
    case 207:
    case 212:
    case 216:
    case 217: return 1;
    case 182:
    case 185:
    case 186:
    case 188:
    case 199:
    case 200:
    case 202:
    case 204:
    case 206:
    case 208:
    case 211:
    case 215: return 6;
    default: return 0;
    }
}

// The border style a cell draws when it is only a horizontal rule, 0 otherwise.
int ruleStyle(std::string_view text) {
    text = tpl::trimmed(text);
    if (text.empty()) {
        return 0;
    }
    const unsigned char first = at(text, 0);
    if (first != kDoubleRule && first != kSingleRule && first != '-') {
        return 0;
    }
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (at(text, i) != first) {
            return 0;
        }
    }
    return first == kDoubleRule ? 6 : first == kSingleRule ? 1 : 4;
}

// Cells made only of shade blocks are drawn as a grey fill.
bool isShade(std::string_view text) {
    text = tpl::trimmed(text);
    if (text.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char ch = at(text, i);
        if (ch != 176 && ch != 177 && ch != 178 && ch != 219) {
            return false;
        }
    }
    return true;
}

// "-", "." and "|" only (two characters or more), or "." only.
bool isRuleLine(std::string_view s) {
    if (s.empty()) {
        return false;
    }
    bool dotsOnly = true;
    for (char ch : s) {
        if (ch != '-' && ch != '.' && ch != '|') {
            return false;
        }
        dotsOnly = dotsOnly && ch == '.';
    }
    return dotsOnly || s.size() >= 2;
}

struct Piece {
    Span span;
    std::string_view text;
};

// Cuts a line at its separators. A cell that starts the line or ends it without a separator
// is bounded by the first or last character, so that it lines up with separated cells.
std::vector<Piece> cut(std::string_view s, bool (*sep)(unsigned char)) {
    std::vector<Piece> out;
    const int n = static_cast<int>(s.size());
    int start = 0; // first character of the current cell
    int a = 0;     // its left boundary
    for (int i = 0; i < n; ++i) {
        if (!sep(at(s, static_cast<std::size_t>(i)))) {
            continue;
        }
        if (i > start) {
            out.push_back(
                {{a, i, 0},
                 s.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start))});
        }
        a = i;
        start = i + 1;
    }
    if (start < n) {
        out.push_back({{a, std::max(n - 1, a + 1), 0}, s.substr(static_cast<std::size_t>(start))});
    }
    return out;
}

bool pipeOnly(unsigned char ch) { return ch == '|'; }

std::string decimalComma(std::string s) {
    for (std::size_t i = 0; i + 2 < s.size(); ++i) {
        if (s[i] == '.' && std::isdigit(static_cast<unsigned char>(s[i + 1])) &&
            std::isdigit(static_cast<unsigned char>(s[i + 2]))) {
            s[i] = ',';
        }
    }
    return s;
}

} // namespace

bool TextFormReader::readsAsTextLine(std::string_view line) {
    line = tpl::rightTrimmed(line);
    if (line.empty()) {
        return true;
    }
    if (line[0] == ';' && (isSheetLine(line) || tpl::startsWith(line, ";;") ||
                           tpl::startsWithNoCase(line, ";colw["))) {
        return false;
    }
    if (isRuleLine(line) || startsTableLine(at(line, 0)) || tpl::isPageBreakLine(line)) {
        return false;
    }
    return !(line.size() >= 3 && line[0] == '<' && line[1] >= '0' && line[1] <= '9' &&
             line[2] == '>');
}

TextFormReader::TextFormReader(Workbook& book, int sheetIndex, SheetReadContext& ctx)
    : book_(book), sheet_(book.sheet(sheetIndex)), sheetIndex_(sheetIndex), ctx_(ctx) {}

void TextFormReader::read() {
    const auto& lines = ctx_.lines;
    while (ctx_.pos < lines.size()) {
        if (!line(tpl::rightTrimmed(lines[ctx_.pos]))) {
            break;
        }
        ++ctx_.pos;
    }
    place();
}

bool TextFormReader::line(std::string_view raw) {
    if (!raw.empty() && raw[0] == ';') {
        if (isSheetLine(raw)) {
            if (ctx_.sheetLineSeen || !rows_.empty()) {
                ctx_.sheetLineSeen = true;
                return false;
            }
            ctx_.sheetLineSeen = true;
            std::string name = sheetLineName(raw);
            if (!name.empty()) {
                sheet_.setName(name);
            }
            return true;
        }
        if (tpl::startsWith(raw, ";;")) {
            if (std::optional<FontLine> f = parseFontLine(raw, true); f && f->number <= 10) {
                fonts_.set(f->number, f->entry);
            }
            return true;
        }
        if (tpl::startsWithNoCase(raw, ";colw[")) {
            std::size_t close = raw.find(']');
            if (close != std::string_view::npos) {
                std::optional<int> col = tpl::parseInt(raw.substr(6, close - 6));
                std::optional<int> chars =
                    tpl::parseInt(raw.substr(std::min(close + 2, raw.size())));
                if (col && chars && *col >= 1 && *col <= kMaxCols && *chars >= 0 && *chars <= 255) {
                    widths_.emplace_back(*col, *chars);
                }
            }
            return true;
        }
    }
    if (static_cast<int>(rows_.size()) >= kMaxRows) {
        ctx_.report.truncated = true;
        return true;
    }
    if (isRuleLine(raw)) {
        std::vector<Span> spans;
        for (const Piece& p : cut(raw, pipeOnly)) {
            if (int st = ruleStyle(p.text)) {
                spans.push_back({p.span.a, p.span.b, st});
            }
        }
        ruleSpans(std::move(spans));
    } else if (!raw.empty() && startsTableLine(at(raw, 0))) {
        tableLine(raw);
    } else {
        textLine(raw);
    }
    return true;
}

TextFormReader::Row& TextFormReader::newRow() {
    rows_.emplace_back();
    Row& r = rows_.back();
    r.lineNo = ctx_.lineNo();
    r.top = std::move(pendingTop_);
    pendingTop_.clear();
    return r;
}

void TextFormReader::ruleSpans(std::vector<Span> spans) {
    for (const Span& s : spans) {
        boundaries_.push_back(s.a);
        boundaries_.push_back(s.b);
    }
    // A rule under a table row closes that row; any other rule opens the next row.
    if (!rows_.empty() && rows_.back().table) {
        auto& bottom = rows_.back().bottom;
        bottom.insert(bottom.end(), spans.begin(), spans.end());
    } else {
        pendingTop_.insert(pendingTop_.end(), spans.begin(), spans.end());
    }
}

void TextFormReader::tableLine(std::string_view raw) {
    std::vector<Piece> pieces = cut(raw, isSeparator);
    bool content = false;
    for (const Piece& p : pieces) {
        if (!ruleStyle(p.text)) {
            content = true;
        }
    }
    if (!content) {
        std::vector<Span> spans;
        for (const Piece& p : pieces) {
            spans.push_back({p.span.a, p.span.b, ruleStyle(p.text)});
        }
        ruleSpans(std::move(spans));
        return;
    }
    Row& row = newRow();
    row.table = true;
    int sticky = -1; // font of a "<N*>" prefix, for the cells to its right
    for (const Piece& p : pieces) {
        Cell c;
        c.span = p.span;
        boundaries_.push_back(p.span.a);
        boundaries_.push_back(p.span.b);
        c.left = p.span.a < static_cast<int>(raw.size()) && isSeparator(at(raw, p.span.a))
                     ? separatorBorder(at(raw, p.span.a))
                     : 0;
        c.right = p.span.b < static_cast<int>(raw.size()) && isSeparator(at(raw, p.span.b))
                      ? separatorBorder(at(raw, p.span.b))
                      : 0;
        std::string_view text = p.text;
        c.font = sticky;
        if (text.size() >= 3 && text[0] == '<' && text[1] >= '0' && text[1] <= '9') {
            if (text[2] == '>') {
                c.font = text[1] - '0';
                text.remove_prefix(3);
            } else if (text.size() >= 4 && text[2] == '*' && text[3] == '>') {
                c.font = sticky = text[1] - '0';
                text.remove_prefix(4);
            }
        }
        if (int st = ruleStyle(text)) {
            c.bottom = st;
        } else if (isShade(text)) {
            c.shade = true;
        } else {
            c.text = std::string(text);
        }
        row.cells.push_back(std::move(c));
    }
}

void TextFormReader::textLine(std::string_view raw) {
    Row& row = newRow();
    if (raw.size() >= 3 && raw[0] == '<' && raw[1] >= '0' && raw[1] <= '9' && raw[2] == '>') {
        row.font = raw[1] - '0';
        raw.remove_prefix(3);
    }
    if (tpl::isPageBreakLine(raw)) {
        row.pageBreak = true;
        return;
    }
    row.text = std::string(raw);
}

const TemplateFont* TextFormReader::font(int number) const {
    if (const TemplateFont* f = fonts_.entry(number)) {
        return f;
    }
    return fonts_.entry(0);
}

void TextFormReader::place() {
    // A page this near its limit may have had more: the message says so.
    if (static_cast<int>(rows_.size()) > kFullRows) {
        ctx_.report.textFormFull = true;
    }
    // The sheet's default font: entry 0, else the table format's own default.
    Font def;
    def.name = "Fixedsys";
    def.size = 10;
    if (const TemplateFont* f0 = fonts_.entry(0)) {
        def.name = f0->font.name;
        def.size = f0->font.size;
    }
    if (sheetIndex_ == 1) {
        book_.setDefaultFont(def.name, def.size);
    }
    auto styleFor = [&](int number) {
        Style st;
        st.font = sheetIndex_ == 1 ? book_.defaultFont() : def;
        if (const TemplateFont* f = font(number)) {
            st.font = f->font;
            st.halign = f->align;
            st.wrap = f->wrap;
        } else {
            st.halign = HAlign::Left;
        }
        return st;
    };
    if (sheetIndex_ != 1) {
        Style a1 = sheet_.style(1, 1);
        a1.font = def;
        sheet_.setStyle(1, 1, a1);
    }

    std::sort(boundaries_.begin(), boundaries_.end());
    boundaries_.erase(std::unique(boundaries_.begin(), boundaries_.end()), boundaries_.end());
    const int maxIntervals = designer::kMaxFormCol - 1;
    auto column = [&](int boundary) {
        auto it = std::lower_bound(boundaries_.begin(), boundaries_.end(), boundary);
        return static_cast<int>(it - boundaries_.begin()) + designer::kFirstFormCol;
    };
    if (static_cast<int>(boundaries_.size()) - 1 > maxIntervals) {
        ctx_.report.truncated = true;
    }
    // The columns a span covers, cut at the form's last column; c1 > c2 when none is left.
    auto columns = [&](const Span& s) {
        int c1 = column(s.a), c2 = column(s.b) - 1;
        return std::make_pair(c1, std::min(c2, designer::kMaxFormCol));
    };

    std::vector<CellRange> merges;
    std::vector<bool> noFixedRows; // a text form has no fixed heights
    int maxCol = 1;
    auto border = [&](int r, int c1, int c2, BorderSide side, int style) {
        if (style == 0 || c1 > c2) {
            return;
        }
        sheet_.editStyle(CellRange{r, c1, r, c2}, [&](Style& st) {
            st.border(side).style = static_cast<BorderStyle>(style);
        });
    };

    int r = 0;
    for (const Row& row : rows_) {
        ++r;
        sheet_.setRowHeading(r, std::to_string(row.lineNo));
        if (row.pageBreak) {
            sheet_.setRowPageBreak(r, true);
        }
        if (!row.table) {
            if (!row.text.empty()) {
                std::string text = codepage::toWindows(row.text);
                Style st = styleFor(row.font);
                st.halign = HAlign::General;
                st.wrap = false;
                ctx_.colour.recolour(st.font, tpl::trimmed(text));
                sheet_.setStyle(r, designer::kStatementCol, st);
                sheet_.setText(r, designer::kStatementCol, text);
            }
        }
        for (const Cell& cell : row.cells) {
            auto [c1, c2] = columns(cell.span);
            if (c1 > c2) {
                ctx_.report.truncated = true;
                continue;
            }
            maxCol = std::max(maxCol, c2);
            Style st = styleFor(cell.font);
            if (cell.shade) {
                st.fill.pattern = 1;
                st.fill.fg = rgb(200, 200, 200);
            }
            sheet_.setStyle(r, c1, st);
            std::string_view text = cell.text;
            text = (st.halign == HAlign::Right || st.halign == HAlign::Center || st.wrap)
                       ? tpl::trimmed(text)
                       : tpl::rightTrimmed(text);
            if (!tpl::isBlank(text)) {
                std::string win = codepage::toWindows(text);
                sheet_.setText(r, c1, ctx_.options.decimalComma ? decimalComma(win) : win);
            }
            if (c2 > c1) {
                merges.push_back(CellRange{r, c1, r, c2});
            }
            border(r, c1, c1, BorderSide::Left, cell.left);
            border(r, c2, c2, BorderSide::Right, cell.right);
            border(r, c1, c2, BorderSide::Bottom, cell.bottom);
        }
        for (const Span& s : row.top) {
            auto [c1, c2] = columns(s);
            border(r, c1, c2, BorderSide::Top, s.style);
            maxCol = std::max(maxCol, std::min(c2, designer::kMaxFormCol));
        }
        for (const Span& s : row.bottom) {
            auto [c1, c2] = columns(s);
            border(r, c1, c2, BorderSide::Bottom, s.style);
            maxCol = std::max(maxCol, std::min(c2, designer::kMaxFormCol));
        }
    }
    // Rules after the last row close it.
    if (!pendingTop_.empty() && r >= 1) {
        for (const Span& s : pendingTop_) {
            auto [c1, c2] = columns(s);
            border(r, c1, c2, BorderSide::Bottom, s.style);
            maxCol = std::max(maxCol, std::min(c2, designer::kMaxFormCol));
        }
    }

    // Widths: each column spans the characters between its separators, unless ";colw[" says.
    for (std::size_t i = 0; i + 1 < boundaries_.size(); ++i) {
        const int col = static_cast<int>(i) + designer::kFirstFormCol;
        if (col > designer::kMaxFormCol) {
            break;
        }
        sheet_.setColWidth(col, (boundaries_[i + 1] - boundaries_[i]) * 256 + 1);
    }
    for (const auto& [col, chars] : widths_) {
        sheet_.setColWidth(col, chars * 256 + 1);
    }
    if (maxCol < designer::kFirstFormCol) {
        sheet_.setMaxCol(10);
        for (int c = 3; c <= 10; ++c) {
            sheet_.setColWidth(c, sheet_.colWidth(2));
        }
    } else {
        sheet_.setMaxCol(maxCol);
    }
    sheet_.setMaxRow(std::max(1, r));
    merges = MergeIndex::resolve(merges);
    sheet_.setMergesForLoad(merges);
    if (const TextMeasurer* m = ctx_.options.measurer) {
        fitAutomaticRows(sheet_, r, noFixedRows, MergeIndex(merges), *m);
    }
}

} // namespace fc
