#include "ExcelReaders.h"
#include "ExcelSample.h"

#include "components/format/XlsWriter.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <QFile>
#include <QJsonArray>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::TempDir;

QString u(const std::string& cp1251Text) { return cp1251::toQString(cp1251Text); }

std::string written(const Workbook& book, const TempDir& dir, const std::string& name) {
    std::string path = dir.path(name);
    std::string error;
    EXPECT_TRUE(writeXls(path, book, error)) << error;
    return path;
}

QJsonObject cellOf(const QJsonObject& sheet, int r, int c) {
    return sheet["cells"].toObject()[QString("%1,%2").arg(r).arg(c)].toObject();
}

// xlrd cell types: 0 empty, 1 text, 2 number, 3 date, 4 boolean, 5 error, 6 blank.
struct ValueRow {
    const char* name;
    int row, col;
    int type;
    double number;    // for numbers, booleans, errors (xlrd's error code)
    const char* text; // UTF-8, for texts
};

TEST(XlsWriter, ValuesAndFormulaResultsAsXlrdReadsThem) {
    Workbook book;
    test::fillSample(book);
    TempDir dir;
    FC_READ_WITH("dump_xls.py", written(book, dir, "sample.xls"), json);
    const QJsonArray sheets = json["sheets"].toArray();
    ASSERT_EQ(sheets.size(), 2);
    EXPECT_EQ(sheets[0].toObject()["name"].toString(), QString::fromUtf8("Отчёт"));
    EXPECT_EQ(sheets[1].toObject()["name"].toString(), "Data");

    const ValueRow rows[] = {
        {"cyrillicText", 1, 1, 1, 0, "Ведомость за март"},
        {"decimal", 2, 1, 2, 1234.5, nullptr},
        {"negativeInteger", 2, 2, 2, -7, nullptr},
        {"fullPrecision", 2, 3, 2, 3.14159265358979, nullptr},
        {"date", 2, 4, 3, 45000, nullptr},
        {"boolean", 3, 1, 4, 1, nullptr},
        {"error", 3, 2, 5, 7, nullptr},
        {"formulaNumber", 3, 3, 2, 1230.64159265358979, nullptr},
        {"formulaText", 3, 4, 1, 0, "Ведомость за март!"},
        {"unknownFunctionKeepsResult", 4, 1, 2, 5, nullptr},
        {"ifWithSemicolons", 4, 2, 1, 0, "да"},
        {"styledEmpty", 5, 3, 6, 0, nullptr},
    };
    const QJsonObject first = sheets[0].toObject();
    for (const ValueRow& row : rows) {
        SCOPED_TRACE(row.name);
        QJsonObject c = cellOf(first, row.row, row.col);
        ASSERT_FALSE(c.isEmpty());
        EXPECT_EQ(c["type"].toInt(), row.type);
        if (row.text) {
            EXPECT_EQ(c["value"].toString(), QString::fromUtf8(row.text));
        } else if (row.type != 6) {
            EXPECT_DOUBLE_EQ(c["value"].toDouble(), row.number);
        }
    }
    const QJsonObject second = sheets[1].toObject();
    EXPECT_DOUBLE_EQ(cellOf(second, 1, 1)["value"].toDouble(), 2469);
    EXPECT_EQ(cellOf(second, 1, 2)["value"].toString(), u(test::longText()));
    EXPECT_EQ(cellOf(second, 2, 1)["value"].toString(), QString::fromUtf8("ёЁ№€—«»"));
}

TEST(XlsWriter, FontsBordersFillsAlignmentAndFormats) {
    Workbook book;
    test::fillSample(book);
    TempDir dir;
    FC_READ_WITH("dump_xls.py", written(book, dir, "sample.xls"), json);
    const QJsonObject s = json["sheets"].toArray()[0].toObject();

    QJsonArray font = cellOf(s, 1, 1)["font"].toArray();
    EXPECT_EQ(font[0].toString(), "Times New Roman");
    EXPECT_DOUBLE_EQ(font[1].toDouble(), 14);
    EXPECT_TRUE(font[2].toBool());
    EXPECT_EQ(font[6].toString(), "123456") << "a colour outside the default palette is kept";
    EXPECT_EQ(cellOf(s, 1, 1)["align"].toArray()[0].toInt(), 2);

    font = cellOf(s, 5, 4)["font"].toArray();
    EXPECT_TRUE(font[3].toBool());
    EXPECT_TRUE(font[4].toBool());
    EXPECT_TRUE(font[5].toBool());
    EXPECT_TRUE(cellOf(s, 2, 1)["font"].toArray()[6].isNull()) << "automatic colour";

    const QJsonArray b = cellOf(s, 5, 2)["borders"].toArray();
    EXPECT_EQ(b[0].toArray()[0].toInt(), 1);
    EXPECT_EQ(b[1].toArray()[0].toInt(), 2);
    EXPECT_EQ(b[2].toArray()[0].toInt(), 3);
    EXPECT_EQ(b[2].toArray()[1].toString(), "008000");
    EXPECT_EQ(b[3].toArray()[0].toInt(), 6);
    EXPECT_EQ(b[3].toArray()[1].toString(), "FF0000");

    QJsonArray fill = cellOf(s, 5, 3)["fill"].toArray();
    EXPECT_EQ(fill[0].toInt(), 1);
    EXPECT_EQ(fill[1].toString(), "FFFF00");
    fill = cellOf(s, 5, 4)["fill"].toArray();
    EXPECT_EQ(fill[0].toInt(), 3);
    EXPECT_EQ(fill[1].toString(), "0000FF");
    EXPECT_EQ(fill[2].toString(), "FFFFFF");

    const QJsonArray align = cellOf(s, 6, 1)["align"].toArray();
    EXPECT_EQ(align[0].toInt(), 3);
    EXPECT_EQ(align[1].toInt(), 0);
    EXPECT_EQ(align[2].toInt(), 1);

    EXPECT_EQ(cellOf(s, 2, 1)["format"].toString(), "#,##0.00") << "grouping spelled for Excel";
    EXPECT_EQ(cellOf(s, 2, 4)["format"].toString(), "dd.mm.yyyy");
    EXPECT_EQ(cellOf(s, 2, 2)["format"].toString(), "General");
}

TEST(XlsWriter, LayoutFrozenPanesAndPrintRanges) {
    Workbook book;
    test::fillSample(book);
    TempDir dir;
    FC_READ_WITH("dump_xls.py", written(book, dir, "sample.xls"), json);
    const QJsonObject s = json["sheets"].toArray()[0].toObject();
    EXPECT_EQ(s["merges"].toArray(), (QJsonArray{QJsonArray{1, 1, 1, 4}}));
    const QJsonObject cols = s["cols"].toObject();
    EXPECT_EQ(cols["1"].toArray()[0].toInt(), 30 * 256);
    EXPECT_TRUE(cols["3"].toArray()[1].toBool());
    EXPECT_FALSE(cols.contains("2")) << "default widths need no column record";
    EXPECT_EQ(s["defcolwidth"].toInt(), 9);
    const QJsonObject rows = s["rows"].toObject();
    EXPECT_EQ(rows["6"].toArray()[0].toInt(), 900);
    EXPECT_TRUE(rows["8"].toArray()[1].toBool());
    EXPECT_FALSE(rows["2"].toArray()[1].toBool());
    EXPECT_EQ(s["frozen"].toArray(), (QJsonArray{true, 2, 1}));
    EXPECT_EQ(s["hpagebreaks"].toArray(), (QJsonArray{6}));
    const QJsonObject names = s["names"].toObject();
    EXPECT_EQ(names["Print_Area"].toArray(), (QJsonArray{QJsonArray{0, 1, 0, 10, 0, 4}}));
    EXPECT_EQ(names["Print_Titles"].toArray(), (QJsonArray{QJsonArray{0, 1, 0, 2, 0, 256}}));
}

TEST(XlsWriter, PaletteKeepsEveryColourInUseUpToItsSize) {
    Workbook book;
    Sheet& s = book.sheet();
    // 60 colours that the default palette lacks: 56 fit exactly, the rest take the nearest.
    for (int i = 0; i < 60; ++i) {
        Style st;
        st.font.color = rgb(1 + i * 4, 2, 3);
        s.setText(i + 1, 1, "x");
        s.setStyle(i + 1, 1, st);
    }
    TempDir dir;
    FC_READ_WITH("dump_xls.py", written(book, dir, "colours.xls"), json);
    const QJsonObject sh = json["sheets"].toArray()[0].toObject();
    int exact = 0;
    for (int i = 0; i < 60; ++i) {
        QString want = QString("%1%2%3")
                           .arg(1 + i * 4, 2, 16, QChar('0'))
                           .arg(2, 2, 16, QChar('0'))
                           .arg(3, 2, 16, QChar('0'))
                           .toUpper();
        QString got = cellOf(sh, i + 1, 1)["font"].toArray()[6].toString();
        if (got == want) {
            ++exact;
        } else {
            // nearest: one of the kept neighbours, differing in red only
            EXPECT_TRUE(got.endsWith("0203")) << got.toStdString();
        }
    }
    EXPECT_EQ(exact, 56);
}

TEST(XlsWriter, ManyStringsAcrossRecordsAndManyRows) {
    Workbook book;
    book.setAutoRecalc(false);
    Sheet& s = book.sheet();
    // Strings of every length near the record size, repeated, wide and narrow.
    std::string base = test::longText();
    for (int r = 1; r <= 3000; ++r) {
        std::string t = base.substr(static_cast<std::size_t>(r * 7) % 9000,
                                    static_cast<std::size_t>(r % 97) * 30);
        s.setText(r, 1, t + std::to_string(r));
        s.setText(r, 2, r % 2 ? "odd" : w("чёт"));
    }
    // Numbers that need all 64 bits, enough of them for the extended sector table.
    for (int r = 1; r <= kMaxRows; ++r) {
        for (int c = 3; c <= 10; ++c) {
            s.setNumber(r, c, r + c / 3.0);
        }
    }
    TempDir dir;
    std::string path = written(book, dir, "big.xls");
    EXPECT_GT(QFile(QString::fromStdString(path)).size(), 109 * 128 * 512)
        << "large enough to need the extended sector table";
    std::string only = "65536,10";
    for (int r : {1, 2, 96, 97, 500, 1999, 3000}) {
        only += ";" + std::to_string(r) + ",1;" + std::to_string(r) + ",2";
    }
    FC_READ_WITH_OPTION("dump_xls.py", path, "--only=" + only, json);
    const QJsonObject sh = json["sheets"].toArray()[0].toObject();
    EXPECT_EQ(sh["nrows"].toInt(), kMaxRows);
    for (int r : {1, 2, 96, 97, 500, 1999, 3000}) {
        SCOPED_TRACE(r);
        std::string t = base.substr(static_cast<std::size_t>(r * 7) % 9000,
                                    static_cast<std::size_t>(r % 97) * 30);
        EXPECT_EQ(cellOf(sh, r, 1)["value"].toString(), u(t + std::to_string(r)));
        EXPECT_EQ(cellOf(sh, r, 2)["value"].toString(), u(r % 2 ? "odd" : w("чёт")));
    }
    EXPECT_DOUBLE_EQ(cellOf(sh, kMaxRows, 10)["value"].toDouble(), kMaxRows + 10 / 3.0);
}

TEST(XlsWriter, UnwritablePathGivesAnErrorAndNoFile) {
    Workbook book;
    book.sheet().setText(1, 1, "x");
    TempDir dir;
    struct Case {
        const char* name;
        std::string path;
    } cases[] = {
        {"missingDirectory", dir.path("no/such/dir/book.xls")},
        {"pathIsADirectory", dir.path("")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(writeXls(c.path, book, error));
        EXPECT_NE(error.find(c.path), std::string::npos) << error;
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(dir.path("no/such/dir/book.xls"))));
}

} // namespace
} // namespace fc
