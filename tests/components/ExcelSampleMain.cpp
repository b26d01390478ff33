// Writes the sample workbook of the Excel tests as DIR/sample.xls and DIR/sample.xlsx, for
// checks by programs outside the test run (scripts/check-excel-libreoffice.sh).
#include "ExcelSample.h"

#include "components/format/XlsWriter.h"
#include "components/format/XlsxWriter.h"
#include "components/text/Cp1251.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: excel_sample DIR\n", stderr);
        return 2;
    }
    fc::Workbook book;
    fc::test::fillSample(book);
    const std::string dir = argv[1];
    std::string error;
    if (!fc::writeXls(dir + "/sample.xls", book, error) ||
        !fc::writeXlsx(dir + "/sample.xlsx", book, error)) {
        std::fputs((fc::cp1251::toUtf8(error) + "\n").c_str(), stderr);
        return 1;
    }
    return 0;
}
