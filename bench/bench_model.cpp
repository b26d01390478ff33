// The workbook model at the size of the largest result sheet: 65,536 rows x 20 columns of
// numbers and texts.
#include "components/format/FileType.h"
#include "components/format/NativeFile.h"
#include "components/model/NumberFormat.h"
#include "components/model/Workbook.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <string>

namespace {

constexpr int kRows = 65536;
constexpr int kCols = 20;

// Even columns numbers, odd columns texts; about 10 MB.
const std::string& tsv() {
    static const std::string text = [] {
        std::string s;
        s.reserve(11u << 20);
        for (int r = 1; r <= kRows; ++r) {
            for (int c = 1; c <= kCols; ++c) {
                if (c > 1) {
                    s += '\t';
                }
                if (c % 2 == 1) {
                    s += std::to_string((r * 7919 + c * 104729) % 1000000) + "." +
                         std::to_string(r % 100);
                } else {
                    s += "txt" + std::to_string((r * 31 + c) % 99991);
                }
            }
            s += "\r\n";
        }
        return s;
    }();
    return text;
}

void fill(fc::Workbook& book) {
    book.sheet().setActiveCell(1, 1);
    book.sheet().setClipValues(tsv());
}

void BM_SetClipValues(benchmark::State& state) {
    const std::string& text = tsv();
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<fc::Workbook>();
        state.ResumeTiming();
        fill(*book);
        benchmark::DoNotOptimize(book->sheet().lastUsedRow());
        state.PauseTiming();
        book.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SetClipValues)->Unit(benchmark::kMillisecond);

void BM_MemoryPerCell(benchmark::State& state) {
    double perCell = 0;
    for (auto _ : state) {
        auto book = std::make_unique<fc::Workbook>();
        malloc_trim(0);
        const std::size_t before = mallinfo2().uordblks;
        fill(*book);
        const std::size_t after = mallinfo2().uordblks;
        // Texts of up to 15 characters live inside the cell, so nothing is subtracted.
        perCell = static_cast<double>(after - before) / (kRows * kCols);
    }
    state.counters["bytes_per_cell"] = perCell;
}
BENCHMARK(BM_MemoryPerCell)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SortRows(benchmark::State& state) {
    const int col = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto book = std::make_unique<fc::Workbook>();
        fill(*book);
        state.ResumeTiming();
        book->sheet().sortRows({1, 1, kRows, kCols}, {{col, true}});
        state.PauseTiming();
        book.reset();
        state.ResumeTiming();
    }
}
// Column 1 holds numbers, column 2 texts.
BENCHMARK(BM_SortRows)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

struct Saved {
    QTemporaryDir dir;
    std::string path;
    fc::Workbook book;
    Saved() {
        path = QDir(dir.path()).filePath("big.vts").toStdString();
        fill(book);
    }
};

Saved& saved() {
    static Saved s;
    return s;
}

void BM_WriteNativeFile(benchmark::State& state) {
    Saved& s = saved();
    std::string error;
    for (auto _ : state) {
        if (!fc::writeWorkbookFile(s.path, fc::kFileNative, s.book, error)) {
            state.SkipWithError("write failed");
        }
    }
    state.counters["file_MB"] =
        static_cast<double>(QFileInfo(QString::fromStdString(s.path)).size()) / (1 << 20);
}
BENCHMARK(BM_WriteNativeFile)->Unit(benchmark::kMillisecond);

void BM_ReadNativeFile(benchmark::State& state) {
    Saved& s = saved();
    std::string error;
    fc::writeWorkbookFile(s.path, fc::kFileNative, s.book, error);
    for (auto _ : state) {
        auto book = std::make_unique<fc::Workbook>();
        if (fc::readWorkbookFile(s.path, *book, error) != fc::kFileNative) {
            state.SkipWithError("read failed");
        }
        state.PauseTiming();
        book.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReadNativeFile)->Unit(benchmark::kMillisecond);

void BM_FormatValue(benchmark::State& state) {
    const fc::Value v = fc::Value::fromNumber(1234567.891);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::formatValue(v, "# ##0.00"));
    }
}
BENCHMARK(BM_FormatValue);

void BM_FormatDate(benchmark::State& state) {
    const fc::Value v = fc::Value::fromNumber(45323);
    for (auto _ : state) {
        benchmark::DoNotOptimize(fc::formatValue(v, "dd.mm.yyyy"));
    }
}
BENCHMARK(BM_FormatDate);

} // namespace

BENCHMARK_MAIN();
