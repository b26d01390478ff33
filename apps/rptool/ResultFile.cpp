#include "ResultFile.h"

#include "AnswerDocument.h"

#include "components/format/NativeFile.h"
#include "components/format/XlsWriter.h"
#include "components/format/XlsxWriter.h"
#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/text/Cp1251.h"

#include <QFileInfo>

namespace rptool {

bool writeResultFile(const std::string& path, const fc::Workbook& book, AnswerDocument doc,
                     std::string& error) {
    const QString file = QString::fromStdString(path);
    const std::string suffix = QFileInfo(file).suffix().toLower().toStdString();
    bool ok = false;
    if (suffix == "vts") {
        ok = fc::files::writeAtomic(fc::cp1251::fromUtf8(path), fc::native::write(book));
    } else if (suffix == "json") {
        doc.workbook = &book;
        ok = fc::files::writeAtomic(fc::cp1251::fromUtf8(path), answerDocument(doc));
    } else if (suffix == "xls") {
        ok = fc::writeXls(file, book, error);
    } else if (suffix == "xlsx") {
        ok = fc::writeXlsx(file, book, error);
    } else {
        error = "unknown output type: " + path + " (.vts, .json, .xls, .xlsx)";
        return false;
    }
    if (!ok) {
        error = "cannot write " + path + (error.empty() ? "" : ": " + fc::cp1251::toUtf8(error));
    }
    return ok;
}

} // namespace rptool
