// --filter, --mark, --only-marked, --unmark-all, --sort, --quick-sum.
#include "ResultOptions.h"

#include "Commands.h"

#include "components/model/Sheet.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "results/Filter.h"
#include "results/Marks.h"
#include "results/QuickSum.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"
#include "results/Sorting.h"

namespace rptool {

namespace {

int bad(const std::string& utf8) {
    complain(fc::cp1251::fromUtf8(utf8));
    return 2;
}

std::optional<int> number(std::string_view s) {
    long long v = 0;
    if (!fc::text::parseInt(s, &v) || v < 1 || v > fc::kMaxRows) {
        return std::nullopt;
    }
    return static_cast<int>(v);
}

int op(const std::string& v) {
    if (v == "<") {
        return fc::FilterForm::Less;
    }
    if (v == ">") {
        return fc::FilterForm::Greater;
    }
    return v == "=" ? fc::FilterForm::Equal : -1;
}

// SPEC: FIELD=VALUE pairs separated by ";" (see the usage); '' clears the filter.
int filter(fc::ResultSession& s, const std::string& spec) {
    fc::Sheet& sh = s.sheet();
    fc::FilterForm& f = s.view.filter.form;
    const int first = fc::result::firstDataRow(sh);
    if (fc::text::trimView(spec).empty()) {
        fc::clearFilter(s);
        return 0;
    }
    std::vector<std::pair<std::string, std::string>> fields;
    std::size_t i = 0;
    while (i <= spec.size()) {
        std::size_t end = spec.find(';', i);
        if (end == std::string::npos) {
            end = spec.size();
        }
        const std::string part = fc::text::trim(spec.substr(i, end - i));
        i = end + 1;
        if (part.empty()) {
            continue;
        }
        const std::size_t eq = part.find('=');
        fields.emplace_back(fc::text::trim(part.substr(0, eq)),
                            eq == std::string::npos ? std::string()
                                                    : fc::cp1251::fromUtf8(part.substr(eq + 1)));
    }
    // The selection the filter reads: the columns over the data rows, or one cell of column 2.
    fc::CellRange sel{first, 2, first, 2};
    for (const auto& [name, value] : fields) {
        if (name != "cols") {
            continue;
        }
        const std::size_t dash = value.find('-');
        const std::optional<int> c1 = number(value.substr(0, dash));
        const std::optional<int> c2 =
            dash == std::string::npos ? c1 : number(value.substr(dash + 1));
        if (!c1 || !c2 || *c1 > *c2 || *c2 > fc::kMaxCols) {
            return bad("--filter: cols wants N or N-M: " + fc::cp1251::toUtf8(value));
        }
        sel = {first, *c1, std::max(sh.maxRow(), first), *c2};
    }
    sh.setSelection(sel);
    fc::prepareFilter(s);
    const std::string ncol = f.ncol;
    f.clear();
    f.ncol = ncol;
    bool ranges = false;
    for (const auto& [name, value] : fields) {
        if (name == "s1") {
            f.s1 = fc::cp1251::upper(value);
        } else if (name == "s2") {
            f.s2 = fc::cp1251::upper(value);
        } else if (name == "or") {
            f.orMode = true;
        } else if (name == "amount" || name == "amount-from" || name == "amount-to") {
            (name == "amount"        ? f.amount
             : name == "amount-from" ? f.amountFrom
                                     : f.amountTo) = value;
            ranges = true;
        } else if (name == "date" || name == "date-from" || name == "date-to") {
            (name == "date" ? f.date : name == "date-from" ? f.dateFrom : f.dateTo) = value;
            ranges = true;
        } else if (name == "amount-op" || name == "date-op") {
            const int o = op(value);
            if (o < 0) {
                return bad("--filter: " + name + " wants <, = or >");
            }
            (name == "amount-op" ? f.amountOp : f.dateOp) = o;
        } else if (name == "value") {
            f.chosen = value;
        } else if (name == "list-col") {
            f.listColumn = value;
        } else if (name != "cols") {
            return bad("--filter: unknown field " + name +
                       " (s1 s2 or amount amount-op amount-from amount-to date date-op "
                       "date-from date-to value list-col cols)");
        }
    }
    if (ranges && !f.rangesEnabled) {
        return bad("--filter: amounts and dates need cols (a one-cell selection filters strings)");
    }
    if (!fc::Filtr(s)) {
        // Refused as the dialog refuses it; the message went to the prompter too.
        if (std::optional<fc::FormProblem> p = fc::checkForm(f, fc::FilterLocale::system())) {
            complain(p->message);
        }
        return 1;
    }
    return 0;
}

int quickSum(fc::ResultSession& s, const std::string& ranges) {
    fc::Sheet& sh = s.sheet();
    std::size_t i = 0;
    bool firstRange = true;
    while (i <= ranges.size()) {
        std::size_t end = ranges.find(',', i);
        if (end == std::string::npos) {
            end = ranges.size();
        }
        const std::string ref = fc::text::trim(ranges.substr(i, end - i));
        i = end + 1;
        fc::CellRange r;
        if (ref.empty() || sh.resolveRange(ref, r) != &sh) {
            return bad("--quick-sum: not a range of the sheet: " + ref);
        }
        sh.setSelection(r, !firstRange);
        firstRange = false;
        fc::quickSumRangeAdded(s);
    }
    return 0;
}

} // namespace

int applyViewOption(ResultTarget& target, const ResultOption& option) {
    fc::ResultSession& s = target.session;
    const std::string& v = option.value;
    if (option.name == "--filter") {
        return filter(s, v);
    }
    if (option.name == "--mark") {
        const std::optional<int> row = number(v);
        if (!row) {
            return bad("--mark wants a row number: " + v);
        }
        if (!fc::markRecord(s, *row, 2)) {
            complain(fc::cp1251::fromUtf8("--mark " + v +
                                          ": no record of its own (a row inside a longer "
                                          "record, or no data row); nothing marked"));
        }
        return 0;
    }
    if (option.name == "--only-marked") {
        fc::setOnlyMarked(s, true);
        return 0;
    }
    if (option.name == "--unmark-all") {
        fc::clearMarks(s);
        return 0;
    }
    if (option.name == "--sort") {
        const std::size_t colon = v.find(':');
        const std::string order = colon == std::string::npos ? "" : v.substr(colon + 1);
        const std::optional<int> col = number(v.substr(0, colon));
        if (!col || (order != "" && order != "desc" && order != "asc")) {
            return bad("--sort wants COL or COL:desc: " + v);
        }
        if (!fc::chooseSortColumn(s, fc::result::lastHeadingRow(s.sheet()), *col)) {
            return bad("--sort " + v +
                       ": no data column with heading rows above it (sheets without heading "
                       "rows are not sorted)");
        }
        fc::sortRecords(s, order == "desc");
        return 0;
    }
    if (option.name == "--quick-sum") {
        return quickSum(s, v);
    }
    return bad(option.name + " is no view option");
}

} // namespace rptool
