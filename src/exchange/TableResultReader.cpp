#include "exchange/TableResultReader.h"

#include "components/model/Sheet.h"
#include "components/model/TextMeasurer.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "designer/CellLine.h"
#include "designer/ObjectImage.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerFormat.h"
#include "exchange/AnswerText.h"
#include "exchange/ObjectPlacement.h"
#include "exchange/OutsideWorld.h"
#include "exchange/Progress.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"
#include "exchange/ResultRows.h"
#include "exchange/SheetProperty.h"
#include "exchange/TemplateLines.h"

#include <QTemporaryDir>

#include <cmath>

namespace fc {

namespace {
constexpr int kRowsMeasured = 1000;
} // namespace

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
    // The drawn objects of the former result go with its cells.
    sh.setObjectsForLoad({}, 1);
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
    placeObjects();
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
    forgetStyles();
    st_.row = 0;
    pastLastRow_ = false;
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
    // Looked at twice a pixel of the bar rather than at every one of a million lines.
    const std::size_t progressStep =
        ctx_.progress
            ? std::max<std::size_t>(1, a.size() / (2 * std::max(ctx_.progress->width(), 1)))
            : 0;
    std::size_t nextProgress = 0;
    while (!stop_ && !a.atEnd()) {
        const std::string_view line = rightTrimmed(a.readRaw());
        if (ctx_.progress && a.pos() >= nextProgress) {
            nextProgress = a.pos() + progressStep;
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
    forgetStyles();
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
    if (st_.row >= answers::kMaxResultRows) {
        pastLastRow_ = true; // its cells are left out
        return;
    }
    // Rows of a result are alike: room for as many cells as the row before saves regrowing.
    const std::size_t cells =
        st_.row >= 1 && st_.row <= st_.sheet->storedRows()
            ? st_.sheet->rows()[static_cast<std::size_t>(st_.row - 1)].cells.size()
            : 0;
    ++st_.row;
    if (st_.row == kRowsMeasured) {
        // Rows of a result are alike: the bytes so far tell about how many follow.
        const AnswerBuffer& a = ctx_.answer;
        const double perRow = double(a.pos()) / kRowsMeasured;
        st_.sheet->reserveRows(kRowsMeasured + int(double(a.size() - a.pos()) / perRow * 1.05));
    }
    if (cells > 0) {
        st_.sheet->rowForLoad(st_.row).cells.reserve(cells);
    }
    if (std::optional<double> h = answer::parseNumber(answer::mid(line, 3, 10));
        h && *h > 0 && *h < 1e5) {
        st_.sheet->setRowHeight(st_.row, static_cast<int>(std::lround(*h)));
    }
}

void TableResultReader::cellLine(std::string_view line) {
    if (pastLastRow_ && st_.rowsCut) {
        return; // said already: the rest of a long answer is passed over quickly
    }
    if (st_.row < 1 || !parseCellLine(line, st_.colDigits, cell_) || cell_.col < 1) {
        return;
    }
    if (pastLastRow_ || cell_.col > answers::kMaxResultCols) {
        // A cell that holds something is not left out unsaid; a format alone is.
        if (!answer::trimmed(cell_.text).empty()) {
            leftOut(pastLastRow_);
        }
        return;
    }
    Sheet& sh = *st_.sheet;
    // A key may stand before or after the font prefix.
    converted_.assign(cell_.text);
    codepage::toWindowsInPlace(converted_.data(), converted_.size());
    std::string_view head = converted_;
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
    if (!head.empty() && head[0] == '=') {
        sh.setFormula(r, c, answers::substituteRow(head, r));
    } else {
        const std::string_view text = trimBoth ? answer::trimmed(head) : rightTrimmed(head);
        const bool textFormat = st.numberFormat == "@";
        if (text.find("{*") == std::string_view::npos) {
            answers::enterCell(sh, r, c, text, textFormat);
        } else {
            answers::enterCell(sh, r, c, answers::literalText(text), textFormat);
        }
    }
    if (keyFound) {
        answers::addKey(sh, r, c, key);
    }
    if (cell_.merged && (cell_.mergeCols > 0 || cell_.mergeRows > 0)) {
        st_.merges.push_back(CellRange{r, c, std::min(r + cell_.mergeRows, answers::kMaxResultRows),
                                       std::min(c + cell_.mergeCols, answers::kMaxResultCols)});
    }
}

StyleId TableResultReader::cellStyle(StyleId base) {
    // A column mostly keeps its layout from row to row.
    LayoutMemo& memo = layouts_[static_cast<std::size_t>(cell_.col)];
    if (memo.id && base == memo.base && answers::sameLayout(cell_, memo.layout)) {
        return *memo.id;
    }
    // The key is built in a kept buffer: no allocation once the layouts are known.
    std::string& key = styleKey_;
    key.assign(reinterpret_cast<const char*>(&base), sizeof base);
    answers::appendLayoutKey(cell_, key);
    StyleId id;
    if (const auto it = styles_.find(key); it != styles_.end()) {
        id = it->second;
    } else {
        Style st = ctx_.book.styles().get(base);
        const int font = cell_.font;
        if (font >= 0 && font < ReadState::kFonts && st_.fonts[static_cast<std::size_t>(font)]) {
            st.font = cellFont(font);
        } else if (st_.sheetIndex > 1) {
            st.font = st_.sheetDefault;
        }
        answers::applyCellLine(cell_, st);
        id = ctx_.book.styles().intern(st);
        styles_.emplace(key, id);
    }
    memo.base = base;
    memo.layout = cell_;
    memo.id = id;
    return id;
}

void TableResultReader::forgetStyles() {
    styles_.clear();
    for (LayoutMemo& m : layouts_) {
        m.id.reset();
    }
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
    std::size_t len = 0;
    const int font = fontPrefix(line, len);
    const std::string text = codepage::toWindows(line.substr(len));
    if (st_.row >= answers::kMaxResultRows) {
        // Past the last row an error is still told; other text is left out, and said so.
        pastLastRow_ = true;
        const std::string_view t = answer::trimmed(text);
        if (startsWith(text, "E-")) {
            serverError(text, 0);
        } else if (!t.empty() && t != "PBK") {
            leftOut(true);
        }
        return;
    }
    const int r = ++st_.row;
    Sheet& sh = *st_.sheet;
    if (font >= 0 && font < ReadState::kFonts && st_.fonts[static_cast<std::size_t>(font)]) {
        Style s = sh.style(r, 1);
        s.font = cellFont(font);
        sh.setStyle(r, 1, s);
    } else if (font < 0 && st_.sheetIndex > 1) {
        Style s = sh.style(r, 1);
        s.font = st_.sheetDefault;
        sh.setStyle(r, 1, s);
    }
    if (startsWith(text, "E-")) {
        serverError(text, r);
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

void TableResultReader::serverError(const std::string& text, int row) {
    ReportSettings& s = ctx_.settings;
    ctx_.prompter.error(text);
    s.statusMessage = text;
    if (s.openedFromDesigner) {
        const answers::ServerError e = answers::parseServerError(text);
        if (e.line > 0) {
            ctx_.world.showTemplateLine(e.line, e.position);
        }
    }
    if (row == 1) {
        // The server found nothing to show: the window closes after the message.
        s.closeWindow = true;
        stop_ = true;
    }
}

void TableResultReader::leftOut(bool row) {
    if (row) {
        st_.rowsCut = true;
        st_.rowsShown = answers::kMaxResultRows;
    } else {
        st_.colsCut = true;
    }
}

// The sheet's drawn objects go where its ";OBJ=" records put them, as in a turbo result, and
// the records leave the column (MaxCol + 1, a sort helper).
void TableResultReader::placeObjects() {
    Sheet& sh = *st_.sheet;
    const int col = sh.maxCol() + 1;
    if (col >= answers::kObjectIdCol || !ctx_.settings.hasObjects) {
        return;
    }
    const auto& blocks = ctx_.settings.objectBlocks;
    const std::size_t index = static_cast<std::size_t>(st_.sheetIndex - 1);
    if (index < blocks.size() && !blocks[index].bytes.empty()) {
        QTemporaryDir dir;
        const ObjectImage image(cp1251::fromQString(dir.path()));
        Workbook objects;
        std::string error;
        if (dir.isValid() && image.decode(st_.sheetIndex, blocks[index], objects, error)) {
            placeFormObjects(sh, objects.sheet(1), sh.maxRow());
        }
    }
    // Records of objects that could not be read go all the same.
    for (int r = 1; r <= sh.maxRow() && r <= sh.storedRows(); ++r) {
        if (answer::startsWith(sh.text(r, col), "OBJ=")) {
            sh.setText(r, col, "");
        }
    }
}

void TableResultReader::finish() {
    instructions_.finish();
    Workbook& book = ctx_.book;
    answers::finishSheet(*st_.sheet, st_, ctx_.settings, true);
    placeObjects();
    answers::reportCut(st_, ctx_.settings, ctx_.prompter);
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
