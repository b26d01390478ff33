#include "components/ui/CellEditor.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace fc {

CellEditor::CellEditor(QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setObjectName(QStringLiteral("cellEditor"));
    hide();
}

void CellEditor::begin(const QString& text, bool typing) {
    typing_ = typing;
    setText(text);
    setCursorPosition(static_cast<int>(text.size()));
    show();
    raise();
    setFocus(Qt::OtherFocusReason);
}

void CellEditor::quietHide() {
    hiding_ = true;
    hide();
    hiding_ = false;
}

bool CellEditor::event(QEvent* e) {
    // Tab would move the focus to the next widget before keyPressEvent saw it.
    if (e->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (k->key() == Qt::Key_Tab || k->key() == Qt::Key_Backtab) {
            bool back = k->key() == Qt::Key_Backtab || (k->modifiers() & Qt::ShiftModifier);
            emit finished(back ? End::BackTab : End::Tab);
            return true;
        }
    }
    return QLineEdit::event(e);
}

void CellEditor::keyPressEvent(QKeyEvent* e) {
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: emit finished(shift ? End::ShiftEnter : End::Enter); return;
    case Qt::Key_Escape: emit finished(End::Escape); return;
    case Qt::Key_Up: emit finished(End::Up); return;
    case Qt::Key_Down: emit finished(End::Down); return;
    case Qt::Key_Left:
        if (typing_) {
            emit finished(End::Left);
            return;
        }
        break;
    case Qt::Key_Right:
        if (typing_) {
            emit finished(End::Right);
            return;
        }
        break;
    case Qt::Key_F2: typing_ = !typing_; return;
    default: break;
    }
    QLineEdit::keyPressEvent(e);
}

void CellEditor::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // A context menu or another window taking the focus leaves the edit open.
    if (!hiding_ && isVisible() && e->reason() != Qt::PopupFocusReason &&
        e->reason() != Qt::ActiveWindowFocusReason) {
        emit finished(End::FocusOut);
    }
}

} // namespace fc
