// The report window's searches: type-ahead down the active column and the Alt search over
// column 2.
#include "results/ui/TMDIChild1.h"

#include "components/ui/SheetView.h"
#include "results/ResultSearch.h"

#include <QKeyEvent>
#include <QTimer>

namespace fc {

// Alt and the keys typed with it, taken from the sheet before the view and the menu bar see
// them: while the sheet has the focus, Alt with a letter or digit is the row search, not a
// menu's mnemonic. Alt+X stays the main window's "Выход".
class TMDIChild1::SearchKeys : public QObject {
public:
    explicit SearchKeys(TMDIChild1& w) : QObject(&w), w_(w) {}

    static char searchChar(const QKeyEvent* k) {
        if ((k->modifiers() & Qt::ControlModifier) || !(k->modifiers() & Qt::AltModifier)) {
            return 0;
        }
        const char c = latinOfKey(static_cast<int>(k->nativeScanCode()), k->key());
        return c == 'X' ? 0 : c;
    }

    bool eventFilter(QObject* watched, QEvent* e) override {
        switch (e->type()) {
        case QEvent::ShortcutOverride: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (searchChar(k) != 0) {
                k->accept();
                return true;
            }
            return false;
        }
        case QEvent::KeyPress: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Alt) {
                if (!k->isAutoRepeat()) {
                    altSearch().begin();
                }
                return false;
            }
            if (const char c = searchChar(k)) {
                altSearch().add(c);
                return true;
            }
            return false;
        }
        case QEvent::KeyRelease: {
            auto* k = static_cast<QKeyEvent*>(e);
            if (k->key() == Qt::Key_Alt && !k->isAutoRepeat() && !altSearch().text().empty()) {
                Sheet& sheet = w_.book_.sheet(1);
                if (std::optional<int> row = altSearch().finish(sheet, sheet.activeCell().row)) {
                    sheet.setActiveCell(*row, 1);
                    w_.view_->showActiveCell();
                }
                return true;
            }
            return searchChar(k) != 0;
        }
        default: return QObject::eventFilter(watched, e);
        }
    }

private:
    TMDIChild1& w_;
};

void TMDIChild1::buildSearch() {
    KeyTimer_ = new QTimer(this);
    KeyTimer_->setObjectName(QStringLiteral("KeyTimer"));
    KeyTimer_->setInterval(TypeAhead::kIntervalMs);
    connect(KeyTimer_, &QTimer::timeout, this, &TMDIChild1::keyTick);
    searchKeys_ = new SearchKeys(*this);
    view_->installEventFilter(searchKeys_);
}

void TMDIChild1::typeAhead(unsigned char c) {
    Sheet& sheet = book_.sheet(1);
    const CellRef a = sheet.activeCell();
    const std::optional<int> row = session_.typeAhead().type(sheet, a.row, a.col, c);
    KeyTimer_->start();
    if (row) {
        sheet.setActiveCell(*row, a.col);
        view_->showActiveCell();
    }
}

void TMDIChild1::keyTick() {
    if (session_.typeAhead().tick() || !session_.typeAhead().timing()) {
        KeyTimer_->stop();
    }
}

} // namespace fc
