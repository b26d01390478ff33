// Renders a formatted demo workbook through the sheet view into a PNG picture (the one in the
// README). Usage: sheetshot [--objects] OUT.png [WIDTH HEIGHT]; --objects draws a sheet with
// every kind of drawn object instead.
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <QBuffer>

#include <cstdio>
#include <cstring>

namespace {

using namespace fc;

Style styleWith(const std::function<void(Style&)>& edit) {
    Style s;
    s.font.name = "Arial Cyr";
    edit(s);
    return s;
}

void boxed(Style& s, BorderStyle b = BorderStyle::Thin) {
    for (Border& x : s.borders) {
        x.style = b;
    }
}

void fillDemo(Workbook& book) {
    book.setDefaultFont("Arial Cyr", 10);
    Sheet& s = book.sheet();
    s.setName(w("Ведомость"));
    book.insertSheets(2, 2);
    book.sheet(2).setName(w("Итоги"));
    book.sheet(3).setName(w("Справочник"));
    book.setCurrentSheet(1);

    s.setColWidth(1, 6 * 256);
    s.setColWidth(2, 30 * 256);
    for (int c = 3; c <= 6; ++c) {
        s.setColWidth(c, 13 * 256);
    }
    s.setColWidth(7, 18 * 256);

    s.setText(1, 1, w("Оборотная ведомость по счетам за III квартал 2004 г."));
    s.merge({1, 1, 1, 7});
    s.setStyle(1, 1, styleWith([](Style& x) {
                   x.font.name = "Times New Roman Cyr";
                   x.font.size = 14;
                   x.font.bold = true;
                   x.halign = HAlign::Center;
                   x.valign = VAlign::Center;
               }));
    s.setRowHeight(1, 480);
    s.setText(2, 1, w("Подразделение: бухгалтерия, форма 0504036 (сведения для сверки с банком)"));
    s.setStyle(2, 1, styleWith([](Style& x) {
                   x.font.italic = true;
                   x.font.color = rgb(90, 90, 90);
               }));

    const char* heads[] = {"№",      "Наименование счета", "Сальдо на начало", "Дебет",
                           "Кредит", "Сальдо на конец",    "Примечание"};
    Style head = styleWith([](Style& x) {
        x.font.bold = true;
        x.halign = HAlign::Center;
        x.valign = VAlign::Center;
        x.wrap = true;
        x.fill = {1, rgb(221, 235, 247), kAutoColor};
        boxed(x);
        x.border(BorderSide::Bottom).style = BorderStyle::Double;
    });
    for (int c = 1; c <= 7; ++c) {
        s.setText(3, c, w(heads[c - 1]));
        s.setStyle(3, c, head);
    }
    s.setRowHeight(3, 510);

    Style num = styleWith([](Style& x) {
        boxed(x);
        x.numberFormat = "# ##0.00";
    });
    Style neg = num;
    neg.numberFormat = "# ##0.00;[Red]-# ##0.00";
    Style name = styleWith([](Style& x) { boxed(x); });
    Style idx = styleWith([](Style& x) {
        boxed(x);
        x.halign = HAlign::Center;
        x.font.color = rgb(80, 80, 80);
    });
    Style note = styleWith([](Style& x) {
        boxed(x, BorderStyle::Dotted);
        x.font.name = "Courier New Cyr";
        x.font.size = 9;
        x.font.color = rgb(0, 90, 160);
    });
    const char* names[] = {"Касса",
                           "Расчетный счет",
                           "Валютный счет",
                           "Расчеты с поставщиками",
                           "Расчеты с покупателями",
                           "Расчеты по налогам и сборам",
                           "Расчеты с персоналом по оплате труда",
                           "Уставный капитал",
                           "Прибыли и убытки",
                           "Основные средства",
                           "Амортизация",
                           "Материалы",
                           "Товары"};
    int r = 4;
    for (int i = 0; i < 13; ++i, ++r) {
        s.setNumber(r, 1, i + 1);
        s.setStyle(r, 1, idx);
        s.setText(r, 2, w(names[i]));
        s.setStyle(r, 2, name);
        double start = 12500.5 * (i + 1) - 3000 * (i % 4);
        double debit = 4100.25 * ((i * 7) % 5 + 1);
        double credit = 3900.75 * ((i * 3) % 6 + 1);
        s.setNumber(r, 3, start);
        s.setNumber(r, 4, debit);
        s.setNumber(r, 5, credit);
        if (i == 7) {
            credit += 150000; // one account ends in the red
            s.setNumber(r, 5, credit);
        }
        const std::string n = std::to_string(r);
        s.setFormula(r, 6, "C" + n + "+D" + n + "-E" + n);
        for (int c = 3; c <= 6; ++c) {
            s.setStyle(r, c, c == 6 ? neg : num);
        }
        s.setStyle(r, 7, note);
    }
    s.setText(6, 7, w("сверено"));
    s.setText(9, 7, w("акт сверки от 05.10.2004 не подписан"));
    s.setText(12, 7, w("переоценка"));
    // A group heading hatched, a hidden row, a total row.
    s.setRowHidden(14, true);
    s.setText(r, 2, w("Итого:"));
    Style total = styleWith([](Style& x) {
        x.font.bold = true;
        boxed(x);
        x.border(BorderSide::Top).style = BorderStyle::Medium;
        x.border(BorderSide::Bottom).style = BorderStyle::Medium;
        x.fill = {17, rgb(120, 120, 120), rgb(242, 242, 242)};
        x.numberFormat = "# ##0.00";
    });
    for (int c = 1; c <= 7; ++c) {
        s.setStyle(r, c, total);
    }
    for (int c = 3; c <= 6; ++c) {
        const char col = static_cast<char>('A' + c - 1);
        s.setFormula(r, c, std::string("SUM(") + col + "4:" + col + std::to_string(r - 1) + ")");
    }
    s.setText(r + 2, 2, w("Главный бухгалтер"));
    s.setStyle(r + 2, 2, styleWith([](Style& x) { x.halign = HAlign::Right; }));
    s.setStyle(r + 2, 3,
               styleWith([](Style& x) { x.border(BorderSide::Bottom).style = BorderStyle::Thin; }));
    s.setStyle(r + 2, 4,
               styleWith([](Style& x) { x.border(BorderSide::Bottom).style = BorderStyle::Thin; }));
    s.setText(r + 2, 5, w("Иванова А.П."));
    s.setFixedRows(3, 1);
    s.setMaxRow(r + 6);
    s.setMaxCol(8);
    s.setSelection({5, 3, 7, 4});
    ViewOptions v = book.view();
    v.showTabs = true;
    book.setView(v);
}

// One object of every kind, with texts, values and colours, over a few cells of data.
void fillObjects(Workbook& book) {
    book.setDefaultFont("Arial Cyr", 10);
    Sheet& s = book.sheet();
    s.setColWidth(1, 4 * 256);
    for (int r = 1; r <= 6; ++r) {
        s.setText(r, 9, w("Месяц ") + std::to_string(r));
        s.setNumber(r, 10, 10 + 7 * r - (r % 3) * 9);
        s.setNumber(r, 11, 30 - 3 * r);
    }
    auto make = [&](ObjectKind k, double x1, double y1, double x2, double y2) {
        return s.object(s.createObject(k, x1, y1, x2, y2));
    };
    DrawnObject* o = make(ObjectKind::Button, 1.2, 0.5, 3, 2);
    o->text = w("Выполнить");
    o = make(ObjectKind::CheckBox, 1.2, 2.5, 3.5, 3.5);
    o->text = w("Только итоги");
    o->linkedCell = "L1";
    s.setValue(1, 12, Value::fromBool(true));
    o = make(ObjectKind::ListBox, 1.2, 4, 3, 9);
    o->inputRange = "I1:I6";
    o->value = 3;
    o = make(ObjectKind::Chart, 3.5, 4, 7, 13);
    o->inputRange = "J1:K6";
    o = make(ObjectKind::Chart, 9, 7, 12, 14);
    o->inputRange = "J1:J6";
    o->chartType = 1;
    o = make(ObjectKind::Line, 1.2, 10, 3, 13);
    o->lineColor = rgb(200, 0, 0);
    o = make(ObjectKind::Rectangle, 1.2, 14, 3, 17);
    o->fillColor = rgb(255, 255, 160);
    o->lineColor = rgb(0, 0, 128);
    o = make(ObjectKind::Oval, 3.5, 14, 5.5, 17);
    o->fillColor = rgb(160, 220, 255);
    o = make(ObjectKind::Arc, 6, 14, 7.5, 17);
    o->lineColor = rgb(0, 128, 0);
    o = make(ObjectKind::Polygon, 8, 14, 10, 17);
    o->points = {{8, 17}, {8.5, 14}, {10, 15.5}, {9.2, 17}};
    o->fillColor = rgb(220, 180, 255);
    QImage pic(96, 64, QImage::Format_RGB32);
    pic.fill(QColor(250, 240, 220));
    {
        QPainter p(&pic);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(220, 60, 30));
        p.drawEllipse(QRect(8, 8, 48, 48));
        p.setBrush(QColor(30, 90, 200));
        p.drawRect(QRect(50, 20, 38, 36));
    }
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    pic.save(&buf, "PNG");
    o = make(ObjectKind::Picture, 12.5, 0.5, 14.5, 4.5);
    o->image = bytes.toStdString();
    s.selectObject(o->id);
    s.setSelection(CellRange::cell(30, 30));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const bool objects = argc >= 2 && std::strcmp(argv[1], "--objects") == 0;
    if (objects) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: sheetshot [--objects] OUT.png [WIDTH HEIGHT]\n");
        return 2;
    }
    const int width = argc >= 4 ? std::atoi(argv[2]) : 900;
    const int height = argc >= 4 ? std::atoi(argv[3]) : 480;
    fc::SheetView view;
    if (objects) {
        fillObjects(view.workbook());
    } else {
        fillDemo(view.workbook());
    }
    view.resize(width, height);
    view.show();
    QApplication::processEvents();
    QImage img = view.grab().toImage();
    if (!img.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "sheetshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
