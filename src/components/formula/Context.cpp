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
            const Cell* x = findCell(rows[i], col);
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

ErrorCode Context::addNumbers(const Area& a, double& sum, double& count) {
    ErrorCode err = ErrorCode::None;
    const bool column = a.rg.c1 == a.rg.c2 && recalc_ && a.sheet >= 1 &&
                        a.sheet <= book_->numSheets() && !a.rg.empty();
    const int last = column ? std::min(a.rg.r2, book_->sheet(a.sheet).storedRows()) : 0;
    if (!column || last - a.rg.r1 + 1 < kCacheRows) {
        forEach(a, [&](int, int, const CellView& v) {
            if (err != ErrorCode::None) {
                return;
            }
            if (v.kind == ValueKind::Number) {
                sum += v.number;
                count += 1;
            } else if (v.kind == ValueKind::Error) {
                err = v.error;
            }
        });
        return err;
    }
    // One long column: a tight loop over the cached numbers, leaving texts, errors and
    // formula cells to the general path.
    const ColumnCache& cc = this->column(a.sheet, a.rg.c1);
    const std::vector<Row>& rows = book_->sheet(a.sheet).rows();
    const std::uint8_t* kind = cc.kind.data();
    const double* number = cc.number.data();
    double s = sum, n = count;
    for (std::size_t i = static_cast<std::size_t>(a.rg.r1 - 1); i < static_cast<std::size_t>(last);
         ++i) {
        if (kind[i] == 1) {
            s += number[i];
            n += 1;
        } else if (kind[i] != 0) {
            const int r = static_cast<int>(i) + 1;
            const Cell& x = *findCell(rows[i], a.rg.c1);
            CellView v = kind[i] == 3 ? formulaView(a.sheet, r, a.rg.c1, x) : CellView::of(x);
            if (v.kind == ValueKind::Number) {
                s += v.number;
                n += 1;
            } else if (v.kind == ValueKind::Error && err == ErrorCode::None) {
                err = v.error;
            }
        }
    }
    sum = s;
    count = n;
    return err;
}

} // namespace fc::formula
