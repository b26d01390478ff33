#include "ExcelSample.h"

#include "components/text/Cp1251.h"

namespace fc::test {

std::string longText() {
    std::string s;
    const std::string piece = w("Длинный текст ") + "long text ";
    while (s.size() < 10000) {
        s += piece;
    }
    s.resize(10000);
    return s;
}

void fillSample(Workbook& book) {
    book.setAutoRecalc(false);
    book.setNumSheets(2);
    Sheet& s = book.sheet(1);
    s.setName(w("Отчёт"));
    book.sheet(2).setName("Data");

    Style title;
    title.font.name = "Times New Roman";
    title.font.size = 14;
    title.font.bold = true;
    title.font.color = rgb(0x12, 0x34, 0x56);
    title.halign = HAlign::Center;
    s.setText(1, 1, w("Ведомость за март"));
    s.setStyle(1, 1, title);
    s.merge({1, 1, 1, 4});

    Style money;
    money.numberFormat = "# ##0.00";
    s.setNumber(2, 1, 1234.5);
    s.setStyle(2, 1, money);
    s.setNumber(2, 2, -7);
    s.setNumber(2, 3, 3.14159265358979);
    Style date;
    date.numberFormat = "dd.mm.yyyy";
    s.setNumber(2, 4, 45000);
    s.setStyle(2, 4, date);

    s.setValue(3, 1, Value::fromBool(true));
    s.setValue(3, 2, Value::fromError(ErrorCode::Div0));
    s.setFormula(3, 3, "SUM(A2:C2)");
    s.setFormulaResult(3, 3, Value::fromNumber(1230.64159265358979));
    s.setFormula(3, 4, "A1&\"!\"");
    s.setFormulaResult(3, 4, Value::fromText(w("Ведомость за март!")));
    s.setFormula(4, 1, "NOSUCHFUNCTION(1)");
    s.setFormulaResult(4, 1, Value::fromNumber(5));
    s.setFormula(4, 2, w("IF(A3;\"да\";\"нет\")"));
    s.setFormulaResult(4, 2, Value::fromText(w("да")));

    Style boxed;
    boxed.border(BorderSide::Left) = {BorderStyle::Thin, kAutoColor};
    boxed.border(BorderSide::Right) = {BorderStyle::Medium, kAutoColor};
    boxed.border(BorderSide::Top) = {BorderStyle::Dashed, rgb(0, 128, 0)};
    boxed.border(BorderSide::Bottom) = {BorderStyle::Double, rgb(255, 0, 0)};
    s.setText(5, 2, "boxed");
    s.setStyle(5, 2, boxed);
    Style solid;
    solid.fill = {1, rgb(255, 255, 0), kAutoColor};
    s.setStyle(5, 3, solid); // a styled empty cell
    Style hatch;
    hatch.fill = {3, rgb(0, 0, 255), rgb(255, 255, 255)};
    hatch.font.italic = true;
    hatch.font.underline = true;
    hatch.font.strikeout = true;
    s.setText(5, 4, "hatch");
    s.setStyle(5, 4, hatch);

    Style wrapped;
    wrapped.wrap = true;
    wrapped.valign = VAlign::Top;
    wrapped.halign = HAlign::Right;
    s.setText(6, 1, w("Текст, который переносится по словам в узкой колонке"));
    s.setStyle(6, 1, wrapped);

    s.setColWidth(1, 30 * 256);
    s.setColHidden(3, true);
    s.setRowHeight(6, 900);
    s.setRowHidden(8, true);
    s.setText(8, 1, "hidden row");
    s.setRowPageBreak(7, true);
    s.setFixedRows(1, 2);
    s.setFixedCols(1, 1);

    PrintSettings& p = s.print();
    p.landscape = true;
    p.leftMargin = 0.5;
    p.rightMargin = 0.6;
    p.topMargin = 0.7;
    p.bottomMargin = 0.8;
    p.headerMargin = 0.3;
    p.footerMargin = 0.35;
    p.header = w("&CЗаголовок");
    p.footer = w("&P из &N");
    p.area = "$A$1:$D$10";
    p.titles = "$1:$2";
    p.fitToPage = true;
    p.fitHPages = 1;
    p.fitVPages = 2;
    p.hCenter = true;
    p.gridLines = true;

    Sheet& d = book.sheet(2);
    d.setFormula(1, 1, w("'Отчёт'!A2*2"));
    d.setFormulaResult(1, 1, Value::fromNumber(2469));
    d.setText(1, 2, longText());
    d.setText(2, 1, w("ёЁ№€—«»"));
    book.setCurrentSheet(1);
}

} // namespace fc::test
