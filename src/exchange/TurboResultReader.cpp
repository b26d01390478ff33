#include "exchange/TurboResultReader.h"

#include "components/format/FileType.h"
#include "components/formula/Formula.h"
#include "components/model/Sheet.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerFormat.h"
#include "exchange/AnswerText.h"
#include "exchange/GroupSubtotals.h"
#include "exchange/ObjectPlacement.h"
#include "exchange/OutsideFiles.h"
#include "exchange/Progress.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"
#include "exchange/ResultRows.h"
#include "exchange/SheetProperty.h"

#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace fc {

using answer::rightTrimmed;
using answer::startsWith;
using answer::trimmed;

namespace {

constexpr double kVersionTolerance = 0.000001;

bool totalsText(std::string_view s) {
    return s.find(w("Итого:")) != std::string_view::npos ||
           s.find(w("ИТОГО:")) != std::string_view::npos;
}

} // namespace

// The cells of one companion row as the result workbook stores them, made once per row and
// laid under every data row that names it.
struct TurboResultReader::TemplateRow {
    struct Item {
        int col = 0;
        StyleId style = 0;
        Value value;
        std::string formula; // without "=", empty: none
    };
    bool made = false;
    std::vector<Item> items;
    // The cells the items leave in an empty row, in column order (formula cells with their
    // style only: the formula is rebased for each row).
    std::vector<Cell> cells;
    std::vector<CellRange> merges; // columns only; rows 0
};

TurboResultReader::TurboResultReader(ResultContext& ctx) : ctx_(ctx), instructions_(ctx, st_) {
    st_.converted = true;
    st_.turbo = true;
    st_.nextSheet = [this](const std::string& name) {
        // One sheet only: the first sheet line names it, later ones are ignored.
        if (!st_.sheetLineSeen && !name.empty()) {
            st_.sheet->setName(name);
        }
        st_.sheetLineSeen = true;
    };
}

TurboResultReader::~TurboResultReader() = default;

void read_table_ex(ResultContext& ctx, const std::string& templatePath) {
    TurboResultReader(ctx).read(templatePath);
}

void TurboResultReader::showError(const std::string& text) { ctx_.prompter.error(text); }

bool TurboResultReader::loadTemplate(const std::string& path) {
    std::string error;
    Workbook fresh;
    if (readWorkbookFile(path, fresh, error) == 0) {
        return false;
    }
    template_.swapContents(fresh);
    return true;
}

bool TurboResultReader::versionIsCurrent() {
    const double have = template_.sheet(1).number(1, 1);
    return !(answerVersion_ - have > kVersionTolerance);
}

void TurboResultReader::read(const std::string& templatePath) {
    const answers::ResultOptions options = answers::parseResultOptions(ctx_.answer.statusLine());
    answerVersion_ = answers::versionNumber(options.version);
    stringFlag_ = options.stringFlag;
    turboVariant_ = options.turbo;
    // The former result stays until the form is known to be readable and current.
    ctx_.settings.clear();
    if (!loadTemplate(templatePath)) {
        showError(w("Не могу открыть файл ") + templatePath);
        return;
    }
    if (!versionIsCurrent()) {
        // A newer template may wait in the current directory.
        const std::string local = cp1251::fromQString(resolvePath(
            ctx_.currentDir,
            cp1251::fromQString(QFileInfo(cp1251::toQString(templatePath)).fileName())));
        if (!(loadTemplate(local) && versionIsCurrent())) {
            template_.reset();
            if (ctx_.prompter.confirm(w("Найденный шаблон устаpел (") + templatePath +
                                      w("). Попpобовать скачать новый с сеpвеpа?"))) {
                ctx_.settings.outdatedTemplate = true;
            }
            return;
        }
    }
    prepare();
    // The form's layout comes with the companion: widths, extent, print settings, fonts.
    const Sheet& form = template_.sheet(1);
    Sheet& sh = *st_.sheet;
    sh.setMaxCol(std::min(form.maxCol(), answers::kMaxResultCols));
    for (int c = 1; c <= answers::kLastAnswerCol; ++c) {
        if (form.colHasOwnWidth(c)) {
            sh.setColWidth(c, form.colWidth(c));
        }
        sh.setColHidden(c, form.colHidden(c));
    }
    sh.print() = form.print();
    ctx_.book.setDefaultFont(template_.defaultFont().name, template_.defaultFont().size);
    rows_.assign(static_cast<std::size_t>(form.maxRow()) + 1, TemplateRow{});
    if (turboVariant_) {
        turboPass();
        if (!turboInstructions()) {
            finish();
            return;
        }
        lastRowChecks();
        keepToLastRow();
    } else {
        readLines();
    }
    finish();
}

void TurboResultReader::prepare() {
    Workbook& book = ctx_.book;
    book.allow().allowFormatByEntry = false;
    book.setRepaint(false);
    book.events().doTopLeftChanged = false;
    book.setAutoRecalc(false);
    book.setCurrentSheet(1);
    Sheet& sh = book.sheet();
    st_.sheet = &sh;
    const CellRange all{1, 1, std::min(sh.maxRow() + 2, kMaxRows), kMaxCols};
    sh.unmerge(all);
    sh.clear(all);
    for (int r = 1; r <= all.r2 && r <= sh.storedRows(); ++r) {
        sh.setRowHeight(r, -1);
        sh.setRowPageBreak(r, false);
    }
    // The former result's drawn objects go with its cells; each answer places its own.
    sh.setObjectsForLoad({}, 1);
    Sheet_Property(book);
    book.allow().allowFormatByEntry = false;
    sh.setMaxCol(1);
    sh.setFixedRows(1, 0);
    sh.print().noColor = true;
    sh.print().landscape = false;
    book.setDefaultFont("Fixedsys", 10);
}

const TurboResultReader::TemplateRow& TurboResultReader::templateRow(int n) {
    static const TemplateRow none;
    if (n < 1 || n >= static_cast<int>(rows_.size())) {
        return none;
    }
    TemplateRow& t = rows_[static_cast<std::size_t>(n)];
    if (t.made) {
        return t;
    }
    t.made = true;
    const Sheet& form = template_.sheet(1);
    const int last = std::min(form.maxCol(), answers::kMaxResultCols);
    for (int c = last + 1; c <= form.maxCol(); ++c) {
        if (const Cell* cell = form.cell(n, c); cell && cell->hasContent()) {
            st_.colsCut = true; // a form wider than a result
        }
    }
    StyleTable& styles = ctx_.book.styles();
    const StyleTable& from = template_.styles();
    for (int c = 2; c <= last; ++c) {
        const Cell* cell = form.cell(n, c);
        if (!cell) {
            continue;
        }
        TemplateRow::Item item;
        item.col = c;
        item.style = styles.intern(from.get(cell->style));
        item.value = cell->value();
        if (const FormulaSlot* slot = form.formulaSlot(*cell)) {
            item.formula = slot->source;
        }
        const bool hasValue =
            !item.value.isEmpty() && !(item.value.isText() && item.value.text.empty());
        if (item.style != 0 || hasValue || !item.formula.empty()) {
            Cell made;
            made.col = static_cast<std::uint16_t>(c);
            made.style = item.style;
            if (item.formula.empty() && hasValue) {
                made.kind = item.value.kind;
                made.error = item.value.error;
                made.number = item.value.number;
                if (item.value.isText()) {
                    made.text = item.value.text;
                }
            }
            t.cells.push_back(std::move(made));
        }
        t.items.push_back(std::move(item));
    }
    for (const CellRange& m : form.merges()) {
        if (m.r1 == n && m.r2 == n && m.c1 >= 2 && m.c2 <= last) {
            t.merges.push_back({0, m.c1, 0, m.c2});
        }
    }
    return t;
}

void TurboResultReader::copyTemplateRow(int n, int first, int last) {
    const TemplateRow& t = templateRow(n);
    if (t.items.empty() && t.merges.empty()) {
        return;
    }
    Sheet& sh = *st_.sheet;
    for (int r = first; r <= last && r <= kMaxRows; ++r) {
        Row& row = sh.rowForLoad(r);
        const bool fresh =
            !t.cells.empty() && (row.cells.empty() || row.cells.back().col < t.cells.front().col);
        if (fresh) {
            // Column 1 at most so far: the form's cells go in as a block. The paste of the
            // values that always follows reports the change.
            row.cells.insert(row.cells.end(), t.cells.begin(), t.cells.end());
        }
        for (const TemplateRow::Item& item : t.items) {
            if (!fresh) {
                sh.setStyleId(r, item.col, item.style);
            }
            if (!item.formula.empty()) {
                sh.setFormula(r, item.col, formula::rebase(item.formula, r - n, 0));
            } else if (!fresh && !item.value.isEmpty()) {
                sh.setValue(r, item.col, item.value);
            }
        }
        for (const CellRange& m : t.merges) {
            st_.merges.push_back({r, m.c1, r, m.c2});
        }
    }
}

void TurboResultReader::readLines() {
    AnswerBuffer& a = ctx_.answer;
    const ServiceInstructions::NextLine next = [this](std::string& l) {
        if (ctx_.answer.atEnd()) {
            return false;
        }
        l = ctx_.answer.READ_LN();
        l.resize(rightTrimmed(l).size());
        return true;
    };
    Sheet& sh = *st_.sheet;
    totalsFrom_ = sh.fixedRow() + sh.fixedRows();
    std::string line;
    while (!a.atEnd()) {
        line = a.READ_LN();
        line.resize(rightTrimmed(line).size());
        if (ctx_.progress) {
            ctx_.progress->showShare(double(a.pos()), double(a.size()), Progress::Colour::Teal);
        }
        if (startsWith(line, ";")) {
            instructions_.apply(line, next);
        } else if (answers::isNoticeMarker(line)) {
            std::string message;
            if (next(message)) {
                const std::size_t open = message.find('(');
                if (open != std::string::npos) {
                    ctx_.settings.statusMessage = message.substr(open + 1);
                } else {
                    ctx_.settings.recalcNotice = true;
                }
                std::string third;
                next(third);
            }
        } else if (startsWith(line, "E-")) {
            showError(w("Ошибка: ") + line);
            ctx_.settings.statusMessage = line;
            if (st_.row == 0) {
                // Nothing to show: the window closes after the message.
                ctx_.settings.closeWindow = true;
                return;
            }
        } else if (startsWith(line, "H=")) {
            if (std::optional<double> h = answer::parseNumber(line.substr(2));
                h && *h > 0 && *h < 1e5 && st_.row >= 1) {
                const int height = static_cast<int>(std::lround(*h));
                sh.setRowHeight(st_.row, height);
                // Kept beside the row, where a sort finds it again after re-fitting heights.
                if (sh.maxCol() + 2 < answers::kObjectIdCol) {
                    sh.setText(st_.row, sh.maxCol() + 2, "H=" + std::to_string(height));
                }
            }
        } else if (line.find('|') != std::string::npos) {
            // Continuation lines: a TAB and the separator at the end ask for the next line.
            while (line.size() >= 2 && line[line.size() - 2] == '\t' &&
                   line.back() == answers::kSeparatorWin && !a.atEnd()) {
                line.pop_back();
                std::string more = a.READ_LN();
                more.resize(rightTrimmed(more).size());
                line += more;
            }
            dataRow(std::move(line));
        }
    }
}

void TurboResultReader::dataRow(std::string line) {
    Sheet& sh = *st_.sheet;
    const std::size_t bar = line.find('|');
    if (st_.row >= answers::kMaxResultRows) {
        if (!trimmed(std::string_view(line).substr(bar + 1)).empty()) {
            st_.rowsCut = true;
        }
        return;
    }
    const int n = answer::parseInt(line.substr(0, bar)).value_or(0);
    std::string_view values = std::string_view(line).substr(bar + 1);
    const int r = ++st_.row;
    if (!values.empty() && values[0] == '[') {
        const std::size_t close = values.find(']');
        if (close != std::string_view::npos) {
            std::string_view key = values.substr(1, close - 1);
            if (!key.empty() && key[0] == '*') {
                key.remove_prefix(1);
                sh.setText(r, answers::kMarkCol, "X");
            }
            sh.setText(r, answers::kActionCol, std::string(key));
            values.remove_prefix(close + 1);
        }
    }
    copyTemplateRow(n, r, r);
    sh.setActiveCell(r, 2);
    if (!sh.setClipValues(values, answers::kMaxResultCols)) {
        st_.colsCut = true;
    }
    // Only column 1 marks a totals row: a text column that merely mentions "Итого:" keeps
    // the values the server sent.
    if (totalsText(sh.value(r, 1).text)) {
        totalsRow(r);
    }
}

void TurboResultReader::totalsRow(int row) {
    Sheet& sh = *st_.sheet;
    for (int c : ctx_.settings.totalsColumns) {
        double sum = 0;
        for (int r = totalsFrom_; r < row; ++r) {
            sum += sh.number(r, c);
        }
        sh.setNumber(row, c, sum);
    }
    totalsFrom_ = row + 1;
}

void TurboResultReader::turboPass() {
    AnswerBuffer& a = ctx_.answer;
    char* data = a.data();
    const std::size_t start = a.pos();
    const std::size_t size = a.size();
    int row = 1;
    int runRow = 0;   // template row of the run under way
    int runFirst = 1; // its first sheet row
    auto rowNumberAt = [&](std::size_t at) {
        // The number fills three characters, left-aligned by our writer; other writers put
        // blanks in front, which count for nothing, as in the line-by-line variant.
        int n = 0;
        std::size_t i = at;
        while (i < size && i < at + 3 && data[i] == ' ') {
            ++i;
        }
        while (i < size && i < at + 3 && data[i] >= '0' && data[i] <= '9') {
            n = n * 10 + (data[i] - '0');
            ++i;
        }
        return n;
    };
    runRow = rowNumberAt(start);
    std::size_t end = size; // the bytes pasted: the lines that find a row
    // Column 1 keeps the row numbers and instructions as text ("@"); set before the form
    // cells of the row so that each row's cells are appended in column order.
    Sheet& sh = *st_.sheet;
    Style textStyle = sh.style(1, 1);
    textStyle.numberFormat = "@";
    const StyleId text = ctx_.book.styles().intern(textStyle);
    // Each row gets the form's columns and the line's fields: room for them at once, the
    // fields counted on the line before (lines of one answer are alike).
    const std::size_t formCells = static_cast<std::size_t>(template_.sheet(1).maxCol());
    sh.rowForLoad(1).cells.reserve(formCells + 1);
    sh.setStyleId(1, 1, text);
    // Code page 866 keeps TAB, CR, LF, digits and ";" where they are: lines are found in the
    // bytes as sent and converted a line at a time.
    std::size_t converted = start;
    const std::size_t step = std::max<std::size_t>(size / 64, 4096);
    std::size_t nextProgress = start + step;
    for (std::size_t i = start; i < size;) {
        const char* lf = static_cast<const char*>(std::memchr(data + i, '\n', size - i));
        if (!lf) {
            break; // the last line has no LF
        }
        const std::size_t eol = static_cast<std::size_t>(lf - data);
        codepage::toWindowsInPlace(data + i, eol - i);
        converted = eol;
        const std::size_t fields =
            1 + static_cast<std::size_t>(std::count(data + i, data + eol, '\t'));
        const std::size_t cellsPerRow = std::max(formCells, fields);
        if (stringFlag_ && eol >= start + 2 && data[eol - 1] == '\r' && data[eol - 2] == '\r') {
            data[eol - 2] = ' ';
        }
        i = eol + 1;
        if (i >= size) {
            break; // a final LF starts no line
        }
        if (row == kMaxRows) {
            // The sheet is full: the rest is left out, and said so when it holds anything.
            end = i;
            st_.rowsCut = std::string_view(data + i, size - i).find_first_not_of(" \t\r\n") !=
                          std::string_view::npos;
            break;
        }
        ++row;
        if (row == 1000) {
            // Lines of one answer are alike: the bytes so far tell about how many follow.
            const double perRow = double(i - start) / (row - 1);
            sh.reserveRows(row + int(double(size - i) / perRow * 1.05));
        }
        sh.rowForLoad(row).cells.reserve(cellsPerRow);
        sh.setStyleId(row, 1, text);
        const int n = rowNumberAt(i);
        if (n != runRow) {
            copyTemplateRow(runRow, runFirst, row - 1);
            runRow = n;
            runFirst = row;
        }
        if (ctx_.progress && i >= nextProgress) {
            nextProgress = i + step;
            ctx_.progress->showShare(double(i - start), double(size - start),
                                     Progress::Colour::Teal, 0.75);
        }
    }
    if (converted < end) {
        codepage::toWindowsInPlace(data + converted, end - converted); // the last line
    }
    copyTemplateRow(runRow, runFirst, row);
    sh.setActiveCell(1, 1);
    sh.setMaxRow(row);
    if (!sh.setClipValues(std::string_view(data + start, end - start), answers::kMaxResultCols)) {
        st_.colsCut = true;
    }

    sh.setColHidden(1, true);
    st_.row = row;
    if (ctx_.progress) {
        ctx_.progress->ShowProgressTeal(ctx_.progress->width() - 2);
    }
}

std::string TurboResultReader::rowText(int r) const {
    // The row's cells joined again as the line they were pasted from.
    const Sheet& sh = *st_.sheet;
    if (r < 1 || r > sh.storedRows()) {
        return {};
    }
    std::string t;
    int col = 1;
    for (const Cell& cell : sh.rows()[static_cast<std::size_t>(r - 1)].cells) {
        if (cell.col > answers::kLastAnswerCol) {
            break;
        }
        for (; col < cell.col; ++col) {
            t += '\t';
        }
        t += sh.text(r, cell.col);
    }
    return std::string(trimmed(t));
}

bool TurboResultReader::turboInstructions() {
    Sheet& sh = *st_.sheet;
    const int rows = st_.row;
    int r = 1;
    const ServiceInstructions::NextLine next = [&](std::string& l) {
        if (r > rows) {
            return false;
        }
        l = rowText(r++);
        return true;
    };
    // Instructions act as if no data row were read yet.
    st_.row = 0;
    while (r <= rows && startsWith(sh.value(r, 1).text, ";")) {
        const std::string line = rowText(r++);
        instructions_.apply(line, next);
    }
    const int taken = r - 1;
    if (taken > 0) {
        sh.deleteRows(1, taken);
        for (CellRange& m : st_.merges) {
            m.r1 -= taken;
            m.r2 -= taken;
        }
        st_.merges.erase(std::remove_if(st_.merges.begin(), st_.merges.end(),
                                        [](const CellRange& m) { return m.r1 < 1; }),
                         st_.merges.end());
    }
    st_.row = rows - taken;
    sh.setMaxRow(std::max(st_.row, 1));
    return st_.row > 0;
}

void TurboResultReader::lastRowChecks() {
    Sheet& sh = *st_.sheet;
    const std::string last = rowText(st_.row);
    if (answers::isNoticeMarker(last)) {
        const std::size_t open = last.find('(');
        const std::string message =
            w("Ошибка в базе! ") +
            (open == std::string::npos ? std::string() : last.substr(open + 1));
        showError(message);
        ctx_.settings.statusMessage = message;
    } else if (startsWith(last, "E-")) {
        showError(w("Ошибка: ") + last);
        ctx_.settings.statusMessage = last;
        // An error in row 1 is all there is: the window closes after the message.
        ctx_.settings.closeWindow = st_.row == 1;
    } else {
        return;
    }
    // The message row is no data row.
    sh.clear(CellRange{st_.row, 1, st_.row, answers::kActionCol});
    --st_.row;
    sh.setMaxRow(std::max(st_.row, 1));
}

void TurboResultReader::keepToLastRow() {
    // The instruction rows at the top are gone: the data rows below the result's last row
    // are the window's rows and are let go, and said so.
    if (st_.row <= answers::kMaxResultRows) {
        return;
    }
    Sheet& sh = *st_.sheet;
    const CellRange past{answers::kMaxResultRows + 1, 1, st_.row, kMaxCols};
    for (int r = past.r1; r <= past.r2 && !st_.rowsCut; ++r) {
        st_.rowsCut = !rowText(r).empty();
    }
    sh.clear(past);
    st_.merges.erase(
        std::remove_if(st_.merges.begin(), st_.merges.end(),
                       [](const CellRange& m) { return m.r1 > answers::kMaxResultRows; }),
        st_.merges.end());
    st_.row = answers::kMaxResultRows;
    sh.setMaxRow(st_.row);
}

void TurboResultReader::finish() {
    instructions_.finish();
    st_.rowsShown = st_.row;
    answers::reportCut(st_, ctx_.settings, ctx_.prompter);
    Workbook& book = ctx_.book;
    ReportSettings& s = ctx_.settings;
    Sheet& sh = *st_.sheet;
    // Rows copied from the companion never overlap: their merges go in at once.
    std::vector<CellRange> merges = sh.merges();
    merges.insert(merges.end(), st_.merges.begin(), st_.merges.end());
    st_.merges.clear();
    sh.setMergesForLoad(std::move(merges));
    // The form's drawn objects go where the rows' placement records put them.
    if (placeFormObjects(sh, template_.sheet(1), st_.row) > 0) {
        s.hasObjects = true;
    }
    // ";LISTBOX[" fills the placed list box; the template on disk stays as it is.
    fillListBoxes(sh, s);
    book.setAutoRecalc(true);
    if (turboVariant_) {
        const bool formulas = !s.filterActive;
        sh.setMaxRow(std::max(st_.row, 1));
        addGroupSubtotals(sh, s, formulas);
        s.runFilter = !formulas;
    } else {
        s.runFilter = true;
    }
    answers::finishSheet(sh, st_, s, true);
    if (!s.requestContext.empty()) {
        sh.setText(3, answers::kStateCol, s.requestContext);
    }
    book.recalc();
    book.events().doSelChange = true;
    book.events().doObjValueChanged = true;
    book.events().doTopLeftChanged = true;
    const int firstData = std::min(sh.fixedRow() + sh.fixedRows(), std::max(st_.row, 1));
    sh.setActiveCell(firstData, sh.fixedCols() + 1);
    book.setRepaint(true);
}

} // namespace fc
