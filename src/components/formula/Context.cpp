#include "components/formula/Context.h"

#include "components/text/Cp1251.h"

namespace fc::formula {

Value CellView::value() const {
    switch (kind) {
    case ValueKind::Empty: return {};
    case ValueKind::Number: return Value::fromNumber(number);
    case ValueKind::Boolean: return Value::fromBool(number != 0);
    case ValueKind::Text: return Value::fromText(text ? *text : std::string());
    case ValueKind::Error: return Value::fromError(error);
    }
    return {};
}

Context::Context(const Workbook& book) : book_(&book) {}

Context::~Context() = default;

int Context::sheetIndex(std::string_view name) const {
    for (int s = 1; s <= book_->numSheets(); ++s) {
        if (cp1251::collate(book_->sheet(s).name(), name, false) == 0) {
            return s;
        }
    }
    return 0;
}

void Context::beginRecalc(const std::vector<std::uint32_t>& maxSlot) {
    recalc_ = true;
    state_.assign(maxSlot.size(), {});
    for (std::size_t s = 0; s < maxSlot.size(); ++s) {
        state_[s].assign(static_cast<std::size_t>(maxSlot[s]) + 1, kPending);
    }
}

const Context::ColumnCache& Context::column(int sheet, int col) {
    if (columns_.empty()) {
        columns_.resize(static_cast<std::size_t>(book_->numSheets()) + 1);
    }
    auto& perSheet = columns_[static_cast<std::size_t>(sheet)];
    if (perSheet.empty()) {
        perSheet.resize(kMaxCols + 1);
    }
    std::unique_ptr<ColumnCache>& slot = perSheet[static_cast<std::size_t>(col)];
    if (!slot) {
        slot = std::make_unique<ColumnCache>();
        const std::vector<Row>& rows = book_->sheet(sheet).rows();
        slot->kind.assign(rows.size(), 0);
        slot->number.assign(rows.size(), 0.0);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Cell* x = rows[i].find(col);
            if (!x) {
                continue;
            }
            if (x->formula) {
                slot->kind[i] = 3;
            } else if (x->kind == ValueKind::Number) {
                slot->kind[i] = 1;
                slot->number[i] = x->number;
            } else if (x->kind != ValueKind::Empty) {
                slot->kind[i] = 2;
            }
        }
    }
    return *slot;
}

} // namespace fc::formula
