#pragma once

#include <string>
#include <vector>

namespace fc {

class Workbook;

// The designer's undo history: up to six images of the whole workbook (slots 0 to 5) and the
// current slot. Before an image is taken, rows 1 to 8 of column 256 of the current sheet get
// MaxRow, MaxCol, the selection's first row, first column, last row, last column, TopRow and
// LeftCol, so that a restore puts the extent and the view back as they were.
class UndoHistory {
public:
    static constexpr int kSlots = 6;
    static constexpr int kStateCol = 256;

    // Forgets everything; the workbook as it is now becomes slot 0.
    void reset(Workbook& book);
    // A modification: the next slot takes the workbook as it is now. Beyond slot 5 the oldest
    // image goes and the others move down; images after the current slot are dropped.
    void record(Workbook& book);
    // Restores the previous or next image; false when there is none.
    bool undo(Workbook& book);
    bool redo(Workbook& book);

    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ + 1 < static_cast<int>(slots_.size()); }
    int current() const { return index_; }
    int count() const { return static_cast<int>(slots_.size()); }

    // Whether the workbook differs from the state last saved (or loaded).
    bool changed() const { return index_ != savedIndex_; }
    void markSaved() { savedIndex_ = index_; }

private:
    static std::string image(Workbook& book);
    static bool restore(Workbook& book, const std::string& bytes);

    std::vector<std::string> slots_;
    int index_ = -1;
    int savedIndex_ = -1;
};

} // namespace fc
