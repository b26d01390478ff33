#pragma once

#include "components/model/DrawnObject.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace fc {

// The format dialog of a drawn object: its text and colours, and what its kind has besides
// (a linked cell for check boxes and list boxes, a data range for list boxes and charts, a
// list box's own items, a chart's type). Edits a copy; result() gives it back.
class ObjectFormatDialog : public QDialog {
    Q_OBJECT
public:
    explicit ObjectFormatDialog(const DrawnObject& o, QWidget* parent = nullptr);

    DrawnObject result() const;
    // The colour buttons open a colour dialog; these set what it would have chosen.
    void setLineColor(Color c);
    void setFillColor(Color c);

private:
    void pick(bool line);
    void showColors();

    DrawnObject o_;
    QPlainTextEdit* text_;
    QPushButton* line_;
    QCheckBox* lineAuto_;
    QPushButton* fill_;
    QCheckBox* fillNone_;
    QLineEdit* linked_ = nullptr;
    QLineEdit* range_ = nullptr;
    QPlainTextEdit* items_ = nullptr;
    QComboBox* chart_ = nullptr;
    Color lineColor_ = kAutoColor, fillColor_ = kAutoColor;
};

} // namespace fc
