#include "exchange/SheetProperty.h"

#include "components/model/Workbook.h"

namespace fc {

namespace {

constexpr double inches(double cm) { return cm / 2.54; }

} // namespace

void resultPermissions(Workbook& book) {
    Permissions& p = book.allow();
    p.allowFormulas = true;
    p.allowFillRange = true;
    p.allowFormatByEntry = true;
    p.allowInCellEditing = false;
    p.allowMoveRange = false;
    p.allowDelete = false;
    p.allowEditHeaders = false;
}

void Sheet_Property(Workbook& book) {
    Sheet& sh = book.sheet(1);
    PrintSettings& print = sh.print();
    print.paperSize = 9;
    print.topMargin = inches(1.27);
    print.leftMargin = inches(1.27);
    print.bottomMargin = inches(1.905);
    print.rightMargin = 0;
    print.headerMargin = inches(0.508);
    print.footerMargin = inches(0.508);
    print.header.clear();
    print.footer.clear();
    print.gridLines = false;
    print.noColor = true;

    sh.setMaxCol(50);
    sh.setMaxRow(10);
    sh.setColWidth(1, 256);

    ViewOptions v = book.view();
    v.hdrHeight = 255;
    v.hdrWidth = 450;
    v.showColHeading = true;
    v.showRowHeading = false;
    v.showGridLines = false;
    v.showZeroValues = false;
    v.showFormulas = false;
    v.showHScrollBar = true;
    v.showVScrollBar = true;
    v.backColor = rgb(255, 255, 255);
    book.setView(v);

    resultPermissions(book);
    book.setAutoRecalc(false);
    book.events().doSelChange = false;
    book.events().doStartRecalc = false;
    book.setCurrentSheet(1);
    book.setDefaultFont("FixedSys", 10);
}

} // namespace fc
