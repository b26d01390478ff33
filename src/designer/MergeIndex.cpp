#include "designer/MergeIndex.h"

#include <algorithm>

namespace fc {

MergeIndex::MergeIndex(const std::vector<CellRange>& merges) {
    merges_.reserve(merges.size());
    for (const CellRange& m : merges) {
        CellRange n = m.clamped();
        if (n.empty()) {
            continue;
        }
        merges_.push_back(n);
        add(n, static_cast<int>(merges_.size()) - 1);
    }
}

void MergeIndex::add(const CellRange& m, int index) {
    if (static_cast<int>(byRow_.size()) < m.r2) {
        byRow_.resize(static_cast<std::size_t>(m.r2));
    }
    for (int r = m.r1; r <= m.r2; ++r) {
        byRow_[static_cast<std::size_t>(r - 1)].push_back(index);
    }
}

const CellRange* MergeIndex::at(int row, int col) const {
    if (row < 1 || row > static_cast<int>(byRow_.size())) {
        return nullptr;
    }
    for (int i : byRow_[static_cast<std::size_t>(row - 1)]) {
        const CellRange& m = merges_[static_cast<std::size_t>(i)];
        if (col >= m.c1 && col <= m.c2) {
            return &m;
        }
    }
    return nullptr;
}

std::vector<const CellRange*> MergeIndex::inRow(int row) const {
    std::vector<const CellRange*> out;
    if (row >= 1 && row <= static_cast<int>(byRow_.size())) {
        for (int i : byRow_[static_cast<std::size_t>(row - 1)]) {
            out.push_back(&merges_[static_cast<std::size_t>(i)]);
        }
    }
    return out;
}

bool MergeIndex::intersectsAny(const CellRange& m) const {
    const int last = std::min(m.r2, static_cast<int>(byRow_.size()));
    for (int r = m.r1; r <= last; ++r) {
        for (int i : byRow_[static_cast<std::size_t>(r - 1)]) {
            const CellRange& o = merges_[static_cast<std::size_t>(i)];
            if (o.c1 <= m.c2 && m.c1 <= o.c2) {
                return true;
            }
        }
    }
    return false;
}

std::vector<CellRange> MergeIndex::resolve(const std::vector<CellRange>& inOrder) {
    MergeIndex kept;
    for (auto it = inOrder.rbegin(); it != inOrder.rend(); ++it) {
        CellRange n = it->clamped();
        if (n.empty() || (n.rows() == 1 && n.cols() == 1) || kept.intersectsAny(n)) {
            continue;
        }
        kept.merges_.push_back(n);
        kept.add(n, static_cast<int>(kept.merges_.size()) - 1);
    }
    std::reverse(kept.merges_.begin(), kept.merges_.end());
    return kept.merges_;
}

} // namespace fc
