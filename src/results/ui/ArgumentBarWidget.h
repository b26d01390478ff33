#pragma once

#include "results/ArgumentFile.h"

#include <QFrame>
#include <QObject>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;

namespace fc {

// The argument bar under the result sheet: one button per line of the argument file, in line
// order (a button's index is its line's index in the argument table), laid out as
// args::layoutBar says, with the current-argument marker `Panel3` (lime, yellow while a run is
// pending) and the second-field marker `FPanel` (aqua) laid over their buttons. Buttons take no
// focus, so that the sheet keeps it and its argument keys.
class ArgumentBarWidget : public QFrame {
    Q_OBJECT
public:
    explicit ArgumentBarWidget(QWidget* parent = nullptr);

    // New buttons for `lines`; in tree mode only the toggles show.
    void setArguments(const std::vector<args::ArgumentLine>& lines, bool treeMode);
    void clear();
    int count() const { return static_cast<int>(buttons_.size()); }
    QPushButton* button(int i) const;
    // `Res_arg`: the buttons flow again over the bar's width; the bar takes the height the flow
    // needs.
    void relayout();
    // The markers over buttons `current` and `second` (-1: hidden).
    void setMarkers(int current, bool pending, int second);
    QLabel* currentMarker() const { return panel3_; }
    QLabel* secondMarker() const { return fpanel_; }
    // The bar's font size in points, as its buttons are measured.
    int fontSize() const;

signals:
    void argumentClicked(int index);
    // A click on the second-field marker (`FPanelClick`).
    void secondMarkerClicked();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeMarker(QLabel* marker, int index);

    std::vector<QPushButton*> buttons_;
    std::vector<args::ArgumentLine> lines_;
    bool treeMode_ = false;
    int current_ = -1, second_ = -1;
    QLabel* panel3_;
    QLabel* fpanel_;
};

// Hands the keys a watched widget receives to `handler` first; a key it takes (returns true
// for) wins over the shortcuts of the main menu while that widget has the focus.
class KeyInterceptor : public QObject {
public:
    KeyInterceptor(QObject* parent,
                   std::function<bool(int key, Qt::KeyboardModifiers, bool press)> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool(int, Qt::KeyboardModifiers, bool)> handler_;
};

} // namespace fc
