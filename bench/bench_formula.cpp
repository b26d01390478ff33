// Recalculation and compilation speed of the formula engine.
#include "components/formula/Formula.h"
#include "components/model/Workbook.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using fc::Sheet;
using fc::Workbook;

constexpr int kDataCols = 20;

std::string colName(int c) { return std::string(1, static_cast<char>('A' + c - 1)); }

// 65,536 rows x 20 columns of numbers, and 1,000 sums in column 21; `shifted` makes every
// range start on another row so that no two sums read the same cells.
std::unique_ptr<Workbook> sumsBook(bool shifted) {
    auto book = std::make_unique<Workbook>();
    Sheet& s = book->sheet();
    book->setAutoRecalc(false);
    for (int r = 1; r <= fc::kMaxRows; ++r) {
        fc::Row& row = s.rowForLoad(r);
        row.cells.resize(kDataCols);
        for (int c = 1; c <= kDataCols; ++c) {
            fc::Cell& x = row.cells[static_cast<std::size_t>(c - 1)];
            x.col = static_cast<std::uint16_t>(c);
            x.kind = fc::ValueKind::Number;
            x.number = r * 0.5 + c;
        }
    }
    for (int i = 0; i < 1000; ++i) {
        std::string col = colName(i % kDataCols + 1);
        int from = shifted ? 1 + i : 1;
        s.setFormula(i + 1, kDataCols + 1,
                     "SUM(" + col + std::to_string(from) + ":" + col + "65536)");
    }
    return book;
}

void recalcSums(benchmark::State& state, bool shifted) {
    auto book = sumsBook(shifted);
    for (auto _ : state) {
        fc::formula::recalculate(*book);
    }
    benchmark::DoNotOptimize(book->sheet().cell(1000, kDataCols + 1)->number);
}

void BM_Recalc1000ColumnSums(benchmark::State& state) { recalcSums(state, false); }
void BM_Recalc1000ShiftedColumnSums(benchmark::State& state) { recalcSums(state, true); }
BENCHMARK(BM_Recalc1000ColumnSums)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Recalc1000ShiftedColumnSums)->Unit(benchmark::kMillisecond);

// 65,536 formulas, each on the cell above; range(0) 1 runs the chain upside down, so that
// every cell waits for the one below it.
void BM_RecalcChain(benchmark::State& state) {
    Workbook book;
    book.setAutoRecalc(false);
    Sheet& s = book.sheet();
    const bool reversed = state.range(0) != 0;
    s.setNumber(reversed ? fc::kMaxRows : 1, 1, 1);
    for (int r = 2; r <= fc::kMaxRows; ++r) {
        int at = reversed ? fc::kMaxRows - r + 1 : r;
        int from = reversed ? at + 1 : at - 1;
        s.setFormula(at, 1, "A" + std::to_string(from) + "+1");
    }
    for (auto _ : state) {
        fc::formula::recalculate(book);
    }
}
BENCHMARK(BM_RecalcChain)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A result sheet of 20,000 rows with group subtotals of three levels in two columns, the
// formulas written as the result reader writes them.
void BM_RecalcGroupSubtotals(benchmark::State& state) {
    Workbook book;
    book.setAutoRecalc(false);
    Sheet& s = book.sheet();
    const int rows = 20000;
    for (int r = 2; r <= rows; ++r) {
        const char* mark = r % 100 == 0 ? "[3]" : r % 50 == 0 ? "[2]" : r % 10 == 0 ? "[1]" : "05";
        s.setText(r, 1, mark);
        if (mark[0] != '[') {
            s.setNumber(r, 3, r);
            s.setNumber(r, 4, r * 2);
        }
    }
    const char* marks[] = {"[1]", "[2]", "[3]"};
    const char* crits[] = {"\"<>[2]\"", "\"=[1]\"", "\"=[2]\""};
    for (int level = 0; level < 3; ++level) {
        int start = 2;
        for (int r = 2; r <= rows; ++r) {
            if (s.text(r, 1) != marks[level]) {
                continue;
            }
            for (int c : {3, 4}) {
                std::string S = std::to_string(start), R = std::to_string(r - 1),
                            C = std::to_string(c);
                s.setEntry(r, c,
                           "=(SUMIF(INDIRECT(ADDRESS(" + S + ";1;4)&\":\"&ADDRESS(" + R +
                               ";1;4)); " + crits[level] + "; INDIRECT(ADDRESS(" + S + ";" + C +
                               ";4)&\":\"&ADDRESS(" + R + ";" + C + ";4" +
                               (level == 0 ? "))))" : "))       ))"));
            }
            start = r + 1;
        }
    }
    for (auto _ : state) {
        fc::formula::recalculate(book);
    }
}
BENCHMARK(BM_RecalcGroupSubtotals)->Unit(benchmark::kMillisecond);

void BM_CompileSubtotalFormula(benchmark::State& state) {
    const std::string f = "(SUMIF(INDIRECT(ADDRESS(12;1;4)&\":\"&ADDRESS(140;1;4)); \"=[1]\"; "
                          "INDIRECT(ADDRESS(12;7;4)&\":\"&ADDRESS(140;7;4))       ))";
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::formula::compile(f));
    }
}
BENCHMARK(BM_CompileSubtotalFormula);

} // namespace

BENCHMARK_MAIN();
