#include "ExcelReaders.h"
#include "ExcelSample.h"

#include "components/format/XlsxWriter.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::TempDir;

std::string written(const Workbook& book, const TempDir& dir, const std::string& name) {
    std::string path = dir.path(name);
    std::string error;
    EXPECT_TRUE(writeXlsx(path, book, error)) << error;
    return path;
}

QJsonObject cellOf(const QJsonObject& sheet, int r, int c) {
    return sheet["cells"].toObject()[QString("%1,%2").arg(r).arg(c)].toObject();
}

TEST(XlsxWriter, ValuesFormulasAndResultsAsOpenpyxlReadsThem) {
    Workbook book;
    test::fillSample(book);
    TempDir dir;
    FC_READ_WITH("dump_xlsx.py", written(book, dir, "sample.xlsx"), json);
    const QJsonArray sheets = json["sheets"].toArray();
    ASSERT_EQ(sheets.size(), 2);
    const QJsonObject s = sheets[0].toObject();
    EXPECT_EQ(s["name"].toString(), QString::fromUtf8("Отчёт"));
    EXPECT_EQ(json["active"].toString(), QString::fromUtf8("Отчёт"));

    struct Row {
        const char* name;
        int r, c;
        const char* type;    // openpyxl data type
        const char* formula; // UTF-8, or nullptr
        QJsonValue value;    // the cached result for formulas
    } rows[] = {
        {"text", 1, 1, "s", nullptr, QString::fromUtf8("Ведомость за март")},
        {"number", 2, 1, "n", nullptr, 1234.5},
        {"boolean", 3, 1, "b", nullptr, true},
        {"error", 3, 2, "f", "=#DIV/0!", "#DIV/0!"},
        {"sum", 3, 3, "f", "=SUM(A2:C2)", 1230.64159265358979},
        {"textResult", 3, 4, "f", "=A1&\"!\"", QString::fromUtf8("Ведомость за март!")},
        {"unknownFunctionKeepsResult", 4, 1, "n", nullptr, 5},
        {"separatorsForExcel", 4, 2, "f", "=IF(A3,\"да\",\"нет\")", QString::fromUtf8("да")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QJsonObject c = cellOf(s, row.r, row.c);
        EXPECT_EQ(c["type"].toString(), row.type);
        if (row.formula) {
            EXPECT_EQ(c["formula"].toString(), QString::fromUtf8(row.formula));
        }
        if (row.value.isDouble()) {
            EXPECT_NEAR(c["value"].toDouble(), row.value.toDouble(), 1e-9);
        } else {
            EXPECT_EQ(c["value"], row.value);
        }
    }
    const QJsonObject d = sheets[1].toObject();
    EXPECT_EQ(cellOf(d, 1, 1)["formula"].toString(), QString::fromUtf8("='Отчёт'!A2*2"));
    EXPECT_EQ(cellOf(d, 1, 2)["value"].toString(), cp1251::toQString(test::longText()));
}

TEST(XlsxWriter, FormatsLayoutAndPageSetup) {
    Workbook book;
    test::fillSample(book);
    TempDir dir;
    FC_READ_WITH("dump_xlsx.py", written(book, dir, "sample.xlsx"), json);
    const QJsonObject s = json["sheets"].toArray()[0].toObject();

    EXPECT_EQ(cellOf(s, 1, 1)["font"].toArray(),
              (QJsonArray{"Times New Roman", 14, true, false, false, false, "123456"}));
    EXPECT_EQ(cellOf(s, 2, 2)["font"].toArray()[0].toString(), "Arial")
        << "cells of the default style carry the workbook's default font";
    EXPECT_EQ(cellOf(s, 5, 4)["font"].toArray(),
              (QJsonArray{"Arial", 10, false, true, true, true, QJsonValue()}));
    EXPECT_EQ(cellOf(s, 5, 2)["borders"].toArray(),
              (QJsonArray{QJsonArray{"thin", QJsonValue()}, QJsonArray{"medium", QJsonValue()},
                          QJsonArray{"dashed", "008000"}, QJsonArray{"double", "FF0000"}}));
    EXPECT_EQ(cellOf(s, 5, 3)["fill"].toArray(), (QJsonArray{"solid", "FFFF00", QJsonValue()}));
    EXPECT_EQ(cellOf(s, 5, 4)["fill"].toArray(), (QJsonArray{"darkGray", "0000FF", "FFFFFF"}));
    EXPECT_EQ(cellOf(s, 6, 1)["align"].toArray(), (QJsonArray{"right", "top", true}));
    EXPECT_EQ(cellOf(s, 2, 1)["format"].toString(), "#,##0.00");
    EXPECT_EQ(cellOf(s, 2, 4)["format"].toString(), "dd.mm.yyyy");

    EXPECT_EQ(s["merges"].toArray(), (QJsonArray{"A1:D1"}));
    EXPECT_NEAR(s["cols"].toObject()["1"].toArray()[0].toDouble(), 30.0, 1.0 / 256);
    EXPECT_TRUE(s["cols"].toObject()["3"].toArray()[1].toBool());
    EXPECT_DOUBLE_EQ(s["rows"].toObject()["6"].toArray()[0].toDouble(), 45.0);
    EXPECT_TRUE(s["rows"].toObject()["8"].toArray()[1].toBool());
    EXPECT_EQ(s["freeze"].toString(), "B3");
    EXPECT_EQ(s["breaks"].toArray(), (QJsonArray{6}));

    EXPECT_EQ(s["print_area"].toArray(), (QJsonArray{"$A$1:$D$10"}));
    EXPECT_EQ(s["title_rows"].toString(), "$1:$2");
    EXPECT_EQ(s["orientation"].toString(), "landscape");
    EXPECT_EQ(s["paper"].toInt(), 9);
    EXPECT_EQ(s["fit"].toArray()[0].toBool(), true);
    EXPECT_EQ(s["fit"].toArray()[2].toInt(), 2);
    EXPECT_EQ(s["margins"].toArray(), (QJsonArray{0.5, 0.6, 0.7, 0.8, 0.3, 0.35}));
    EXPECT_EQ(s["header"].toString(), QString::fromUtf8("Заголовок"));
    EXPECT_EQ(s["footer"].toString(), QString::fromUtf8("&P из &N"));
    EXPECT_TRUE(s["hcenter"].toBool());
}

TEST(XlsxWriter, MergesInEveryShapeSurviveConstantMemoryMode) {
    Workbook book;
    Sheet& s = book.sheet();
    Style boxed;
    boxed.border(BorderSide::Bottom) = {BorderStyle::Thin, kAutoColor};
    for (int r = 1; r <= 12; ++r) {
        for (int c = 1; c <= 4; ++c) {
            s.setText(r, c, std::to_string(r) + "," + std::to_string(c));
            s.setStyle(r, c, boxed);
        }
    }
    s.clear({10, 1, 11, 4});
    s.merge({1, 1, 1, 3});   // one row
    s.merge({2, 1, 4, 1});   // one column, ending while another is open
    s.merge({3, 2, 6, 4});   // a block
    s.merge({10, 1, 11, 2}); // ending past a row without cells
    s.merge({20, 5, 22, 6}); // past the last stored row
    TempDir dir;
    FC_READ_WITH("dump_xlsx.py", written(book, dir, "merges.xlsx"), json);
    const QJsonObject sh = json["sheets"].toArray()[0].toObject();
    EXPECT_EQ(sh["merges"].toArray(),
              (QJsonArray{"A10:B11", "A1:C1", "A2:A4", "B3:D6", "E20:F22"}));
    // First cells of the areas and cells written after an area's padding keep their texts
    // and borders (readers drop the values of the other cells under an area).
    for (auto [r, c] : {std::pair{1, 1}, {1, 4}, {2, 1}, {3, 2}, {6, 1}, {12, 4}}) {
        SCOPED_TRACE(std::to_string(r) + "," + std::to_string(c));
        QJsonObject cell = cellOf(sh, r, c);
        EXPECT_EQ(cell["value"].toString().toStdString(),
                  std::to_string(r) + "," + std::to_string(c));
        EXPECT_EQ(cell["borders"].toArray()[3].toArray()[0].toString(), "thin");
    }
}

TEST(XlsxWriter, UnwritablePathGivesAnErrorAndNoFile) {
    Workbook book;
    book.sheet().setText(1, 1, "x");
    TempDir dir;
    for (const std::string& path : {dir.path("no/such/dir/book.xlsx"), dir.path("")}) {
        SCOPED_TRACE(path);
        std::string error;
        EXPECT_FALSE(writeXlsx(path, book, error));
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    // Nothing but what the test made is left behind.
    std::string error;
    ASSERT_TRUE(writeXlsx(dir.path("ok.xlsx"), book, error)) << error;
    QStringList left = QDir(QString::fromStdString(dir.path("")))
                           .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    EXPECT_EQ(left, QStringList{"ok.xlsx"});
}

} // namespace
} // namespace fc
