// The report window's rows: marking records (right double-click, Ctrl+Enter), "Только
// выделенные стpоки" and "Снять выделение стpок", choosing the sort column by a click on a
// heading cell and sorting, and the quick sum of the cells picked with Ctrl.
#include "results/ui/TMDIChild1.h"

#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"
#include "results/Marks.h"
#include "results/QuickSum.h"
#include "results/Sorting.h"
#include "results/ui/QuickSumPanel.h"
#include "shell/ShellHost.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace fc {

namespace {

constexpr int kEnter = 13;
constexpr int kCtrl = 17;
constexpr int kEnd = 35;
constexpr int kHome = 36;

} // namespace

void TMDIChild1::buildViewWidgets() {
    session_.view.measurer = &view_->measurer();
    session_.view.progress = &progress_;

    // The first filter of a large answer would format every cell for its texts: that is done
    // beforehand, a thousand rows at a time, whenever the window has nothing else to do.
    textTimer_ = new QTimer(this);
    textTimer_->setInterval(0);
    connect(textTimer_, &QTimer::timeout, this, [this] {
        if (!session_.view.filter.texts.prepare(book_.sheet(1), 1000)) {
            textTimer_->stop();
        }
    });

    quickSum_ = new QuickSumPanel(this);
    connect(quickSum_, &QuickSumPanel::edited, this, [this] { view_->setFocus(); });

    // A click on a heading cell chooses the sort column.
    connect(view_, &SheetView::click, this, [this](int row, int col) {
        if (row < 1 || col < 1 || session_.view.quickSum.ctrlHeld) {
            return;
        }
        BusyCursor busy;
        busy.set(true);
        if (chooseSortColumn(session_, row, col)) {
            viewChanged();
        }
    });
    // A right double-click, or Ctrl+Enter on the active cell, marks the record.
    connect(view_, &SheetView::rDblClick, this, [this](int row, int col) {
        if (row >= 1 && col >= 1 && markRecord(session_, row, col)) {
            viewChanged();
        }
    });
    connect(view_, &SheetView::mouseDown, this,
            [this](Qt::MouseButton, Qt::KeyboardModifiers mods, QPoint) {
                session_.view.quickSum.ctrlHeld = mods & Qt::ControlModifier;
            });
    connect(view_, &SheetView::keyDown, this, [this](SheetKeyEvent* e) {
        if (e->key == kCtrl) {
            session_.view.quickSum.ctrlHeld = true;
        } else if (e->key == kHome || e->key == kEnd) {
            session_.view.quickSum.ctrlHeld = false;
        } else if (e->key == kEnter && (e->modifiers & Qt::ControlModifier)) {
            const CellRef at = book_.sheet(1).activeCell();
            if (markRecord(session_, at.row, at.col)) {
                viewChanged();
            }
            e->consumed = true;
        }
    });
    connect(view_, &SheetView::keyUp, this, [this](SheetKeyEvent* e) {
        if (e->key == kCtrl) {
            session_.view.quickSum.ctrlHeld = false;
        }
    });
    connect(view_, &SheetView::selChange, this, [this] { sheetSelectionChanged(); });
}

void TMDIChild1::sheetSelectionChanged() {
    if (session_.view.quickSum.ctrlHeld && book_.sheet(1).selectionCount() >= 2) {
        quickSumRangeAdded(session_);
    } else {
        hideQuickSum(session_);
    }
    if (session_.view.quickSum.shown) {
        quickSum_->showSum(*session_.view.quickSum.shown);
    } else {
        quickSum_->hide();
    }
}

void TMDIChild1::viewChanged() {
    textTimer_->start();
    if (session_.view.quickSum.shown) {
        quickSum_->showSum(*session_.view.quickSum.shown);
    } else {
        quickSum_->hide();
    }
    view_->showActiveCell();
    view_->viewport()->update();
}

void TMDIChild1::setOnlyMarkedRows(bool on) {
    BusyCursor busy;
    busy.set(true);
    setOnlyMarked(session_, on);
    shell_.setCommandChecked("p1", on);
    viewChanged();
}

void TMDIChild1::clearRowMarks() {
    BusyCursor busy;
    busy.set(true);
    clearMarks(session_);
    shell_.setCommandChecked("p1", run_.flags().onlyMarked);
    viewChanged();
}

void TMDIChild1::sortRows(SortOrder order) {
    if (order == SortOrder::Default) {
        run_.ReRun(); // the server's order
        return;
    }
    BusyCursor busy;
    busy.set(true);
    sortRecords(session_, order == SortOrder::Descending);
    viewChanged();
}

} // namespace fc
