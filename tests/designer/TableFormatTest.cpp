#include "DosText.h"

#include "components/model/TextMeasurer.h"
#include "components/model/Workbook.h"
#include "designer/DesignerSheet.h"
#include "designer/TableFormatWriter.h"
#include "designer/TemplateReader.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::dos;
using test::dosLines;
using test::win;

std::string write(const Workbook& book) { return TableFormatWriter(book).write(); }

TemplateReadReport read(std::string_view bytes, Workbook& book) {
    return TemplateReader().read(bytes, book);
}

Style boldCentredBoxed(const Workbook& book) {
    Style s;
    s.font = book.defaultFont();
    s.font.bold = true;
    s.halign = HAlign::Center;
    for (Border& b : s.borders) {
        b.style = BorderStyle::Thin;
    }
    return s;
}

TEST(TableFormatWriter, SmallWorkbookByteForByte) {
    Workbook book;
    book.setDefaultFont("Fixedsys", 10);
    Sheet& s = book.sheet();
    s.setName(win("Форма"));
    s.setMaxCol(3);
    s.setMaxRow(4);
    s.setColWidth(2, 1000);
    s.print().leftMargin = 0.5;
    s.print().topMargin = 0.4999995;
    s.print().bottomMargin = 0.75;
    s.print().noColor = true;
    s.print().landscape = true;
    s.print().footer = win("Стр. &P");
    s.setText(1, 1, ";fix=1");
    s.setStyle(2, 2, boldCentredBoxed(book));
    s.setText(2, 2, win("Итого"));
    Style money;
    money.font = book.defaultFont();
    money.numberFormat = "0.00";
    s.setStyle(2, 3, money);
    s.setNumber(2, 3, 12.5);
    designer::setFixedHeight(s, 3, 300);
    Style wrap;
    wrap.font = book.defaultFont();
    wrap.wrap = true;
    s.setStyle(3, 2, wrap);
    s.setText(3, 2, "x");
    s.merge({3, 2, 3, 3});

    EXPECT_EQ(write(book), dosLines({
                               ";table  Форма",
                               ";colw[2 ]=1000",
                               ";colw[3 ]=2304",
                               ";maxcol=3",
                               ";;0=Fixedsys,10",
                               ";LEFT=12.25",
                               ";FOOTER=Стр. &P",
                               ";LAND",
                               ";;1=Fixedsys,10,b,,,,",
                               ";fix=1",
                               "&&",
                               "&2 <1>Итого|1111cb     ",
                               "&3 12.5|0000lb     |0.00",
                               "&&300",
                               "&2 x|0000lbw 1 0",
                               "&&",
                           }));
}

TEST(TableFormatWriter, HeaderLineAndThreeDigitColumns) {
    Workbook book;
    book.setDefaultFont("Fixedsys", 10);
    Sheet& s = book.sheet();
    s.setMaxCol(120);
    s.setMaxRow(2);
    s.setText(1, 1, win("* Заголовок  "));
    s.setText(2, 115, "far");
    const std::string out = write(book);
    const std::vector<std::string> lines = test::utf8Lines(out);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0], "* Заголовок");
    EXPECT_EQ(lines[1], ";table"); // "Sheet1" is not written
    EXPECT_EQ(lines[2], ";col3");
    EXPECT_EQ(lines[3], ";colw[2  ]=2304");
    EXPECT_EQ(lines.back(), "&115far|0000lb     ");
    EXPECT_EQ(out.find(dos("* Заголовок"), 5), std::string::npos) << "row 1 is written once";

    Workbook back;
    read(out, back);
    EXPECT_EQ(back.sheet(1).text(1, 1), win("* Заголовок"));
    EXPECT_EQ(back.sheet(1).text(2, 115), "far");
    EXPECT_EQ(back.sheet(1).maxCol(), 120);
}

TEST(TableFormatWriter, StatementRowsDropTheirFormCellsAndKeepTheirFont) {
    Workbook book;
    book.setDefaultFont("Fixedsys", 10);
    Sheet& s = book.sheet();
    s.setMaxCol(3);
    s.setMaxRow(3);
    s.setText(1, 1, "IF A=1");
    s.setText(1, 2, "lost");
    Style big;
    big.font = book.defaultFont();
    big.font.size = 14;
    s.setStyle(2, 1, big);
    s.setText(2, 1, win("Крупный текст"));
    Style red = big;
    red.font.color = rgb(255, 0, 0);
    s.setStyle(3, 1, red);
    s.setText(3, 1, "<5> & co");
    const std::vector<std::string> lines = test::utf8Lines(write(book));
    const std::vector<std::string> rows(lines.end() - 3, lines.end());
    EXPECT_EQ(rows, (std::vector<std::string>{"IF A=1", "<1>Крупный текст", "<0><5> & co"}));
    EXPECT_EQ(lines[lines.size() - 4], ";;1=Fixedsys,14,,,,,");

    Workbook back;
    read(write(book), back);
    EXPECT_EQ(back.sheet(1).text(3, 1), "<5> & co");
    EXPECT_EQ(back.sheet(1).style(2, 1).font.size, 14);
    EXPECT_EQ(back.sheet(1).text(1, 2), "");
}

TEST(TableFormatWriter, StatementsShapedLikeDirectivesStayStatements) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(2);
    s.setMaxRow(6);
    const std::vector<std::string> shaped{";OBJECTS[ 12", ";table  x", ";;1=Arial,5", ";col3",
                                          ";MAXCOL=1"};
    for (std::size_t i = 0; i < shaped.size(); ++i) {
        s.setText(static_cast<int>(i) + 1, 1, shaped[i]);
    }
    s.setText(6, 2, "after");
    Workbook back;
    EXPECT_EQ(read(write(book), back).unreadableLines, 0);
    ASSERT_EQ(back.numSheets(), 1);
    for (std::size_t i = 0; i < shaped.size(); ++i) {
        EXPECT_EQ(back.sheet().text(static_cast<int>(i) + 1, 1), shaped[i]);
    }
    EXPECT_EQ(back.sheet().text(6, 2), "after");
    EXPECT_EQ(back.sheet().maxCol(), 2);
}

// Everything a save must keep, on two sheets, read back and saved again to the same bytes.
TEST(TableFormat, RoundTripKeepsTheForm) {
    Workbook book;
    book.setDefaultFont("Courier New", 9);
    book.setNumSheets(2);
    for (int n = 1; n <= 2; ++n) {
        Sheet& s = book.sheet(n);
        s.setName(n == 1 ? win("Баланс") : "Sheet2");
        s.setMaxCol(5);
        s.setMaxRow(6);
        for (int c = 2; c <= 5; ++c) {
            s.setColWidth(c, 1000 + 137 * c);
        }
        PrintSettings& p = s.print();
        p.leftMargin = 0.3;
        p.topMargin = 0.5;
        p.bottomMargin = 1.1;
        p.noColor = n == 2;
        p.fitToPage = true;
        p.fitVPages = n == 1 ? 1 : 1000;
        p.titles = "$1:$2";
        p.area = "$A$1:$E$6";
        p.header = win("Отчёт № &P");
        p.footer = win("ёЁ");
        p.landscape = n == 1;
        if (n == 2) {
            Style a1;
            a1.font.name = "Arial";
            a1.font.size = 8;
            s.setStyle(1, 1, a1);
        }
        Style st;
        st.font = s.style(1, 1).font;
        st.font.name = n == 1 ? book.defaultFont().name : "Arial";
        st.font.italic = true;
        st.font.color = rgb(0, 128, 0);
        st.halign = HAlign::Right;
        st.valign = VAlign::Top;
        st.wrap = true;
        st.borders[0].style = BorderStyle::Thin;
        st.borders[1].style = BorderStyle::Double;
        st.borders[2].style = BorderStyle::Dotted;
        st.borders[3].style = BorderStyle::Medium;
        st.fill = Fill{2, rgb(10, 20, 30), rgb(200, 210, 220)};
        st.numberFormat = "# ##0.00";
        s.setStyle(2, 2, st);
        s.setNumber(2, 2, 1234.5);
        s.merge({2, 2, 4, 3});
        Style left;
        left.font = st.font;
        left.font.italic = false;
        left.font.color = kAutoColor;
        left.font.size = n == 1 ? 9 : 8;
        left.halign = HAlign::Left;
        s.setStyle(5, 4, left);
        s.setText(5, 4, win("  с отступом"));
        s.setFormula(5, 5, "=D2*2");
        designer::setFixedHeight(s, 5, 421);
        Style grey;
        grey.font = s.style(1, 1).font;
        grey.font.color = rgb(128, 128, 128); // as the checker colours a comment
        s.setStyle(6, 1, grey);
        s.setText(6, 1, win("* комментарий"));
    }
    const std::string first = write(book);
    Workbook back;
    TemplateReadReport report = read(first, back);
    EXPECT_EQ(report.unreadableLines, 0);
    ASSERT_EQ(back.numSheets(), 2);
    EXPECT_EQ(back.defaultFont().name, "Courier New");
    EXPECT_EQ(back.defaultFont().size, 9);
    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE(n);
        const Sheet& a = book.sheet(n);
        const Sheet& b = back.sheet(n);
        EXPECT_EQ(b.maxCol(), 5);
        EXPECT_EQ(b.maxRow(), 6);
        for (int c = 2; c <= 5; ++c) {
            EXPECT_EQ(b.colWidth(c), a.colWidth(c));
        }
        const PrintSettings& p = b.print();
        EXPECT_DOUBLE_EQ(p.leftMargin, 0.3);
        EXPECT_DOUBLE_EQ(p.topMargin, 0.5);
        EXPECT_DOUBLE_EQ(p.bottomMargin, 1.1);
        EXPECT_EQ(p.noColor, n == 2);
        EXPECT_TRUE(p.fitToPage);
        EXPECT_EQ(p.fitVPages, n == 1 ? 1 : 1000);
        EXPECT_EQ(p.titles, "$1:$2");
        EXPECT_EQ(p.area, "$A$1:$E$6");
        EXPECT_EQ(p.header, win("Отчёт № &P"));
        EXPECT_EQ(p.footer, win("ёЁ"));
        EXPECT_EQ(p.landscape, n == 1);
        EXPECT_EQ(b.style(2, 2), a.style(2, 2));
        EXPECT_EQ(b.value(2, 2), Value::fromNumber(1234.5));
        ASSERT_EQ(b.merges().size(), 1u);
        EXPECT_EQ(b.merges()[0], (CellRange{2, 2, 4, 3}));
        EXPECT_EQ(b.style(5, 4), a.style(5, 4));
        EXPECT_EQ(b.text(5, 4), win("  с отступом"));
        EXPECT_EQ(b.formula(5, 5), "=D2*2");
        EXPECT_EQ(designer::fixedHeight(b, 5), 421);
        EXPECT_EQ(b.rowHeight(5), 421);
        EXPECT_EQ(b.style(6, 1).font.color, rgb(128, 128, 128)); // coloured as a comment
    }
    EXPECT_EQ(back.sheet(1).name(), win("Баланс"));
    EXPECT_EQ(back.sheet(2).name().rfind("Sheet", 0), 0u) << "the workbook's own name";
    EXPECT_EQ(back.sheet(2).style(1, 1).font.name, "Arial");
    EXPECT_EQ(back.sheet(2).style(1, 1).font.size, 8);
    EXPECT_EQ(write(back), first);
}

TEST(TableFormatReader, DirectivesByHand) {
    Workbook book;
    TemplateReadReport report = read(dosLines({
                                         ";table  Первый",
                                         ";COLW[2]=1500",
                                         ";colw[3 ]=-5",
                                         ";MAXCOL=4.4",
                                         ";;0=Arial,12",
                                         ";;1=Arial,12,,,,,color=r",
                                         ";;2=Arial,12,,,,,color=255",
                                         ";left=12.25",
                                         ";BOTTOM=abc",
                                         ";FTP",
                                         ";unknown directive",
                                         "&&",
                                         "&2 <1>a|0000lb",
                                         "&3 <2>b|0000lb",
                                         "&4 <75>c|0000lb",
                                         "&xx bad|0000lb",
                                         ";OBJ=1.00|2.00|0.50|1.00|3|2|[",
                                         ";TABLE  Второй",
                                         "текст",
                                     }),
                                     book);
    ASSERT_EQ(book.numSheets(), 2);
    const Sheet& s = book.sheet(1);
    EXPECT_EQ(s.name(), win("Первый"));
    EXPECT_EQ(s.colWidth(2), 1500);
    EXPECT_FALSE(s.colHasOwnWidth(3));
    EXPECT_EQ(s.maxCol(), 4);
    EXPECT_EQ(book.defaultFont().name, "Arial");
    EXPECT_DOUBLE_EQ(s.print().leftMargin, 0.5);
    EXPECT_DOUBLE_EQ(s.print().bottomMargin, 0.75);
    EXPECT_TRUE(s.print().fitToPage);
    EXPECT_EQ(s.print().fitVPages, 1000);
    EXPECT_EQ(s.text(1, 1), ";unknown directive");
    EXPECT_EQ(s.style(1, 1).font.color, rgb(255, 0, 0));
    EXPECT_EQ(s.style(2, 2).font, s.style(2, 3).font); // a letter and its number agree
    EXPECT_EQ(s.style(2, 4).font, book.defaultFont()); // no font 75: the default
    EXPECT_EQ(s.text(2, 4), "c");
    EXPECT_EQ(s.text(2, 5), "OBJ=1.00|2.00|0.50|1.00|3|2|[");
    EXPECT_EQ(s.rowHeading(1), "11");
    EXPECT_EQ(s.rowHeading(2), "12");
    EXPECT_EQ(report.unreadableLines, 1);
    EXPECT_EQ(report.firstUnreadableLine, 16);
    // ";TABLE" in capitals: the next sheet is a text form.
    EXPECT_EQ(book.sheet(2).name(), win("Второй"));
    EXPECT_EQ(book.sheet(2).text(1, 1), win("текст"));
    EXPECT_EQ(book.sheet(2).maxCol(), 10);
    EXPECT_TRUE(book.view().showTabs);
}

TEST(TableFormatReader, AutomaticRowsFitTheirTexts) {
    const std::string file = dosLines({
        ";table",
        ";colw[2 ]=1000",
        ";colw[3 ]=1000",
        ";maxcol=3",
        ";;0=Fixedsys,10",
        ";;1=Fixedsys,20,,,,,",
        "&&",
        "&2 short|0000lb",
        "&&",
        "&2 <1>big|0000lb",
        "&&",
        "&2 " + std::string(100, 'w') + "|0000lbw 1 1",
        "&&",
        "&&500",
        "&2 fixed|0000lbw",
    });
    FixedTextMeasurer measurer;
    TemplateReadOptions options;
    options.measurer = &measurer;
    Workbook book;
    TemplateReader(options).read(file, book);
    const Sheet& s = book.sheet();
    const int plain = s.rowHeight(1);
    EXPECT_GT(plain, 0);
    EXPECT_EQ(s.rowHeight(2), 2 * plain) << "a font twice as large";
    EXPECT_EQ(s.rowHeight(3), s.rowHeight(4)) << "the merged area's rows share its height";
    EXPECT_GE(s.rowHeight(3), 5 * plain);
    EXPECT_EQ(s.rowHeight(5), 500) << "a fixed height stays";
    EXPECT_EQ(s.colWidth(2), 1000) << "widths are not changed by fitting";
}

TEST(TableFormatReader, MarginsAtTheThresholds) {
    Workbook book;
    book.sheet().print().leftMargin = 0.5;
    book.sheet().print().topMargin = 0.5;
    book.sheet().print().bottomMargin = 0.75;
    book.sheet().setText(1, 2, "x");
    book.sheet().setMaxCol(2);
    book.sheet().setMaxRow(1);
    const std::string out = write(book);
    EXPECT_NE(out.find(";LEFT=12.25\r\n"), std::string::npos);
    EXPECT_NE(out.find(";TOP=12.25\r\n"), std::string::npos);
    EXPECT_EQ(out.find(";BOTTOM="), std::string::npos);
    Workbook back;
    read(out, back);
    EXPECT_DOUBLE_EQ(back.sheet().print().bottomMargin, 0.75);
}

TEST(TableFormatWriter, PlainSheetIsATextForm) {
    Workbook book;
    Sheet& s = book.sheet();
    s.setMaxCol(4);
    s.setMaxRow(5);
    s.setText(1, 1, ";fix=1");
    s.setText(3, 1, win("Просто строка"));
    s.setRowPageBreak(4, true);
    s.setText(5, 1, "STOP");
    const std::string out = write(book);
    EXPECT_EQ(out, dosLines({";fix=1", "", "Просто строка", "PBK", "STOP"}));
    Workbook back;
    read(out, back);
    EXPECT_EQ(back.sheet().text(3, 1), win("Просто строка"));
    EXPECT_TRUE(back.sheet().rowPageBreak(4));
    EXPECT_EQ(back.sheet().maxRow(), 5);

    // Lines a text form would not read back as they are keep the table format.
    for (const char* line : {"-----", "|a|", "<1>z", "_____"}) {
        Workbook other;
        other.sheet().setMaxCol(3);
        other.sheet().setMaxRow(1);
        other.sheet().setText(1, 1, line);
        const std::string kept = write(other);
        EXPECT_NE(kept.find(";table"), std::string::npos) << line;
        Workbook again;
        read(kept, again);
        EXPECT_EQ(again.sheet().text(1, 1), line);
    }
}

TEST(TableFormatReader, CutAnywhereNeverLosesWhatCameBefore) {
    Workbook book;
    book.setDefaultFont("Fixedsys", 10);
    Sheet& s = book.sheet();
    s.setMaxCol(3);
    s.setMaxRow(3);
    s.setText(1, 1, "IF X");
    s.setStyle(2, 2, boldCentredBoxed(book));
    s.setText(2, 2, "abc");
    s.setText(3, 3, "def");
    const std::string out = write(book);
    for (std::size_t cut = 0; cut <= out.size(); ++cut) {
        Workbook back;
        read(std::string_view(out).substr(0, cut), back);
        if (cut >= out.find("IF X") + 6) {
            ASSERT_EQ(back.sheet().text(1, 1), "IF X") << cut;
        }
    }
}

} // namespace
} // namespace fc
