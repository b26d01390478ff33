#pragma once

#include "output/PrintCopies.h"

#include <QString>

#include <functional>
#include <memory>
#include <string>

class QPrinter;

namespace fc {

class TextMeasurer;
class Workbook;

// The workbook's printed pages on a printer: the copies of the print command, each a job of
// its own on the printer the dialog chose. `docName` names the jobs.
class WorkbookCopyPrinter : public output::CopyPrinter {
public:
    WorkbookCopyPrinter(const Workbook& book, const TextMeasurer& measurer, std::string docName,
                        std::function<bool(QPrinter&)> printDialog);
    ~WorkbookCopyPrinter() override;

    bool printFirst() override;
    bool printAgain() override;

    QPrinter& printer() { return *printer_; }
    // A copy could not be printed (not: the user cancelled the dialog).
    bool failed() const { return failed_; }

private:
    bool printOnce();

    const Workbook& book_;
    const TextMeasurer& measurer_;
    std::string docName_;
    std::function<bool(QPrinter&)> dialog_;
    std::unique_ptr<QPrinter> printer_;
    bool failed_ = false;
};

// Whether the system has a printer of this name (a CUPS queue).
bool printerExists(const std::string& name);
// The default printer's name, empty when there is none.
std::string defaultPrinterName();

// The pages on printer `name` without a dialog, as one job named `docName`; false when they
// could not be printed.
bool printToPrinter(const Workbook& book, const TextMeasurer& measurer, const std::string& name,
                    const std::string& docName, int copies = 1);

// The pages as a PDF file titled `title`, written whole or not at all; false with the reason
// in `error`.
bool writePdf(const Workbook& book, const TextMeasurer& measurer, const QString& path,
              const std::string& title, std::string& error);

} // namespace fc
