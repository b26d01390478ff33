// Excel files made elsewhere: a Mac workbook counting its dates from 1904, and an Excel
// 5.0/95 workbook, read side by side with xlrd.
#include "ExcelReaders.h"

#include "components/format/FileType.h"
#include "components/format/NativeFile.h"
#include "components/format/XlsReader.h"
#include "components/format/XlsWriter.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <QFile>
#include <QJsonArray>

#include <gtest/gtest.h>

namespace fc {
namespace {

using test::TempDir;

const std::string kMac = std::string(FC_TEST_DATA) + "/excel/mac-1904-dates.xls";
const std::string kExcel95 = std::string(FC_TEST_DATA) + "/excel/excel95.xls";

// Days from 30 December 1899 (the 1900 count's day 0) to 1 January 1904.
constexpr double kDays1904 = 1462;

// Every cell of xlrd's first sheet that it calls a date (type 3), with our number for it.
struct DateCell {
    int row, col;
    double xlrd; // as the file counts
    double ours; // in the 1900 count
};
std::vector<DateCell> dateCells(const QJsonObject& json, const Workbook& book) {
    std::vector<DateCell> out;
    const QJsonObject cells = json["sheets"].toArray()[0].toObject()["cells"].toObject();
    for (auto it = cells.begin(); it != cells.end(); ++it) {
        const QJsonObject c = it.value().toObject();
        if (c["type"].toInt() != 3) {
            continue;
        }
        const QStringList rc = it.key().split(QLatin1Char(','));
        const int r = rc[0].toInt(), col = rc[1].toInt();
        out.push_back({r, col, c["value"].toDouble(), book.sheet(1).number(r, col)});
    }
    return out;
}

TEST(XlsDateSystem, AMacWorkbooksDatesAreTheDatesXlrdReads) {
    FC_READ_WITH("dump_xls.py", kMac, json);
    ASSERT_EQ(json["datemode"].toInt(), 1);
    Workbook book;
    std::string error;
    ASSERT_TRUE(readXls(kMac, book, error)) << error;
    EXPECT_TRUE(book.date1904());
    const std::vector<DateCell> dates = dateCells(json, book);
    ASSERT_FALSE(dates.empty());
    for (const DateCell& d : dates) {
        // xlrd counts from 1 January 1904 for this file (its xldate_as_tuple with datemode 1).
        EXPECT_EQ(d.ours, d.xlrd + kDays1904) << d.row << "," << d.col;
    }
    EXPECT_EQ(book.sheet(1).text(2, 2), "23.03.1964");
    EXPECT_EQ(book.sheet(1).number(3, 2), 12345) << "numbers that are no dates stay as they are";
}

TEST(XlsDateSystem, WrittenAgainTheWorkbookCountsFrom1904) {
    Workbook book;
    std::string error;
    ASSERT_TRUE(readXls(kMac, book, error)) << error;
    const double date = book.sheet(1).number(2, 2);
    TempDir dir;
    const std::string path = dir.path("again.xls");
    ASSERT_TRUE(writeXls(path, book, error)) << error;
    FC_READ_WITH("dump_xls.py", path, json);
    EXPECT_EQ(json["datemode"].toInt(), 1);
    const QJsonObject cells = json["sheets"].toArray()[0].toObject()["cells"].toObject();
    EXPECT_EQ(cells["2,2"].toObject()["value"].toDouble(), date - kDays1904);
    EXPECT_EQ(cells["3,2"].toObject()["value"].toDouble(), 12345);

    Workbook back;
    ASSERT_TRUE(readXls(path, back, error)) << error;
    EXPECT_TRUE(back.date1904());
    EXPECT_EQ(back.sheet(1).number(2, 2), date) << "the program's own count round trips";

    // The program's own file and the undo images keep the date system.
    Workbook native;
    ASSERT_TRUE(native::read(native::write(book), native, error)) << error;
    EXPECT_TRUE(native.date1904());
    Workbook plain;
    EXPECT_FALSE(native::write(plain).empty());
    ASSERT_TRUE(native::read(native::write(plain), native, error)) << error;
    EXPECT_FALSE(native.date1904());
}

TEST(XlsDateSystem, ADateBefore1904KeepsThe1900Count) {
    Workbook book;
    std::string error;
    ASSERT_TRUE(readXls(kMac, book, error)) << error;
    Style st = book.sheet(1).style(2, 2);
    book.sheet(1).setNumber(8, 2, 366); // 31 December 1900
    book.sheet(1).setStyle(8, 2, st);
    TempDir dir;
    const std::string path = dir.path("old-date.xls");
    ASSERT_TRUE(writeXls(path, book, error)) << error;
    FC_READ_WITH("dump_xls.py", path, json);
    EXPECT_EQ(json["datemode"].toInt(), 0) << "1904 cannot count a day of 1900";
    const QJsonObject cells = json["sheets"].toArray()[0].toObject()["cells"].toObject();
    EXPECT_EQ(cells["8,2"].toObject()["value"].toDouble(), 366);
    EXPECT_EQ(cells["2,2"].toObject()["value"].toDouble(), book.sheet(1).number(2, 2));
}

TEST(XlsDateSystem, AnExcel95WorkbookIsNamedNotCalledDamaged) {
    FC_READ_WITH("dump_xls.py", kExcel95, json); // xlrd reads it: it is whole
    Workbook book;
    book.sheet(1).setText(1, 1, "kept");
    std::string error;
    EXPECT_EQ(readWorkbookFile(kExcel95, book, error), 0);
    const std::string shown = cp1251::toUtf8(error);
    EXPECT_NE(shown.find("Excel 5.0/95"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Excel 97-2003"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("повреждён"), std::string::npos) << shown;
    EXPECT_EQ(book.sheet(1).text(1, 1), "kept");

    // A damaged Excel 97 file is still called damaged.
    TempDir dir;
    Workbook sample;
    sample.sheet(1).setText(1, 1, "x");
    const std::string path = dir.path("cut.xls");
    ASSERT_TRUE(writeXls(path, sample, error)) << error;
    QFile f(QString::fromStdString(path));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    QByteArray bytes = f.readAll();
    // The Workbook stream starts with its BOF: break the record after it.
    const int bof = bytes.indexOf(QByteArray::fromHex("0908100000060500"));
    ASSERT_GE(bof, 0);
    bytes[bof + 20] = '\xFF';
    bytes[bof + 21] = '\xFF';
    bytes[bof + 22] = '\xFF';
    bytes[bof + 23] = '\x7F';
    f.seek(0);
    f.write(bytes);
    f.close();
    EXPECT_EQ(readWorkbookFile(path, book, error), 0);
    EXPECT_NE(cp1251::toUtf8(error).find("повреждён"), std::string::npos) << cp1251::toUtf8(error);
}

} // namespace
} // namespace fc
