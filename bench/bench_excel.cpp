// Writing 65,536 x 20 cells as .xls and .xlsx, against libxlsxwriter alone in its
// constant-memory mode writing the same cells.
#include "components/format/XlsWriter.h"
#include "components/format/XlsxWriter.h"
#include "components/model/Workbook.h"

#include <QDir>

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kRows = 65536;
constexpr int kCols = 20;

// A result-sheet-like table: texts in the first two columns, amounts in the rest, every
// tenth row a styled totals row.
double amount(int r, int c) { return (r * 31 + c * 17) % 100000 / 100.0 + (c % 3 ? 0.005 : 0); }

const fc::Workbook& table() {
    static fc::Workbook* book = [] {
        auto* b = new fc::Workbook;
        b->setAutoRecalc(false);
        fc::Sheet& s = b->sheet();
        fc::Style bold;
        bold.font.bold = true;
        bold.border(fc::BorderSide::Top) = {fc::BorderStyle::Thin, fc::kAutoColor};
        bold.numberFormat = "# ##0.00";
        fc::StyleId boldId = b->styles().intern(bold);
        for (int r = 1; r <= kRows; ++r) {
            s.setText(r, 1, "Account " + std::to_string(r % 500));
            s.setText(r, 2, "Row " + std::to_string(r));
            for (int c = 3; c <= kCols; ++c) {
                s.setNumber(r, c, amount(r, c));
            }
            if (r % 10 == 0) {
                for (int c = 1; c <= kCols; ++c) {
                    s.setStyleId(r, c, boldId);
                }
            }
        }
        return b;
    }();
    return *book;
}

std::string outPath(const char* name) { return (QDir::tempPath() + "/" + name).toStdString(); }

void BM_WriteXls(benchmark::State& state) {
    const fc::Workbook& book = table();
    std::string path = outPath("bench_excel.xls"), error;
    for (auto _ : state) {
        if (!fc::writeXls(path, book, error)) {
            state.SkipWithError(error.c_str());
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteXls)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same without the disk: building the bytes only.
void BM_XlsBytes(benchmark::State& state) {
    const fc::Workbook& book = table();
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::xlsBytes(book));
    }
}
BENCHMARK(BM_XlsBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteXlsx(benchmark::State& state) {
    const fc::Workbook& book = table();
    std::string path = outPath("bench_excel.xlsx"), error;
    for (auto _ : state) {
        if (!fc::writeXlsx(path, book, error)) {
            state.SkipWithError(error.c_str());
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_WriteXlsx)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor for .xlsx: the library alone, the same cells, no model to walk.
void BM_LibxlsxwriterAlone(benchmark::State& state) {
    std::string path = outPath("bench_excel_raw.xlsx");
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
        lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
        lxw_format* plain = workbook_add_format(wb);
        lxw_format* bold = workbook_add_format(wb);
        format_set_bold(bold);
        format_set_top(bold, LXW_BORDER_THIN);
        format_set_num_format(bold, "#,##0.00");
        for (int r = 1; r <= kRows; ++r) {
            lxw_format* f = r % 10 == 0 ? bold : plain;
            lxw_row_t row = static_cast<lxw_row_t>(r - 1);
            worksheet_write_string(ws, row, 0, ("Account " + std::to_string(r % 500)).c_str(), f);
            worksheet_write_string(ws, row, 1, ("Row " + std::to_string(r)).c_str(), f);
            for (int c = 3; c <= kCols; ++c) {
                worksheet_write_number(ws, row, static_cast<lxw_col_t>(c - 1), amount(r, c), f);
            }
        }
        workbook_close(wb);
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_LibxlsxwriterAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
