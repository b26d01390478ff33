// Finding rows of a long result sheet by typing: the type-ahead walk down a column and the Alt
// search over column 2, on 65,000 rows of accounts (texts in column 2, amounts with a number
// format in column 3). Each search is the slowest of its kind: the row sought is the last one,
// or none matches and every row is looked at.
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "results/ResultSearch.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kRows = 65000;

fc::Workbook& accounts() {
    static fc::Workbook book;
    static const bool made = [] {
        fc::Sheet& s = book.sheet(1);
        s.setFixedRows(1, 1);
        s.setMaxCol(3);
        s.setMaxRow(kRows + 1);
        fc::Style money;
        money.numberFormat = "# ##0.00";
        const fc::StyleId id = book.styles().intern(money);
        for (int r = 2; r <= kRows + 1; ++r) {
            s.setText(r, 2, "  " + std::to_string(100000 + r) + " Account " + std::to_string(r));
            s.setNumber(r, 3, r * 1.25);
            s.setStyleId(r, 3, id);
        }
        s.setText(kRows + 1, 2, "99999 LAST");
        return true;
    }();
    (void)made;
    return book;
}

// Typing "9" into column 2: the only account that begins with it is the last row.
void BM_TypeAheadTextColumn(benchmark::State& state) {
    const fc::Sheet& s = accounts().sheet(1);
    for (auto _ : state) {
        fc::TypeAhead t;
        benchmark::DoNotOptimize(t.type(s, 2, 2, '9'));
    }
}
BENCHMARK(BM_TypeAheadTextColumn)->Unit(benchmark::kMillisecond);

// Typing "-" into the amounts: every cell is formatted to be compared; none matches.
void BM_TypeAheadNumberColumn(benchmark::State& state) {
    const fc::Sheet& s = accounts().sheet(1);
    for (auto _ : state) {
        fc::TypeAhead t;
        benchmark::DoNotOptimize(t.type(s, 2, 3, '-'));
    }
}
BENCHMARK(BM_TypeAheadNumberColumn)->Unit(benchmark::kMillisecond);

// Alt+Z+Z from the first row: no row holds "ZZ", so both walks run to their ends.
void BM_AltSearchNoMatch(benchmark::State& state) {
    const fc::Sheet& s = accounts().sheet(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::altFind(s, kRows / 2, "ZZ"));
    }
}
BENCHMARK(BM_AltSearchNoMatch)->Unit(benchmark::kMillisecond);

// Alt with the last account's number, from the first data row.
void BM_AltSearchLastRow(benchmark::State& state) {
    const fc::Sheet& s = accounts().sheet(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::altFind(s, 2, "99999"));
    }
}
BENCHMARK(BM_AltSearchLastRow)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
