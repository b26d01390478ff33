// Reading large report results: 65,000 rows of 20 cells in the table format and in the turbo
// format, against a companion of 21 formatted columns. The answers are made once; each
// iteration reads one into a fresh workbook. `--write-data=DIR [--rows=N]` writes the answers,
// the companion and the same data as CSV for the side-by-side comparison (bench/compare.sh);
// `--memory=table` and `--memory=turbo` measure the memory of one reading.
#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/platform/HugePages.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/OutsideFiles.h"
#include "exchange/OutsideWorld.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"
#include "exchange/ResultRows.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

namespace {

// 65,000 data rows: a result holds at most 65,528 (the rows below belong to the window).
constexpr int kRows = 65000;
constexpr int kCells = 20;

// Cell c of row r: texts in the first three columns, amounts in the others. `pad` lengthens
// the texts (the 100 MB answer).
std::string cellValue(int r, int c, int pad = 0) {
    if (c <= 3) {
        return fc::codepage::toDos(fc::w("Счет ")) +
               std::string(static_cast<std::size_t>(pad), 'x') + std::to_string(r * 7 % 1000) +
               "/" + std::to_string(c);
    }
    return std::to_string(r % 9973) + "." + std::to_string((r + c) % 100);
}

std::string makeTableAnswer(int rows) {
    std::string s = ";table\r\n;maxcol=21\r\n;;1=Arial,10,b\r\n";
    s.reserve(static_cast<std::size_t>(rows) * 400);
    char col[8];
    for (int r = 1; r <= rows; ++r) {
        s += "&&\r\n";
        for (int c = 2; c <= kCells + 1; ++c) {
            std::snprintf(col, sizeof col, "&%02d", c);
            s += col;
            s += cellValue(r, c - 1);
            s += c <= 4 ? "|0000lb\r\n" : "|0000rb\r\n";
        }
    }
    return s;
}

std::string makeTurboAnswer(int rows, int pad = 0) {
    std::string s = ";table ;ext=T.vts ;turbo\r\n;TOT=05\r\n";
    s.reserve(static_cast<std::size_t>(rows) * (180 + 3 * static_cast<std::size_t>(pad)));
    for (int r = 1; r <= rows; ++r) {
        s += r % 2 ? "1  *" : "2  *";
        for (int c = 1; c <= kCells; ++c) {
            s += '\t';
            s += cellValue(r, c, pad);
        }
        s += "\r\n";
    }
    return s;
}

// The answers are made once for each size.
const std::string& tableAnswer(int rows = kRows) {
    static std::map<int, std::string> made;
    std::string& a = made[rows];
    if (a.empty()) {
        a = makeTableAnswer(rows);
    }
    return a;
}

const std::string& turboAnswer(int rows = kRows, int pad = 0) {
    static std::map<std::pair<int, int>, std::string> made;
    std::string& a = made[{rows, pad}];
    if (a.empty()) {
        a = makeTurboAnswer(rows, pad);
    }
    return a;
}

// About 100 MB: the same rows with texts of some 470 characters.
constexpr int kBigPad = 460;

class NoWorld : public fc::OutsideWorld {
public:
    bool run(const std::string&) override { return false; }
    bool open(const std::string&) override { return false; }
};

// The companion workbook of the turbo answers: two formatted form rows of 21 columns.
bool writeCompanion(const std::string& path) {
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
    return fc::writeWorkbookFile(path, fc::kFileNative, form, error);
}

struct Scratch {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString();
    std::string companion = path + "/T.vts";
    Scratch() { writeCompanion(companion); }
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

// `rows`: the rows the sheet gets (at most what a result holds).
template <typename Read>
void readInto(benchmark::State& state, const std::string& answer, int rows, Read read) {
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
        if (book->sheet().maxRow() < rows - 2) {
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
    state.counters["rows"] = rows;
    state.counters["rowsPerS"] =
        benchmark::Counter(rows, benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * answer.size()));
}

void BM_ReadTable(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    readInto(state, tableAnswer(rows), rows,
             [](fc::ResultContext& ctx) { fc::read_table(ctx, "x.out"); });
}
BENCHMARK(BM_ReadTable)->Arg(kRows)->Arg(kRows / 10)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_ReadTurbo(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    readInto(state, turboAnswer(rows), rows,
             [](fc::ResultContext& ctx) { fc::read_table_ex(ctx, scratch().companion); });
}
BENCHMARK(BM_ReadTurbo)->Arg(kRows)->Arg(kRows / 10)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// About 100 MB: the rows with texts of some 470 characters (0), or more rows than a result holds,
// of which the first 65,528 are read (1).
void BM_ReadTurbo100MB(benchmark::State& state) {
    const bool manyRows = state.range(0) == 1;
    const int rows = manyRows ? 600000 : kRows;
    readInto(state, turboAnswer(rows, manyRows ? 0 : kBigPad),
             std::min(rows, fc::answers::kMaxResultRows),
             [](fc::ResultContext& ctx) { fc::read_table_ex(ctx, scratch().companion); });
}
BENCHMARK(BM_ReadTurbo100MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A table answer of about 100 MB: four times the rows a result holds.
void BM_ReadTable100MB(benchmark::State& state) {
    readInto(state, tableAnswer(270000), fc::answers::kMaxResultRows,
             [](fc::ResultContext& ctx) { fc::read_table(ctx, "x.out"); });
}
BENCHMARK(BM_ReadTable100MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);

bool writeFile(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && written;
}

// The same rows as CSV in UTF-8, as a spreadsheet program would be given them.
std::string csv(int rows) {
    std::string out;
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= kCells; ++c) {
            out +=
                (c > 1 ? "," : "") + fc::cp1251::toUtf8(fc::codepage::toWindows(cellValue(r, c)));
        }
        out += "\n";
    }
    return out;
}

// `--write-data=DIR`: the data of the side-by-side comparison (bench/compare.sh): the table and
// the turbo answer as the server leaves them (with the framing byte), the companion, and the
// same rows as CSV, plus a one-row CSV for a spreadsheet program's start-up.
int writeData(const std::string& dir, int rows) {
    // The last byte of an answer file is the server's framing byte, not content.
    const bool ok = writeFile(dir + "/table001.out", makeTableAnswer(rows) + "\x1a") &&
                    writeFile(dir + "/turbo001.out", makeTurboAnswer(rows) + "\x1a") &&
                    writeCompanion(dir + "/T.vts") && writeFile(dir + "/data.csv", csv(rows)) &&
                    writeFile(dir + "/one.csv", csv(1));
    if (!ok) {
        std::fprintf(stderr, "cannot write the data into %s\n", dir.c_str());
    }
    return ok ? 0 : 1;
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
    // Read as the program reads (on huge pages where the kernel gives them on request).
    fc::preferHugePages(argv);
    std::string dataDir;
    int rows = kRows;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--write-data=", 13) == 0) {
            dataDir = argv[i] + 13;
        } else if (std::strncmp(argv[i], "--rows=", 7) == 0) {
            rows = std::atoi(argv[i] + 7);
        } else if (std::strcmp(argv[i], "--memory=table") == 0 ||
                   std::strcmp(argv[i], "--memory=turbo") == 0) {
            return measureMemory(argv[i][9] == 't' && argv[i][10] == 'u');
        }
    }
    if (!dataDir.empty()) {
        if (rows < 1) {
            std::fputs("--rows wants a number of rows\n", stderr);
            return 2;
        }
        return writeData(dataDir, rows);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
