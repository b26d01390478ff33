#include "RichWorkbook.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fc {

void makeRichWorkbook(Workbook& book) {
    book.setDefaultFont("Times New Roman", 12);
    book.setNumSheets(2);
    Sheet& s = book.sheet(1);
    s.setName(w("Отчёт"));
    s.setMaxRow(40);
    s.setMaxCol(8);
    s.setFixedRows(2, 3);
    s.setFixedCols(1, 1);
    s.setTopLeft(5, 2);
    s.setDefaultRowHeight(300);
    s.setDefaultColWidth(2560);

    Style money;
    money.font.name = "Arial";
    money.font.bold = true;
    money.font.color = rgb(255, 0, 0);
    money.halign = HAlign::Right;
    money.numberFormat = "# ##0.00";
    s.setNumber(2, 2, 1234567.891);
    s.setStyle(2, 2, money);
    s.setText(2, 3, w("Итого: \"кавычки\"\tтаб"));
    s.setValue(2, 4, Value::fromBool(true));
    s.setValue(2, 5, Value::fromError(ErrorCode::Div0));
    s.setFormula(3, 2, "=B2*2");
    s.setFormulaResult(3, 2, Value::fromNumber(2469135.782));
    s.setStyle(3, 2, money);
    s.setEntry(4, 2, "01.02.2024");
    s.setEntry(4, 3, "5%");

    Style boxed;
    boxed.border(BorderSide::Left) = {BorderStyle::Thin, kAutoColor};
    boxed.border(BorderSide::Bottom) = {BorderStyle::Double, rgb(0, 0, 128)};
    boxed.fill = {1, rgb(255, 255, 0), kAutoColor};
    boxed.valign = VAlign::Center;
    s.setStyle(5, 4, boxed); // a styled cell without a value

    Style title;
    title.font.size = 14.5;
    title.font.italic = true;
    title.font.underline = true;
    title.font.strikeout = true;
    title.halign = HAlign::CenterAcross;
    title.wrap = true;
    s.setText(10, 2, w("Заголовок отчёта"));
    s.setStyle(10, 2, title);
    s.merge({10, 2, 11, 4});
    s.merge({20, 1, 20, 8});

    s.setColWidth(2, 3000);
    s.setColHidden(3, true);
    s.setColPageBreak(5, true);
    s.setRowHeight(3, 400);
    s.setRowHidden(4, true);
    s.setRowHeading(5, "12");
    s.setRowPageBreak(6, true);
    s.setSelection({3, 2, 4, 3});
    s.setSelection({5, 5, 6, 5}, true);
    s.setActiveCell(6, 5);

    PrintSettings& p = s.print();
    p.area = "$A$1:$H$40";
    p.titles = "$1:$2";
    p.header = w("&CОтчёт");
    p.footer = "&P";
    p.leftMargin = 0.4;
    p.topMargin = 0.25;
    p.landscape = true;
    p.gridLines = true;
    p.hCenter = true;
    p.fitToPage = true;
    p.fitVPages = 2;
    p.scale = 80;
    p.paperSize = 8;
    p.copies = 2;

    DrawnObject rect;
    rect.kind = ObjectKind::Rectangle;
    rect.x1 = 1.5, rect.y1 = 2.25, rect.x2 = 3, rect.y2 = 4.75;
    rect.lineColor = rgb(0, 128, 0);
    rect.fillColor = rgb(200, 200, 255);
    rect.lineStyle = 1;
    s.addObject(rect);
    DrawnObject gone;
    int goneId = s.addObject(gone);
    DrawnObject check;
    check.kind = ObjectKind::CheckBox;
    check.x1 = 5, check.y1 = 1, check.x2 = 6, check.y2 = 2;
    check.text = w("Учитывать");
    check.value = 1;
    check.linkedCell = "B5";
    check.selected = true;
    s.addObject(check);
    DrawnObject list;
    list.kind = ObjectKind::ListBox;
    list.items = {w("первый"), "second", ""};
    list.inputRange = "A1:A3";
    list.value = 2;
    s.addObject(list);
    DrawnObject poly;
    poly.kind = ObjectKind::Polygon;
    poly.points = {{1, 1}, {2.5, 1.125}, {1.75, 3}};
    s.addObject(poly);
    DrawnObject chart;
    chart.kind = ObjectKind::Chart;
    chart.inputRange = "B2:C4";
    chart.chartType = 1;
    s.addObject(chart);
    DrawnObject pic;
    pic.kind = ObjectKind::Picture;
    pic.image = std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff", 17);
    pic.heightPx = 48;
    s.addObject(pic);
    s.removeObject(goneId);

    Sheet& d = book.sheet(2);
    d.setName("Data");
    d.setMaxRow(3);
    d.setMaxCol(2);
    d.setNumber(1, 1, -0.5);
    d.setText(3, 2, "last");
    d.setColWidth(1, 5000);

    book.setMode(2);
    ViewOptions v;
    v.showGridLines = false;
    v.showTabs = true;
    v.showZeroValues = false;
    v.hdrWidth = 40;
    v.viewScale = 75;
    v.backColor = rgb(240, 240, 240);
    v.mousePointer = 11;
    book.setView(v);
    book.allow().allowFormulas = false;
    book.allow().allowDelete = false;
    book.events().doSelChange = false;
    book.events().doEndRecalc = false;
    book.setAutoRecalc(false);
    book.setCurrentSheet(2);
}

std::string compareGolden(const std::string& name, const std::string& actual) {
    const std::string path = std::string(FC_TEST_DATA) + "/" + name;
    const char* update = std::getenv("FC_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::ofstream(path, std::ios::binary) << actual;
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "missing golden file " + path + " (FC_UPDATE_GOLDEN=1 writes it)";
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    const std::string expected = ss.str();
    if (expected == actual) {
        return {};
    }
    std::size_t i = 0;
    while (i < expected.size() && i < actual.size() && expected[i] == actual[i]) {
        ++i;
    }
    const std::size_t from = i > 60 ? i - 60 : 0;
    return "differs from " + path + " at byte " + std::to_string(i) + "\nexpected: ..." +
           expected.substr(from, 120) + "\nactual:   ..." + actual.substr(from, 120);
}

} // namespace fc
