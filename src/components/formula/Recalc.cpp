// Recalculation of a whole workbook. Dependencies are found while evaluating, since INDIRECT
// and OFFSET decide at run time what they read: a formula that meets a cell not yet
// evaluated is set aside, the cells it needs are evaluated first (depth first, on an explicit
// stack so that long chains cannot overflow the call stack), and then it is tried again.
// A formula that needs a cell still on the stack closes a cycle: every cell of the cycle
// gets #REF!.
#include "components/formula/Formula.h"

#include "components/formula/Compiled.h"
#include "components/formula/Context.h"
#include "components/formula/Evaluator.h"
#include "components/model/Workbook.h"

#include <vector>

namespace fc::formula {

namespace {

struct Frame {
    CellKey key;
    std::vector<CellKey> needs; // cells to evaluate before trying this one again
    std::size_t next = 0;
};

class Recalculation {
public:
    explicit Recalculation(Workbook& book) : book_(book), ctx_(book) {}

    void run() {
        std::vector<std::uint32_t> maxSlot(static_cast<std::size_t>(book_.numSheets()) + 1, 0);
        std::vector<CellKey> all;
        for (int s = 1; s <= book_.numSheets(); ++s) {
            const Sheet& sh = book_.sheet(s);
            if (sh.formulaCount() == 0) {
                continue;
            }
            const std::vector<Row>& rows = sh.rows();
            for (std::size_t i = 0; i < rows.size(); ++i) {
                if (rows[i].formulas == 0) {
                    continue;
                }
                for (const Cell& c : rows[i].cells) {
                    if (c.formula) {
                        all.push_back({s, static_cast<int>(i) + 1, c.col, c.formula});
                        maxSlot[static_cast<std::size_t>(s)] =
                            std::max(maxSlot[static_cast<std::size_t>(s)], c.formula);
                    }
                }
            }
        }
        ctx_.beginRecalc(maxSlot);
        for (const CellKey& k : all) {
            if (ctx_.state(k.sheet, k.slot) == Context::kPending) {
                solve(k);
            }
        }
    }

private:
    void push(const CellKey& k) {
        ctx_.state(k.sheet, k.slot) = static_cast<std::int32_t>(stack_.size());
        stack_.push_back({k, {}, 0});
    }

    void finish(const CellKey& k, const Value& v) {
        book_.sheet(k.sheet).setFormulaResult(k.row, k.col, v);
        ctx_.state(k.sheet, k.slot) = Context::kDone;
    }

    Value evaluate(const CellKey& k) {
        const Cell* c = book_.sheet(k.sheet).cell(k.row, k.col);
        const FormulaSlot* slot = c ? book_.sheet(k.sheet).formulaSlot(*c) : nullptr;
        if (!slot || !slot->compiled) {
            return Value::fromError(ErrorCode::Name);
        }
        return Evaluator(ctx_, *slot->compiled, k.sheet, k.row, k.col).run();
    }

    void solve(const CellKey& root) {
        push(root);
        while (!stack_.empty()) {
            Frame& f = stack_.back();
            if (f.next < f.needs.size()) {
                CellKey d = f.needs[f.next++];
                if (ctx_.state(d.sheet, d.slot) == Context::kPending) {
                    push(d);
                }
                continue;
            }
            ctx_.resetTracking();
            Value v = evaluate(f.key);
            if (!ctx_.missing().empty()) {
                f.needs.swap(ctx_.missing());
                f.next = 0;
                continue;
            }
            const int from = ctx_.lowestActive();
            if (from < static_cast<int>(stack_.size())) {
                for (std::size_t i = static_cast<std::size_t>(from); i < stack_.size(); ++i) {
                    finish(stack_[i].key, Value::fromError(ErrorCode::Ref));
                }
                stack_.resize(static_cast<std::size_t>(from));
                continue;
            }
            finish(f.key, v);
            stack_.pop_back();
        }
    }

    Workbook& book_;
    Context ctx_;
    std::vector<Frame> stack_;
};

} // namespace

void recalculate(Workbook& book) { Recalculation(book).run(); }

} // namespace fc::formula
