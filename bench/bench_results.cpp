// Reading large report results: 65,536 rows of 20 cells in the table format and in the turbo
// format, against a companion of 21 formatted columns. The answers are made once; each
// iteration reads one into a fresh workbook. `--write-csv=PATH` writes the same data as CSV
// for the comparison with a spreadsheet program (docs/benchmarks.md); `--memory=table` and
// `--memory=turbo` measure the memory of one reading.
#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/OutsideFiles.h"
#include "exchange/OutsideWorld.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kRows = 65536;
constexpr int kCells = 20;

// Cell c of row r: texts in the first three columns, amounts in the others.
std::string cellValue(int r, int c) {
    if (c <= 3) {
        return fc::codepage::toDos(fc::w("Счет ")) + std::to_string(r * 7 % 1000) + "/" +
               std::to_string(c);
    }
    return std::to_string(r % 9973) + "." + std::to_string((r + c) % 100);
}

const std::string& tableAnswer() {
    static const std::string a = [] {
        std::string s = ";table\r\n;maxcol=21\r\n;;1=Arial,10,b\r\n";
        s.reserve(40u * 1024 * 1024);
        char col[8];
        for (int r = 1; r <= kRows; ++r) {
            s += "&&\r\n";
            for (int c = 2; c <= kCells + 1; ++c) {
                std::snprintf(col, sizeof col, "&%02d", c);
                s += col;
                s += cellValue(r, c - 1);
                s += c <= 4 ? "|0000lb\r\n" : "|0000rb\r\n";
            }
        }
        return s;
    }();
    return a;
}

const std::string& turboAnswer() {
    static const std::string a = [] {
        std::string s = ";table ;ext=T.vts ;turbo\r\n;TOT=05\r\n";
        s.reserve(24u * 1024 * 1024);
        for (int r = 1; r <= kRows; ++r) {
            s += r % 2 ? "1  *" : "2  *";
            for (int c = 1; c <= kCells; ++c) {
                s += '\t';
                s += cellValue(r, c);
            }
            s += "\r\n";
        }
        return s;
    }();
    return a;
}

class NoWorld : public fc::OutsideWorld {
public:
    bool run(const std::string&) override { return false; }
    bool open(const std::string&) override { return false; }
};

struct Scratch {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString();
    std::string companion = path + "/T.vts";
    Scratch() {
        fc::Workbook form;
        fc::Sheet& s = form.sheet();
        s.setMaxCol(kCells + 1);
        s.setMaxRow(2);
        s.setNumber(1, 1, 45000.5);
        for (int r = 1; r <= 2; ++r) {
            for (int c = 2; c <= kCells + 1; ++c) {
                fc::Style st;
                st.font.bold = c <= 4;
                st.numberFormat = c > 4 ? "# ##0.00" : "General";
                st.border(fc::BorderSide::Bottom).style =
                    r == 2 ? fc::BorderStyle::Thin : fc::BorderStyle::None;
                s.setStyle(r, c, st);
            }
        }
        std::string error;
        fc::writeWorkbookFile(companion, fc::kFileNative, form, error);
    }
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

long peakKb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

template <typename Read>
void readInto(benchmark::State& state, const std::string& answer, Read read) {
    long before = peakKb();
    for (auto _ : state) {
        // The answer buffer is handed over, not copied, and the workbook outlives the
        // reading: neither is timed.
        state.PauseTiming();
        auto book = std::make_unique<fc::Workbook>();
        auto buffer = std::make_unique<fc::AnswerBuffer>(answer);
        state.ResumeTiming();
        fc::ReportSettings settings;
        fc::ScriptedPrompter prompter;
        NoWorld world;
        fc::OutsideFiles files(prompter, scratch().path);
        fc::ResultContext ctx{*book, settings, *buffer,        prompter,      world,
                              files, nullptr,  scratch().path, scratch().path};
        read(ctx);
        if (book->sheet().maxRow() < kRows - 2) {
            state.SkipWithError("rows missing");
        }
        benchmark::DoNotOptimize(*book);
        state.PauseTiming();
        book.reset();
        buffer.reset();
        state.ResumeTiming();
    }
    state.counters["answerMB"] = double(answer.size()) / (1024.0 * 1024.0);
    state.counters["peakGrowthMB"] = double(peakKb() - before) / 1024.0;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer.size()));
}

void BM_ReadTable(benchmark::State& state) {
    readInto(state, tableAnswer(), [](fc::ResultContext& ctx) { fc::read_table(ctx, "x.out"); });
}
BENCHMARK(BM_ReadTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadTurbo(benchmark::State& state) {
    readInto(state, turboAnswer(),
             [](fc::ResultContext& ctx) { fc::read_table_ex(ctx, scratch().companion); });
}
BENCHMARK(BM_ReadTurbo)->Unit(benchmark::kMillisecond)->MinTime(2.0);

bool writeCsv(const char* path) {
    std::FILE* f = std::fopen(path, "wb");
    if (!f) {
        return false;
    }
    for (int r = 1; r <= kRows; ++r) {
        std::string line;
        for (int c = 1; c <= kCells; ++c) {
            line +=
                (c > 1 ? "," : "") + fc::cp1251::toUtf8(fc::codepage::toWindows(cellValue(r, c)));
        }
        line += "\n";
        std::fwrite(line.data(), 1, line.size(), f);
    }
    return std::fclose(f) == 0;
}

long currentKb() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(f);
    }
    return resident * 4;
}

// One reading in a fresh process: the peak over the state before it, and what the sheet keeps
// once the answer buffer is gone.
int measureMemory(bool turbo) {
    const std::string& answer = turbo ? turboAnswer() : tableAnswer();
    scratch();
    const long base = currentKb();
    long kept = 0;
    {
        fc::Workbook book;
        {
            fc::ReportSettings settings;
            fc::ScriptedPrompter prompter;
            NoWorld world;
            fc::AnswerBuffer buffer(answer);
            fc::OutsideFiles files(prompter, scratch().path);
            fc::ResultContext ctx{book,  settings, buffer,         prompter,      world,
                                  files, nullptr,  scratch().path, scratch().path};
            if (turbo) {
                fc::read_table_ex(ctx, scratch().companion);
            } else {
                fc::read_table(ctx, "x.out");
            }
        }
        kept = currentKb() - base;
    }
    const double mb = 1024.0;
    std::printf("%s: answer %.1f MB, peak over start %.1f MB, sheet kept %.1f MB, "
                "peak less sheet %.2f x answer\n",
                turbo ? "turbo" : "table", answer.size() / mb / mb, (peakKb() - base) / mb,
                kept / mb, (peakKb() - base - kept) / (answer.size() / mb));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-csv=", 12) == 0) {
            return writeCsv(argv[i] + 12) ? 0 : 1;
        }
        if (std::strcmp(argv[i], "--memory=table") == 0 ||
            std::strcmp(argv[i], "--memory=turbo") == 0) {
            return measureMemory(argv[i][9] == 't' && argv[i][10] == 'u');
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
