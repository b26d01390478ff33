#include "designer/TableFormatReader.h"

#include "components/model/Workbook.h"
#include "components/text/CodePage.h"
#include "designer/CellLine.h"
#include "designer/DesignerSheet.h"
#include "designer/MergeIndex.h"
#include "designer/RowHeightFitter.h"
#include "designer/StatementColour.h"
#include "designer/TemplateText.h"

#include <cmath>

namespace fc {

namespace {

// Margins are kept multiplied by 24.5 (not 25.4): files written that way must read back.
constexpr double kMarginFactor = 24.5;

HAlign hAlign(char h) {
    return h == 'r' ? HAlign::Right : h == 'c' ? HAlign::Center : HAlign::Left;
}

VAlign vAlign(char v) {
    return v == 't' ? VAlign::Top : v == 'c' ? VAlign::Center : VAlign::Bottom;
}

} // namespace

TableFormatReader::TableFormatReader(Workbook& book, int sheetIndex, SheetReadContext& ctx)
    : book_(book), sheet_(book.sheet(sheetIndex)), sheetIndex_(sheetIndex), ctx_(ctx) {}

void TableFormatReader::prepare() {
    PrintSettings& p = sheet_.print();
    p.noColor = true;
    p.landscape = false;
    // The margins the writer leaves out when they are at these values.
    p.leftMargin = 0.5;
    p.topMargin = 0.5;
    p.bottomMargin = 0.75;
    p.fitToPage = false;
    sheet_.setFixedRows(1, 0);
    sheet_.setMaxRow(3);
    sheet_.setMaxCol(1);
    fonts_.clear();
    default_ = Font{};
    default_.name = "Fixedsys";
    default_.size = 10;
    if (sheetIndex_ == 1) {
        book_.setDefaultFont(default_.name, default_.size);
    } else {
        // A later sheet keeps its default font in cell row 1, column 1.
        Style s = sheet_.style(1, 1);
        s.font = default_;
        sheet_.setStyle(1, 1, s);
    }
}

void TableFormatReader::read() {
    prepare();
    const auto& lines = ctx_.lines;
    while (ctx_.pos < lines.size()) {
        std::string_view line = lines[ctx_.pos];
        if (!line.empty() && line[0] == ';') {
            if (isSheetLine(line)) {
                if (ctx_.sheetLineSeen) {
                    break;
                }
                ctx_.sheetLineSeen = true;
                std::string name = sheetLineName(line);
                if (!name.empty()) {
                    sheet_.setName(name);
                }
                ViewOptions v = book_.view();
                v.showTabs = false;
                book_.setView(v);
                ++ctx_.pos;
                continue;
            }
            std::string upper = tpl::upperAscii(line.substr(0, 12));
            if (tpl::startsWith(upper, ";NOBJECTS[") || tpl::startsWith(upper, ";OBJECTS[")) {
                ObjectBlock block;
                ctx_.pos = ObjectBlock::parse(lines, ctx_.pos, block, true);
                ctx_.setObjectBlock(sheetIndex_, std::move(block));
                continue;
            }
            if (directive(line)) {
                ++ctx_.pos;
                continue;
            }
            statementRow(line);
        } else if (tpl::startsWith(line, "&&")) {
            formRow(line);
        } else if (!line.empty() && line[0] == '&') {
            cellLine(line);
        } else {
            statementRow(line);
        }
        ++ctx_.pos;
    }
    finish();
}

bool TableFormatReader::directive(std::string_view line) {
    const std::string upper = tpl::upperAscii(line);
    auto value = [&](std::size_t keyLength) {
        return line.substr(std::min(keyLength, line.size()));
    };
    PrintSettings& p = sheet_.print();
    if (tpl::startsWith(upper, ";;")) {
        if (std::optional<FontLine> f = parseFontLine(line, false)) {
            fonts_.set(f->number, f->entry);
            if (f->number == 0) {
                default_ = Font{};
                default_.name = f->entry.font.name;
                default_.size = f->entry.font.size;
                if (sheetIndex_ == 1) {
                    book_.setDefaultFont(default_.name, default_.size);
                } else {
                    Style s = sheet_.style(1, 1);
                    s.font.name = default_.name;
                    s.font.size = default_.size;
                    sheet_.setStyle(1, 1, s);
                }
            }
        }
        return true;
    }
    if (tpl::startsWith(upper, ";COLW[")) {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) {
            return true;
        }
        std::optional<int> col = tpl::parseInt(line.substr(6, close - 6));
        std::optional<double> width =
            tpl::parseNumber(line.substr(std::min(close + 2, line.size())));
        if (col && width && *col >= 1 && *col <= kMaxCols && *width >= 0) {
            sheet_.setColWidth(*col, static_cast<int>(std::lround(std::min(*width, 65280.0))));
        }
        return true;
    }
    if (tpl::startsWith(upper, ";MAXCOL=")) {
        if (std::optional<double> n = tpl::parseNumber(value(8)); n && *n >= 1) {
            sheet_.setMaxCol(
                static_cast<int>(std::lround(std::min(*n, double(designer::kMaxFormCol)))));
        }
        return true;
    }
    if (tpl::startsWith(upper, ";COL3")) {
        colDigits_ = 3;
        return true;
    }
    if (tpl::startsWith(upper, ";OBJ=")) {
        if (rows_ >= 1) {
            sheet_.setText(rows_, designer::objectCol(sheet_), std::string(line.substr(1)));
        }
        return true;
    }
    struct Margin {
        const char* key;
        double PrintSettings::*field;
    };
    for (const Margin& m :
         {Margin{";LEFT=", &PrintSettings::leftMargin}, Margin{";TOP=", &PrintSettings::topMargin},
          Margin{";BOTTOM=", &PrintSettings::bottomMargin}}) {
        const std::size_t n = std::char_traits<char>::length(m.key);
        if (tpl::startsWith(upper, m.key)) {
            if (std::optional<double> v = tpl::parseNumber(value(n)); v && *v >= 0 && *v < 1000) {
                p.*m.field = *v / kMarginFactor;
            }
            return true;
        }
    }
    const std::string_view whole = tpl::rightTrimmed(upper);
    if (whole == ";FTP" || whole == ";FTP1") {
        p.fitToPage = true;
        p.fitHPages = 1;
        p.fitVPages = whole == ";FTP1" ? 1 : 1000;
        return true;
    }
    if (tpl::startsWith(upper, ";COLOR")) {
        p.noColor = false;
        return true;
    }
    if (tpl::startsWith(upper, ";LAND")) {
        p.landscape = true;
        return true;
    }
    if (tpl::startsWith(upper, ";PTITLES=")) {
        p.titles = std::string(value(9));
        return true;
    }
    if (tpl::startsWith(upper, ";PRINTAREA=")) {
        p.area = std::string(value(11));
        return true;
    }
    if (tpl::startsWith(upper, ";FOOTER=")) {
        p.footer = codepage::toWindows(value(8));
        return true;
    }
    if (tpl::startsWith(upper, ";HEADER=")) {
        p.header = codepage::toWindows(value(8));
        return true;
    }
    return false;
}

Font TableFormatReader::defaultCellFont() const {
    return sheetIndex_ == 1 ? book_.defaultFont() : default_;
}

Font TableFormatReader::prefixFont(int number) const {
    if (number >= 0) {
        if (const TemplateFont* e = fonts_.entry(number)) {
            if (number == 0) {
                Font f = defaultCellFont();
                f.name = e->font.name;
                f.size = e->font.size;
                return f;
            }
            return e->font;
        }
    }
    return defaultCellFont();
}

void TableFormatReader::statementRow(std::string_view line) {
    if (rows_ >= kMaxRows) {
        ctx_.unreadable();
        return;
    }
    ++rows_;
    std::size_t prefix = 0;
    const int font = fontPrefix(line, prefix);
    if (prefix == 0 && tpl::isPageBreakLine(line)) {
        // The writer's page break: the empty row it stood for, starting a new page.
        sheet_.setRowPageBreak(rows_, true);
        sheet_.setRowHeading(rows_, std::to_string(ctx_.lineNo()));
        return;
    }
    std::string text = codepage::toWindows(tpl::rightTrimmed(line.substr(prefix)));
    Style st = sheet_.style(rows_, designer::kStatementCol);
    st.font = prefixFont(font);
    ctx_.colour.recolour(st.font, tpl::trimmed(text));
    sheet_.setStyle(rows_, designer::kStatementCol, st);
    sheet_.setText(rows_, designer::kStatementCol, text);
    sheet_.setRowHeading(rows_, std::to_string(ctx_.lineNo()));
}

void TableFormatReader::formRow(std::string_view line) {
    if (rows_ >= kMaxRows) {
        ctx_.unreadable();
        return;
    }
    ++rows_;
    sheet_.setRowHeading(rows_, std::to_string(ctx_.lineNo()));
    std::optional<double> h = tpl::parseNumber(line.substr(2, 10));
    if (h && *h > 0 && *h < 1e6) {
        designer::setFixedHeight(sheet_, rows_, *h);
        sheet_.setRowHeight(rows_, static_cast<int>(std::lround(*h)));
        if (static_cast<int>(fixedRows_.size()) <= rows_) {
            fixedRows_.resize(static_cast<std::size_t>(rows_) + 1, false);
        }
        fixedRows_[static_cast<std::size_t>(rows_)] = true;
    }
}

void TableFormatReader::setCellValue(int row, int col, const std::string& text, const Style& st) {
    if (tpl::isBlank(text)) {
        return;
    }
    if (text.size() > 1 && text[0] == '=') {
        sheet_.setFormula(row, col, text);
        return;
    }
    if (st.numberFormat != "@" && text.front() != ' ' && text.back() != ' ') {
        if (std::optional<double> d = tpl::parseNumber(text)) {
            sheet_.setNumber(row, col, *d);
            return;
        }
    }
    sheet_.setText(row, col, text);
}

void TableFormatReader::cellLine(std::string_view line) {
    CellLine c;
    if (rows_ < 1 || !parseCellLine(line, colDigits_, c) || c.col < designer::kFirstFormCol ||
        c.col > designer::kMaxFormCol) {
        ctx_.unreadable();
        return;
    }
    Style st;
    st.font = prefixFont(c.font);
    st.halign = hAlign(c.halign);
    st.valign = vAlign(c.valign);
    st.wrap = c.wrap;
    if (c.pattern > 0) {
        st.fill.pattern = static_cast<std::uint8_t>(std::min(c.pattern, 255));
        st.fill.fg = colorFromFile(c.patternFg);
        st.fill.bg = colorFromFile(c.patternBg);
    }
    if (!c.numberFormat.empty()) {
        st.numberFormat = c.numberFormat;
    }
    for (int side = 0; side < 4; ++side) {
        if (c.borders[static_cast<std::size_t>(side)] != 0) {
            st.borders[static_cast<std::size_t>(side)].style =
                static_cast<BorderStyle>(c.borders[static_cast<std::size_t>(side)]);
        }
    }
    sheet_.setStyle(rows_, c.col, st);
    setCellValue(rows_, c.col, codepage::toWindows(c.text), st);
    if (c.merged && (c.mergeCols > 0 || c.mergeRows > 0)) {
        merges_.push_back(CellRange{rows_, c.col, std::min(rows_ + c.mergeRows, kMaxRows),
                                    std::min(c.col + c.mergeCols, designer::kMaxFormCol)});
    }
}

void TableFormatReader::finish() {
    if (rows_ > 1) {
        sheet_.setMaxRow(rows_);
    }
    std::vector<CellRange> merges = MergeIndex::resolve(merges_);
    sheet_.setMergesForLoad(merges);
    if (const TextMeasurer* m = ctx_.options.measurer) {
        fitAutomaticRows(sheet_, rows_, fixedRows_, MergeIndex(merges), *m);
    }
}

} // namespace fc
