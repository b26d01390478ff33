#include "shell/ui/AboutDialog.h"

#include "components/text/Cp1251.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace fc {

namespace {

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

} // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(cp1251::toQString(w("О пpогpамме")));

    auto* product = new QLabel(cp1251::toQString(w("\"ЛДК\"-Констpуктоp фоpм")) +
                                   QStringLiteral("\n") + q("Версия ") + QStringLiteral(FC_VERSION),
                               this);
    product->setObjectName(QStringLiteral("ProductName"));
    product->setAlignment(Qt::AlignCenter);
    QFont f = product->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.2);
    product->setFont(f);

    auto* authors = new QLabel(q("Дизайнер отчётных форм и клиент сервера отчётности\n"
                                 "бухгалтерской системы ЛДК.\n"
                                 "Разработчики: группа клиентских программ ЛДК."),
                               this);
    authors->setObjectName(QStringLiteral("Copyright"));
    authors->setAlignment(Qt::AlignCenter);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->setSpacing(14);
    layout->addWidget(product);
    layout->addWidget(authors);
    layout->addWidget(buttons, 0, Qt::AlignCenter);
}

} // namespace fc
