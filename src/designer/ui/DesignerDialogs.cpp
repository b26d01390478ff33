#include "designer/ui/DesignerDialogs.h"

#include "components/platform/ui/DialogButtons.h"
#include "components/text/Cp1251.h"
#include "designer/DesignerMessages.h"
#include "designer/DesignerSheet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

namespace fc {

SearchDialog::SearchDialog(QWidget* parent)
    : QDialog(parent), find_(new QLineEdit(this)), replaceBox_(new QCheckBox(this)),
      replace_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("Form7"));
    setWindowTitle(cp1251::toQString(designermsg::searchTitle()));
    find_->setObjectName(QStringLiteral("Edit1"));
    replaceBox_->setObjectName(QStringLiteral("CheckBox1"));
    replace_->setObjectName(QStringLiteral("Edit2"));
    replaceBox_->setText(cp1251::toQString(designermsg::replaceWith()));
    replace_->setEnabled(false);
    // What is typed shows as it is compared: in upper case.
    connect(find_, &QLineEdit::textEdited, this, [this](const QString& t) {
        const int pos = find_->cursorPosition();
        find_->setText(t.toUpper());
        find_->setCursorPosition(pos);
    });
    connect(replaceBox_, &QCheckBox::toggled, replace_, &QWidget::setEnabled);

    auto* form = new QFormLayout;
    form->addRow(cp1251::toQString(designermsg::searchFor()), find_);
    form->addRow(replaceBox_, replace_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

QString SearchDialog::searchText() const { return find_->text().toUpper(); }
void SearchDialog::setSearchText(const QString& text) { find_->setText(text.toUpper()); }
bool SearchDialog::replacing() const { return replaceBox_->isChecked(); }
QString SearchDialog::replacement() const { return replace_->text(); }

void SearchDialog::setReplacing(bool on, const QString& replacement) {
    replaceBox_->setChecked(on);
    replace_->setText(replacement);
}

ColsRowsDialog::ColsRowsDialog(QWidget* parent)
    : QDialog(parent), cols_(new QSpinBox(this)), rows_(new QSpinBox(this)) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(cp1251::toQString(designermsg::colsRowsTitle()));
    // Up to the sheet's own limits: a template may be longer than any fixed count.
    cols_->setRange(1, designer::kMaxFormCol);
    rows_->setRange(1, kMaxRows);
    for (QSpinBox* b : {cols_, rows_}) {
        b->setValue(10);
    }
    cols_->setObjectName(QStringLiteral("SpinEdit1"));
    rows_->setObjectName(QStringLiteral("SpinEdit2"));
    auto* form = new QFormLayout;
    form->addRow(cp1251::toQString(designermsg::colsLabel()), cols_);
    form->addRow(cp1251::toQString(designermsg::rowsLabel()), rows_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(okCancelButtons(this));
}

int ColsRowsDialog::cols() const { return cols_->value(); }
int ColsRowsDialog::rows() const { return rows_->value(); }

void ColsRowsDialog::setCounts(int cols, int rows) {
    cols_->setValue(cols);
    rows_->setValue(rows);
}

} // namespace fc
