#include "results/ui/ArgumentBarWidget.h"

#include "components/text/Cp1251.h"
#include "results/ArgumentBar.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace fc {

namespace {

QLabel* marker(QWidget* parent, const char* name, const QColor& colour) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setAlignment(Qt::AlignCenter);
    l->setAutoFillBackground(true);
    QPalette p = l->palette();
    p.setColor(QPalette::Window, colour);
    p.setColor(QPalette::WindowText, Qt::black);
    l->setPalette(p);
    l->hide();
    return l;
}

void colour(QLabel* l, const QColor& c) {
    QPalette p = l->palette();
    p.setColor(QPalette::Window, c);
    l->setPalette(p);
}

} // namespace

ArgumentBarWidget::ArgumentBarWidget(QWidget* parent)
    : QFrame(parent), panel3_(marker(this, "Panel3", Qt::green)),
      fpanel_(marker(this, "FPanel", Qt::cyan)) {
    setObjectName(QStringLiteral("ArgBar"));
    setFrameShape(QFrame::NoFrame);
    // The current argument's button stays clickable under its marker: a click runs it again.
    panel3_->setAttribute(Qt::WA_TransparentForMouseEvents);
    fpanel_->installEventFilter(this);
    fpanel_->setCursor(Qt::PointingHandCursor);
    setFixedHeight(args::buttonHeight(fontSize()) + 7);
    hide();
}

int ArgumentBarWidget::fontSize() const {
    const int points = font().pointSize();
    return points > 0 ? points : 8;
}

QPushButton* ArgumentBarWidget::button(int i) const {
    return i >= 0 && i < count() ? buttons_[static_cast<std::size_t>(i)] : nullptr;
}

void ArgumentBarWidget::clear() {
    for (QPushButton* b : buttons_) {
        b->deleteLater();
    }
    buttons_.clear();
    lines_.clear();
    current_ = second_ = -1;
    panel3_->hide();
    fpanel_->hide();
    setFixedHeight(25);
}

void ArgumentBarWidget::setArguments(const std::vector<args::ArgumentLine>& lines, bool treeMode) {
    clear();
    lines_ = lines;
    treeMode_ = treeMode;
    buttons_.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        auto* b = new QPushButton(cp1251::toQString(lines[i].caption), this);
        b->setObjectName(QStringLiteral("argButton%1").arg(i));
        b->setFocusPolicy(Qt::NoFocus);
        // Shift+F1 .. Shift+F24: the keys a keyboard has; later lines are reached by click.
        if (i < 24) {
            b->setToolTip(QStringLiteral("Shift+F%1").arg(i + 1));
        }
        const int index = static_cast<int>(i);
        connect(b, &QPushButton::clicked, this, [this, index] { emit argumentClicked(index); });
        buttons_.push_back(b);
    }
    panel3_->raise();
    fpanel_->raise();
    relayout();
}

void ArgumentBarWidget::relayout() {
    const args::BarLayout l = args::layoutBar(lines_, fontSize(), width(), treeMode_);
    for (std::size_t i = 0; i < buttons_.size() && i < l.buttons.size(); ++i) {
        const args::ButtonBox& b = l.buttons[i];
        buttons_[i]->setGeometry(b.left, b.top, b.width, b.height);
        buttons_[i]->setVisible(b.shown && b.width > 0);
    }
    setFixedHeight(l.height);
    placeMarker(panel3_, current_);
    placeMarker(fpanel_, second_);
}

void ArgumentBarWidget::placeMarker(QLabel* m, int index) {
    QPushButton* b = button(index);
    if (!b || b->isHidden() || b->width() <= 2) {
        m->hide();
        return;
    }
    m->setGeometry(b->geometry().adjusted(1, 1, -1, -1));
    m->setText(b->text());
    m->show();
    m->raise();
}

void ArgumentBarWidget::setMarkers(int current, bool pending, int second) {
    current_ = current;
    second_ = second;
    colour(panel3_, pending ? Qt::yellow : Qt::green);
    placeMarker(fpanel_, second_);
    placeMarker(panel3_, current_);
}

void ArgumentBarWidget::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    relayout();
}

bool ArgumentBarWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == fpanel_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        emit secondMarkerClicked();
        return true;
    }
    return QFrame::eventFilter(watched, event);
}

KeyInterceptor::KeyInterceptor(
    QObject* parent, std::function<bool(int key, Qt::KeyboardModifiers, bool press)> handler)
    : QObject(parent), handler_(std::move(handler)) {}

bool KeyInterceptor::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (t == QEvent::ShortcutOverride || t == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(event);
        if (handler_(k->key(), k->modifiers(), t == QEvent::KeyPress)) {
            event->accept(); // an accepted override keeps the key from the menu's shortcuts
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace fc
