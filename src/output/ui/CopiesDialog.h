#pragma once

#include <QDialog>

class QPushButton;
class QSpinBox;

namespace fc {

// "Печатать количество копий:": how many copies the print command prints, 1 to 1000 (an edit
// with its up-down), "OK" to print; Escape closes it without printing.
class CopiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit CopiesDialog(QWidget* parent = nullptr);

    int copies() const;
    QSpinBox* copiesBox() const { return copies_; }
    QPushButton* okButton() const { return ok_; }

private:
    QSpinBox* copies_;
    QPushButton* ok_;
};

} // namespace fc
