#include "language/ui/PrototypeListDialog.h"

#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "language/PrototypeTable.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QListWidget>
#include <QVBoxLayout>

namespace fc {

PrototypeListDialog::PrototypeListDialog(const PrototypeTable& table, QWidget* parent)
    : QDialog(parent), table_(table) {
    setWindowTitle(cp1251::toQString(w("Пpототипы фактов")));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    list_ = new QListWidget(this);
    list_->setFont(listFont());
    list_->installEventFilter(this);
    layout->addWidget(list_);
    connect(list_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { choose(list_->row(item)); });
    resize(480, 300);
}

QFont PrototypeListDialog::listFont() {
    const QStringList families = QFontDatabase::families();
    for (const char* name : {"Fixedsys", "DejaVu Sans Mono", "Liberation Mono"}) {
        if (families.contains(QLatin1String(name), Qt::CaseInsensitive)) {
            return QFont(QLatin1String(name), 10);
        }
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont);
}

void PrototypeListDialog::refill() {
    list_->clear();
    for (int n = 1; n <= table_.count(); ++n) {
        list_->addItem(cp1251::toQString(codepage::toWindows(table_.line(n))));
    }
    if (list_->count() > 0) {
        list_->setCurrentRow(0);
    }
}

void PrototypeListDialog::showEvent(QShowEvent* event) {
    // The server may have sent other prototypes since the last opening.
    refill();
    QDialog::showEvent(event);
}

bool PrototypeListDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            choose(list_->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PrototypeListDialog::choose(int row) {
    if (row < 0 || row >= list_->count()) {
        return;
    }
    // The line as the list shows it, not as the server sent it.
    const std::string line = cp1251::fromQString(list_->item(row)->text());
    if (target_) {
        target_(line);
    }
    accept();
}

} // namespace fc
