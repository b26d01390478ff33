#include "output/ui/PagedOutput.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/ui/PagePainter.h"

#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

namespace fc {

namespace {

QString q(const std::string& cp1251) { return cp1251::toQString(cp1251); }

} // namespace

WorkbookCopyPrinter::WorkbookCopyPrinter(const Workbook& book, const TextMeasurer& measurer,
                                         std::string docName,
                                         std::function<bool(QPrinter&)> printDialog)
    : book_(book), measurer_(measurer), docName_(std::move(docName)),
      dialog_(std::move(printDialog)),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setDocName(q(docName_));
    printer_->setFullPage(true);
}

WorkbookCopyPrinter::~WorkbookCopyPrinter() = default;

bool WorkbookCopyPrinter::printFirst() { return dialog_(*printer_) && printOnce(); }

bool WorkbookCopyPrinter::printAgain() { return printOnce(); }

bool WorkbookCopyPrinter::printOnce() {
    printer_->setFullPage(true);
    if (printWorkbook(book_, *printer_, measurer_, docName_) <= 0) {
        failed_ = true;
        return false;
    }
    return true;
}

bool printerExists(const std::string& name) {
    return !name.empty() && !QPrinterInfo::printerInfo(q(name)).isNull();
}

std::string defaultPrinterName() { return cp1251::fromQString(QPrinterInfo::defaultPrinterName()); }

bool printToPrinter(const Workbook& book, const TextMeasurer& measurer, const std::string& name,
                    const std::string& docName, int copies) {
    if (!printerExists(name)) {
        return false;
    }
    WorkbookCopyPrinter printer(book, measurer, docName, [&name](QPrinter& p) {
        p.setPrinterName(q(name));
        return true;
    });
    return output::printCopies(printer, copies) == std::max(1, copies);
}

bool writePdf(const Workbook& book, const TextMeasurer& measurer, const QString& path,
              const std::string& title, std::string& error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = cp1251::fromQString(file.errorString());
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(q(title));
        pdf.setCreator(QStringLiteral("Констpуктоp форм"));
        if (printWorkbook(book, pdf, measurer, title) <= 0) {
            error = "nothing could be drawn";
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        error = cp1251::fromQString(file.errorString());
        return false;
    }
    return true;
}

} // namespace fc
