#include "results/ResultMenu.h"

#include "components/model/Workbook.h"
#include "components/text/TextOps.h"
#include "exchange/AnswerText.h"
#include "exchange/ReportSettings.h"
#include "results/ActionText.h"
#include "results/ResultEdits.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"
#include "results/Totals.h"

#include <algorithm>

namespace fc::menu {

namespace {

// "Вставить" is open after a copy made in this program, whichever window made it.
bool& copyMade() {
    static bool made = false;
    return made;
}

// Where the user may change a cell with the menu's editing items.
bool editableCell(const ResultSession& session, int row, int col) {
    return edit::columnEditable(session, col) &&
           !action::keepsEditingOut(action::actionText(session.sheet(), row), col);
}

// A range cut to the data area: data rows, columns 2 to MaxCol.
// Rows that took values: their totals and formulas follow. Returns `marked`.
int rowsChanged(ResultSession& session, int marked) {
    if (marked > 0) {
        total_(session);
        session.book().recalcIfNeeded();
    }
    return marked;
}

CellRange dataPart(const Sheet& sheet, const CellRange& g) {
    return {std::max(g.r1, result::firstDataRow(sheet)), std::max(g.c1, 2),
            std::min(g.r2, sheet.maxRow()), std::min(g.c2, sheet.maxCol())};
}

} // namespace

PopupState popupState(const ResultSession& session, bool sheetFocused) {
    PopupState p;
    const Sheet& sheet = session.sheet();
    const ReportSettings& settings = session.settings();
    const CellRange first = sheet.selectionRange(0);
    if (settings.popupAllowance) {
        p.serverItems = first.c1 == *settings.popupAllowance && first.c2 == first.c1;
    }
    p.copy = !settings.noSave;
    p.editItems = sheetFocused;
    p.hideColumn = sheetFocused;
    if (edit::holdsEditableData(session)) {
        const CellRef a = sheet.activeCell();
        p.copy = true;
        p.paste = copied();
        p.remove = true;
        if (!editableCell(session, a.row, a.col)) {
            p.paste = false;
            p.remove = false;
        }
    }
    return p;
}

void noteCopy() { copyMade() = true; }

bool copied() { return copyMade(); }

int pasteValues(ResultSession& session, std::string_view tsv) {
    Sheet& sheet = session.sheet();
    const CellRange target = sheet.selectionRange(0);
    int marked = 0;
    int r = target.r1;
    for (std::size_t pos = 0; pos < tsv.size() && r <= sheet.maxRow(); ++r) {
        std::size_t eol = tsv.find('\n', pos);
        if (eol == std::string_view::npos) {
            eol = tsv.size();
        }
        std::string_view line = tsv.substr(pos, eol - pos);
        pos = eol + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (r < result::firstDataRow(sheet)) {
            continue;
        }
        bool wrote = false;
        int c = target.c1;
        for (std::size_t f = 0; c <= sheet.maxCol(); ++c) {
            const std::size_t tab = line.find('\t', f);
            const std::string_view field =
                line.substr(f, tab == std::string_view::npos ? tab : tab - f);
            if (editableCell(session, r, c)) {
                wrote = true;
                std::optional<double> number;
                if (sheet.style(r, c).numberFormat != "@") {
                    number = answer::parseNumber(field);
                }
                if (field.empty()) {
                    sheet.clear(CellRange::cell(r, c), ClearWhat::Values);
                } else if (number) {
                    sheet.setNumber(r, c, *number);
                } else {
                    sheet.setText(r, c, field);
                }
            }
            if (tab == std::string_view::npos) {
                break;
            }
            f = tab + 1;
        }
        if (wrote) {
            edit::markRow(session, r);
            ++marked;
        }
    }
    return rowsChanged(session, marked);
}

int clearSelection(ResultSession& session) {
    Sheet& sheet = session.sheet();
    int marked = 0;
    for (const CellRange& g : std::vector<CellRange>(sheet.selection())) {
        const CellRange d = dataPart(sheet, g);
        for (int r = d.r1; r <= d.r2; ++r) {
            bool touched = false;
            for (int c = d.c1; c <= d.c2; ++c) {
                if (editableCell(session, r, c)) {
                    sheet.clear(CellRange::cell(r, c), ClearWhat::Values);
                    touched = true;
                }
            }
            if (touched) {
                edit::markRow(session, r);
                ++marked;
            }
        }
    }
    return rowsChanged(session, marked);
}

void hideColumn(ResultSession& session) {
    const int col = session.sheet().selectionRange(0).c1;
    if (validCol(col)) {
        session.sheet().setColHidden(col, true);
    }
}

std::string itemValue(std::string_view caption) {
    std::string value = text::trim(caption.substr(0, caption.find('{')));
    if (!value.empty() && value.back() == '-') {
        value.pop_back();
        value = text::trim(value);
    }
    return value;
}

int writeServerItem(ResultSession& session, std::string_view caption) {
    Sheet& sheet = session.sheet();
    const std::string value = itemValue(caption);
    int marked = 0;
    std::vector<bool> seen(static_cast<std::size_t>(std::max(sheet.maxRow(), 0)) + 1, false);
    for (const CellRange& g : std::vector<CellRange>(sheet.selection())) {
        const CellRange d = dataPart(sheet, g);
        for (int r = d.r1; r <= d.r2; ++r) {
            for (int c = d.c1; c <= d.c2; ++c) {
                sheet.setEntry(r, c, value);
            }
            if (d.c1 <= d.c2 && !seen[static_cast<std::size_t>(r)]) {
                seen[static_cast<std::size_t>(r)] = true;
                edit::markRow(session, r);
                ++marked;
            }
        }
    }
    return rowsChanged(session, marked);
}

} // namespace fc::menu
