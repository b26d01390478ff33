// Reading and writing a large formatted template: 10,000 rows of 20 form columns with fonts,
// borders, alignment, fills, number formats, merges, fixed heights and a statement every
// tenth row.
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "designer/DesignerSheet.h"
#include "designer/TableFormatWriter.h"
#include "designer/TemplateFile.h"
#include "designer/TemplateReader.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 10000;
constexpr int kCols = 20;

void buildTemplate(fc::Workbook& book) {
    book.setDefaultFont("Courier New", 10);
    fc::Sheet& s = book.sheet();
    s.setMaxCol(kCols + 1);
    s.setMaxRow(kRows);
    for (int c = 2; c <= kCols + 1; ++c) {
        s.setColWidth(c, 1000 + 50 * c);
    }
    std::vector<fc::Style> styles;
    for (int k = 0; k < 12; ++k) {
        fc::Style st;
        st.font = book.defaultFont();
        st.font.bold = k % 2 == 0;
        st.font.italic = k % 3 == 0;
        st.font.size = 9 + k % 4;
        st.font.color = k % 5 == 0 ? fc::rgb(0, 0, 128) : fc::kAutoColor;
        st.halign = k % 3 == 0 ? fc::HAlign::Right : fc::HAlign::Left;
        st.valign = k % 2 ? fc::VAlign::Top : fc::VAlign::Bottom;
        st.wrap = k % 4 == 1;
        for (fc::Border& b : st.borders) {
            b.style = k % 2 ? fc::BorderStyle::Thin : fc::BorderStyle::Double;
        }
        if (k % 6 == 0) {
            st.fill = fc::Fill{1, fc::rgb(192, 192, 192), fc::rgb(255, 255, 255)};
        }
        st.numberFormat = k % 3 == 0 ? "# ##0.00" : "General";
        styles.push_back(st);
    }
    std::vector<fc::CellRange> merges;
    for (int r = 1; r <= kRows; ++r) {
        if (r % 10 == 0) {
            s.setText(r, 1, "IF S" + std::to_string(r % 7) + "=\"90\"");
            continue;
        }
        for (int c = 2; c <= kCols + 1; ++c) {
            s.setStyle(r, c, styles[static_cast<std::size_t>((r + c) % 12)]);
            if ((r + c) % 3 == 0) {
                s.setNumber(r, c, r * 1.25 + c);
            } else {
                s.setText(r, c, "^V" + std::to_string(c % 10) + " text " + std::to_string(r));
            }
        }
        if (r % 5 == 0) {
            merges.push_back({r, 2, r, 4});
            fc::designer::setFixedHeight(s, r, 400);
        }
    }
    s.setMergesForLoad(merges);
}

void BM_WriteTemplate(benchmark::State& state) {
    fc::Workbook book;
    buildTemplate(book);
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string out = fc::TableFormatWriter(book).write();
        bytes = out.size();
        benchmark::DoNotOptimize(out);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_WriteTemplate)->Unit(benchmark::kMillisecond);

void BM_ReadTemplate(benchmark::State& state) {
    fc::Workbook book;
    buildTemplate(book);
    const std::string bytes = fc::TableFormatWriter(book).write();
    for (auto _ : state) {
        fc::Workbook back;
        fc::TemplateReader().read(bytes, back);
        benchmark::DoNotOptimize(back.sheet().maxRow());
    }
}
BENCHMARK(BM_ReadTemplate)->Unit(benchmark::kMillisecond);

// The whole save and load as the designer runs them: the ".tmp" output, the staging file,
// the replacement of the template.
void BM_SaveAndLoadFile(benchmark::State& state) {
    fc::Workbook book;
    buildTemplate(book);
    QTemporaryDir dir;
    const QString path = dir.filePath("big.rpt");
    fc::ScriptedPrompter prompter;
    for (auto _ : state) {
        fc::TemplateFile::save(path, book, fc::TemplateFormat::Table, prompter);
        fc::Workbook back;
        fc::TemplateFile::load(path, back, prompter);
        benchmark::DoNotOptimize(back.sheet().maxRow());
    }
}
BENCHMARK(BM_SaveAndLoadFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
