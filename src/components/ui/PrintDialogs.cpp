#include "components/ui/PrintDialogs.h"

#include "components/model/Workbook.h"
#include "components/ui/PagePainter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace fc {

bool runPrintDialog(QPrinter& printer, QWidget* parent) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Печать"));
    return dialog.exec() == QDialog::Accepted;
}

PrintPreviewDialog::PrintPreviewDialog(const Workbook& book, const TextMeasurer& measurer,
                                       const std::string& file, QWidget* parent)
    : QDialog(parent), printer_(std::make_unique<QPrinter>(QPrinter::ScreenResolution)) {
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(QStringLiteral("Предварительный просмотр"));
    preview_ = new QPrintPreviewWidget(printer_.get(), this);
    preview_->setObjectName(QStringLiteral("Pages"));
    connect(preview_, &QPrintPreviewWidget::paintRequested, this,
            [&book, &measurer, file](QPrinter* printer) {
                printWorkbook(book, *printer, measurer, file);
            });
    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* previous = button("PreviousPage", QStringLiteral("<"));
    QPushButton* next = button("NextPage", QStringLiteral(">"));
    QPushButton* zoomIn = button("ZoomIn", QStringLiteral("+"));
    QPushButton* zoomOut = button("ZoomOut", QStringLiteral("-"));
    QPushButton* whole = button("WholePage", QStringLiteral("Страница целиком"));
    QPushButton* print = button("Print", QStringLiteral("Печать"));
    QPushButton* close = button("Close", QStringLiteral("Закрыть"));
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("PageNumber"));
    connect(previous, &QPushButton::clicked, this, [this] { setCurrentPage(currentPage() - 1); });
    connect(next, &QPushButton::clicked, this, [this] { setCurrentPage(currentPage() + 1); });
    connect(zoomIn, &QPushButton::clicked, preview_, [this] { preview_->zoomIn(); });
    connect(zoomOut, &QPushButton::clicked, preview_, [this] { preview_->zoomOut(); });
    connect(whole, &QPushButton::clicked, preview_, &QPrintPreviewWidget::fitInView);
    connect(print, &QPushButton::clicked, this, &QDialog::accept);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(preview_, &QPrintPreviewWidget::previewChanged, this, [this] { showPageNumber(); });

    auto* bar = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(previous), static_cast<QWidget*>(pageLabel_),
                       static_cast<QWidget*>(next), static_cast<QWidget*>(zoomOut),
                       static_cast<QWidget*>(zoomIn), static_cast<QWidget*>(whole)}) {
        bar->addWidget(w);
    }
    bar->addStretch();
    bar->addWidget(print);
    bar->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(preview_, 1);
    preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
    preview_->fitInView();
    resize(820, 900);
    preview_->updatePreview();
}

PrintPreviewDialog::~PrintPreviewDialog() = default;

int PrintPreviewDialog::pageCount() const { return preview_->pageCount(); }

int PrintPreviewDialog::currentPage() const { return preview_->currentPage(); }

void PrintPreviewDialog::setCurrentPage(int page) {
    preview_->setCurrentPage(std::clamp(page, 1, std::max(1, pageCount())));
    showPageNumber();
}

void PrintPreviewDialog::showPageNumber() {
    pageLabel_->setText(QStringLiteral("%1 / %2").arg(currentPage()).arg(pageCount()));
}

} // namespace fc
