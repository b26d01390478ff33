#include "output/ui/CopiesDialog.h"

#include "components/ui/FontMapper.h"
#include "output/PrintCopies.h"

#include <QPushButton>
#include <QSpinBox>

namespace fc {

CopiesDialog::CopiesDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CopiesDialog"));
    setWindowTitle(QStringLiteral("Печатать количество копий:"));
    setFixedSize(220, 130);
    copies_ = new QSpinBox(this);
    copies_->setObjectName(QStringLiteral("Edit1"));
    Font fixedsys;
    fixedsys.name = "Fixedsys";
    fixedsys.size = 10;
    copies_->setFont(FontMapper::toQFont(fixedsys));
    copies_->setRange(1, output::kMaxCopies);
    copies_->setValue(1);
    // The edit at 60,20, 40 wide, with its up-down at 105,20.
    copies_->setGeometry(60, 20, 62, 24);
    ok_ = new QPushButton(QStringLiteral("OK"), this);
    ok_->setObjectName(QStringLiteral("Button1"));
    ok_->setGeometry(30, 60, 140, 30);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    copies_->setFocus();
    copies_->selectAll();
}

int CopiesDialog::copies() const { return copies_->value(); }

} // namespace fc
