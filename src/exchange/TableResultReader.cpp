#include "exchange/TableResultReader.h"

#include "components/model/Sheet.h"
#include "components/model/TextMeasurer.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "designer/CellLine.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerFormat.h"
#include "exchange/AnswerText.h"
#include "exchange/OutsideWorld.h"
#include "exchange/Progress.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"
#include "exchange/ResultRows.h"
#include "exchange/SheetProperty.h"
#include "exchange/TemplateLines.h"

#include <cmath>

namespace fc {

using answer::rightTrimmed;
using answer::startsWith;

TableResultReader::TableResultReader(ResultContext& ctx) : ctx_(ctx), instructions_(ctx, st_) {
    st_.nextSheet = [this](const std::string& name) { startSheet(name); };
}

void read_table(ResultContext& ctx, const std::string& answerPath) {
    TableResultReader(ctx).read(answerPath);
}

bool TableResultReader::nextLine(std::string& line) {
    if (ctx_.answer.atEnd()) {
        return false;
    }
    line = ctx_.answer.READL();
    line.resize(rightTrimmed(line).size());
    if (ctx_.progress) {
        ctx_.progress->showShare(double(ctx_.answer.pos()), double(ctx_.answer.size()),
                                 Progress::Colour::Plain);
    }
    return true;
}

void TableResultReader::prepare() {
    ctx_.settings.clear();
    Workbook& book = ctx_.book;
    book.allow().allowFormatByEntry = false;
    book.setRepaint(false);
    book.events().doTopLeftChanged = false;
    book.setAutoRecalc(false);
    book.setCurrentSheet(1);
    Sheet& sh = book.sheet();
    st_.sheet = &sh;
    st_.sheetIndex = 1;
    PrintSettings& p = sh.print();
    p.noColor = true;
    p.landscape = false;
    p.footer.clear();
    p.area.clear();
    const CellRange all{1, 1, std::min(sh.maxRow() + 2, kMaxRows), kMaxCols};
    sh.unmerge(all);
    sh.clear(all);
    for (int r = 1; r <= all.r2 && r <= sh.storedRows(); ++r) {
        sh.setRowHeight(r, -1);
        sh.setRowPageBreak(r, false);
    }
    for (int c = 1; c <= kMaxCols; ++c) {
        sh.setColHidden(c, false);
    }
    Sheet_Property(book);
    book.allow().allowFormatByEntry = false;
    sh.setMaxCol(1);
    sh.setFixedRows(1, 0);
    book.setDefaultFont("Fixedsys", 10);
}

void TableResultReader::startSheet(const std::string& name) {
    Workbook& book = ctx_.book;
    if (!st_.sheetLineSeen) {
        // The first sheet line names the sheet being read.
        st_.sheetLineSeen = true;
        if (!name.empty()) {
            st_.sheet->setName(name);
        }
        return;
    }
    answers::finishSheet(*st_.sheet, st_, ctx_.settings, false);
    const int next = book.numSheets() + 1;
    book.setNumSheets(next);
    if (book.numSheets() != next) {
        return;
    }
    book.setCurrentSheet(next);
    Sheet& sh = book.sheet();
    if (!name.empty()) {
        sh.setName(name);
    }
    sh.setMaxCol(1);
    st_.sheet = &sh;
    st_.sheetIndex = next;
    styles_.clear();
    st_.row = 0;
    st_.colDigits = 2;
    st_.clearFonts();
    st_.sheetDefault = Font{};
    st_.sheetDefault.name = "Fixedsys";
    st_.sheetDefault.size = 10;
    st_.widths.assign(kMaxCols + 1, -1);
}

void TableResultReader::read(const std::string& answerPath) {
    (void)answerPath;
    prepare();
    const ServiceInstructions::NextLine next = [this](std::string& l) { return nextLine(l); };
    AnswerBuffer& a = ctx_.answer;
    while (!stop_ && !a.atEnd()) {
        const std::string_view line = rightTrimmed(a.readRaw());
        if (ctx_.progress) {
            ctx_.progress->showShare(double(a.pos()), double(a.size()), Progress::Colour::Plain);
        }
        if (startsWith(line, ";;")) {
            fontLine(line);
        } else if (startsWith(line, ";")) {
            instructions_.apply(line, next);
        } else if (startsWith(line, "&&")) {
            rowLine(line);
        } else if (startsWith(line, "&")) {
            cellLine(line);
        } else if (answers::isNoticeMarker(line)) {
            notice();
        } else {
            textLine(line);
        }
    }
    finish();
}

void TableResultReader::fontLine(std::string_view line) {
    styles_.clear();
    const std::optional<answers::FontEntry> e = answers::parseFontEntry(line);
    if (!e || e->number >= ReadState::kFonts) {
        return;
    }
    auto& slot = st_.fonts[static_cast<std::size_t>(e->number)];
    if (e->font.size <= 0) {
        slot.reset();
        return;
    }
    slot = e->font;
    if (e->number == 0) {
        if (st_.sheetIndex == 1) {
            ctx_.book.setDefaultFont(e->font.name, e->font.size);
        } else {
            st_.sheetDefault = Font{};
            st_.sheetDefault.name = e->font.name;
            st_.sheetDefault.size = e->font.size;
            Style s = st_.sheet->style(1, 1);
            s.font = st_.sheetDefault;
            st_.sheet->setStyle(1, 1, s);
        }
    }
}

Font TableResultReader::cellFont(int number) const {
    const Font base = st_.sheetIndex == 1 ? ctx_.book.defaultFont() : st_.sheetDefault;
    if (number < 0 || number >= ReadState::kFonts || !st_.fonts[static_cast<std::size_t>(number)]) {
        return base;
    }
    if (number == 0) {
        Font f = base;
        f.name = st_.fonts[0]->name;
        f.size = st_.fonts[0]->size;
        return f;
    }
    return *st_.fonts[static_cast<std::size_t>(number)];
}

void TableResultReader::rowLine(std::string_view line) {
    if (st_.row >= kMaxRows) {
        return;
    }
    // Rows of a result are alike: room for as many cells as the row before saves regrowing.
    const std::size_t cells =
        st_.row >= 1 && st_.row <= st_.sheet->storedRows()
            ? st_.sheet->rows()[static_cast<std::size_t>(st_.row - 1)].cells.size()
            : 0;
    ++st_.row;
    if (cells > 0) {
        st_.sheet->rowForLoad(st_.row).cells.reserve(cells);
    }
    if (std::optional<double> h = answer::parseNumber(answer::mid(line, 3, 10));
        h && *h > 0 && *h < 1e5) {
        st_.sheet->setRowHeight(st_.row, static_cast<int>(std::lround(*h)));
    }
}

void TableResultReader::cellLine(std::string_view line) {
    if (st_.row < 1 || !parseCellLine(line, st_.colDigits, cell_) || cell_.col < 1 ||
        cell_.col > answers::kLastAnswerCol) {
        return;
    }
    Sheet& sh = *st_.sheet;
    // A key may stand before or after the font prefix.
    const std::string converted = codepage::toWindows(cell_.text);
    std::string_view head = converted;
    std::string_view key;
    bool keyFound = false;
    for (int pass = 0; pass < 2; ++pass) {
        if (!keyFound && !head.empty() && head[0] == '[') {
            const std::size_t close = head.find(']');
            if (close != std::string_view::npos) {
                key = head.substr(1, close - 1);
                keyFound = true;
                head.remove_prefix(close + 1);
            }
        }
        std::size_t len = 0;
        if (cell_.font < 0 && (cell_.font = fontPrefix(head, len)) >= 0) {
            head.remove_prefix(len);
        }
    }
    const int r = st_.row;
    const int c = cell_.col;
    const StyleId id = cellStyle(sh.styleId(r, c));
    sh.setStyleId(r, c, id);
    const Style& st = ctx_.book.styles().get(id);
    const bool trimBoth = st.halign == HAlign::Right || st.halign == HAlign::Center || st.wrap;
    std::string text(head);
    if (!text.empty() && text[0] == '=') {
        sh.setFormula(r, c, answers::substituteRow(text, r));
    } else {
        text = std::string(trimBoth ? answer::trimmed(text) : rightTrimmed(text));
        answers::enterCell(sh, r, c, answers::literalText(text));
    }
    if (keyFound) {
        answers::addKey(sh, r, c, key);
    }
    if (cell_.merged && (cell_.mergeCols > 0 || cell_.mergeRows > 0)) {
        st_.merges.push_back(CellRange{r, c, std::min(r + cell_.mergeRows, kMaxRows),
                                       std::min(c + cell_.mergeCols, answers::kLastAnswerCol)});
    }
}

StyleId TableResultReader::cellStyle(StyleId base) {
    // The key is built in a kept buffer: no allocation once the layouts are known.
    std::string& key = styleKey_;
    key.assign(reinterpret_cast<const char*>(&base), sizeof base);
    answers::appendLayoutKey(cell_, key);
    const auto it = styles_.find(key);
    if (it != styles_.end()) {
        return it->second;
    }
    Style st = ctx_.book.styles().get(base);
    const int font = cell_.font;
    if (font >= 0 && font < ReadState::kFonts && st_.fonts[static_cast<std::size_t>(font)]) {
        st.font = cellFont(font);
    } else if (st_.sheetIndex > 1) {
        st.font = st_.sheetDefault;
    }
    answers::applyCellLine(cell_, st);
    const StyleId id = ctx_.book.styles().intern(st);
    styles_.emplace(key, id);
    return id;
}

void TableResultReader::notice() {
    std::string message;
    if (nextLine(message)) {
        const std::size_t open = message.find('(');
        if (open != std::string::npos) {
            ctx_.settings.statusMessage =
                codepage::toWindows(std::string_view(message).substr(open + 1));
        } else {
            ctx_.settings.recalcNotice = true;
        }
        std::string third;
        nextLine(third);
    }
}

void TableResultReader::textLine(std::string_view line) {
    if (st_.row >= kMaxRows) {
        return;
    }
    const int r = ++st_.row;
    Sheet& sh = *st_.sheet;
    std::size_t len = 0;
    const int font = fontPrefix(line, len);
    if (font >= 0 && font < ReadState::kFonts && st_.fonts[static_cast<std::size_t>(font)]) {
        Style s = sh.style(r, 1);
        s.font = cellFont(font);
        sh.setStyle(r, 1, s);
    } else if (font < 0 && st_.sheetIndex > 1) {
        Style s = sh.style(r, 1);
        s.font = st_.sheetDefault;
        sh.setStyle(r, 1, s);
    }
    const std::string text = codepage::toWindows(line.substr(len));
    ReportSettings& s = ctx_.settings;
    if (startsWith(text, "E-")) {
        ctx_.prompter.error(text);
        s.statusMessage = text;
        if (s.openedFromDesigner) {
            const answers::ServerError e = answers::parseServerError(text);
            if (e.line > 0) {
                ctx_.world.showTemplateLine(e.line, e.position);
            }
        }
        if (r == 1) {
            // The server found nothing to show: the window closes after the message.
            s.closeWindow = true;
            stop_ = true;
        }
        return;
    }
    if (answer::trimmed(text) == "PBK") {
        sh.setRowPageBreak(r, true);
        return;
    }
    if (startsWith(text, "=")) {
        sh.setEntry(r, 1, answers::substituteRow(text, r));
    } else {
        sh.setText(r, 1, answers::literalText(text));
    }
    if (ctx_.measurer && sh.rowHeight(r) > 0) {
        sh.fitRowHeights(CellRange{r, 1, r, 1}, *ctx_.measurer);
    }
}

void TableResultReader::finish() {
    instructions_.finish();
    Workbook& book = ctx_.book;
    answers::finishSheet(*st_.sheet, st_, ctx_.settings, true);
    book.setCurrentSheet(1);
    Sheet& first = book.sheet();
    if (!ctx_.settings.requestContext.empty()) {
        first.setText(3, answers::kStateCol, ctx_.settings.requestContext);
    }
    book.events().doSelChange = true;
    first.setActiveCell(1, 1);
    // The reading switched them off for speed; a sheet left without them would show no
    // formula results and never repaint.
    book.setAutoRecalc(true);
    book.recalc();
    book.setRepaint(true);
}

} // namespace fc
