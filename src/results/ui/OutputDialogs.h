#pragma once

#include <QString>

#include <functional>

class QPrinter;
class QWidget;

namespace fc {

class CopiesDialog;
class PageSetupDialog;
class PrintPreviewDialog;

// How the report window's output commands ask the user; modal dialogs, which tests replace.
struct OutputDialogs {
    std::function<bool(CopiesDialog&)> copies;        // true: OK
    std::function<bool(QPrinter&)> print;             // the print dialog; true: print
    std::function<bool(PrintPreviewDialog&)> preview; // true: print from the preview
    std::function<bool(PageSetupDialog&)> pageSetup;  // true: OK
    // The save dialog for a workbook or a PDF file, proposing `name` in the current directory
    // with a Windows-style `filter` ("Excell 97|*.xls"); the chosen file, empty on Cancel.
    std::function<QString(const QString& name, const QString& filter)> saveFile;

    static OutputDialogs modal(QWidget* parent);
};

} // namespace fc
