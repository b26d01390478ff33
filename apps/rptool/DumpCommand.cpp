// rptool dump FILE: a workbook file, or a template (".rpt", any layout), as JSON on stdout.
#include "Commands.h"

#include "components/format/FileType.h"
#include "components/format/JsonDump.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "designer/TemplateDump.h"

#include <QFile>

#include <cstdio>

namespace rptool {

int dump(int argc, char** args) {
    if (argc != 1) {
        complain("usage: rptool dump FILE");
        return 2;
    }
    fc::Workbook book;
    const QString path = QFile::decodeName(args[0]);
    if (path.endsWith(QLatin1String(".rpt"), Qt::CaseInsensitive)) {
        fc::StderrPrompter prompter;
        const fc::TemplateLoadResult loaded = fc::TemplateFile::load(path, book, prompter);
        if (!loaded.opened) {
            return 1;
        }
        const std::string json = fc::dumpTemplate(loaded, book);
        std::fwrite(json.data(), 1, json.size(), stdout);
        return std::fflush(stdout) == 0 && loaded.whole() ? 0 : 1;
    }
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
