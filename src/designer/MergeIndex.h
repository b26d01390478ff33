#pragma once

#include "components/model/Types.h"

#include <vector>

namespace fc {

// Merged areas looked up by cell in time proportional to the areas crossing the cell's row
// (the sheet's own lookup walks every area, too slow for templates with thousands of them).
class MergeIndex {
public:
    MergeIndex() = default;
    explicit MergeIndex(const std::vector<CellRange>& merges);

    // The area holding the cell, or nullptr.
    const CellRange* at(int row, int col) const;
    // Areas crossing `row`.
    std::vector<const CellRange*> inRow(int row) const;

    // `inOrder` with every area that a later one intersects dropped, as merging them one
    // after the other would leave them.
    static std::vector<CellRange> resolve(const std::vector<CellRange>& inOrder);

private:
    void add(const CellRange& m, int index);
    bool intersectsAny(const CellRange& m) const;

    std::vector<CellRange> merges_;
    std::vector<std::vector<int>> byRow_; // row - 1 -> indices into merges_
};

} // namespace fc
