#include "components/formula/Formula.h"

#include "components/formula/Compiled.h"
#include "components/formula/Context.h"
#include "components/formula/Evaluator.h"
#include "components/formula/Parser.h"
#include "components/model/Workbook.h"

namespace fc::formula {

std::shared_ptr<const Compiled> compile(std::string_view source) {
    auto c = std::make_shared<Compiled>();
    c->source = std::string(source);
    Parser::parse(*c);
    return c;
}

bool parsed(const Compiled& f) { return f.ok; }

Value evaluate(std::string_view source, const Workbook& book, int sheet, int row, int col) {
    book.recalcIfNeeded();
    if (sheet < 1 || sheet > book.numSheets()) {
        sheet = book.currentSheet();
    }
    auto f = compile(source);
    Context ctx(book);
    return Evaluator(ctx, *f, sheet, row, col).run();
}

} // namespace fc::formula
