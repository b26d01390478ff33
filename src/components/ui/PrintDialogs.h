#pragma once

#include <QDialog>

#include <memory>
#include <string>

class QPrinter;
class QPrintPreviewWidget;
class QLabel;

namespace fc {

class TextMeasurer;
class Workbook;

// The platform's print dialog on `printer` (the printer, its options, the pages); true on OK.
bool runPrintDialog(QPrinter& printer, QWidget* parent);

// The pages of a workbook as they will print, before printing: page by page, with zoom, and
// "Печать", which ends the preview with Accepted so that the window prints as its own print
// command does (copies, print log), and "Закрыть".
class PrintPreviewDialog : public QDialog {
    Q_OBJECT
public:
    PrintPreviewDialog(const Workbook& book, const TextMeasurer& measurer, const std::string& file,
                       QWidget* parent = nullptr);
    ~PrintPreviewDialog() override;

    int pageCount() const;
    int currentPage() const;
    void setCurrentPage(int page);
    QPrintPreviewWidget* preview() const { return preview_; }

private:
    void showPageNumber();

    std::unique_ptr<QPrinter> printer_;
    QPrintPreviewWidget* preview_;
    QLabel* pageLabel_;
};

} // namespace fc
