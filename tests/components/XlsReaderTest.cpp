#include "ExcelReaders.h"
#include "ExcelSample.h"

#include "components/format/CompoundFile.h"
#include "components/format/FileType.h"
#include "components/format/XlsFormula.h"
#include "components/format/XlsReader.h"
#include "components/format/XlsWriter.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <QFile>

#include <gtest/gtest.h>

namespace fc {
namespace {

std::vector<std::uint8_t> sampleBytes() {
    Workbook book;
    test::fillSample(book);
    return xlsBytes(book);
}

TEST(XlsReader, RoundTripKeepsValuesFormulasAndFormats) {
    Workbook original;
    test::fillSample(original);
    std::vector<std::uint8_t> bytes = xlsBytes(original);
    Workbook book;
    std::string error;
    ASSERT_TRUE(readXlsBytes(bytes.data(), bytes.size(), book, error)) << error;
    EXPECT_FALSE(book.needsRecalc()) << "the results the file holds stay";
    ASSERT_EQ(book.numSheets(), 2);
    for (int n = 1; n <= 2; ++n) {
        const Sheet& a = original.sheet(n);
        const Sheet& b = book.sheet(n);
        SCOPED_TRACE(a.name());
        EXPECT_EQ(b.name(), a.name());
        for (int r = 1; r <= 10; ++r) {
            for (int c = 1; c <= 5; ++c) {
                SCOPED_TRACE(std::to_string(r) + "," + std::to_string(c));
                // A formula the file cannot hold comes back as its result.
                bool expressible = a.formula(r, c).find("NOSUCH") == std::string::npos;
                EXPECT_EQ(b.value(r, c), a.value(r, c));
                EXPECT_EQ(b.formula(r, c), expressible ? a.formula(r, c) : "");
                EXPECT_TRUE(b.style(r, c) == a.style(r, c));
            }
        }
        EXPECT_EQ(b.merges(), a.merges());
        EXPECT_EQ(b.print(), a.print());
        EXPECT_EQ(b.fixedRows(), a.fixedRows());
        EXPECT_EQ(b.fixedCols(), a.fixedCols());
        for (int c = 1; c <= 5; ++c) {
            EXPECT_EQ(b.colWidth(c), a.colWidth(c)) << c;
            EXPECT_EQ(b.colHidden(c), a.colHidden(c)) << c;
        }
        for (int r = 1; r <= 10; ++r) {
            EXPECT_EQ(b.rowHeight(r), a.rowHeight(r)) << r;
            EXPECT_EQ(b.rowHidden(r), a.rowHidden(r)) << r;
            EXPECT_EQ(b.rowPageBreak(r), a.rowPageBreak(r)) << r;
        }
    }
    EXPECT_EQ(book.sheet(1).maxRow(), 8);
    EXPECT_EQ(book.sheet(1).maxCol(), 4);
    EXPECT_FALSE(book.modified());
}

struct FormulaCase {
    const char* name;
    const char* source;
    const char* readBack; // nullptr: the same as the source
};

TEST(XlsFormula, CompilesAndReadsBack) {
    const FormulaCase cases[] = {
        {"arithmetic", "1+2*3-4/5", nullptr},
        {"powerAndUnary", "-A1^2+B2%", nullptr},
        {"parentheses", "(A1+B1)*C1", nullptr},
        {"comparisonAndConcat", "IF(A1<>\"\";A1&\" р.\";\"-\")", nullptr},
        {"commaSeparator", "ROUND(A1,2)", "ROUND(A1;2)"},
        {"absoluteAndRange", "SUM($A$1:B$10)+A$2-$B3", nullptr},
        {"wholeColumnsAndRows", "SUM(A:B)+SUM(3:4)", "SUM(A$1:B$65536)+SUM($A3:$IV4)"},
        {"otherSheet", "Data!A1+'Отчёт'!B2:C3", nullptr},
        {"largeAndFractionalNumbers", "70000+0.25", nullptr},
        {"booleanAndError", "IF(TRUE;#N/A;FALSE)", nullptr},
        {"missingArgument", "IF(A1;;2)", nullptr},
        {"serverTotals",
         "(SUMIF(INDIRECT(ADDRESS(5;1;4)&\":\"&ADDRESS(9;1;4)); \"<>[2]\"; "
         "INDIRECT(ADDRESS(5;3;4)&\":\"&ADDRESS(9;3;4))))",
         "(SUMIF(INDIRECT(ADDRESS(5;1;4)&\":\"&ADDRESS(9;1;4));\"<>[2]\";"
         "INDIRECT(ADDRESS(5;3;4)&\":\"&ADDRESS(9;3;4))))"},
        {"quotesInText", "\"a\"\"b\"", nullptr},
        {"lowerCaseFunction", "sum(a1)", "SUM(A1)"},
        {"noArguments", "TODAY()+PI()", nullptr},
    };
    const std::vector<std::string> sheets = {"Data", w("Отчёт")};
    auto indexOf = [&](std::string_view n) {
        for (std::size_t i = 0; i < sheets.size(); ++i) {
            if (cp1251::upper(sheets[i]) == cp1251::upper(n)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    };
    auto nameOf = [&](int i) {
        return i >= 0 && i < 2 ? sheets[static_cast<std::size_t>(i)] : std::string();
    };
    for (const FormulaCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> tokens;
        ASSERT_TRUE(xls::compileFormula(w(c.source), indexOf, tokens));
        std::string back;
        ASSERT_TRUE(xls::decompileFormula(tokens.data(), tokens.size(), nameOf, back));
        EXPECT_EQ(cp1251::toUtf8(back), c.readBack ? c.readBack : c.source);
    }
}

TEST(XlsFormula, RefusesWhatTheFileCannotHold) {
    const char* cases[] = {
        "NOSUCHFUNCTION(1)",
        "ROUND(1)",
        "SUM(A1",
        "A1+",
        "MyName*2",
        "Unknown!A1",
        "IV1+IW1",
        "A65537",
        "\"unterminated",
        "1 2",
        "SUM((A1,B1))",
        "#WHAT?",
        "",
    };
    for (const char* c : cases) {
        SCOPED_TRACE(c);
        std::vector<std::uint8_t> tokens;
        EXPECT_FALSE(xls::compileFormula(
            c, [](std::string_view) { return -1; }, tokens));
    }
    std::string longText = "\"" + std::string(256, 'x') + "\"";
    std::vector<std::uint8_t> tokens;
    EXPECT_FALSE(xls::compileFormula(longText, nullptr, tokens));
}

TEST(CompoundFile, StreamsOfEverySizeComeBack) {
    // Mini stream, the cut-off, regular sectors, and past 109 sector-table sectors.
    for (std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(4095), std::size_t(4096),
                             std::size_t(70001), std::size_t(7500000)}) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> data(size);
        for (std::size_t i = 0; i < size; ++i) {
            data[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
        }
        std::vector<std::uint8_t> file = xls::CompoundFile::build(u"Workbook", data);
        EXPECT_EQ(file.size() % 512, 0u);
        xls::CompoundFile cf;
        std::string error;
        ASSERT_TRUE(cf.open(file.data(), file.size(), error)) << error;
        std::vector<std::uint8_t> back;
        ASSERT_TRUE(cf.read(u"workbook", back, error)) << error;
        EXPECT_TRUE(back == data);
        EXPECT_FALSE(cf.read(u"Book", back, error));
    }
}

TEST(XlsReader, DamagedFilesGiveAnErrorAndLeaveTheWorkbook) {
    const std::vector<std::uint8_t> good = sampleBytes();
    auto check = [](const std::vector<std::uint8_t>& bytes) {
        Workbook book;
        book.sheet().setText(1, 1, "untouched");
        std::string error;
        if (!readXlsBytes(bytes.data(), bytes.size(), book, error)) {
            EXPECT_FALSE(error.empty());
            EXPECT_EQ(book.sheet().text(1, 1), "untouched");
            EXPECT_EQ(book.numSheets(), 1);
        }
    };
    // Cut at many places, headers and sector tables included.
    for (std::size_t n = 0; n < good.size(); n += good.size() < 5000 ? 13 : 61) {
        SCOPED_TRACE("cut at " + std::to_string(n));
        check(std::vector<std::uint8_t>(good.begin(), good.begin() + static_cast<long>(n)));
    }
    // Bytes overwritten, a few at a time, everywhere.
    std::uint32_t seed = 12345;
    for (int round = 0; round < 400; ++round) {
        std::vector<std::uint8_t> bad = good;
        for (int k = 0; k < 4; ++k) {
            seed = seed * 1103515245u + 12345u;
            std::size_t at = (seed >> 8) % bad.size();
            seed = seed * 1103515245u + 12345u;
            bad[at] = static_cast<std::uint8_t>(seed >> 16);
        }
        SCOPED_TRACE("round " + std::to_string(round));
        check(bad);
    }
}

TEST(XlsReader, NotAnExcelFile) {
    struct Case {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"text", {'h', 'e', 'l', 'l', 'o'}},
        {"containerWithoutWorkbook", xls::CompoundFile::build(u"Other", {1, 2, 3})},
        {"oldExcel", xls::CompoundFile::build(u"Book", {9, 8, 0, 0})},
        {"notBiff", xls::CompoundFile::build(u"Workbook", std::vector<std::uint8_t>(5000, 0))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Workbook book;
        std::string error;
        EXPECT_FALSE(readXlsBytes(c.bytes.data(), c.bytes.size(), book, error));
        EXPECT_FALSE(error.empty());
    }
    Workbook book;
    std::string error;
    EXPECT_FALSE(readXls(std::string("/no/such/file.xls"), book, error));
    EXPECT_NE(error.find("/no/such/file.xls"), std::string::npos);
}

// A file another spreadsheet program wrote (its own record order, fonts, palette, shared
// strings and formula tokens), made from the sample workbook.
TEST(XlsReader, ReadsAFileOfAnotherWriter) {
    Workbook book;
    std::string error;
    ASSERT_TRUE(readXls(std::string(FC_TEST_DATA) + "/excel/other-writer.xls", book, error))
        << error;
    ASSERT_EQ(book.numSheets(), 2);
    const Sheet& s = book.sheet(1);
    EXPECT_EQ(s.name(), w("Отчёт"));
    EXPECT_EQ(s.text(1, 1), w("Ведомость за март"));
    EXPECT_EQ(s.style(1, 1).font.name, "Times New Roman");
    EXPECT_TRUE(s.style(1, 1).font.bold);
    EXPECT_EQ(s.style(1, 1).font.color, rgb(0x12, 0x34, 0x56));
    EXPECT_EQ(s.number(2, 1), 1234.5);
    EXPECT_EQ(s.style(2, 1).numberFormat, "# ##0.00");
    EXPECT_EQ(s.formula(3, 3), "=SUM(A2:C2)");
    EXPECT_NEAR(s.number(3, 3), 1230.64159265359, 1e-9);
    EXPECT_EQ(s.style(5, 2).border(BorderSide::Bottom).style, BorderStyle::Double);
    EXPECT_EQ(s.style(5, 2).border(BorderSide::Bottom).color, rgb(255, 0, 0));
    EXPECT_EQ(s.merges(), (std::vector<CellRange>{{1, 1, 1, 4}}));
    EXPECT_EQ(s.colWidth(1), 30 * 256);
    EXPECT_TRUE(s.colHidden(3));
    EXPECT_EQ(s.rowHeight(6), 900);
    EXPECT_TRUE(s.rowHidden(8));
    EXPECT_TRUE(s.rowPageBreak(7));
    EXPECT_EQ(s.print().area, "$A$1:$D$10");
    EXPECT_EQ(s.print().titles, "$1:$2");
    EXPECT_TRUE(s.print().landscape);
    EXPECT_EQ(book.sheet(2).formula(1, 1), w("='Отчёт'!A2*2"));
    EXPECT_EQ(book.sheet(2).text(1, 2), test::longText());
}

TEST(ExcelFileType, FrontDoorReadsAndWritesBothFormats) {
    Workbook original;
    test::fillSample(original);
    test::TempDir dir;
    std::string error;
    // Type 11 by the name: ".xls" is Excel 97, ".xlsx" (any case) Excel 2007.
    ASSERT_TRUE(writeWorkbookFile(dir.path("book.xls"), kFileExcel97, original, error)) << error;
    ASSERT_TRUE(writeWorkbookFile(dir.path("book.XLSX"), kFileExcel97, original, error)) << error;
    for (const char* name : {"book.xls", "book.XLSX"}) {
        QFile f(QString::fromStdString(dir.path(name)));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.read(2), std::string(name).back() == 's' ? "\xD0\xCF" : "PK") << name;
    }
    Workbook book;
    book.setAutoRecalc(false);
    EXPECT_EQ(readWorkbookFile(dir.path("book.xls"), book, error), kFileExcel97) << error;
    EXPECT_EQ(book.sheet(1).text(1, 1), original.sheet(1).text(1, 1));
    EXPECT_EQ(book.numSheets(), 2);

    // A damaged Excel file through the same door: a message, the workbook kept.
    std::vector<std::uint8_t> bytes = sampleBytes();
    bytes.resize(bytes.size() / 2);
    {
        QFile f(QString::fromStdString(dir.path("cut.xls")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    }
    EXPECT_EQ(readWorkbookFile(dir.path("cut.xls"), book, error), 0);
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(book.numSheets(), 2);
}

} // namespace
} // namespace fc
