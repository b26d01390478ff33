#include "components/model/Sheet.h"

#include "components/formula/Formula.h"
#include "components/model/NumberFormat.h"
#include "components/model/Workbook.h"

#include <algorithm>

namespace fc {

Value Cell::value() const {
    switch (kind) {
    case ValueKind::Empty: return Value::empty();
    case ValueKind::Number: return Value::fromNumber(number);
    case ValueKind::Boolean: return Value::fromBool(number != 0);
    case ValueKind::Text: return Value::fromText(text);
    case ValueKind::Error: return Value::fromError(error);
    }
    return {};
}

namespace {

struct ColLess {
    bool operator()(const Cell& c, int col) const { return c.col < col; }
};

const Row kEmptyRow{};
const std::string kEmptyText;

} // namespace

const Cell* Row::find(int col) const {
    // Rows are mostly filled left to right: a column past the last cell is not there.
    if (cells.empty() || cells.back().col < col) {
        return nullptr;
    }
    auto it = std::lower_bound(cells.begin(), cells.end(), col, ColLess());
    return it != cells.end() && it->col == col ? &*it : nullptr;
}

Cell* Row::find(int col) {
    if (cells.empty() || cells.back().col < col) {
        return nullptr;
    }
    auto it = std::lower_bound(cells.begin(), cells.end(), col, ColLess());
    return it != cells.end() && it->col == col ? &*it : nullptr;
}

Cell& Row::obtain(int col) {
    // Cells are mostly written left to right, so try the end first.
    if (cells.empty() || cells.back().col < col) {
        cells.emplace_back();
        cells.back().col = static_cast<std::uint16_t>(col);
        return cells.back();
    }
    if (cells.back().col == col) {
        return cells.back(); // a style set, then the value
    }
    auto it = std::lower_bound(cells.begin(), cells.end(), col, ColLess());
    if (it != cells.end() && it->col == col) {
        return *it;
    }
    it = cells.emplace(it);
    it->col = static_cast<std::uint16_t>(col);
    return *it;
}

Sheet::Sheet(Workbook& book, std::string name) : book_(&book), name_(std::move(name)) {}

void Sheet::setName(std::string name) {
    name_ = std::move(name);
    book_->noteLayoutChange();
}

// ---------------------------------------------------------------- extent

void Sheet::setMaxRow(int n) {
    n = std::clamp(n, 1, kMaxRows);
    if (n != maxRow_) {
        maxRow_ = n;
        book_->noteViewChange();
    }
}

void Sheet::setMaxCol(int n) {
    n = std::clamp(n, 1, kMaxCols);
    if (n != maxCol_) {
        maxCol_ = n;
        book_->noteViewChange();
    }
}

int Sheet::lastUsedRow() const {
    for (int r = static_cast<int>(rows_.size()); r >= 1; --r) {
        if (!rows_[static_cast<std::size_t>(r - 1)].cells.empty()) {
            return r;
        }
    }
    return 0;
}

int Sheet::lastUsedCol() const {
    int last = 0;
    for (const Row& row : rows_) {
        if (!row.cells.empty()) {
            last = std::max(last, static_cast<int>(row.cells.back().col));
        }
    }
    return last;
}

// ---------------------------------------------------------------- rows and cells

const Row* Sheet::rowAt(int r) const {
    if (r < 1 || r > static_cast<int>(rows_.size())) {
        return nullptr;
    }
    return &rows_[static_cast<std::size_t>(r - 1)];
}

Row* Sheet::rowAt(int r) {
    if (r < 1 || r > static_cast<int>(rows_.size())) {
        return nullptr;
    }
    return &rows_[static_cast<std::size_t>(r - 1)];
}

Row& Sheet::obtainRow(int r) {
    if (r > static_cast<int>(rows_.size())) {
        rows_.resize(static_cast<std::size_t>(r));
    }
    return rows_[static_cast<std::size_t>(r - 1)];
}

Cell* Sheet::obtainCell(int r, int c) {
    if (!validCell(r, c)) {
        return nullptr;
    }
    return &obtainRow(r).obtain(c);
}

const Cell* Sheet::cell(int r, int c) const {
    const Row* row = rowAt(r);
    return row && validCol(c) ? row->find(c) : nullptr;
}

Value Sheet::value(int r, int c) const {
    const Cell* x = cell(r, c);
    if (!x) {
        return {};
    }
    if (x->formula) {
        book_->recalcIfNeeded();
    }
    return x->value();
}

std::string Sheet::text(int r, int c) const { return display(r, c).text; }

FormattedText Sheet::display(int r, int c) const {
    const Cell* x = cell(r, c);
    if (!x || !x->hasContent()) {
        return {};
    }
    if (x->formula) {
        book_->recalcIfNeeded();
        if (book_->view().showFormulas) {
            return {formula(r, c), kAutoColor};
        }
    }
    const Style& st = book_->styles().get(x->style);
    if (x->kind == ValueKind::Text && (st.numberFormat == "General" || st.numberFormat == "@")) {
        return {x->text, kAutoColor};
    }
    return formatValue(x->value(), st.numberFormat);
}

std::string Sheet::entry(int r, int c) const {
    const Cell* x = cell(r, c);
    if (!x) {
        return {};
    }
    if (x->formula) {
        return formula(r, c);
    }
    switch (x->kind) {
    case ValueKind::Number: {
        const std::string& fmt = book_->styles().get(x->style).numberFormat;
        if (fmt.find("yy") != std::string::npos || fmt.find("dd") != std::string::npos) {
            return formatValue(x->value(), fmt).text;
        }
        return formatGeneral(x->number);
    }
    case ValueKind::Boolean: return x->number != 0 ? "TRUE" : "FALSE";
    case ValueKind::Text: return x->text;
    case ValueKind::Error: return errorText(x->error);
    case ValueKind::Empty: break;
    }
    return {};
}

double Sheet::number(int r, int c) const {
    const Cell* x = cell(r, c);
    if (!x) {
        return 0;
    }
    if (x->formula) {
        book_->recalcIfNeeded();
    }
    return x->kind == ValueKind::Number || x->kind == ValueKind::Boolean ? x->number : 0;
}

std::string Sheet::formula(int r, int c) const {
    const Cell* x = cell(r, c);
    const FormulaSlot* slot = x ? formulaSlot(*x) : nullptr;
    return slot ? "=" + slot->source : std::string();
}

const FormulaSlot* Sheet::formulaSlot(const Cell& c) const {
    if (c.formula == 0 || c.formula > formulaSlots_.size()) {
        return nullptr;
    }
    return &formulaSlots_[c.formula - 1];
}

void Sheet::dropFormula(Row& row, Cell& cell) {
    if (cell.formula == 0) {
        return;
    }
    FormulaSlot& slot = formulaSlots_[cell.formula - 1];
    slot.source.clear();
    slot.source.shrink_to_fit();
    slot.compiled.reset();
    freeSlots_.push_back(cell.formula);
    cell.formula = 0;
    --row.formulas;
    --formulaCount_;
}

void Sheet::clearValue(Row& row, Cell& cell) {
    dropFormula(row, cell);
    cell.kind = ValueKind::Empty;
    cell.error = ErrorCode::None;
    cell.number = 0;
    cell.text.clear();
}

std::uint32_t Sheet::addFormulaSlot(std::string source) {
    std::uint32_t id;
    if (!freeSlots_.empty()) {
        id = freeSlots_.back();
        freeSlots_.pop_back();
    } else {
        formulaSlots_.emplace_back();
        id = static_cast<std::uint32_t>(formulaSlots_.size());
    }
    FormulaSlot& slot = formulaSlots_[id - 1];
    slot.compiled = formula::compile(source);
    slot.source = std::move(source);
    return id;
}

void Sheet::recountFormulas() {
    formulaCount_ = 0;
    for (Row& row : rows_) {
        row.formulas = 0;
        for (const Cell& c : row.cells) {
            if (c.formula) {
                ++row.formulas;
                ++formulaCount_;
            }
        }
    }
}

void Sheet::removeEmptyCells(Row& row) {
    row.cells.erase(std::remove_if(row.cells.begin(), row.cells.end(),
                                   [](const Cell& c) { return !c.hasContent() && c.style == 0; }),
                    row.cells.end());
}

void Sheet::changed(const CellRange& r) { book_->noteChange(*this, r); }

void Sheet::structureChanged() { book_->noteLayoutChange(); }

void Sheet::setText(int r, int c, std::string_view text) {
    if (!validCell(r, c)) {
        return;
    }
    Row& row = obtainRow(r);
    if (text.empty()) {
        Cell* x = row.find(c);
        if (!x) {
            return;
        }
        clearValue(row, *x);
        if (x->style == 0) {
            removeEmptyCells(row);
        }
    } else {
        Cell& x = row.obtain(c);
        dropFormula(row, x);
        x.kind = ValueKind::Text;
        x.error = ErrorCode::None;
        x.number = 0;
        x.text.assign(text.data(), text.size());
    }
    changed(CellRange::cell(r, c));
}

void Sheet::setNumber(int r, int c, double d) {
    // setValue without making a Value: results are mostly numbers.
    if (!validCell(r, c)) {
        return;
    }
    Row& row = obtainRow(r);
    Cell& x = row.obtain(c);
    dropFormula(row, x);
    x.kind = ValueKind::Number;
    x.error = ErrorCode::None;
    x.number = d;
    x.text = std::string();
    changed(CellRange::cell(r, c));
}

void Sheet::setValue(int r, int c, const Value& v) {
    if (!validCell(r, c)) {
        return;
    }
    if (v.isEmpty() || (v.isText() && v.text.empty())) {
        setText(r, c, {});
        return;
    }
    Row& row = obtainRow(r);
    Cell& x = row.obtain(c);
    dropFormula(row, x);
    x.kind = v.kind;
    x.error = v.error;
    x.number = v.number;
    x.text = v.isText() ? v.text : std::string();
    changed(CellRange::cell(r, c));
}

void Sheet::setFormula(int r, int c, std::string_view source) {
    if (!validCell(r, c)) {
        return;
    }
    if (!source.empty() && source.front() == '=') {
        source.remove_prefix(1);
    }
    Row& row = obtainRow(r);
    Cell& x = row.obtain(c);
    dropFormula(row, x);
    x.kind = ValueKind::Empty;
    x.text.clear();
    x.number = 0;
    x.formula = addFormulaSlot(std::string(source));
    ++row.formulas;
    ++formulaCount_;
    changed(CellRange::cell(r, c));
}

void Sheet::setFormulaResult(int r, int c, const Value& v) {
    Row* row = rowAt(r);
    Cell* x = row && validCol(c) ? row->find(c) : nullptr;
    if (!x || !x->formula) {
        return;
    }
    x->kind = v.kind;
    x->error = v.error;
    x->number = v.number;
    x->text = v.isText() ? v.text : std::string();
}

void Sheet::setEntry(int r, int c, std::string_view typed) {
    if (!validCell(r, c)) {
        return;
    }
    const Style& st = style(r, c);
    if (st.numberFormat == "@" && !(typed.size() > 1 && typed.front() == '=')) {
        setText(r, c, typed);
        return;
    }
    ParsedEntry e = parseEntry(typed, book_->allow().allowFormulas);
    if (!e.formula.empty()) {
        setFormula(r, c, e.formula);
    } else {
        setValue(r, c, e.value);
    }
    if (!e.impliedFormat.empty() && book_->allow().allowFormatByEntry &&
        (st.numberFormat == "General" || st.numberFormat.empty())) {
        Style s = st;
        s.numberFormat = e.impliedFormat;
        setStyle(r, c, s);
    }
}

// ---------------------------------------------------------------- styles

StyleId Sheet::styleId(int r, int c) const {
    const Cell* x = cell(r, c);
    return x ? x->style : 0;
}

const Style& Sheet::style(int r, int c) const { return book_->styles().get(styleId(r, c)); }

const Style& Sheet::defaultStyle() const { return book_->styles().get(0); }

void Sheet::setStyleId(int r, int c, StyleId id) {
    if (!validCell(r, c)) {
        return;
    }
    Row& row = obtainRow(r);
    if (id == 0) {
        Cell* x = row.find(c);
        if (!x || x->style == 0) {
            return;
        }
        x->style = 0;
        if (!x->hasContent()) {
            removeEmptyCells(row);
        }
    } else {
        row.obtain(c).style = id;
    }
    changed(CellRange::cell(r, c));
}

void Sheet::setStyle(int r, int c, const Style& s) { setStyleId(r, c, book_->styles().intern(s)); }

void Sheet::editStyle(const CellRange& range, const std::function<void(Style&)>& edit) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    StyleTable& table = book_->styles();
    // Each distinct style of the range is edited once.
    std::vector<std::pair<StyleId, StyleId>> memo;
    auto mapped = [&](StyleId old) {
        for (const auto& m : memo) {
            if (m.first == old) {
                return m.second;
            }
        }
        Style s = table.get(old);
        edit(s);
        StyleId id = table.intern(s);
        memo.emplace_back(old, id);
        return id;
    };
    for (int r = rg.r1; r <= rg.r2; ++r) {
        Row& row = obtainRow(r);
        for (int c = rg.c1; c <= rg.c2; ++c) {
            Cell* x = row.find(c);
            StyleId now = x ? x->style : 0;
            StyleId id = mapped(now);
            if (id == now) {
                continue;
            }
            if (!x) {
                x = &row.obtain(c);
            }
            x->style = id;
        }
        removeEmptyCells(row);
    }
    changed(rg);
}

// ---------------------------------------------------------------- rows and columns

void Sheet::setDefaultRowHeight(int twips) {
    defaultRowHeight_ = std::clamp(twips, 0, 8192);
    structureChanged();
}

void Sheet::setDefaultColWidth(int width) {
    defaultColWidth_ = std::clamp(width, 0, 255 * 256);
    structureChanged();
}

int Sheet::rowHeight(int r) const {
    const Row* row = rowAt(r);
    return row && row->height >= 0 ? row->height : defaultRowHeight_;
}

void Sheet::setRowHeight(int r, int twips) {
    if (!validRow(r)) {
        return;
    }
    obtainRow(r).height = twips < 0 ? -1 : std::min(twips, 8192);
    structureChanged();
}

bool Sheet::rowHasOwnHeight(int r) const {
    const Row* row = rowAt(r);
    return row && row->height >= 0;
}

bool Sheet::rowHidden(int r) const {
    const Row* row = rowAt(r);
    return row && row->hidden;
}

void Sheet::setRowHidden(int r, bool hidden) {
    if (!validRow(r) || rowHidden(r) == hidden) {
        return;
    }
    obtainRow(r).hidden = hidden;
    structureChanged();
}

const std::string& Sheet::rowHeading(int r) const {
    const Row* row = rowAt(r);
    return row ? row->heading : kEmptyText;
}

void Sheet::setRowHeading(int r, std::string text) {
    if (!validRow(r)) {
        return;
    }
    if (text.empty() && !rowAt(r)) {
        return;
    }
    obtainRow(r).heading = std::move(text);
    structureChanged();
}

bool Sheet::rowPageBreak(int r) const {
    const Row* row = rowAt(r);
    return row && row->pageBreak;
}

void Sheet::setRowPageBreak(int r, bool on) {
    if (!validRow(r) || rowPageBreak(r) == on) {
        return;
    }
    obtainRow(r).pageBreak = on;
    structureChanged();
}

int Sheet::colWidth(int c) const {
    if (!validCol(c)) {
        return defaultColWidth_;
    }
    int w = cols_[static_cast<std::size_t>(c - 1)].width;
    return w >= 0 ? w : defaultColWidth_;
}

void Sheet::setColWidth(int c, int width) {
    if (!validCol(c)) {
        return;
    }
    cols_[static_cast<std::size_t>(c - 1)].width = width < 0 ? -1 : std::min(width, 255 * 256);
    structureChanged();
}

bool Sheet::colHasOwnWidth(int c) const {
    return validCol(c) && cols_[static_cast<std::size_t>(c - 1)].width >= 0;
}

bool Sheet::colHidden(int c) const {
    return validCol(c) && cols_[static_cast<std::size_t>(c - 1)].hidden;
}

void Sheet::setColHidden(int c, bool hidden) {
    if (!validCol(c)) {
        return;
    }
    cols_[static_cast<std::size_t>(c - 1)].hidden = hidden;
    structureChanged();
}

bool Sheet::colPageBreak(int c) const {
    return validCol(c) && cols_[static_cast<std::size_t>(c - 1)].pageBreak;
}

void Sheet::setColPageBreak(int c, bool on) {
    if (!validCol(c)) {
        return;
    }
    cols_[static_cast<std::size_t>(c - 1)].pageBreak = on;
    structureChanged();
}

// ---------------------------------------------------------------- merges

void Sheet::merge(const CellRange& range) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    unmerge(rg);
    if (rg.rows() > 1 || rg.cols() > 1) {
        merges_.push_back(rg);
    }
    structureChanged();
}

void Sheet::unmerge(const CellRange& range) {
    CellRange rg = range.normalized();
    auto before = merges_.size();
    merges_.erase(std::remove_if(merges_.begin(), merges_.end(),
                                 [&](const CellRange& m) { return m.intersects(rg); }),
                  merges_.end());
    if (merges_.size() != before) {
        structureChanged();
    }
}

const CellRange* Sheet::mergeAt(int r, int c) const {
    for (const CellRange& m : merges_) {
        if (m.contains(r, c)) {
            return &m;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------- view position and selection

void Sheet::setFixedRows(int first, int count) {
    fixedRow_ = std::clamp(first, 1, kMaxRows);
    fixedRows_ = std::clamp(count, 0, kMaxRows - fixedRow_ + 1);
    book_->noteViewChange();
}

void Sheet::setFixedCols(int first, int count) {
    fixedCol_ = std::clamp(first, 1, kMaxCols);
    fixedCols_ = std::clamp(count, 0, kMaxCols - fixedCol_ + 1);
    book_->noteViewChange();
}

void Sheet::setTopLeft(int row, int col) {
    row = std::clamp(row, 1, kMaxRows);
    col = std::clamp(col, 1, kMaxCols);
    if (row == topRow_ && col == leftCol_) {
        return;
    }
    topRow_ = row;
    leftCol_ = col;
    book_->noteTopLeftChange();
}

CellRange Sheet::selectionRange(int index) const {
    if (index < 0 || index >= static_cast<int>(selection_.size())) {
        return CellRange::cell(active_.row, active_.col);
    }
    return selection_[static_cast<std::size_t>(index)];
}

void Sheet::setSelection(const CellRange& range, bool add) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    if (!add) {
        selection_.clear();
    }
    selection_.push_back(rg);
    active_ = {rg.r1, rg.c1};
    book_->noteSelChange();
}

void Sheet::setSelectionRanges(const std::vector<CellRange>& ranges, CellRef active) {
    std::vector<CellRange> kept;
    for (const CellRange& r : ranges) {
        CellRange rg = r.clamped();
        if (!rg.empty()) {
            kept.push_back(rg);
        }
    }
    if (kept.empty()) {
        return;
    }
    selection_ = std::move(kept);
    const CellRange& last = selection_.back();
    active_ = last.contains(active.row, active.col) ? active : CellRef{last.r1, last.c1};
    book_->noteSelChange();
}

void Sheet::setActiveCell(int r, int c) {
    if (!validCell(r, c)) {
        return;
    }
    active_ = {r, c};
    bool inside = false;
    for (const CellRange& s : selection_) {
        inside = inside || s.contains(r, c);
    }
    if (!inside) {
        selection_.assign(1, CellRange::cell(r, c));
    }
    book_->noteSelChange();
}

std::string Sheet::selectionText() const { return text(active_.row, active_.col); }

std::string Sheet::selectionEntry() const { return entry(active_.row, active_.col); }

void Sheet::setSelectionEntry(std::string_view typed) {
    for (const CellRange& s : selection_) {
        CellRange rg = s.clamped();
        for (int r = rg.r1; r <= rg.r2; ++r) {
            for (int c = rg.c1; c <= rg.c2; ++c) {
                setEntry(r, c, typed);
            }
        }
    }
}

std::string Sheet::selectionFormula() const { return formula(active_.row, active_.col); }

std::string Sheet::selectionNumberFormat() const {
    return style(active_.row, active_.col).numberFormat;
}

void Sheet::setSelectionNumberFormat(std::string_view fmt) {
    std::string f(fmt);
    editSelectionStyle([&](Style& s) { s.numberFormat = f; });
}

Font Sheet::selectionFont() const { return style(active_.row, active_.col).font; }

void Sheet::editSelectionStyle(const std::function<void(Style&)>& edit) {
    for (const CellRange& s : selection_) {
        editStyle(s, edit);
    }
}

// ---------------------------------------------------------------- clip text

std::string Sheet::clip() const {
    CellRange rg = selectionRange(0).clamped();
    std::string out;
    if (rg.empty()) {
        return out;
    }
    for (int r = rg.r1; r <= rg.r2; ++r) {
        for (int c = rg.c1; c <= rg.c2; ++c) {
            if (c > rg.c1) {
                out += '\t';
            }
            out += text(r, c);
        }
        out += "\r\n";
    }
    return out;
}

bool Sheet::setClipValues(std::string_view tsv, int lastCol) {
    const int r0 = active_.row;
    const int c0 = active_.col;
    lastCol = std::min(lastCol, kMaxCols);
    int r = r0;
    std::size_t pos = 0;
    bool whole = true;
    const StyleTable& table = book_->styles();
    // Most cells share a style or two; compare the format text only when the style changes.
    StyleId lastStyle = 0;
    bool lastIsText = table.get(0).numberFormat == "@";
    auto textFormat = [&](StyleId id) {
        if (id != lastStyle) {
            lastStyle = id;
            lastIsText = table.get(id).numberFormat == "@";
        }
        return lastIsText;
    };
    auto blank = [](std::string_view s) {
        return s.find_first_not_of("\t\r\n") == std::string_view::npos;
    };
    const auto lines = std::count(tsv.begin(), tsv.end(), '\n') + 1;
    rows_.reserve(static_cast<std::size_t>(std::min<long>(r0 - 1 + lines, kMaxRows)));
    while (pos < tsv.size() && r <= kMaxRows) {
        std::size_t eol = tsv.find('\n', pos);
        if (eol == std::string_view::npos) {
            eol = tsv.size();
        }
        std::string_view line = tsv.substr(pos, eol - pos);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        pos = eol + 1;
        int c = c0;
        std::size_t fpos = 0;
        Row* row = nullptr;
        // Where the next column's cell may already stand (formats laid first): rows are
        // filled left to right, so the search mostly ends at once.
        std::size_t hint = 0;
        while (c <= lastCol) {
            std::size_t tab = line.find('\t', fpos);
            std::string_view field =
                line.substr(fpos, tab == std::string_view::npos ? line.size() - fpos : tab - fpos);
            if (!row) {
                row = &obtainRow(r);
                // One allocation for the whole line instead of growing cell by cell; a row
                // that has cells already (formats laid first) keeps its own room, which an
                // upper bound would double.
                if (row->cells.empty()) {
                    const auto fields = std::count(line.begin(), line.end(), '\t') + 1;
                    row->cells.reserve(static_cast<std::size_t>(std::min<long>(fields, kMaxCols)));
                }
            }
            std::vector<Cell>& cells = row->cells;
            while (hint < cells.size() && cells[hint].col < c) {
                ++hint;
            }
            Cell* x = nullptr;
            if (hint < cells.size() && cells[hint].col == c) {
                x = &cells[hint];
            } else if (!field.empty()) {
                x = &*cells.emplace(cells.begin() + static_cast<std::ptrdiff_t>(hint));
                x->col = static_cast<std::uint16_t>(c);
            }
            if (x) {
                dropFormula(*row, *x);
                double d;
                if (field.empty()) {
                    x->kind = ValueKind::Empty;
                    x->text.clear();
                } else if (!textFormat(x->style) && parseNumber(field, d)) {
                    x->kind = ValueKind::Number;
                    x->number = d;
                    x->text.clear();
                } else {
                    x->kind = ValueKind::Text;
                    x->number = 0;
                    x->text.assign(field.data(), field.size());
                }
                x->error = ErrorCode::None;
            }
            if (tab == std::string_view::npos) {
                fpos = line.size();
                break;
            }
            fpos = tab + 1;
            ++c;
        }
        if (c > lastCol && !blank(line.substr(std::min(fpos, line.size())))) {
            whole = false;
        }
        if (row) {
            removeEmptyCells(*row);
        }
        ++r;
    }
    if (pos < tsv.size() && !blank(tsv.substr(pos))) {
        whole = false;
    }
    changed({r0, c0, std::min(r, kMaxRows), kMaxCols});
    return whole;
}

// ---------------------------------------------------------------- clear, copy, paste

void Sheet::clear(const CellRange& range, ClearWhat what) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    int last = std::min(rg.r2, static_cast<int>(rows_.size()));
    for (int r = rg.r1; r <= last; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r - 1)];
        auto it = std::lower_bound(row.cells.begin(), row.cells.end(), rg.c1, ColLess());
        for (; it != row.cells.end() && it->col <= rg.c2; ++it) {
            if (what != ClearWhat::Formats) {
                clearValue(row, *it);
            }
            if (what != ClearWhat::Values) {
                it->style = 0;
            }
        }
        removeEmptyCells(row);
    }
    if (what != ClearWhat::Values) {
        unmerge(rg);
    }
    changed(rg);
}

ClipData Sheet::copy(const CellRange& range) const {
    ClipData d;
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return d;
    }
    book_->recalcIfNeeded();
    d.rows = rg.rows();
    d.cols = rg.cols();
    d.srcRow = rg.r1;
    d.srcCol = rg.c1;
    const StyleTable& table = book_->styles();
    for (int r = rg.r1; r <= rg.r2; ++r) {
        d.rowHeights.push_back(rowHasOwnHeight(r) ? rowHeight(r) : -1);
        const Row* row = rowAt(r);
        if (!row) {
            continue;
        }
        auto it = std::lower_bound(row->cells.begin(), row->cells.end(), rg.c1, ColLess());
        for (; it != row->cells.end() && it->col <= rg.c2; ++it) {
            ClipData::Item item;
            item.dr = r - rg.r1;
            item.dc = it->col - rg.c1;
            item.value = it->value();
            if (const FormulaSlot* slot = formulaSlot(*it)) {
                item.formula = slot->source;
            }
            item.style = table.get(it->style);
            d.items.push_back(std::move(item));
        }
    }
    for (const CellRange& m : merges_) {
        if (rg.contains(m)) {
            d.merges.push_back({m.r1 - rg.r1, m.c1 - rg.c1, m.r2 - rg.r1, m.c2 - rg.c1});
        }
    }
    for (const DrawnObject& o : objects_) {
        if (o.y1 >= rg.r1 - 1 && o.y1 < rg.r2 && o.x1 >= rg.c1 - 1 && o.x1 < rg.c2) {
            DrawnObject copy = o;
            double dx = rg.c1 - 1, dy = rg.r1 - 1;
            copy.x1 -= dx;
            copy.x2 -= dx;
            copy.y1 -= dy;
            copy.y2 -= dy;
            for (auto& p : copy.points) {
                p.first -= dx;
                p.second -= dy;
            }
            d.objects.push_back(std::move(copy));
        }
    }
    return d;
}

void Sheet::paste(const ClipData& data, CellRef at, PasteWhat what) {
    if (!validCell(at.row, at.col) || data.rows <= 0 || data.cols <= 0) {
        return;
    }
    const int dRow = at.row - data.srcRow;
    const int dCol = at.col - data.srcCol;
    CellRange target{at.row, at.col, std::min(kMaxRows, at.row + data.rows - 1),
                     std::min(kMaxCols, at.col + data.cols - 1)};
    if (what.values) {
        clear(target, what.formats ? ClearWhat::All : ClearWhat::Values);
    } else if (what.formats) {
        clear(target, ClearWhat::Formats);
    }
    StyleTable& table = book_->styles();
    StyleId lastId = 0;
    const Style* lastStyle = nullptr;
    for (const ClipData::Item& item : data.items) {
        int r = at.row + item.dr;
        int c = at.col + item.dc;
        if (!validCell(r, c)) {
            continue;
        }
        if (what.formats) {
            if (!lastStyle || !(*lastStyle == item.style)) {
                lastId = table.intern(item.style);
                lastStyle = &item.style;
            }
            setStyleId(r, c, lastId);
        }
        if (what.values) {
            if (what.formulas && !item.formula.empty()) {
                setFormula(r, c, formula::rebase(item.formula, dRow, dCol));
            } else {
                setValue(r, c, item.value);
            }
        }
    }
    if (what.formats) {
        for (const CellRange& m : data.merges) {
            CellRange abs{m.r1 + at.row, m.c1 + at.col, m.r2 + at.row, m.c2 + at.col};
            if (validCell(abs.r2, abs.c2)) {
                merge(abs);
            }
        }
    }
    if (what.rowHeights) {
        for (int i = 0; i < static_cast<int>(data.rowHeights.size()); ++i) {
            if (validRow(at.row + i)) {
                setRowHeight(at.row + i, data.rowHeights[static_cast<std::size_t>(i)]);
            }
        }
    }
    if (what.objects) {
        for (DrawnObject o : data.objects) {
            double dx = at.col - 1, dy = at.row - 1;
            o.x1 += dx;
            o.x2 += dx;
            o.y1 += dy;
            o.y2 += dy;
            for (auto& p : o.points) {
                p.first += dx;
                p.second += dy;
            }
            o.selected = false;
            addObject(std::move(o));
        }
    }
    changed(target);
}

// ---------------------------------------------------------------- structure

void Sheet::adjustFormulas(int kind, int at, int count, int limitFirst, int limitLast) {
    if (book_->numSheets() == 0) {
        return;
    }
    formula::StructureChange ch;
    ch.kind = static_cast<formula::StructureChange::Kind>(kind);
    ch.at = at;
    ch.count = count;
    ch.first = limitFirst;
    ch.last = limitLast;
    ch.sheet = name_;
    for (int s = 1; s <= book_->numSheets(); ++s) {
        Sheet& other = book_->sheet(s);
        if (other.formulaCount_ == 0) {
            continue;
        }
        bool same = &other == this;
        for (FormulaSlot& slot : other.formulaSlots_) {
            if (!slot.compiled) {
                continue;
            }
            std::string moved = formula::adjust(slot.source, ch, same);
            if (moved != slot.source) {
                slot.source = std::move(moved);
                slot.compiled = formula::compile(slot.source);
            }
        }
    }
}

void Sheet::shiftObjectsRows(int at, int delta) {
    for (DrawnObject& o : objects_) {
        if (o.y1 >= at - 1) {
            o.y1 = std::max(0.0, o.y1 + delta);
            o.y2 = std::max(o.y1, o.y2 + delta);
            for (auto& p : o.points) {
                p.second = std::max(0.0, p.second + delta);
            }
        }
    }
}

void Sheet::shiftObjectsCols(int at, int delta) {
    for (DrawnObject& o : objects_) {
        if (o.x1 >= at - 1) {
            o.x1 = std::max(0.0, o.x1 + delta);
            o.x2 = std::max(o.x1, o.x2 + delta);
            for (auto& p : o.points) {
                p.first = std::max(0.0, p.first + delta);
            }
        }
    }
}

void Sheet::adjustMerges(bool rows, int at, int delta) {
    std::vector<CellRange> kept;
    for (CellRange m : merges_) {
        int& a = rows ? m.r1 : m.c1;
        int& b = rows ? m.r2 : m.c2;
        const int limit = rows ? kMaxRows : kMaxCols;
        if (delta > 0) {
            if (a >= at) {
                a += delta;
                b += delta;
            } else if (b >= at) {
                b += delta;
            }
        } else {
            int delFirst = at, delLast = at - delta - 1;
            auto mapIdx = [&](int x) { return x > delLast ? x + delta : x; };
            if (a >= delFirst && b <= delLast) {
                continue;
            }
            int na = a >= delFirst && a <= delLast ? delFirst : mapIdx(a);
            int nb = b >= delFirst && b <= delLast ? delFirst - 1 : mapIdx(b);
            a = na;
            b = nb;
        }
        if (a > limit) {
            continue;
        }
        b = std::min(b, limit);
        if (m.r1 <= m.r2 && m.c1 <= m.c2 && (m.rows() > 1 || m.cols() > 1)) {
            kept.push_back(m);
        }
    }
    merges_ = std::move(kept);
}

void Sheet::insertRows(int at, int count) {
    if (!validRow(at) || count <= 0) {
        return;
    }
    count = std::min(count, kMaxRows - at + 1);
    if (at <= static_cast<int>(rows_.size())) {
        rows_.insert(rows_.begin() + (at - 1), static_cast<std::size_t>(count), Row{});
        if (rows_.size() > static_cast<std::size_t>(kMaxRows)) {
            for (std::size_t i = kMaxRows; i < rows_.size(); ++i) {
                for (Cell& c : rows_[i].cells) {
                    dropFormula(rows_[i], c);
                }
            }
            rows_.resize(kMaxRows);
        }
    }
    adjustMerges(true, at, count);
    shiftObjectsRows(at, count);
    adjustFormulas(formula::StructureChange::InsertRows, at, count, 1, kMaxCols);
    book_->noteChange(*this, {at, 1, kMaxRows, kMaxCols});
    structureChanged();
}

void Sheet::deleteRows(int at, int count) {
    if (!validRow(at) || count <= 0) {
        return;
    }
    count = std::min(count, kMaxRows - at + 1);
    int stored = static_cast<int>(rows_.size());
    if (at <= stored) {
        int last = std::min(stored, at + count - 1);
        for (int r = at; r <= last; ++r) {
            Row& row = rows_[static_cast<std::size_t>(r - 1)];
            for (Cell& c : row.cells) {
                dropFormula(row, c);
            }
        }
        rows_.erase(rows_.begin() + (at - 1), rows_.begin() + last);
    }
    adjustMerges(true, at, -count);
    objects_.erase(std::remove_if(objects_.begin(), objects_.end(),
                                  [&](const DrawnObject& o) {
                                      return o.y1 >= at - 1 && o.y1 < at - 1 + count;
                                  }),
                   objects_.end());
    shiftObjectsRows(at + count, -count);
    adjustFormulas(formula::StructureChange::DeleteRows, at, count, 1, kMaxCols);
    book_->noteChange(*this, {at, 1, kMaxRows, kMaxCols});
    structureChanged();
}

namespace {

// Moves the cells of `row` at columns >= at (up to `last`) by delta; cells pushed past
// `last` or into a deleted block are dropped.
template <typename Drop>
void shiftCellsInRow(Row& row, int at, int delta, int last, Drop drop) {
    std::vector<Cell> out;
    out.reserve(row.cells.size());
    for (Cell& c : row.cells) {
        int col = c.col;
        if (col < at || col > last) {
            out.push_back(std::move(c));
            continue;
        }
        if (delta < 0 && col < at - delta) {
            drop(c);
            continue;
        }
        int nc = col + delta;
        if (nc > last) {
            drop(c);
            continue;
        }
        c.col = static_cast<std::uint16_t>(nc);
        out.push_back(std::move(c));
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Cell& a, const Cell& b) { return a.col < b.col; });
    row.cells = std::move(out);
}

} // namespace

void Sheet::insertCols(int at, int count) {
    if (!validCol(at) || count <= 0) {
        return;
    }
    count = std::min(count, kMaxCols - at + 1);
    for (Row& row : rows_) {
        shiftCellsInRow(row, at, count, kMaxCols, [&](Cell& c) { dropFormula(row, c); });
    }
    std::copy_backward(cols_.begin() + (at - 1), cols_.end() - count, cols_.end());
    std::fill(cols_.begin() + (at - 1), cols_.begin() + (at - 1 + count), Column{});
    adjustMerges(false, at, count);
    shiftObjectsCols(at, count);
    adjustFormulas(formula::StructureChange::InsertCols, at, count, 1, kMaxRows);
    book_->noteChange(*this, {1, at, kMaxRows, kMaxCols});
    structureChanged();
}

void Sheet::deleteCols(int at, int count) {
    if (!validCol(at) || count <= 0) {
        return;
    }
    count = std::min(count, kMaxCols - at + 1);
    for (Row& row : rows_) {
        shiftCellsInRow(row, at, -count, kMaxCols, [&](Cell& c) { dropFormula(row, c); });
    }
    std::copy(cols_.begin() + (at - 1 + count), cols_.end(), cols_.begin() + (at - 1));
    std::fill(cols_.end() - count, cols_.end(), Column{});
    adjustMerges(false, at, -count);
    objects_.erase(std::remove_if(objects_.begin(), objects_.end(),
                                  [&](const DrawnObject& o) {
                                      return o.x1 >= at - 1 && o.x1 < at - 1 + count;
                                  }),
                   objects_.end());
    shiftObjectsCols(at + count, -count);
    adjustFormulas(formula::StructureChange::DeleteCols, at, count, 1, kMaxRows);
    book_->noteChange(*this, {1, at, kMaxRows, kMaxCols});
    structureChanged();
}

void Sheet::insertShiftRight(const CellRange& range) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    if (rg.wholeRows()) {
        insertRows(rg.r1, rg.rows());
        return;
    }
    int last = std::min(rg.r2, static_cast<int>(rows_.size()));
    for (int r = rg.r1; r <= last; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r - 1)];
        shiftCellsInRow(row, rg.c1, rg.cols(), kMaxCols, [&](Cell& c) { dropFormula(row, c); });
    }
    adjustFormulas(formula::StructureChange::InsertCols, rg.c1, rg.cols(), rg.r1, rg.r2);
    changed({rg.r1, rg.c1, rg.r2, kMaxCols});
}

void Sheet::deleteShiftLeft(const CellRange& range) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    if (rg.wholeRows()) {
        deleteRows(rg.r1, rg.rows());
        return;
    }
    int last = std::min(rg.r2, static_cast<int>(rows_.size()));
    for (int r = rg.r1; r <= last; ++r) {
        Row& row = rows_[static_cast<std::size_t>(r - 1)];
        shiftCellsInRow(row, rg.c1, -rg.cols(), kMaxCols, [&](Cell& c) { dropFormula(row, c); });
    }
    adjustFormulas(formula::StructureChange::DeleteCols, rg.c1, rg.cols(), rg.r1, rg.r2);
    changed({rg.r1, rg.c1, rg.r2, kMaxCols});
}

void Sheet::insertShiftDown(const CellRange& range) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    if (rg.wholeCols()) {
        insertCols(rg.c1, rg.cols());
        return;
    }
    if (rg.wholeRows()) {
        insertRows(rg.r1, rg.rows());
        return;
    }
    const int n = rg.rows();
    ClipData moving = copy({rg.r1, rg.c1, kMaxRows - n, rg.c2});
    clear({rg.r1, rg.c1, kMaxRows, rg.c2}, ClearWhat::All);
    PasteWhat what = PasteWhat::all();
    what.objects = false;
    // Moved formulas keep their text; the adjustment below moves every reference into the
    // block once, theirs included (a rebase as well would move them twice).
    moving.srcRow = rg.r1 + n;
    paste(moving, {rg.r1 + n, rg.c1}, what);
    adjustFormulas(formula::StructureChange::InsertRows, rg.r1, n, rg.c1, rg.c2);
    changed({rg.r1, rg.c1, kMaxRows, rg.c2});
}

void Sheet::deleteShiftUp(const CellRange& range) {
    CellRange rg = range.clamped();
    if (rg.empty()) {
        return;
    }
    if (rg.wholeCols()) {
        deleteCols(rg.c1, rg.cols());
        return;
    }
    if (rg.wholeRows()) {
        deleteRows(rg.r1, rg.rows());
        return;
    }
    const int n = rg.rows();
    ClipData moving = copy({rg.r2 + 1 > kMaxRows ? kMaxRows : rg.r2 + 1, rg.c1, kMaxRows, rg.c2});
    clear({rg.r1, rg.c1, kMaxRows, rg.c2}, ClearWhat::All);
    if (rg.r2 < kMaxRows) {
        PasteWhat what = PasteWhat::all();
        what.objects = false;
        moving.srcRow = rg.r1; // as above: only the adjustment moves references
        paste(moving, {rg.r1, rg.c1}, what);
    }
    adjustFormulas(formula::StructureChange::DeleteRows, rg.r1, n, rg.c1, rg.c2);
    changed({rg.r1, rg.c1, kMaxRows, rg.c2});
}

// ---------------------------------------------------------------- objects

DrawnObject* Sheet::object(int id) {
    for (DrawnObject& o : objects_) {
        if (o.id == id) {
            return &o;
        }
    }
    return nullptr;
}

const DrawnObject* Sheet::object(int id) const {
    for (const DrawnObject& o : objects_) {
        if (o.id == id) {
            return &o;
        }
    }
    return nullptr;
}

int Sheet::addObject(DrawnObject obj) {
    obj.id = nextObjectId_++;
    objects_.push_back(std::move(obj));
    structureChanged();
    return objects_.back().id;
}

bool Sheet::removeObject(int id) {
    auto it = std::find_if(objects_.begin(), objects_.end(),
                           [&](const DrawnObject& o) { return o.id == id; });
    if (it == objects_.end()) {
        return false;
    }
    objects_.erase(it);
    structureChanged();
    return true;
}

void Sheet::setObjectsForLoad(std::vector<DrawnObject> objs, int nextId) {
    for (const DrawnObject& o : objs) {
        nextId = std::max(nextId, o.id + 1);
    }
    objects_ = std::move(objs);
    nextObjectId_ = std::max(nextId, 1);
    structureChanged();
}

} // namespace fc
