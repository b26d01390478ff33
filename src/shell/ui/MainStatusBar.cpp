#include "shell/ui/MainStatusBar.h"

#include "components/text/Cp1251.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace fc {

void PanelLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawFrame(&p);
    // Plain text only: the panels carry single lines, never rich text or pictures.
    p.setPen(palette().color(QPalette::Active, foregroundRole()));
    p.drawText(contentsRect().adjusted(margin(), margin(), -margin(), -margin()), alignment(),
               text());
}

ProgressPanel::ProgressPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("Panel0"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setFixedWidth(MainStatusBar::kProgressPanelWidth);
}

void ProgressPanel::showProgress(int value, bool teal) {
    int limit = width() - 2;
    value_ = value > limit ? 0 : std::max(value, 0);
    teal_ = teal;
    notice_.clear();
    update();
}

void ProgressPanel::showNotice(const QString& text, const QColor& color) {
    notice_ = text;
    noticeColor_ = color;
    value_ = 0;
    update();
}

void ProgressPanel::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter p(this);
    if (!notice_.isEmpty()) {
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(noticeColor_);
        p.drawText(rect().adjusted(3, 0, -2, 0), Qt::AlignVCenter | Qt::AlignLeft, notice_);
        return;
    }
    if (value_ > 0) {
        int h = height();
        QRect bar(3, std::max(3, h / 2 - 5), value_, std::min(10, h - 6));
        p.fillRect(bar, teal_ ? QColor(0, 128, 128) : QColor(0, 0, 128));
    }
}

RestartPanel::RestartPanel(QWidget* parent) : QFrame(parent), label_(new PanelLabel(this)) {
    setObjectName(QStringLiteral("Panel2"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(1);
    // 50 wide as the program was laid out, unless this desktop's font needs more for its text.
    int needed = label_->fontMetrics().horizontalAdvance(cp1251::toQString(w("Рестаpт"))) + 10;
    setFixedWidth(std::max(MainStatusBar::kRestartPanelWidth, needed));
    label_->setAlignment(Qt::AlignCenter);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(1, 0, 1, 0);
    layout->addWidget(label_);
}

void RestartPanel::setText(const QString& text) { label_->setText(text); }

QString RestartPanel::text() const { return label_->text(); }

void RestartPanel::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled()) {
        setFrameShadow(QFrame::Sunken);
    }
}

void RestartPanel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || frameShadow() != QFrame::Sunken) {
        return;
    }
    setFrameShadow(QFrame::Raised);
    if (rect().contains(event->position().toPoint())) {
        emit released();
    }
}

MainStatusBar::MainStatusBar(QWidget* parent)
    : QStatusBar(parent), progress_(new ProgressPanel(this)), text_(new PanelLabel(this)),
      restart_(new RestartPanel(this)) {
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(false);
    text_->setObjectName(QStringLiteral("Panel1"));
    text_->setAlignment(Qt::AlignCenter);
    text_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    text_->setMinimumWidth(0);
    addWidget(progress_);
    addWidget(text_);
    addWidget(restart_);
    setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));
}

void MainStatusBar::layoutPanels() {
    // Panel 1 takes the width of the bar less panel 0 less 80.
    text_->setFixedWidth(std::max(0, width() - kProgressPanelWidth - 80));
    progressWidth_ = progress_->width() - 3;
}

void MainStatusBar::resizeEvent(QResizeEvent* event) {
    QStatusBar::resizeEvent(event);
    layoutPanels();
}

void MainStatusBar::changeEvent(QEvent* event) {
    QStatusBar::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        // The push panel reads "Рестаpт" exactly while the bar is enabled.
        restart_->setText(isEnabled() ? cp1251::toQString(w("Рестаpт")) : QString());
    }
}

} // namespace fc
