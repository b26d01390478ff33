// rptool dump FILE: a workbook file as JSON on stdout.
#include "Commands.h"

#include "components/format/FileType.h"
#include "components/format/JsonDump.h"
#include "components/model/Workbook.h"

#include <QFile>

#include <cstdio>

namespace rptool {

int dump(int argc, char** args) {
    if (argc != 1) {
        complain("usage: rptool dump FILE");
        return 2;
    }
    fc::Workbook book;
    std::string error;
    if (fc::readWorkbookFile(QFile::decodeName(args[0]), book, error) == 0) {
        complain(error);
        return 1;
    }
    const std::string json = fc::dumpWorkbook(book);
    std::fwrite(json.data(), 1, json.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace rptool
