// Painting drawn objects in the sheet view, offscreen: a window full of objects of every
// kind, and a result-like sheet with thousands of buttons of which a window shows a few.
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/ui/SheetView.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

using namespace fc;

std::string pngBytes() {
    QImage img(200, 150, QImage::Format_RGB32);
    img.fill(QColor(240, 230, 200));
    QPainter p(&img);
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(20, 20, 120, 100);
    p.end();
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes.toStdString();
}

struct Fixture {
    Fixture() {
        view.resize(1280, 800);
        view.show();
        QApplication::processEvents();
        image = QImage(view.viewport()->size(), QImage::Format_RGB32);
    }
    void paint() { view.viewport()->render(&image); }
    SheetView view;
    QImage image;
};

// Four of each of the eleven kinds over the first 40 rows; charts of 100 numbers.
void BM_PaintWindowOfObjects(benchmark::State& state) {
    static Fixture f;
    static bool filled = false;
    Sheet& s = f.view.workbook().sheet();
    if (!filled) {
        filled = true;
        for (int r = 1; r <= 100; ++r) {
            s.setNumber(r, 30, (r * 37) % 91);
        }
        const std::string png = pngBytes();
        int n = 0;
        for (int k = 1; k <= 11; ++k) {
            for (int i = 0; i < 4; ++i, ++n) {
                const double x = (n % 6) * 2.0 + 0.2, y = (n / 6) * 3.0 + 0.2;
                DrawnObject* o =
                    s.object(s.createObject(static_cast<ObjectKind>(k), x, y, x + 1.8, y + 2.6));
                o->inputRange = "AD1:AD100";
                o->items = {"one", "two", "three", "four", "five", "six", "seven"};
                o->image = png;
                o->fillColor = rgb(200, 220, 255);
            }
        }
    }
    f.paint();
    for (auto _ : state) {
        f.paint();
    }
}
BENCHMARK(BM_PaintWindowOfObjects)->Unit(benchmark::kMillisecond);

// 5,000 buttons, one every 13 rows: the frame draws the few in the window.
void BM_PaintManyButtonsMostlyOffScreen(benchmark::State& state) {
    static Fixture f;
    static bool filled = false;
    Sheet& s = f.view.workbook().sheet();
    if (!filled) {
        filled = true;
        for (int i = 0; i < 5000; ++i) {
            s.createObject(ObjectKind::Button, 1, i * 13.0, 3, i * 13.0 + 1);
        }
        s.setTopLeft(30000, 1);
    }
    f.paint();
    for (auto _ : state) {
        f.paint();
    }
}
BENCHMARK(BM_PaintManyButtonsMostlyOffScreen)->Unit(benchmark::kMillisecond);

// The empty window, for comparison.
void BM_PaintWindowWithoutObjects(benchmark::State& state) {
    static Fixture f;
    f.paint();
    for (auto _ : state) {
        f.paint();
    }
}
BENCHMARK(BM_PaintWindowWithoutObjects)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
