#include "components/format/XlsxWriter.h"

#include "components/format/ExcelCommon.h"
#include "components/format/FileType.h"
#include "components/format/SaveFile_p.h"
#include "components/format/XlsFormula.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <xlsxwriter.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unordered_map>

namespace fc {

namespace {

constexpr std::size_t kMaxText = 32767;

lxw_color_t colour(Color c) { return static_cast<lxw_color_t>(c & 0xFFFFFF); }

// The model keeps widths as Excel files store them (padding included); the library adds
// the padding itself.
double libraryWidth(int width) {
    double w = width / 256.0;
    return w >= 12.0 / 7 ? w - 5.0 / 7 : w * 7 / 12;
}

// A header text without a section code is centred, as Excel shows it; saying so keeps
// readers that insist on a section from dropping it.
std::string sectioned(const std::string& text) {
    std::string t = text.substr(0, 253);
    for (std::size_t i = 0; i + 1 < t.size(); ++i) {
        if (t[i] == '&') {
            char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[i + 1])));
            if (c == 'L' || c == 'C' || c == 'R') {
                return t;
            }
            ++i;
        }
    }
    return t.empty() ? t : "&C" + t;
}

class Writer {
public:
    Writer(const Workbook& book, lxw_workbook* wb) : book_(book), wb_(wb) {
        formats_.assign(book.styles().size(), nullptr);
        names_ = xls::excelSheetNames(book);
        for (int s = 1; s <= book.numSheets(); ++s) {
            sheetIndex_.emplace(cp1251::upper(book.sheet(s).name()), s - 1);
        }
    }

    bool run(std::string& why) {
        std::vector<lxw_worksheet*> sheets;
        for (const std::string& n : names_) {
            lxw_worksheet* ws = workbook_add_worksheet(wb_, cp1251::toUtf8(n).c_str());
            if (!ws) {
                why = w("недопустимое имя листа ") + n;
                return false;
            }
            sheets.push_back(ws);
        }
        for (int s = 1; s <= book_.numSheets(); ++s) {
            if (!sheet(book_.sheet(s), sheets[static_cast<std::size_t>(s - 1)], why)) {
                return false;
            }
        }
        worksheet_activate(sheets[static_cast<std::size_t>(book_.currentSheet() - 1)]);
        return true;
    }

private:
    // Every cell gets a format, the default style's too: the library's own default font
    // is not the workbook's.
    lxw_format* format(StyleId id) {
        if (id >= formats_.size()) {
            id = 0;
        }
        lxw_format*& f = formats_[id];
        if (f) {
            return f;
        }
        const Style& s = book_.styles().get(id);
        f = workbook_add_format(wb_);
        format_set_font_name(f, cp1251::toUtf8(s.font.name).c_str());
        format_set_font_size(f, s.font.size);
        if (s.font.bold) {
            format_set_bold(f);
        }
        if (s.font.italic) {
            format_set_italic(f);
        }
        if (s.font.underline) {
            format_set_underline(f, LXW_UNDERLINE_SINGLE);
        }
        if (s.font.strikeout) {
            format_set_font_strikeout(f);
        }
        if (s.font.color != kAutoColor) {
            format_set_font_color(f, colour(s.font.color));
        }
        std::string code = xls::toExcelFormat(s.numberFormat);
        if (code != "General") {
            format_set_num_format(f, cp1251::toUtf8(code).c_str());
        }
        static const std::uint8_t kH[] = {LXW_ALIGN_NONE,         LXW_ALIGN_LEFT, LXW_ALIGN_CENTER,
                                          LXW_ALIGN_RIGHT,        LXW_ALIGN_FILL, LXW_ALIGN_JUSTIFY,
                                          LXW_ALIGN_CENTER_ACROSS};
        if (s.halign != HAlign::General) {
            format_set_align(f, kH[static_cast<int>(s.halign)]);
        }
        if (s.valign == VAlign::Top) {
            format_set_align(f, LXW_ALIGN_VERTICAL_TOP);
        } else if (s.valign == VAlign::Center) {
            format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        }
        if (s.wrap) {
            format_set_text_wrap(f);
        }
        using Setter = void (*)(lxw_format*, std::uint8_t);
        using ColourSetter = void (*)(lxw_format*, lxw_color_t);
        const struct {
            BorderSide side;
            Setter style;
            ColourSetter colour;
        } sides[] = {{BorderSide::Left, format_set_left, format_set_left_color},
                     {BorderSide::Right, format_set_right, format_set_right_color},
                     {BorderSide::Top, format_set_top, format_set_top_color},
                     {BorderSide::Bottom, format_set_bottom, format_set_bottom_color}};
        for (const auto& side : sides) {
            const Border& b = s.border(side.side);
            if (b.style != BorderStyle::None) {
                side.style(f, static_cast<std::uint8_t>(b.style));
                if (b.color != kAutoColor) {
                    side.colour(f, colour(b.color));
                }
            }
        }
        if (s.fill.pattern) {
            format_set_pattern(f, std::min<std::uint8_t>(s.fill.pattern, 18));
            // A solid fill shows the pattern colour, which the library calls background.
            if (s.fill.pattern == 1) {
                if (s.fill.fg != kAutoColor) {
                    format_set_bg_color(f, colour(s.fill.fg));
                }
            } else {
                if (s.fill.fg != kAutoColor) {
                    format_set_fg_color(f, colour(s.fill.fg));
                }
                if (s.fill.bg != kAutoColor) {
                    format_set_bg_color(f, colour(s.fill.bg));
                }
            }
        }
        return f;
    }

    // The formula as Excel 2007 files spell it, or empty when Excel 97 files could not
    // hold it either: both formats then carry the result alone.
    std::string formulaText(const std::string& source) {
        std::vector<std::uint8_t> tokens;
        auto indexOf = [this](std::string_view n) {
            auto it = sheetIndex_.find(cp1251::upper(n));
            return it == sheetIndex_.end() ? -1 : it->second;
        };
        auto nameOf = [this](int i) {
            return i >= 0 && static_cast<std::size_t>(i) < names_.size()
                       ? names_[static_cast<std::size_t>(i)]
                       : std::string();
        };
        std::string text;
        if (!xls::compileFormula(source, indexOf, tokens) ||
            !xls::decompileFormula(tokens.data(), tokens.size(), nameOf, text, ',')) {
            return {};
        }
        return cp1251::toUtf8("=" + text);
    }

    void value(lxw_worksheet* ws, lxw_row_t r, lxw_col_t c, const Cell& cell, lxw_format* f) {
        switch (cell.kind) {
        case ValueKind::Number:
            worksheet_write_number(ws, r, c, std::isfinite(cell.number) ? cell.number : 0, f);
            break;
        case ValueKind::Text:
            text_ = cp1251::toUtf8(std::string_view(cell.text).substr(0, kMaxText));
            worksheet_write_string(ws, r, c, text_.c_str(), f);
            break;
        case ValueKind::Boolean: worksheet_write_boolean(ws, r, c, cell.number != 0, f); break;
        case ValueKind::Error: {
            // The error literal as a formula keeps the error a value, not a text.
            std::string e = errorText(cell.error);
            worksheet_write_formula_str(ws, r, c, ("=" + e).c_str(), f, e.c_str());
            break;
        }
        case ValueKind::Empty:
            if (f) {
                worksheet_write_blank(ws, r, c, f);
            }
            break;
        }
    }

    void formulaCell(const Sheet& sh, lxw_worksheet* ws, lxw_row_t r, lxw_col_t c, const Cell& cell,
                     lxw_format* f) {
        const FormulaSlot* slot = sh.formulaSlot(cell);
        std::string text = slot ? formulaText(slot->source) : std::string();
        if (text.empty()) {
            value(ws, r, c, cell, f);
            return;
        }
        switch (cell.kind) {
        case ValueKind::Number:
        case ValueKind::Boolean:
            worksheet_write_formula_num(ws, r, c, text.c_str(), f,
                                        std::isfinite(cell.number) ? cell.number : 0);
            break;
        case ValueKind::Text:
            worksheet_write_formula_str(
                ws, r, c, text.c_str(), f,
                cp1251::toUtf8(std::string_view(cell.text).substr(0, kMaxText)).c_str());
            break;
        case ValueKind::Error:
            worksheet_write_formula_str(ws, r, c, text.c_str(), f, errorText(cell.error));
            break;
        case ValueKind::Empty: worksheet_write_formula(ws, r, c, text.c_str(), f); break;
        }
    }

    bool sheet(const Sheet& sh, lxw_worksheet* ws, std::string& why) {
        const PrintSettings& p = sh.print();
        const ViewOptions& v = book_.view();
        worksheet_set_default_row(ws, sh.defaultRowHeight() / 20.0, LXW_FALSE);
        // Columns first: the library writes them before the rows.
        int c = 1;
        while (c <= kMaxCols) {
            const int width = sh.colWidth(c);
            const bool hidden = sh.colHidden(c);
            const bool own = sh.colHasOwnWidth(c) || hidden;
            int last = c;
            while (last < kMaxCols && sh.colWidth(last + 1) == width &&
                   sh.colHidden(last + 1) == hidden &&
                   (sh.colHasOwnWidth(last + 1) || sh.colHidden(last + 1)) == own) {
                ++last;
            }
            if (own) {
                lxw_row_col_options opt{};
                opt.hidden = hidden;
                worksheet_set_column_opt(ws, static_cast<lxw_col_t>(c - 1),
                                         static_cast<lxw_col_t>(last - 1), libraryWidth(width),
                                         nullptr, &opt);
            }
            c = last + 1;
        }
        // Merged areas are recorded when the writing reaches their last row: in
        // constant-memory mode the library accepts an area only while that row is open, and
        // the padding it writes into that row is overwritten by the real cells next.
        std::vector<CellRange> merges;
        for (const CellRange& m : sh.merges()) {
            CellRange g = m.clamped();
            if (!g.empty() && g.rows() * static_cast<long>(g.cols()) > 1) {
                merges.push_back(g);
            }
        }
        std::stable_sort(merges.begin(), merges.end(),
                         [](const CellRange& a, const CellRange& b) { return a.r2 < b.r2; });
        std::size_t nextMerge = 0;
        std::vector<lxw_row_t> breaks;
        const int n = std::max(sh.storedRows(), merges.empty() ? 0 : merges.back().r2);
        for (int rr = 1; rr <= n; ++rr) {
            const lxw_row_t r = static_cast<lxw_row_t>(rr - 1);
            const bool hasRow = rr <= sh.storedRows();
            const Row* row = hasRow ? &sh.rows()[static_cast<std::size_t>(rr - 1)] : nullptr;
            const bool ownRow = row && (row->height >= 0 || row->hidden);
            const bool mergeEnds = nextMerge < merges.size() && merges[nextMerge].r2 == rr;
            if (ownRow || mergeEnds) {
                lxw_row_col_options opt{};
                opt.hidden = row && row->hidden;
                worksheet_set_row_opt(ws, r, sh.rowHeight(rr) / 20.0, nullptr, &opt);
            }
            for (; nextMerge < merges.size() && merges[nextMerge].r2 == rr; ++nextMerge) {
                const CellRange& g = merges[nextMerge];
                worksheet_merge_range(ws, static_cast<lxw_row_t>(g.r1 - 1),
                                      static_cast<lxw_col_t>(g.c1 - 1),
                                      static_cast<lxw_row_t>(g.r2 - 1),
                                      static_cast<lxw_col_t>(g.c2 - 1), "", format(0));
            }
            if (!row) {
                continue;
            }
            if (row->pageBreak && rr > 1) {
                breaks.push_back(r);
            }
            for (const Cell& cell : row->cells) {
                lxw_format* f = format(cell.style);
                const lxw_col_t cc = static_cast<lxw_col_t>(cell.col - 1);
                if (cell.formula) {
                    formulaCell(sh, ws, r, cc, cell, f);
                } else {
                    value(ws, r, cc, cell, f);
                }
            }
        }
        if (!breaks.empty()) {
            breaks.resize(std::min<std::size_t>(breaks.size(), 1023));
            breaks.push_back(0);
            worksheet_set_h_pagebreaks(ws, breaks.data());
        }
        if (sh.fixedRows() > 0 || sh.fixedCols() > 0) {
            worksheet_freeze_panes(
                ws, static_cast<lxw_row_t>(sh.fixedRows() ? sh.fixedRow() - 1 + sh.fixedRows() : 0),
                static_cast<lxw_col_t>(sh.fixedCols() ? sh.fixedCol() - 1 + sh.fixedCols() : 0));
        }
        if (p.landscape) {
            worksheet_set_landscape(ws);
        }
        worksheet_set_paper(ws, static_cast<std::uint8_t>(std::clamp(p.paperSize, 0, 255)));
        worksheet_set_margins(ws, p.leftMargin, p.rightMargin, p.topMargin, p.bottomMargin);
        lxw_header_footer_options hopt{};
        hopt.margin = p.headerMargin;
        lxw_header_footer_options fopt{};
        fopt.margin = p.footerMargin;
        std::string header = cp1251::toUtf8(sectioned(p.header));
        std::string footer = cp1251::toUtf8(sectioned(p.footer));
        if (!p.header.empty() && worksheet_set_header_opt(ws, header.c_str(), &hopt)) {
            why = w("колонтитул не записан: ") + p.header;
            return false;
        }
        if (!p.footer.empty() && worksheet_set_footer_opt(ws, footer.c_str(), &fopt)) {
            why = w("колонтитул не записан: ") + p.footer;
            return false;
        }
        std::vector<CellRange> area = xls::parsePrintArea(p.area);
        if (!area.empty()) {
            const CellRange& a = area.front();
            worksheet_print_area(ws, static_cast<lxw_row_t>(a.r1 - 1),
                                 static_cast<lxw_col_t>(a.c1 - 1), static_cast<lxw_row_t>(a.r2 - 1),
                                 static_cast<lxw_col_t>(a.c2 - 1));
        }
        xls::PrintTitles t = xls::parsePrintTitles(p.titles);
        if (t.rows) {
            worksheet_repeat_rows(ws, static_cast<lxw_row_t>(t.rows->first - 1),
                                  static_cast<lxw_row_t>(t.rows->second - 1));
        }
        if (t.cols) {
            worksheet_repeat_columns(ws, static_cast<lxw_col_t>(t.cols->first - 1),
                                     static_cast<lxw_col_t>(t.cols->second - 1));
        }
        if (p.fitToPage) {
            worksheet_fit_to_pages(ws,
                                   static_cast<std::uint16_t>(std::clamp(p.fitHPages, 0, 32767)),
                                   static_cast<std::uint16_t>(std::clamp(p.fitVPages, 0, 32767)));
        } else if (p.scale != 100) {
            worksheet_set_print_scale(ws, static_cast<std::uint16_t>(std::clamp(p.scale, 10, 400)));
        }
        if (p.hCenter) {
            worksheet_center_horizontally(ws);
        }
        if (p.vCenter) {
            worksheet_center_vertically(ws);
        }
        if (p.rowColHeadings) {
            worksheet_print_row_col_headers(ws);
        }
        worksheet_gridlines(
            ws, static_cast<std::uint8_t>((v.showGridLines ? LXW_SHOW_SCREEN_GRIDLINES : 0) |
                                          (p.gridLines ? LXW_SHOW_PRINT_GRIDLINES : 0)));
        if (v.viewScale != 100) {
            worksheet_set_zoom(ws, static_cast<std::uint16_t>(std::clamp(v.viewScale, 10, 400)));
        }
        if (!v.showZeroValues) {
            worksheet_hide_zero(ws);
        }
        return true;
    }

    const Workbook& book_;
    lxw_workbook* wb_;
    std::vector<lxw_format*> formats_;
    std::vector<std::string> names_;
    std::unordered_map<std::string, int> sheetIndex_;
    std::string text_;
};

} // namespace

bool writeXlsx(const std::string& path, const Workbook& book, std::string& error) {
    return writeXlsx(workbookPath(path), book, error);
}

bool writeXlsx(const QString& target, const Workbook& book, std::string& error) {
    book.recalcIfNeeded();
    const QString& path = target;
    QFileInfo info(target);
    // The library writes the file itself: it goes to a temporary name beside the target.
    QTemporaryFile temp(info.absolutePath() + "/." + info.fileName() + ".XXXXXX");
    if (info.isDir() || !temp.open()) {
        error = xls::cannotWrite(path, cp1251::fromQString(temp.errorString()));
        return false;
    }
    const QString tempName = temp.fileName();
    temp.close();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    const QByteArray name = QFile::encodeName(tempName);
    const QByteArray tmpdir = QFile::encodeName(QDir::tempPath());
    options.tmpdir = const_cast<char*>(tmpdir.constData());
    lxw_workbook* wb = workbook_new_opt(name.constData(), &options);
    if (!wb) {
        error = xls::cannotWrite(path, {});
        return false;
    }
    std::string why;
    bool ok = Writer(book, wb).run(why);
    lxw_error closed = workbook_close(wb);
    if (ok && closed != LXW_NO_ERROR) {
        ok = false;
        why = lxw_strerror(closed);
    }
    if (!ok) {
        error = xls::cannotWrite(path, why);
        return false;
    }
    if (std::rename(name.constData(), QFile::encodeName(target).constData()) != 0) {
        error = xls::cannotWrite(path, std::strerror(errno));
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

} // namespace fc
