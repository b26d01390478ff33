#include "components/formula/Formula.h"

#include "components/model/Workbook.h"

// Placeholder engine: keeps formulas as text and yields #NAME? until the evaluator lands.
namespace fc::formula {

class Compiled {
public:
    std::string source;
};

std::shared_ptr<const Compiled> compile(std::string_view source) {
    auto c = std::make_shared<Compiled>();
    c->source = std::string(source);
    return c;
}

bool parsed(const Compiled&) { return false; }

std::string rebase(std::string_view source, int, int) { return std::string(source); }

std::string adjust(std::string_view source, const StructureChange&, bool) {
    return std::string(source);
}

void recalculate(Workbook& book) {
    for (int s = 1; s <= book.numSheets(); ++s) {
        Sheet& sh = book.sheet(s);
        for (int r = 1; r <= sh.storedRows(); ++r) {
            for (const Cell& c : sh.rows()[static_cast<std::size_t>(r - 1)].cells) {
                if (c.formula != 0) {
                    sh.setFormulaResult(r, c.col, Value::fromError(ErrorCode::Name));
                }
            }
        }
    }
}

Value evaluate(std::string_view, const Workbook&, int, int, int) {
    return Value::fromError(ErrorCode::Name);
}

} // namespace fc::formula
