#include "ViewFixture.h"

#include <QColor>

namespace fc {

void ViewFixture::SetUp() {
    view.resize(640, 400);
    view.show();
    QApplication::processEvents();
    auto add = [this](std::string s) { log.push_back(std::move(s)); };
    auto rc = [](const char* name, int r, int c) {
        return std::string(name) + "(" + std::to_string(r) + "," + std::to_string(c) + ")";
    };
    QObject::connect(&view, &SheetView::keyDown, [=](SheetKeyEvent* e) {
        add("keyDown(" + std::to_string(e->key) + ")");
        e->consumed = consumeKeys;
    });
    QObject::connect(&view, &SheetView::keyPress,
                     [=](SheetKeyEvent* e) { add("keyPress(" + e->text.toStdString() + ")"); });
    QObject::connect(&view, &SheetView::keyUp,
                     [=](SheetKeyEvent* e) { add("keyUp(" + std::to_string(e->key) + ")"); });
    QObject::connect(&view, &SheetView::mouseDown, [=] { add("mouseDown"); });
    QObject::connect(&view, &SheetView::mouseUp, [=] { add("mouseUp"); });
    QObject::connect(&view, &SheetView::click, [=](int r, int c) { add(rc("click", r, c)); });
    QObject::connect(&view, &SheetView::dblClick, [=](int r, int c, bool* consumed) {
        add(rc("dblClick", r, c));
        *consumed = consumeDblClick;
    });
    QObject::connect(&view, &SheetView::rDblClick,
                     [=](int r, int c) { add(rc("rDblClick", r, c)); });
    QObject::connect(&view, &SheetView::startEdit,
                     [=](QString* text, bool*) { add("startEdit(" + text->toStdString() + ")"); });
    QObject::connect(&view, &SheetView::endEdit, [=](QString* text, bool* cancel) {
        add("endEdit(" + text->toStdString() + ")");
        if (!replaceWith.isNull()) {
            *text = replaceWith;
        }
        *cancel = vetoEnd;
    });
    QObject::connect(&view, &SheetView::cancelEdit,
                     [=](int r, int c) { add(rc("cancelEdit", r, c)); });
    QObject::connect(&view, &SheetView::selChange, [=] { add("selChange"); });
    QObject::connect(&view, &SheetView::topLeftChanged, [=] { add("topLeftChanged"); });
    QObject::connect(&view, &SheetView::objClick,
                     [=](int id) { add("objClick(" + std::to_string(id) + ")"); });
    log.clear();
}

std::vector<std::string> ViewFixture::take() {
    std::vector<std::string> out;
    out.swap(log);
    return out;
}

std::vector<std::string> ViewFixture::take(std::initializer_list<const char*> prefixes) {
    std::vector<std::string> out;
    for (const std::string& s : log) {
        for (const char* p : prefixes) {
            if (s.rfind(p, 0) == 0) {
                out.push_back(s);
                break;
            }
        }
    }
    log.clear();
    return out;
}

QImage ViewFixture::grab() {
    QImage img(view.viewport()->size(), QImage::Format_RGB32);
    img.fill(Qt::magenta);
    view.viewport()->render(&img);
    return img;
}

bool isInk(QRgb p) { return qGray(p) < 150; }

int inkIn(const QImage& img, const QRect& r) {
    int n = 0;
    QRect b = r.intersected(img.rect());
    for (int y = b.top(); y <= b.bottom(); ++y) {
        for (int x = b.left(); x <= b.right(); ++x) {
            n += isInk(img.pixel(x, y)) ? 1 : 0;
        }
    }
    return n;
}

} // namespace fc
