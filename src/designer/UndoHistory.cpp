#include "designer/UndoHistory.h"

#include "components/format/NativeFile.h"
#include "components/model/Workbook.h"

#include <algorithm>
#include <cmath>

namespace fc {

namespace {

int stored(const Sheet& s, int row, int fallback) {
    const Cell* c = s.cell(row, UndoHistory::kStateCol);
    if (!c || c->kind != ValueKind::Number) {
        return fallback;
    }
    return static_cast<int>(std::lround(c->number));
}

} // namespace

std::string UndoHistory::image(Workbook& book) {
    Sheet& s = book.sheet();
    const CellRange sel = s.selectionRange(0).normalized();
    const int values[8] = {s.maxRow(), s.maxCol(), sel.r1,     sel.c1,
                           sel.r2,     sel.c2,     s.topRow(), s.leftCol()};
    const bool repaint = book.repaint();
    book.setRepaint(false);
    for (int i = 0; i < 8; ++i) {
        s.setNumber(i + 1, kStateCol, values[i]);
    }
    book.setRepaint(repaint);
    return native::write(book);
}

bool UndoHistory::restore(Workbook& book, const std::string& bytes) {
    Workbook fresh;
    std::string error;
    if (!native::read(bytes, fresh, error)) {
        return false;
    }
    book.swapContents(fresh);
    Sheet& s = book.sheet();
    s.setMaxRow(stored(s, 1, s.maxRow()));
    s.setMaxCol(stored(s, 2, s.maxCol()));
    const CellRange sel{stored(s, 3, 1), stored(s, 4, 1), stored(s, 5, 1), stored(s, 6, 1)};
    s.setSelection(sel);
    s.setTopLeft(stored(s, 7, 1), stored(s, 8, 1));
    book.noteLayoutChange();
    return true;
}

void UndoHistory::reset(Workbook& book) {
    slots_.clear();
    slots_.push_back(image(book));
    index_ = 0;
    savedIndex_ = 0;
}

void UndoHistory::record(Workbook& book) {
    if (index_ < 0) {
        reset(book);
        return;
    }
    slots_.resize(static_cast<std::size_t>(index_) + 1);
    if (savedIndex_ > index_) {
        savedIndex_ = -1; // the saved state can no longer be reached
    }
    slots_.push_back(image(book));
    ++index_;
    if (index_ >= kSlots) {
        slots_.erase(slots_.begin());
        --index_;
        --savedIndex_;
        if (savedIndex_ < -1) {
            savedIndex_ = -1;
        }
    }
}

bool UndoHistory::undo(Workbook& book) {
    if (!canUndo() || !restore(book, slots_[static_cast<std::size_t>(index_ - 1)])) {
        return false;
    }
    --index_;
    return true;
}

bool UndoHistory::redo(Workbook& book) {
    if (!canRedo() || !restore(book, slots_[static_cast<std::size_t>(index_ + 1)])) {
        return false;
    }
    ++index_;
    return true;
}

} // namespace fc
