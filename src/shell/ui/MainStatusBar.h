#pragma once

#include "components/model/Types.h"

#include <QFrame>
#include <QLabel>
#include <QStatusBar>

#include <string_view>

namespace fc {

// A panel's text, drawn in the normal text colour even while the bar is disabled: the bar is
// disabled whenever a designer window is active, and that is when the checker's messages and
// the caret position are shown.
class PanelLabel : public QLabel {
    Q_OBJECT
public:
    explicit PanelLabel(QWidget* parent = nullptr) : QLabel(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Panel 0 of the status bar: the report windows' progress area, painted by the program.
class ProgressPanel : public QFrame {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent = nullptr);

    // A bar `value` pixels long (0 clears the area); a value past the width less 2 starts
    // again from 0. Teal for the turbo format.
    void showProgress(int value, bool teal);
    // A bold text at the left instead of the bar.
    void showNotice(const QString& text, const QColor& color);

    int value() const { return value_; }
    QString notice() const { return notice_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int value_ = 0;
    bool teal_ = false;
    QString notice_;
    QColor noticeColor_;
};

// Panel 2: a push button drawn as a raised panel that is lowered while pressed.
class RestartPanel : public QFrame {
    Q_OBJECT
public:
    explicit RestartPanel(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const;

signals:
    void released();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PanelLabel* label_;
};

// The main window's status bar: progress area (250 wide), the status text (the width left
// less 80) and the "Рестаpт" panel (50 wide).
class MainStatusBar : public QStatusBar {
    Q_OBJECT
public:
    static constexpr int kProgressPanelWidth = 250;
    static constexpr int kRestartPanelWidth = 50;

    explicit MainStatusBar(QWidget* parent = nullptr);

    ProgressPanel* progressPanel() const { return progress_; }
    QLabel* textPanel() const { return text_; }
    RestartPanel* restartPanel() const { return restart_; }
    // The width report windows draw their progress in: panel 0 less 3.
    int progressWidth() const { return progressWidth_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void layoutPanels();

    ProgressPanel* progress_;
    PanelLabel* text_;
    RestartPanel* restart_;
    int progressWidth_ = kProgressPanelWidth - 3;
};

} // namespace fc
