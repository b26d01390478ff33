// What the user does to the view of the largest result: a 65,000-row statement of 20 columns,
// two-row records, a totals row and a group heading every 100 records, 10 summable columns.
// The filter by a string, an amount range and a list value and the clearing of the filter;
// the totals; choosing a sort column and sorting every group; marking a record.
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/ReportSettings.h"
#include "results/Filter.h"
#include "results/Marks.h"
#include "results/ResultSession.h"
#include "results/Sorting.h"
#include "results/Totals.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kDataRows = 65000;
constexpr int kCols = 20; // columns 2 to 21
constexpr int kRecordsAGroup = 100;

struct Statement {
    fc::Workbook book;
    fc::ReportSettings settings;
    fc::ScriptedPrompter prompter;
    fc::KeptStatus status;
    fc::ResultSession session{book, settings, prompter, status};

    Statement() {
        fc::Sheet& s = book.sheet(1);
        book.setRepaint(false);
        s.setMaxCol(kCols + 1);
        s.setFixedRows(1, 1);
        for (int c = 2; c <= kCols + 1; ++c) {
            s.setText(1, c, fc::w("Графа ") + std::to_string(c));
        }
        fc::Style money;
        money.numberFormat = "# ##0.00";
        const fc::StyleId plain = book.styles().intern(fc::Style{});
        fc::Style bottom;
        bottom.border(fc::BorderSide::Bottom).style = fc::BorderStyle::Thin;
        const fc::StyleId closed = book.styles().intern(bottom);
        bottom.numberFormat = "# ##0.00";
        const fc::StyleId closedMoney = book.styles().intern(bottom);
        const fc::StyleId moneyId = book.styles().intern(money);
        int r = 2, record = 0;
        while (r <= kDataRows) {
            if (record % kRecordsAGroup == 0) {
                s.setText(r, 2, fc::w("  Группа ") + std::to_string(record / kRecordsAGroup));
                for (int c = 2; c <= kCols + 1; ++c) {
                    s.setStyleId(r, c, closed);
                }
                ++r;
            }
            for (int line = 0; line < 2 && r <= kDataRows; ++line, ++r) {
                const bool last = line == 1;
                s.setText(r, 2, fc::w("Счет ") + std::to_string(record % 997));
                s.setText(r, 3, fc::w("Контрагент ") + std::to_string(record * 7 % 4999));
                s.setNumber(r, 4, 46023 + record % 365);
                for (int c = 5; c <= kCols + 1; ++c) {
                    if (c <= 14) {
                        s.setNumber(r, c, (record * 31 + c * 17 + line) % 100000 / 100.0);
                        s.setStyleId(r, c, last ? closedMoney : moneyId);
                    } else {
                        s.setText(r, c, "x" + std::to_string((record + c) % 1000));
                        s.setStyleId(r, c, last ? closed : plain);
                    }
                }
                for (int c = 2; c <= 4; ++c) {
                    s.setStyleId(r, c, last ? closed : plain);
                }
            }
            ++record;
            if (record % kRecordsAGroup == 0 && r <= kDataRows) {
                s.setText(r, 2, fc::w("Итого:"));
                s.setText(r, 255, "{2}1|");
                for (int c = 2; c <= kCols + 1; ++c) {
                    s.setStyleId(r, c, closed);
                }
                ++r;
            }
        }
        s.setMaxRow(kDataRows);
        s.setActiveCell(2, 2);
        book.setRepaint(true);
        for (int c = 5; c <= 14; ++c) {
            settings.totalsColumns.push_back(c);
        }
        settings.totals = true;
    }
};

Statement& statement() {
    static auto s = std::make_unique<Statement>();
    return *s;
}

void runFilter(benchmark::State& state, void (*set)(Statement&), bool cold) {
    Statement& st = statement();
    fc::FilterForm& f = st.session.view.filter.form;
    for (auto _ : state) {
        state.PauseTiming();
        f = fc::FilterForm{};
        set(st);
        if (cold) {
            st.session.view.filter.texts.forget();
        }
        state.ResumeTiming();
        fc::Filtr(st.session, false, fc::FilterLocale{});
    }
    state.counters["matches"] = st.session.view.filter.matches;
}

void byString(Statement& st) {
    st.book.sheet(1).setActiveCell(2, 2);
    st.session.view.filter.form.s1 = fc::w("КОНТРАГЕНТ 123");
}
void byAmounts(Statement& st) {
    st.book.sheet(1).setSelection({2, 5, kDataRows, 5});
    fc::FilterForm& f = st.session.view.filter.form;
    f.amountFrom = "100";
    f.amountTo = "200";
}
void byListValue(Statement& st) {
    st.book.sheet(1).setActiveCell(2, 2);
    fc::FilterForm& f = st.session.view.filter.form;
    f.listColumn = "2";
    f.chosen = fc::w("Счет·СЧЕТ 15·1");
}

void BM_FilterString(benchmark::State& state) { runFilter(state, byString, false); }
void BM_FilterStringFirst(benchmark::State& state) { runFilter(state, byString, true); }
void BM_FilterAmountRange(benchmark::State& state) { runFilter(state, byAmounts, false); }
void BM_FilterListValue(benchmark::State& state) { runFilter(state, byListValue, false); }

void BM_ClearFilter(benchmark::State& state) {
    Statement& st = statement();
    st.settings.totals = false; // the clearing alone; the totals are measured below
    for (auto _ : state) {
        state.PauseTiming();
        st.session.view.filter.form = fc::FilterForm{};
        byString(st);
        fc::Filtr(st.session, false, fc::FilterLocale{});
        st.session.view.filter.form = fc::FilterForm{};
        state.ResumeTiming();
        fc::Filtr(st.session, false, fc::FilterLocale{});
    }
    st.settings.totals = true;
}

void BM_Totals(benchmark::State& state) {
    Statement& st = statement();
    for (auto _ : state) {
        fc::total_(st.session);
    }
}

void BM_ChooseSortColumn(benchmark::State& state) {
    Statement& st = statement();
    for (auto _ : state) {
        fc::chooseSortColumn(st.session, 1, 5);
    }
}

void BM_SortAllGroups(benchmark::State& state) {
    Statement& st = statement();
    bool descending = false;
    for (auto _ : state) {
        state.PauseTiming();
        fc::chooseSortColumn(st.session, 1, 5);
        descending = !descending;
        state.ResumeTiming();
        fc::sortRecords(st.session, descending);
    }
}

void BM_MarkRecord(benchmark::State& state) {
    Statement& st = statement();
    for (auto _ : state) {
        fc::markRecord(st.session, 1001, 3);
    }
}

BENCHMARK(BM_FilterString)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterStringFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterAmountRange)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterListValue)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClearFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Totals)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChooseSortColumn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortAllGroups)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkRecord)->Unit(benchmark::kMicrosecond);

} // namespace

// The statement as CSV (UTF-8, numbers unformatted), for the same filter and sort in a
// spreadsheet program.
bool writeCsv(const char* path) {
    const fc::Sheet& s = statement().book.sheet(1);
    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        return false;
    }
    std::string line;
    for (int r = 1; r <= s.maxRow(); ++r) {
        line.clear();
        for (int c = 2; c <= kCols + 1; ++c) {
            const fc::Cell* x = s.cell(r, c);
            std::string t;
            if (x && x->kind == fc::ValueKind::Number) {
                char n[32];
                std::snprintf(n, sizeof n, "%.15g", x->number);
                t = n;
            } else {
                t = fc::cp1251::toUtf8(s.text(r, c));
            }
            if (t.find_first_of(",\"") != std::string::npos) {
                std::string q = "\"";
                for (char ch : t) {
                    q += ch == '"' ? std::string("\"\"") : std::string(1, ch);
                }
                t = q + "\"";
            }
            line += (c > 2 ? "," : "") + t;
        }
        line += "\n";
        std::fwrite(line.data(), 1, line.size(), f);
    }
    return std::fclose(f) == 0;
}

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-csv=", 12) == 0) {
            return writeCsv(argv[i] + 12) ? 0 : 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
