#pragma once

#include <QApplication>

namespace fc {

// A window's share of the application's hourglass: set once however often it is asked for,
// and given back when the window goes.
class BusyCursor {
public:
    BusyCursor() = default;
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    ~BusyCursor() { set(false); }

    void set(bool busy) {
        if (busy == busy_) {
            return;
        }
        busy_ = busy;
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
        } else {
            QApplication::restoreOverrideCursor();
        }
    }
    bool isSet() const { return busy_; }

private:
    bool busy_ = false;
};

} // namespace fc
