// Printed output: a 10,000-row formatted result laid out into pages and written as PDF, and a
// 65,000 x 20 result saved as the window saves it to an Excel 97 workbook (a copy without the
// window's own columns and rows). The PDF benchmark also leaves the same data as an .xls file
// (bench_print_10000.xls in the temporary folder) for a comparison with other programs.
#include "components/model/Workbook.h"
#include "components/print/PageLayout.h"
#include "components/ui/QtTextMeasurer.h"
#include "output/WorkbookFile.h"
#include "output/ui/PagedOutput.h"

#include <QDir>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <string>

namespace {

// A result sheet as the readers leave it: a heading, a text column and amounts with borders
// and a number format, every tenth row a bold totals row, row actions in column 255.
fc::Workbook* result(int rows, int cols) {
    auto* b = new fc::Workbook;
    b->setAutoRecalc(false);
    b->setDefaultFont("Arial", 10);
    fc::Sheet& s = b->sheet();
    s.setMaxRow(rows);
    s.setMaxCol(cols);
    fc::Style cell;
    for (fc::BorderSide side : {fc::BorderSide::Left, fc::BorderSide::Right, fc::BorderSide::Top,
                                fc::BorderSide::Bottom}) {
        cell.border(side) = {fc::BorderStyle::Thin, fc::kAutoColor};
    }
    cell.numberFormat = "# ##0.00";
    fc::Style total = cell;
    total.font.bold = true;
    const fc::StyleId cellId = b->styles().intern(cell);
    const fc::StyleId totalId = b->styles().intern(total);
    s.setColWidth(2, 30 * 256);
    s.setText(1, 2, "Turnover by account");
    for (int r = 2; r <= rows; ++r) {
        s.setText(r, 2, "Account " + std::to_string(r));
        for (int c = 3; c <= cols; ++c) {
            s.setNumber(r, c, (r * 31 + c * 17) % 100000 / 100.0);
        }
        for (int c = 2; c <= cols; ++c) {
            s.setStyleId(r, c, r % 10 == 0 ? totalId : cellId);
        }
        s.setText(r, 255, "{2}K" + std::to_string(r) + "|");
    }
    fc::PrintSettings& p = s.print();
    p.titles = "$1:$1";
    p.footer = "&P";
    p.fitToPage = true;
    p.fitHPages = 1;
    p.fitVPages = 0;
    return b;
}

fc::Workbook& tenThousand() {
    static fc::Workbook* book = result(10000, 8);
    return *book;
}

std::string temp(const char* name) { return (QDir::tempPath() + "/" + name).toStdString(); }

void BM_LayOut10000Rows(benchmark::State& state) {
    const fc::Workbook& book = tenThousand();
    fc::QtTextMeasurer measurer;
    std::size_t pages = 0;
    for (auto _ : state) {
        fc::print::PageLayout layout(book.sheet(), measurer);
        pages = layout.pages().size();
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_LayOut10000Rows)->Unit(benchmark::kMillisecond);

void BM_WritePdf10000Rows(benchmark::State& state) {
    fc::Workbook& book = tenThousand();
    fc::QtTextMeasurer measurer;
    std::string error;
    fc::output::writeWorkbookFile(book, temp("bench_print_10000.xls"), error);
    const QString path = QString::fromStdString(temp("bench_print_10000.pdf"));
    for (auto _ : state) {
        if (!fc::writePdf(book, measurer, path, "bench", error)) {
            state.SkipWithError(error.c_str());
        }
    }
}
BENCHMARK(BM_WritePdf10000Rows)->Unit(benchmark::kMillisecond);

fc::Workbook& sixtyFiveThousand() {
    static fc::Workbook* book = result(65000, 20);
    return *book;
}

void BM_SaveXls65000x20(benchmark::State& state) {
    fc::Workbook* book = &sixtyFiveThousand();
    const std::string path = temp("bench_print_65000.xls");
    std::string error;
    for (auto _ : state) {
        if (!fc::output::writeWorkbookFile(*book, path, error)) {
            state.SkipWithError(error.c_str());
        }
    }
}
BENCHMARK(BM_SaveXls65000x20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
