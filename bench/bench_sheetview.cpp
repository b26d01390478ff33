// Painting the sheet view: a full window of a 65,536-row formatted sheet, offscreen.
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/ui/SheetView.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

namespace {

std::atomic<long> allocations{0};

} // namespace

// Counts heap allocations, to show what one frame allocates.
void* operator new(std::size_t n) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(n ? n : 1)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using namespace fc;

// Ten columns a row: a number, a name, amounts in "# ##0.00", a date, borders on every cell,
// a hatched fill every fifth row, bold totals every tenth, two fonts.
void fill(Workbook& book, int rows) {
    book.setDefaultFont("Arial Cyr", 10);
    Sheet& s = book.sheet();
    Style base;
    base.font.name = "Arial Cyr";
    for (Border& b : base.borders) {
        b.style = BorderStyle::Thin;
    }
    Style amount = base;
    amount.numberFormat = "# ##0.00";
    Style name = base;
    name.font.name = "Times New Roman Cyr";
    Style date = base;
    date.numberFormat = "dd.mm.yyyy";
    Style shaded = amount;
    shaded.fill = {4, rgb(128, 128, 128), kAutoColor};
    Style total = amount;
    total.font.bold = true;
    total.border(BorderSide::Top).style = BorderStyle::Medium;
    StyleTable& t = book.styles();
    const StyleId idBase = t.intern(base), idAmount = t.intern(amount), idName = t.intern(name),
                  idDate = t.intern(date), idShaded = t.intern(shaded), idTotal = t.intern(total);
    for (int r = 1; r <= rows; ++r) {
        Row& row = s.rowForLoad(r);
        row.cells.reserve(10);
        auto put = [&](int c, StyleId st) -> Cell& {
            Cell& x = row.obtain(c);
            x.style = st;
            return x;
        };
        Cell& n = put(1, idBase);
        n.kind = ValueKind::Number;
        n.number = r;
        Cell& nm = put(2, idName);
        nm.kind = ValueKind::Text;
        nm.text = "Account " + std::to_string(r % 977) + " of the ledger";
        for (int c = 3; c <= 9; ++c) {
            StyleId st = r % 10 == 0 ? idTotal : r % 5 == 0 ? idShaded : idAmount;
            Cell& a = put(c, st);
            a.kind = ValueKind::Number;
            a.number = (r * 37 + c * 101) % 100000 / 7.0;
        }
        Cell& d = put(10, idDate);
        d.kind = ValueKind::Number;
        d.number = 38000 + r % 365;
    }
    s.setColWidth(2, 28 * 256);
    s.setFixedRows(1, 1);
}

struct Fixture {
    explicit Fixture(int rows) {
        fill(view.workbook(), rows);
        view.resize(1280, 800);
        view.show();
        QApplication::processEvents();
        image = QImage(view.viewport()->size(), QImage::Format_RGB32);
    }
    void paint() { view.viewport()->render(&image); }
    SheetView view;
    QImage image;
};

Fixture& fixture() {
    static Fixture f(kMaxRows);
    return f;
}

// The same window over a 60-row sheet: a frame should cost and allocate the same, because
// nothing the view keeps or does per frame depends on the number of rows.
void BM_PaintFullWindowSmallSheet(benchmark::State& state) {
    static Fixture f(60);
    f.paint();
    long before = allocations.load();
    for (auto _ : state) {
        f.paint();
    }
    state.counters["allocs/frame"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PaintFullWindowSmallSheet)->Unit(benchmark::kMillisecond);

void BM_PaintFullWindow(benchmark::State& state) {
    Fixture& f = fixture();
    f.view.workbook().sheet().setTopLeft(2, 1);
    f.paint();
    long before = allocations.load();
    for (auto _ : state) {
        f.paint();
    }
    state.counters["allocs/frame"] =
        static_cast<double>(allocations.load() - before) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PaintFullWindow)->Unit(benchmark::kMillisecond);

void BM_JumpToRow60000AndPaint(benchmark::State& state) {
    Fixture& f = fixture();
    bool far = false;
    for (auto _ : state) {
        far = !far;
        f.view.workbook().sheet().setTopLeft(far ? 60000 : 2, 1);
        f.paint();
    }
}
BENCHMARK(BM_JumpToRow60000AndPaint)->Unit(benchmark::kMillisecond);

// The same jump to rows never painted before: every text is laid out afresh.
void BM_JumpToNewRowsNear60000AndPaint(benchmark::State& state) {
    Fixture& f = fixture();
    int k = 0;
    for (auto _ : state) {
        k = (k + 1) % 200;
        f.view.workbook().sheet().setTopLeft(55000 + k * 50, 1);
        f.paint();
    }
}
BENCHMARK(BM_JumpToNewRowsNear60000AndPaint)->Unit(benchmark::kMillisecond);

void BM_ScrollOneStepAndPaint(benchmark::State& state) {
    Fixture& f = fixture();
    f.view.workbook().sheet().setTopLeft(30000, 1);
    QScrollBar* bar = f.view.verticalScrollBar();
    bool down = false;
    for (auto _ : state) {
        down = !down;
        bar->triggerAction(down ? QAbstractSlider::SliderSingleStepAdd
                                : QAbstractSlider::SliderSingleStepSub);
        f.paint();
    }
}
BENCHMARK(BM_ScrollOneStepAndPaint)->Unit(benchmark::kMillisecond);

// A row height changed: the prefix sums are rebuilt over all 65,536 rows before the paint.
void BM_RowHeightChangeAndPaint(benchmark::State& state) {
    Fixture& f = fixture();
    Sheet& s = f.view.workbook().sheet();
    s.setTopLeft(2, 1);
    int h = 255;
    for (auto _ : state) {
        h = h == 255 ? 300 : 255;
        s.setRowHeight(5, h);
        f.paint();
    }
}
BENCHMARK(BM_RowHeightChangeAndPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
