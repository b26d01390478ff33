// --out FILE (by extension), --print (with --printer, --copies), --fsave, --mail.
#include "ResultOptions.h"

#include "Commands.h"

#include "components/format/NativeFile.h"
#include "components/platform/FileBytes.h"
#include "components/text/Cp1251.h"
#include "exchange/ReportSettings.h"
#include "output/FileExport.h"
#include "output/MailReport.h"
#include "output/OutputNames.h"
#include "output/PrintCopies.h"
#include "output/WorkbookFile.h"
#include "results/ResultSession.h"
#include "shell/AppSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

#ifdef FC_RPTOOL_PAGES
#include "components/ui/QtTextMeasurer.h"
#include "output/ui/PagedOutput.h"

#include <QGuiApplication>
#endif

#include <cstdio>

namespace rptool {

namespace {

// Pages need fonts and printers need the print support: a GUI application object, without a
// display when none is there.
void ensureApplication() {
    if (QCoreApplication::instance()) {
        return;
    }
    static int argc = 1;
    static char name[] = "rptool";
    static char* argv[] = {name, nullptr};
#ifdef FC_RPTOOL_PAGES
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QCoreApplication* app = new QGuiApplication(argc, argv);
#else
    static QCoreApplication* app = new QCoreApplication(argc, argv);
#endif
    (void)app;
}

#ifdef FC_RPTOOL_PAGES
const std::string& captionOf(ResultTarget& target) { return target.session.settings().caption; }
#endif

void said(ResultTarget& target, const std::string& utf8) {
    if (target.nameOutputs) {
        std::printf("%s\n", utf8.c_str());
    }
    target.wroteOutput = true;
}

int writePdfFile(ResultTarget& target, const std::string& out) {
#ifdef FC_RPTOOL_PAGES
    ensureApplication();
    fc::QtTextMeasurer measurer;
    std::string error;
    if (!fc::writePdf(target.session.book(), measurer, QString::fromStdString(out),
                      fc::output::cleanTitle(captionOf(target)), error)) {
        complain(fc::w("Ошибка экспорта в PDF ") + fc::cp1251::fromUtf8(out) + " " + error);
        return 1;
    }
    return 0;
#else
    complain("PDF output needs the program built with its windows (FC_GUI)");
    return 2;
#endif
}

// ";NON_PRINT" forbids printing and the PDF export, ";NON_SAVE" saving to a workbook, as the
// window's menu does.
bool forbidden(ResultTarget& target, bool print, const std::string& what) {
    const fc::ReportSettings& s = target.session.settings();
    if (print ? s.noPrint : s.noSave) {
        complain(fc::cp1251::fromUtf8(what + ": the report forbids it (" +
                                      (print ? ";NON_PRINT" : ";NON_SAVE") + ")"));
        return true;
    }
    return false;
}

int writeOut(ResultTarget& target, const std::string& out) {
    fc::Workbook& book = target.session.book();
    const std::string suffix =
        QFileInfo(QString::fromStdString(out)).suffix().toLower().toStdString();
    if (((suffix == "xls" || suffix == "xlsx") && forbidden(target, false, out)) ||
        (suffix == "pdf" && forbidden(target, true, out))) {
        return 1;
    }
    std::string error;
    bool ok = false;
    if (suffix == "vts") {
        ok = fc::files::writeAtomic(fc::cp1251::fromUtf8(out), fc::native::write(book));
    } else if (suffix == "json") {
        ok = fc::files::writeAtomic(fc::cp1251::fromUtf8(out), answerDocument(target.document()));
    } else if (suffix == "xls" || suffix == "xlsx") {
        // As the window saves to a workbook: without the window's own columns and rows.
        ok = fc::output::writeWorkbookFile(book, fc::cp1251::fromUtf8(out), error);
    } else if (suffix == "pdf") {
        if (const int rc = writePdfFile(target, out)) {
            return rc;
        }
        ok = true;
    } else {
        complain(fc::cp1251::fromUtf8("unknown output type: " + out +
                                      " (.vts, .json, .xls, .xlsx, .pdf)"));
        return 1;
    }
    if (!ok) {
        complain(fc::cp1251::fromUtf8("cannot write " + out + (error.empty() ? "" : ": " + error)));
        return 1;
    }
    said(target, out);
    return 0;
}

const std::string* valueOf(const std::vector<ResultOption>& all, const char* name) {
    const std::string* found = nullptr;
    for (const ResultOption& o : all) {
        if (o.name == name) {
            found = &o.value;
        }
    }
    return found;
}

int printOut(ResultTarget& target, const std::vector<ResultOption>& all) {
    if (forbidden(target, true, "--print")) {
        return 1;
    }
    int copies = 1;
    if (const std::string* c = valueOf(all, "--copies")) {
        bool ok = false;
        copies = QString::fromStdString(*c).toInt(&ok);
        if (!ok || copies < 1 || copies > fc::output::kMaxCopies) {
            complain("--copies takes 1 to 1000");
            return 2;
        }
    }
#ifdef FC_RPTOOL_PAGES
    ensureApplication();
    const std::string* named = valueOf(all, "--printer");
    const std::string printer = named ? fc::cp1251::fromUtf8(*named) : fc::defaultPrinterName();
    if (printer.empty()) {
        complain("no printer: name one with --printer, or set a default printer");
        return 1;
    }
    if (!fc::printerExists(printer)) {
        complain(fc::w("Нет принтера ") + printer);
        return 1;
    }
    fc::QtTextMeasurer measurer;
    const std::string title = fc::output::cleanTitle(captionOf(target));
    if (!fc::printToPrinter(target.session.book(), measurer, printer, title, copies)) {
        complain(fc::w("Ошибка печати ") + printer);
        return 1;
    }
    const std::string& printId = target.session.settings().printId;
    if (!printId.empty()) {
        if (!target.settings || target.settings->serverDir.empty()) {
            complain("the answer asks for a print log, but there is no server directory");
            return 1;
        }
        if (!fc::output::writePrintLog(*target.settings, target.session.prompter(), printId)) {
            return 1;
        }
    }
    said(target, "printed " + std::to_string(copies) + " on " + fc::cp1251::toUtf8(printer));
    return 0;
#else
    complain("--print needs the program built with its windows (FC_GUI)");
    return 2;
#endif
}

} // namespace

int applyOutputOption(ResultTarget& target, const ResultOption& option,
                      const std::vector<ResultOption>& all) {
    if (option.name == "--out") {
        return writeOut(target, option.value);
    }
    if (option.name == "--print") {
        return printOut(target, all);
    }
    if (option.name == "--fsave") {
        // Relative names lie in the current directory, as the window writes them.
        if (!fc::output::DoFSave(target.session)) {
            return 1;
        }
        for (const fc::ReportSettings::SaveFile& f : target.session.settings().saveFiles) {
            said(target, fc::cp1251::toUtf8(f.name));
        }
        return 0;
    }
    if (option.name == "--mail") {
        ensureApplication();
        const fc::ReportSettings& s = target.session.settings();
        const std::string tempDir = fc::cp1251::fromQString(QDir::tempPath());
        if (!fc::output::mailReport(target.session.book(), s.caption, s.email, tempDir,
                                    target.session.prompter())) {
            return 1;
        }
        said(target, fc::cp1251::toUtf8(fc::output::mailAttachmentPath(s.caption, tempDir)));
        return 0;
    }
    return 0; // --printer and --copies belong to --print
}

} // namespace rptool
