#include "designer/DesignerCommands.h"

#include "components/model/Workbook.h"
#include "designer/DesignerMessages.h"
#include "designer/DesignerSheet.h"
#include "designer/StatementColour.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace fc::designercmd {

QString withRptExtension(const QString& name) {
    return name.endsWith(QLatin1String("RPT"), Qt::CaseInsensitive) ? name
                                                                    : name + QLatin1String(".rpt");
}

QString withXlsExtension(const QString& name) {
    return name.endsWith(QLatin1String(".xls"), Qt::CaseInsensitive) ? name
                                                                     : name + QLatin1String(".xls");
}

void clearRightOfForm(Sheet& s) {
    const int first = s.maxCol() + 1;
    if (first > 100) {
        return;
    }
    s.clear({1, first, s.maxRow() + 1, 100}, ClearWhat::All);
}

void prepareForPrint(Workbook& book) {
    const int current = book.currentSheet();
    for (int n = 1; n <= book.numSheets(); ++n) {
        Sheet& s = book.sheet(n);
        clearRightOfForm(s);
        s.setSelection({1, 1, s.maxRow(), s.maxCol()});
    }
    book.setCurrentSheet(current);
}

bool deleteSelectedRowsOrCols(Sheet& s) {
    const CellRange sel = s.selectionRange(0).normalized();
    // Only columns and rows of the template go: the object column, the height column and
    // whatever lies past the template stay where they are.
    if (sel.wholeCols()) {
        const int count = std::min(sel.c2, s.maxCol()) - sel.c1 + 1;
        if (count <= 0) {
            return false;
        }
        s.deleteCols(sel.c1, count);
        // The deletion pulled the height column and column 256 left; blank columns in front
        // of them put them back.
        s.insertCols(designer::kHeightCol - count, count);
        s.setMaxCol(s.maxCol() - count);
        return true;
    }
    if (sel.wholeRows()) {
        const int count = std::min(sel.r2, s.maxRow()) - sel.r1 + 1;
        if (count <= 0) {
            return false;
        }
        s.deleteRows(sel.r1, count);
        s.setMaxRow(s.maxRow() - count);
        return true;
    }
    return false;
}

bool insertRowOrCol(Sheet& s) {
    const CellRange sel = s.selectionRange(0).normalized();
    if (sel.wholeCols()) {
        // Past the object column a new column would take the object records into the form.
        if (sel.c1 > s.maxCol() + 1 || s.maxCol() >= designer::kMaxFormCol) {
            return false;
        }
        s.insertCols(sel.c1, 1);
        // The height column moved to 256; dropping column 255 brings it back.
        s.deleteCols(designer::kHeightCol, 1);
        s.setMaxCol(s.maxCol() + 1);
        return true;
    }
    if (sel.wholeRows()) {
        // A full sheet would push its last row out.
        if (sel.r1 > s.maxRow() + 1 || s.maxRow() >= kMaxRows) {
            return false;
        }
        s.insertRows(sel.r1, 1);
        s.setMaxRow(s.maxRow() + 1);
        return true;
    }
    return false;
}

namespace {

template <typename F>
void forSelectedRows(const Sheet& s, F f) {
    for (const CellRange& r : s.selection()) {
        const CellRange n = r.normalized();
        for (int row = n.r1; row <= std::min(n.r2, s.maxRow()); ++row) {
            f(row);
        }
    }
}

bool isCheckerColour(Color c) { return c == kStatementRed || c == kStatementGray; }

} // namespace

void fixSelectedRowHeights(Sheet& s) {
    forSelectedRows(s, [&](int row) { designer::setFixedHeight(s, row, s.rowHeight(row)); });
}

void unfixSelectedRowHeights(Sheet& s) {
    forSelectedRows(s, [&](int row) { designer::setFixedHeight(s, row, 0); });
}

bool anySelectedRowFixed(const Sheet& s) {
    bool any = false;
    forSelectedRows(s, [&](int row) { any = any || designer::fixedHeight(s, row) > 0; });
    return any;
}

Font defaultFontOf(const Workbook& book) {
    if (book.currentSheet() == 1) {
        return book.defaultFont();
    }
    return book.sheet().style(1, 1).font;
}

void applyDefaultFont(Workbook& book, const std::string& name, double size) {
    Sheet& s = book.sheet();
    const bool first = book.currentSheet() == 1;
    const Font old = defaultFontOf(book);
    auto take = [&](int r, int c) {
        s.editStyle(CellRange::cell(r, c), [&](Style& st) {
            st.font.name = name;
            st.font.size = size;
        });
    };
    if (first) {
        book.setDefaultFont(name, size);
    }
    for (int r = 1; r <= s.maxRow(); ++r) {
        if (designer::isStatementRow(s, r) &&
            isCheckerColour(s.style(r, designer::kStatementCol).font.color)) {
            take(r, designer::kStatementCol);
        }
        // On a later sheet form cells follow the sheet's default, those of statement rows too
        // (they are the sheet's cells until the row is saved).
        if (first) {
            continue;
        }
        for (int c = designer::kFirstFormCol; c <= s.maxCol(); ++c) {
            const Font& f = s.style(r, c).font;
            const bool plainOld = f.name == old.name && f.size == old.size && !f.bold &&
                                  !f.italic && !f.underline && !f.strikeout &&
                                  (f.color == kAutoColor || f.color == 0);
            if (plainOld) {
                take(r, c);
            }
        }
    }
    if (!first) {
        take(1, 1);
    }
}

Extent usedExtent(const Sheet& s) {
    Extent e;
    const int objectCol = designer::objectCol(s);
    const int lastRow = std::min(s.maxRow(), s.storedRows());
    for (int r = 1; r <= lastRow; ++r) {
        const Row& row = s.rows()[static_cast<std::size_t>(r - 1)];
        for (const Cell& c : row.cells) {
            const bool form = c.col >= designer::kFirstFormCol && c.col <= s.maxCol();
            if (c.col == designer::kStatementCol || c.col == objectCol ||
                c.col == designer::kHeightCol) {
                if (c.hasContent()) {
                    e.rows = std::max(e.rows, r);
                }
            } else if (form && (c.hasContent() || c.style != 0)) {
                e.rows = std::max(e.rows, r);
                e.cols = std::max(e.cols, static_cast<int>(c.col));
            }
        }
        if (row.pageBreak) {
            e.rows = std::max(e.rows, r);
        }
    }
    for (const CellRange& m : s.merges()) {
        if (m.r1 <= s.maxRow() && m.c1 <= s.maxCol()) {
            e.rows = std::max(e.rows, std::min(m.r2, s.maxRow()));
            e.cols = std::max(e.cols, std::min(m.c2, s.maxCol()));
        }
    }
    for (const DrawnObject& o : s.objects()) {
        const int top = static_cast<int>(std::floor(std::min(o.y1, o.y2))) + 1;
        e.rows = std::max(e.rows, std::clamp(top, 1, kMaxRows));
    }
    return e;
}

std::string setExtent(Sheet& s, int cols, int rows) {
    const Extent used = usedExtent(s);
    if (rows < used.rows) {
        return designermsg::rowsInUse(used.rows);
    }
    if (cols < used.cols) {
        return designermsg::colsInUse(used.cols);
    }
    cols = std::clamp(cols, 1, designer::kMaxFormCol);
    rows = std::clamp(rows, 1, kMaxRows);
    if (cols != s.maxCol()) {
        const WaitingRecords waiting = takeWaitingRecords(s);
        s.setMaxCol(cols);
        putWaitingRecords(s, waiting);
    }
    s.setMaxRow(rows);
    return {};
}

WaitingRecords takeWaitingRecords(Sheet& s) {
    WaitingRecords out;
    const int col = designer::objectCol(s);
    const int last = std::min(s.maxRow(), s.storedRows());
    for (int r = 1; r <= last; ++r) {
        const Cell* c = s.cell(r, col);
        if (c && c->kind == ValueKind::Text && c->text.rfind("OBJ=", 0) == 0) {
            out.emplace_back(r, c->text);
        }
    }
    for (const auto& [row, text] : out) {
        s.setText(row, col, {});
    }
    return out;
}

void putWaitingRecords(Sheet& s, const WaitingRecords& records) {
    const int col = designer::objectCol(s);
    for (const auto& [row, text] : records) {
        s.setText(row, col, text);
    }
}

int rowsToInsertForPaste(int lines, int rows) { return lines > rows ? lines - rows : 0; }

int clipboardLines(const QString& text) {
    if (text.isEmpty()) {
        return 0;
    }
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (t.endsWith(QLatin1Char('\n'))) {
        t.chop(1);
    }
    return static_cast<int>(t.count(QLatin1Char('\n'))) + 1;
}

void applyDesignerView(Workbook& book) {
    ViewOptions v = book.view();
    v.backColor = rgb(255, 255, 255);
    v.hdrHeight = 255;
    v.hdrWidth = 450;
    v.showGridLines = false;
    v.showHScrollBar = true;
    v.showVScrollBar = true;
    book.setView(v);
}

} // namespace fc::designercmd
