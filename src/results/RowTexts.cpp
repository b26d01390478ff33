#include "results/RowTexts.h"

#include "components/model/NumberFormat.h"
#include "components/model/Sheet.h"
#include "components/text/Cp1251.h"

#include <algorithm>

namespace fc {

RowTexts::~RowTexts() { detach(); }

void RowTexts::detach() {
    if (book_) {
        book_->removeListener(this);
        book_ = nullptr;
    }
    rows_.clear();
    offsets_.clear();
    built_.clear();
    prepared_ = 0;
}

void RowTexts::attach(const Sheet& sheet) {
    Workbook* book = const_cast<Workbook*>(&sheet.workbook());
    const int cols = std::max(0, sheet.maxCol() - 1);
    if (book_ != book) {
        detach();
        book_ = book;
        book_->addListener(this);
    }
    const std::size_t rows = static_cast<std::size_t>(sheet.maxRow()) + 1;
    if (cols != cols_) {
        cols_ = cols;
        prepared_ = 0;
        rows_.clear();
        offsets_.clear();
        built_.clear();
    }
    if (built_.size() < rows) {
        rows_.resize(rows);
        offsets_.resize(rows * static_cast<std::size_t>(cols_ + 1), 0);
        built_.resize(rows, 0);
    }
}

void RowTexts::build(const Sheet& sheet, int r) {
    std::string& text = rows_[static_cast<std::size_t>(r)];
    text.clear();
    std::uint32_t* off = &offsets_[static_cast<std::size_t>(r) * (cols_ + 1)];
    int next = 2; // the next column whose offset is due
    auto reach = [&](int col) {
        for (; next <= col; ++next) {
            if (next > 2) {
                text += '\t';
            }
            off[next - 2] = static_cast<std::uint32_t>(text.size());
        }
    };
    const StyleTable& styles = sheet.workbook().styles();
    if (r >= 1 && r <= sheet.storedRows()) {
        for (const Cell& c : sheet.rows()[static_cast<std::size_t>(r - 1)].cells) {
            if (c.col < 2 || c.col > cols_ + 1 || !c.hasContent()) {
                continue;
            }
            reach(c.col);
            const Style& st = styles.get(c.style);
            if (c.formula != 0) {
                text += sheet.text(r, c.col); // its last result, as the sheet shows it
            } else if (c.kind == ValueKind::Text &&
                       (st.numberFormat == "General" || st.numberFormat == "@")) {
                text += c.text;
            } else {
                text += formatValue(c.value(), st.numberFormat).text;
            }
        }
    }
    reach(cols_ + 1);
    if (cols_ > 0) {
        text += '\t'; // so that the end of the last column is found like the others
    }
    off[cols_] = static_cast<std::uint32_t>(text.size());
    for (char& ch : text) {
        ch = static_cast<char>(cp1251::upper(static_cast<unsigned char>(ch)));
    }
    built_[static_cast<std::size_t>(r)] = 1;
}

void RowTexts::append(const Sheet& sheet, int r, int c1, int c2, std::string& out) {
    attach(sheet);
    c1 = std::max(c1, 2);
    c2 = std::min(c2, cols_ + 1);
    if (r < 1 || static_cast<std::size_t>(r) >= built_.size() || c1 > c2) {
        return;
    }
    if (!built_[static_cast<std::size_t>(r)]) {
        build(sheet, r);
    }
    const std::string& text = rows_[static_cast<std::size_t>(r)];
    const std::uint32_t* off = &offsets_[static_cast<std::size_t>(r) * (cols_ + 1)];
    const std::uint32_t from = off[c1 - 2];
    const std::uint32_t to = off[c2 - 1] - 1; // without the TAB after column c2
    out.append(text, from, to - from);
}

void RowTexts::forget() {
    std::fill(built_.begin(), built_.end(), 0);
    prepared_ = 0;
}

void RowTexts::forgetRow(int r) {
    if (validRow(r) && static_cast<std::size_t>(r) < built_.size()) {
        built_[static_cast<std::size_t>(r)] = 0;
        prepared_ = std::min(prepared_, r - 1);
    }
}

bool RowTexts::prepare(const Sheet& sheet, int rows) {
    attach(sheet);
    const int last = sheet.maxRow();
    for (int done = 0; prepared_ < last && done < rows; ++done) {
        ++prepared_;
        if (!built_[static_cast<std::size_t>(prepared_)]) {
            build(sheet, prepared_);
        }
    }
    return prepared_ < last;
}

RowTexts::Hold::Hold(RowTexts& t) : t_(t) {
    // Changes made while the workbook did not report them come in as one layout change that
    // this hold would swallow: they are forgotten now.
    if (t_.book_ && !t_.book_->repaint()) {
        t_.forget();
    }
    ++t_.holds_;
}

RowTexts::Hold::~Hold() { --t_.holds_; }

void RowTexts::cellsChanged(int sheet, const CellRange& range) {
    if (holds_ > 0 || sheet != 1) {
        return;
    }
    const CellRange rg = range.clamped();
    if (rg.rows() > 64) {
        forget();
        return;
    }
    for (int r = rg.r1; r <= rg.r2; ++r) {
        forgetRow(r);
    }
}

void RowTexts::layoutChanged() {
    if (holds_ == 0) {
        forget();
    }
}

void RowTexts::endRecalc() { forget(); }

void RowTexts::workbookDestroyed() {
    book_ = nullptr;
    detach();
}

} // namespace fc
