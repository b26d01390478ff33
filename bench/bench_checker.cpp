// Checking the statement column of large templates: a million lines of the kinds a template
// holds, with a few wrong ones.
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "language/Checker.h"
#include "language/EditorCheck.h"
#include "language/PrototypeTable.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

const char* const kMix[] = {
    ";fix=3",
    ";SP=Оборотная ведомость по счету",
    "*------------------------------------------------------------",
    "* Остатки на начало периода",
    "Итого по счету",
    "   Наименование                         Дебет        Кредит",
    "FACT ta A, B, 1, 2, 'x', [CE N]",
    "FACT ob S на [STRIP K] за D",
    "SEARCH ta ?A, ??, 1, `B, 'x'",
    "SELECT ob ?S на ?K за ??",
    "TOTAL ?A, ?B",
    "IF [EK 41, 1] > 0 & [BK 41.01] <> 0",
    "A=[OK 41, 1, 2] + [OD 41, 1, 2] * 100 / 3",
    "PRINTSTR 'Сумма: ' + [STRIP A] + ' руб.'",
    "FOR I=1",
    "ENDFOR",
    "WHILE N < [LENGTH S]",
    "ENDWHILE",
    "EVERY DEBET",
    "REWIND FACTS RANGE 1, N",
    "SORT BUFFER A+B",
    "B=D IN 1 ..31",
    "GOTO next1",
    ":next1",
    "ELSE",
    "ENDIF",
    "STOP",
    "?K",
    "S=[GET 60, 1, 2, 3] - [SET 60, A, B]",
    "X=(1+2",   // wrong
    "[XY 5]",   // wrong
    "FACT zz 1" // wrong
};

struct Lines {
    std::vector<std::string> lines;
    fc::PrototypeTable prototypes;

    Lines() {
        prototypes.loadText(fc::codepage::toDos(fc::w("ob % на % за %\r\n")));
        const std::size_t kinds = sizeof(kMix) / sizeof(kMix[0]);
        std::vector<std::string> mix;
        for (const char* m : kMix) {
            mix.push_back(fc::w(m));
        }
        lines.reserve(1000000);
        for (std::size_t i = 0; i < 1000000; ++i) {
            lines.push_back(mix[(i * 7) % kinds]);
        }
    }
};

const Lines& data() {
    static const Lines d;
    return d;
}

void BM_CheckMillionLines(benchmark::State& state) {
    const Lines& d = data();
    fc::Checker checker(d.prototypes);
    for (auto _ : state) {
        int errors = 0;
        for (const std::string& line : d.lines) {
            errors += checker.checkLine(line).ok() ? 0 : 1;
        }
        benchmark::DoNotOptimize(errors);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(d.lines.size()));
}
BENCHMARK(BM_CheckMillionLines)->Unit(benchmark::kMillisecond);

void BM_EditorCheck(benchmark::State& state) {
    const Lines& d = data();
    fc::Checker checker(d.prototypes);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::checkEditorText(checker, d.lines[i++ % 64]));
    }
}
BENCHMARK(BM_EditorCheck);

} // namespace

BENCHMARK_MAIN();
