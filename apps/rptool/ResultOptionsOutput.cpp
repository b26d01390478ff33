// --out FILE (by extension), --print (with --printer, --copies), --fsave, --mail.
#include "ResultOptions.h"

#include "Commands.h"

#include "components/format/NativeFile.h"
#include "components/format/XlsWriter.h"
#include "components/format/XlsxWriter.h"
#include "components/platform/FileBytes.h"
#include "components/text/Cp1251.h"
#include "results/ResultSession.h"

#include <QFileInfo>
#include <QString>

#include <cstdio>

namespace rptool {

namespace {

int writeOut(ResultTarget& target, const std::string& out) {
    fc::Workbook& book = target.session.book();
    const std::string suffix =
        QFileInfo(QString::fromStdString(out)).suffix().toLower().toStdString();
    std::string error;
    bool ok = false;
    if (suffix == "vts") {
        ok = fc::files::writeAtomic(fc::cp1251::fromUtf8(out), fc::native::write(book));
    } else if (suffix == "json") {
        ok = fc::files::writeAtomic(fc::cp1251::fromUtf8(out), answerDocument(target.document()));
    } else if (suffix == "xls") {
        ok = fc::writeXls(QString::fromStdString(out), book, error);
    } else if (suffix == "xlsx") {
        ok = fc::writeXlsx(QString::fromStdString(out), book, error);
    } else {
        complain(
            fc::cp1251::fromUtf8("unknown output type: " + out + " (.vts, .json, .xls, .xlsx)"));
        return 1;
    }
    if (!ok) {
        complain(fc::cp1251::fromUtf8("cannot write " + out + (error.empty() ? "" : ": " + error)));
        return 1;
    }
    if (target.nameOutputs) {
        std::printf("%s\n", out.c_str());
    }
    target.wroteOutput = true;
    return 0;
}

} // namespace

int applyOutputOption(ResultTarget& target, const ResultOption& option,
                      const std::vector<ResultOption>&) {
    if (option.name == "--out") {
        return writeOut(target, option.value);
    }
    if (option.name == "--printer" || option.name == "--copies") {
        return 0;
    }
    complain(option.name + " is not available yet");
    return 2;
}

} // namespace rptool
