#include "results/ui/QuickSumPanel.h"

#include "components/text/Cp1251.h"
#include "results/QuickSum.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace fc {

QuickSumPanel::QuickSumPanel(QWidget* parent)
    : QFrame(parent), title_(new QLabel(this)), calc_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("Panel4"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    title_->setObjectName(QStringLiteral("Panel4Title"));
    title_->setText(cp1251::toQString(w("Автоподсчет")));
    title_->setAlignment(Qt::AlignCenter);
    title_->setStyleSheet(QStringLiteral("background: palette(highlight); color: "
                                         "palette(highlighted-text); padding: 1px;"));
    title_->setCursor(Qt::SizeAllCursor);
    title_->installEventFilter(this);
    calc_->setObjectName(QStringLiteral("RxCalc"));
    calc_->setToolTip(cp1251::toQString(w("Калькулятоp")));
    calc_->setAlignment(Qt::AlignRight);
    calc_->setMinimumWidth(150);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addWidget(title_);
    layout->addWidget(calc_);
    connect(calc_, &QLineEdit::editingFinished, this, [this] {
        if (calc_->isModified()) {
            calc_->setModified(false);
            emit edited();
        }
    });
    adjustSize();
    hide();
}

void QuickSumPanel::showSum(double value) {
    calc_->setText(cp1251::toQString(quickSumText(value)));
    calc_->setModified(false);
    if (isHidden()) {
        place();
        show();
    }
    raise();
}

void QuickSumPanel::place() {
    if (QWidget* p = parentWidget()) {
        move(p->width() - width() - 25, 2);
    }
}

bool QuickSumPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != title_) {
        return QFrame::eventFilter(watched, event);
    }
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease) {
        return QFrame::eventFilter(watched, event);
    }
    auto* e = static_cast<QMouseEvent*>(event);
    switch (type) {
    case QEvent::MouseButtonPress:
        if (e->button() == Qt::LeftButton) {
            dragging_ = true;
            grab_ = e->globalPosition().toPoint() - pos();
            return true;
        }
        break;
    case QEvent::MouseMove:
        if (dragging_) {
            move(e->globalPosition().toPoint() - grab_);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease: dragging_ = false; break;
    default: break;
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace fc
