// Formula text of any kind: compiled, evaluated in a small workbook, rewritten and
// recalculated as a cell formula. Rewriting must keep a formula that parses parseable.
#include "components/formula/Formula.h"
#include "components/model/Workbook.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

fc::Workbook& book() {
    static fc::Workbook* b = [] {
        auto* w = new fc::Workbook;
        w->setNumSheets(2);
        fc::Sheet& s = w->sheet(1);
        for (int r = 1; r <= 6; ++r) {
            s.setNumber(r, 1, r);
            s.setText(r, 2, r % 2 ? "[1]" : "x");
        }
        s.setValue(7, 1, fc::Value::fromError(fc::ErrorCode::Div0));
        s.setFormula(1, 3, "SUM(A1:A6)");
        w->sheet(2).setName("My sheet");
        w->sheet(2).setNumber(1, 1, 100);
        return w;
    }();
    return *b;
}

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

void checkValue(const fc::Value& v) { check(!v.isNumber() || std::isfinite(v.number)); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    fc::Workbook& w = book();
    const bool ok = fc::formula::parsed(*fc::formula::compile(text));
    checkValue(fc::formula::evaluate(text, w, 1, 5, 5));

    check(fc::formula::rebase(text, 0, 0) == text);
    const std::string moved = fc::formula::rebase(text, 3, -2);
    check(!ok || fc::formula::parsed(*fc::formula::compile(moved)));
    fc::formula::StructureChange ch;
    ch.kind = fc::formula::StructureChange::DeleteRows;
    ch.at = 2;
    ch.count = 3;
    ch.sheet = "My sheet";
    const std::string adjusted = fc::formula::adjust(text, ch, true);
    check(!ok || fc::formula::parsed(*fc::formula::compile(adjusted)));
    ch.kind = fc::formula::StructureChange::InsertCols;
    ch.first = 2;
    ch.last = 10;
    check(!ok || fc::formula::parsed(*fc::formula::compile(fc::formula::adjust(text, ch, false))));

    // As a cell formula, with a neighbour that reads it back (cycles included).
    fc::Sheet& s = w.sheet(1);
    s.setFormula(5, 5, text);
    s.setFormula(6, 5, "E5+1");
    w.recalc();
    checkValue(s.value(5, 5));
    checkValue(s.value(6, 5));
    s.setText(5, 5, {});
    s.setText(6, 5, {});
    return 0;
}
