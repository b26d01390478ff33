#include "results/ui/Form2.h"

#include "components/text/Cp1251.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace fc {

namespace {

QString qu(const char* utf8) { return cp1251::toQString(w(utf8)); }

} // namespace

Form2::Form2(QWidget* parent) : QDialog(parent), edit_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(qu("Фильтp"));
    edit_->setObjectName(QStringLiteral("Edit1"));
    edit_->setMinimumWidth(260);
    connect(edit_, &QLineEdit::textEdited, edit_, [this](const QString& t) {
        const QString up = t.toUpper();
        if (up != t) {
            const int at = edit_->cursorPosition();
            edit_->setText(up);
            edit_->setCursorPosition(at);
        }
    });
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(qu("Стpока для поиска:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label);
    layout->addWidget(edit_);
    auto* buttons = new QHBoxLayout;
    auto* ok = new QPushButton(qu("Подтвеpдить"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    auto* remove = new QPushButton(qu("Снять фильтp"), this);
    remove->setObjectName(QStringLiteral("removeButton"));
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(remove);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(remove, &QPushButton::clicked, this, [this] {
        edit_->clear();
        accept();
    });
    hide();
}

std::optional<std::string> Form2::run() {
    edit_->setFocus();
    edit_->selectAll();
    if (exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return cp1251::fromQString(edit_->text().trimmed());
}

Form2* listFilterDialog(QWidget* mainWindow) {
    auto* dialog =
        mainWindow ? mainWindow->findChild<Form2*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!dialog) {
        dialog = new Form2(mainWindow);
    }
    return dialog;
}

} // namespace fc
