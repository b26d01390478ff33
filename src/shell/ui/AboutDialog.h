#pragma once

#include <QDialog>

namespace fc {

// "О пpогpамме": product name, version and authorship, and OK. Deletes itself on close.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace fc
