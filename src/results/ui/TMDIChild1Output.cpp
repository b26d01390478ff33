// The report window's output: printing with copies and the print log, the print preview, page
// setup, saving to a workbook file, PDF export and mailing the report.
#include "results/ui/TMDIChild1.h"

#include "components/platform/ui/FileDialogFilter.h"
#include "components/text/Cp1251.h"
#include "components/ui/PageSetupDialog.h"
#include "components/ui/PrintDialogs.h"
#include "components/ui/SheetView.h"
#include "output/MailReport.h"
#include "output/OutputNames.h"
#include "output/PrintCopies.h"
#include "output/WorkbookFile.h"
#include "output/ui/CopiesDialog.h"
#include "output/ui/PagedOutput.h"
#include "shell/AppSettings.h"
#include "shell/ShellHost.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrinter>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }
std::string s(const QString& text) { return cp1251::fromQString(text); }

// While the sheet goes out, it raises no selection changes and does not recalculate; the
// switches are as they were afterwards, however the command ends.
class QuietBook {
public:
    explicit QuietBook(Workbook& book)
        : book_(book), selChange_(book.events().doSelChange), recalc_(book.autoRecalc()) {
        book_.events().doSelChange = false;
        book_.setAutoRecalc(false);
    }
    ~QuietBook() {
        book_.events().doSelChange = selChange_;
        book_.setAutoRecalc(recalc_);
    }
    QuietBook(const QuietBook&) = delete;
    QuietBook& operator=(const QuietBook&) = delete;

private:
    Workbook& book_;
    bool selChange_;
    bool recalc_;
};

// The current directory is the user's: the commands give it back as they found it.
class KeepCurrentDir {
public:
    KeepCurrentDir() : dir_(QDir::currentPath()) {}
    ~KeepCurrentDir() { QDir::setCurrent(dir_); }
    KeepCurrentDir(const KeepCurrentDir&) = delete;
    KeepCurrentDir& operator=(const KeepCurrentDir&) = delete;

private:
    QString dir_;
};

// The first extension of the filter part the user chose is added to a name without one.
QString withExtension(const QString& path, const QString& extension) {
    return QFileInfo(path).suffix().isEmpty() ? path + extension : path;
}

} // namespace

OutputDialogs OutputDialogs::modal(QWidget* parent) {
    OutputDialogs d;
    d.copies = [](CopiesDialog& c) { return c.exec() == QDialog::Accepted; };
    d.print = [parent](QPrinter& p) { return runPrintDialog(p, parent); };
    d.preview = [](PrintPreviewDialog& p) { return p.exec() == QDialog::Accepted; };
    d.pageSetup = [](PageSetupDialog& p) { return p.exec() == QDialog::Accepted; };
    d.saveFile = [parent](const QString& name, const QString& filter) {
        QFileDialog dialog(parent, QString(), QDir::current().filePath(name),
                           dialogFilter(filter.toStdString()));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return QString();
        }
        // The chosen filter's extension completes a name given without one.
        const QString chosen = dialog.selectedNameFilter();
        const int star = chosen.indexOf(QLatin1String("*."));
        const QString ext = star < 0 ? QString()
                                     : chosen.mid(star + 1)
                                           .section(QLatin1Char(')'), 0, 0)
                                           .section(QLatin1Char(' '), 0, 0);
        return withExtension(dialog.selectedFiles().front(), ext);
    };
    return d;
}

bool TMDIChild1::outputKey(int code) {
    switch (code) {
    case kSaveKey: saveToWorkbook(); return true;
    case kPrintKey: printReport(); return true;
    case kPdfKey: exportPdf(); return true;
    default: return false;
    }
}

void TMDIChild1::saveToWorkbook() {
    QuietBook quiet(book_);
    KeepCurrentDir keep;
    const QString chosen =
        outputDialogs.saveFile(q(output::cleanTitle(caption()) + ".xls"),
                               QStringLiteral("Excell 97|*.xls|Excel 2007|*.xlsx"));
    if (chosen.isEmpty()) {
        return;
    }
    // The window's sheet stays whole: a copy without its own parts is written.
    output::saveWorkbookFile(book_, s(withExtension(chosen, QStringLiteral(".xls"))), prompter_);
}

void TMDIChild1::printReport() {
    QuietBook quiet(book_);
    CopiesDialog copies(this);
    if (!outputDialogs.copies(copies)) {
        return;
    }
    WorkbookCopyPrinter printer(book_, view_->measurer(), caption(), outputDialogs.print);
    if (output::printCopies(printer, copies.copies()) == 0) {
        if (printer.failed()) {
            prompter_.error(w("Ошибка печати ") + s(printer.printer().printerName()));
        }
        return;
    }
    output::writePrintLog(shell_.settings(), prompter_, reportSettings_.printId);
}

void TMDIChild1::printPreview() {
    PrintPreviewDialog preview(book_, view_->measurer(), caption(), this);
    if (outputDialogs.preview(preview)) {
        printReport();
    }
}

void TMDIChild1::exportPdf() {
    QuietBook quiet(book_);
    const std::string title = output::cleanTitle(caption());
    const std::string printer = reportSettings_.pdfPrinter;
    if (printerExists(printer)) {
        if (!printToPrinter(book_, view_->measurer(), printer, title)) {
            prompter_.error(w("Ошибка экспорта в PDF ") + printer);
        }
        return;
    }
    KeepCurrentDir keep;
    const QString path = outputDialogs.saveFile(q(title + ".pdf"), QStringLiteral("PDF|*.pdf"));
    if (path.isEmpty()) {
        return;
    }
    const QString file = withExtension(path, QStringLiteral(".pdf"));
    std::string error;
    if (!writePdf(book_, view_->measurer(), file, title, error)) {
        prompter_.error(w("Ошибка экспорта в PDF ") + s(file));
    }
}

void TMDIChild1::pageSetup() { runPageSetup(book_.sheet(1), this, outputDialogs.pageSetup); }

void TMDIChild1::sendMail() {
    QuietBook quiet(book_);
    KeepCurrentDir keep;
    output::mailReport(book_, caption(), reportSettings_.email, s(QDir::tempPath()), prompter_);
}

} // namespace fc
