#pragma once

#include <QDialog>
#include <QDialogButtonBox>

namespace fc {

// "OK" and "Cancel" of a dialog, accepting and rejecting it.
inline QDialogButtonBox* okCancelButtons(QDialog* dialog) {
    auto* b = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(b, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(b, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return b;
}

} // namespace fc
