#pragma once

#include <QFrame>
#include <QPoint>

class QLabel;
class QLineEdit;

namespace fc {

// The floating "Автоподсчет" panel of a report window: the quick sum of the cells picked with
// Ctrl in the calculator edit `RxCalc`. It is dragged by its title; an edit in the calculator
// is reported, so that the window gives the focus back to the sheet.
class QuickSumPanel : public QFrame {
    Q_OBJECT
public:
    explicit QuickSumPanel(QWidget* parent);

    // Shows `value` ("# ### ##0.##") and the panel.
    void showSum(double value);
    QLineEdit* calculator() const { return calc_; }
    // At the top of the parent, 25 pixels from its right edge.
    void place();

signals:
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* title_;
    QLineEdit* calc_;
    QPoint grab_;
    bool dragging_ = false;
};

} // namespace fc
