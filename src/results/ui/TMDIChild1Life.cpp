// The report window's life among the program's windows: which report window the user works
// in (activation and deactivation, for MDI children and pop-ups alike) and what maximising and
// minimising do to the pop-ups.
#include "results/ui/TMDIChild1.h"

#include "shell/ChildRegistry.h"
#include "shell/ShellHost.h"

#include <QApplication>
#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QWindowStateChangeEvent>

namespace fc {

namespace {

// The report window that was activated last and not deactivated since. Activation follows the
// windows of the program only: a message box, a dialog or another program taking the focus
// deactivates nothing, so a window does not re-run or reload its state behind every message.
QPointer<TMDIChild1>& currentReport() {
    static QPointer<TMDIChild1> current;
    return current;
}

} // namespace

void TMDIChild1::becomeCurrent() {
    QPointer<TMDIChild1>& current = currentReport();
    if (current == this || closing_) {
        return;
    }
    const QPointer<TMDIChild1> before = current;
    current = this;
    if (before) {
        before->run_.deactivate();
    }
    run_.activate();
}

void TMDIChild1::leaveCurrent() {
    if (currentReport() == this) {
        currentReport() = nullptr;
        run_.deactivate();
    }
}

void TMDIChild1::closePopupOf(TMDIChild1& owner) {
    if (TMDIChild1* popup = windowOf(owner.run_.popupHandle())) {
        // Its owner is not brought to the front: that would undo the maximising.
        popup->quietClose_ = true;
        popup->closeWindow();
    }
}

void TMDIChild1::windowStateChanged(Qt::WindowStates before, Qt::WindowStates now) {
    if (!(before & Qt::WindowActive) && (now & Qt::WindowActive)) {
        becomeCurrent();
    }
    if (!(before & Qt::WindowMaximized) && (now & Qt::WindowMaximized)) {
        // Maximised, this window covers the others: their pop-ups would float over it.
        for (ShellChild* c : shell_.children().all()) {
            auto* other = dynamic_cast<TMDIChild1*>(c);
            if (other != nullptr && other != this) {
                closePopupOf(*other);
            }
        }
    }
    if (!(before & Qt::WindowMinimized) && (now & Qt::WindowMinimized)) {
        closePopupOf(*this);
    }
}

void TMDIChild1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (activationHooked_) {
        return;
    }
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub == nullptr || sub->mdiArea() == nullptr) {
        return; // a pop-up: its own activation events tell (changeEvent)
    }
    activationHooked_ = true;
    connect(sub, &QMdiSubWindow::windowStateChanged, this, &TMDIChild1::windowStateChanged);
    // A designer window taking over deactivates the report window.
    connect(sub->mdiArea(), &QMdiArea::subWindowActivated, this, [this, sub](QMdiSubWindow* s) {
        if (s != nullptr && s != sub && qobject_cast<TMDIChild1*>(s->widget()) == nullptr) {
            leaveCurrent();
        }
    });
    if (sub->mdiArea()->activeSubWindow() == sub) {
        becomeCurrent(); // activated before it could be told
    }
}

bool TMDIChild1::event(QEvent* event) {
    // The main window coming back to the front (from a pop-up, say) reaches its children as
    // WindowActivate; the current MDI child among them is the window the user works in again.
    if (event->type() == QEvent::WindowActivate && !isWindow()) {
        auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
        if (sub != nullptr && sub->mdiArea() != nullptr &&
            sub->mdiArea()->currentSubWindow() == sub) {
            becomeCurrent();
        }
    }
    return QWidget::event(event);
}

void TMDIChild1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow()) {
        becomeCurrent(); // a pop-up came to the front
    } else if (event->type() == QEvent::WindowStateChange && isWindow()) {
        const auto* e = static_cast<QWindowStateChangeEvent*>(event);
        windowStateChanged(e->oldState(), windowState());
    }
}

} // namespace fc
