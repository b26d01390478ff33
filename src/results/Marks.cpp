#include "results/Marks.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "exchange/ReportRun.h"
#include "results/CellActions.h"
#include "results/Filter.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"
#include "results/Totals.h"

#include <algorithm>

namespace fc {

namespace {

constexpr Color kYellow = rgb(255, 255, 0);

void setMarked(Sheet& sh, int row, bool on) {
    if (sh.maxCol() < 2) {
        return;
    }
    sh.editStyle(CellRange{row, 2, row, sh.maxCol()}, [on](Style& st) {
        if (on) {
            st.fill = Fill{1, kYellow, kAutoColor};
        } else if (st.fill.fg == kYellow) {
            st.fill = Fill{};
        }
    });
}

// One state: the run's flag when there is a run, else the session's own.
void setOnlyMarkedFlag(ResultSession& s, bool on) {
    if (ReportRun* run = s.run()) {
        run->flags().onlyMarked = on;
    } else {
        s.view.marks.onlyMarked = on;
    }
}

// "Scroll to row 1 and select column 2 of the top row".
void toTop(Sheet& sh) {
    sh.setTopLeft(1, sh.leftCol());
    sh.setActiveCell(1, 2);
}

const std::string& onlyMarkedNote() {
    static const std::string note = w("   Только выделенные стpоки");
    return note;
}

} // namespace

bool isMarkedRow(const Sheet& sh, int row) {
    const Fill& f = sh.style(row, 2).fill;
    return f.pattern != 0 && f.fg == kYellow;
}

bool onlyMarkedRows(const ResultSession& s) {
    ResultSession& m = const_cast<ResultSession&>(s);
    return m.run() ? m.run()->flags().onlyMarked : s.view.marks.onlyMarked;
}

bool markRecord(ResultSession& s, int row, int col) {
    Sheet& sh = s.sheet();
    const int first = result::firstDataRow(sh);
    const int last = sh.maxRow();
    if (row < first || row > last) {
        return false;
    }
    // The row cursor's navy and white would stay under the yellow.
    dropRowCursor(s);
    Workbook& book = s.book();
    const bool selChange = book.events().doSelChange;
    book.events().doSelChange = false;
    const bool above = row == first || result::borderBelow(sh, row - 1, 2, sh.maxCol());
    const bool below = row >= last || result::borderBelow(sh, row, 2, sh.maxCol());
    // A record is marked whole: from its first row down to the next border, from its last
    // row up to the previous one (two rows for the two-row records this is meant for).
    int r1 = row, r2 = row;
    if (above && !below) {
        while (r2 < last && !result::borderBelow(sh, r2, 2, sh.maxCol())) {
            ++r2;
        }
    } else if (below && !above) {
        while (r1 > first && !result::borderBelow(sh, r1 - 1, 2, sh.maxCol())) {
            --r1;
        }
    } else if (!above && !below) {
        book.events().doSelChange = selChange;
        return false;
    }
    const bool on = !isMarkedRow(sh, row);
    for (int r = r1; r <= r2; ++r) {
        setMarked(sh, r, on);
    }
    MarkState& m = s.view.marks;
    m.count = on ? m.count + 1 : std::max(0, m.count - 1);
    // Only the marked-rows mode changes what is shown, and so the totals.
    if (!on && onlyMarkedRows(s)) {
        for (int r = r1; r <= r2 && r < last; ++r) {
            sh.setRowHidden(r, true);
        }
        total_(s);
    }
    sh.setActiveCell(row, std::max(col, 1));
    book.events().doSelChange = selChange;
    return true;
}

void hideUnmarkedRows(ResultSession& s) {
    Sheet& sh = s.sheet();
    for (int r = result::firstDataRow(sh); r < sh.maxRow(); ++r) {
        if (!sh.rowHidden(r) && !isMarkedRow(sh, r)) {
            sh.setRowHidden(r, true);
        }
    }
}

void setOnlyMarked(ResultSession& s, bool on) {
    Sheet& sh = s.sheet();
    setOnlyMarkedFlag(s, on);
    if (!on) {
        Filtr(s, true);
        return;
    }
    Workbook& book = s.book();
    const bool repaint = book.repaint();
    book.setRepaint(false);
    hideUnmarkedRows(s);
    total_(s);
    toTop(sh);
    book.setRepaint(repaint);
    const std::string status = s.status().statusText();
    if (status.find(w("Только выделенные")) == std::string::npos) {
        s.status().setStatusText(status + onlyMarkedNote());
    }
}

void clearMarks(ResultSession& s) {
    Sheet& sh = s.sheet();
    Workbook& book = s.book();
    const bool repaint = book.repaint();
    book.setRepaint(false);
    // Only the marks go: the fills the answer gave its rows stay.
    for (int r = result::firstDataRow(sh); r <= sh.maxRow(); ++r) {
        if (isMarkedRow(sh, r)) {
            setMarked(sh, r, false);
        }
    }
    book.setRepaint(repaint);
    s.view.marks.count = 0;
    if (onlyMarkedRows(s)) {
        setOnlyMarked(s, false);
    } else {
        toTop(sh);
    }
}

void newAnswer(ResultSession& s) {
    setOnlyMarkedFlag(s, false);
    s.view.marks.count = 0;
    s.view.sort = SortState{};
    s.view.quickSum = QuickSumState{};
}

} // namespace fc
