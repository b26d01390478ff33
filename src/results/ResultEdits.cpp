#include "results/ResultEdits.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/ReportSettings.h"
#include "results/ActionText.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"
#include "results/Totals.h"

#include <algorithm>

namespace fc::edit {

bool columnEditable(const ResultSession& session, int col) {
    const std::vector<int>& cols = session.settings().editColumns;
    return std::find(cols.begin(), cols.end(), col) != cols.end();
}

bool holdsEditableData(const ResultSession& session) {
    return !session.settings().saveInstruction.empty();
}

bool sheetModified(const Sheet& sheet) {
    return sheet.maxRow() < kMaxRows && sheet.text(sheet.maxRow() + 1, result::kMarkCol) == "X";
}

void setSheetModified(Sheet& sheet, bool on) {
    if (sheet.maxRow() < kMaxRows && sheetModified(sheet) != on) {
        sheet.setText(sheet.maxRow() + 1, result::kMarkCol, on ? "X" : "");
    }
}

void markRow(ResultSession& session, int row) {
    Sheet& sheet = session.sheet();
    if (!validRow(row)) {
        return;
    }
    if (sheet.text(row, result::kMarkCol) != "X") {
        sheet.setText(row, result::kMarkCol, "X");
    }
    if (holdsEditableData(session)) {
        setSheetModified(sheet, true);
    }
}

bool typingEdits(const ResultSession& session, int row, int col) {
    const Sheet& sheet = session.sheet();
    if (!columnEditable(session, col) || row < result::firstDataRow(sheet) ||
        row > sheet.maxRow()) {
        return false;
    }
    return !action::keepsEditingOut(action::actionText(sheet, row), col);
}

namespace {

void keepFormula(ResultSession& session, int row, int col) {
    ActionState& state = session.actions();
    const std::string formula = session.sheet().formula(row, col);
    if (formula.empty()) {
        state.editing.reset();
    } else {
        state.editing = std::make_pair(row, ActionState::Formula{col, formula});
    }
}

void settleFormula(ResultSession& session) {
    ActionState& state = session.actions();
    if (state.editing) {
        state.formulas[state.editing->first] = std::move(state.editing->second);
        state.editing.reset();
    }
}

// What follows every stored edit: totals over the new value, then the formulas.
void afterEdit(ResultSession& session, int row) {
    markRow(session, row);
    total_(session);
    session.book().recalcIfNeeded();
}

} // namespace

std::string startEdit(ResultSession& session, int row, int col,
                      const std::optional<std::string>& typed) {
    keepFormula(session, row, col);
    if (typed) {
        return *typed;
    }
    const Sheet& sheet = session.sheet();
    const Value v = sheet.value(row, col);
    const std::string shown = text::trim(sheet.text(row, col));
    return (v.kind == ValueKind::Number && v.number == 0) || shown == "0" ? std::string() : shown;
}

std::string finalEntry(const Sheet& sheet, int row, int col, std::string typed) {
    const std::string& format = sheet.style(row, col).numberFormat;
    if (typed.empty() && format.find('0') != std::string::npos) {
        typed = "0";
    }
    if (format.find("0.") != std::string::npos) {
        if (const std::size_t comma = typed.find(','); comma != std::string::npos) {
            typed[comma] = '.';
        }
    }
    return typed;
}

std::string endEdit(ResultSession& session, int row, int col, const std::string& typed) {
    Sheet& sheet = session.sheet();
    const std::string entry = finalEntry(sheet, row, col, typed);
    settleFormula(session);
    sheet.setEntry(row, col, entry);
    session.book().allow().allowInCellEditing = false;
    afterEdit(session, row);
    return entry;
}

void cancelEdit(ResultSession& session) {
    session.actions().editing.reset();
    session.book().allow().allowInCellEditing = false;
}

void commitOverlay(ResultSession& session, int row, int col, const std::string& text) {
    Sheet& sheet = session.sheet();
    keepFormula(session, row, col);
    settleFormula(session);
    if (!text.empty()) {
        sheet.setEntry(row, col, finalEntry(sheet, row, col, text));
    } else if (sheet.style(row, col).numberFormat != "General") {
        sheet.setEntry(row, col, "0");
    } else {
        sheet.clear(CellRange::cell(row, col), ClearWhat::Values);
    }
    afterEdit(session, row);
}

int restoreFormulas(ResultSession& session) {
    Sheet& sheet = session.sheet();
    int restored = 0;
    const auto from = session.actions().formulas.lower_bound(sheet.fixedRows() + 1);
    for (auto it = from; it != session.actions().formulas.end() && it->first <= sheet.maxRow();
         ++it) {
        sheet.setFormula(it->first, it->second.col, it->second.formula);
        ++restored;
    }
    if (restored > 0) {
        session.book().recalcIfNeeded();
    }
    return restored;
}

std::string overlayFontName(std::string_view name) {
    const std::string up = cp1251::upper(text::trim(name));
    if (up == "FIXEDSYS" || up == "MS SANS SERIF" || up == "SYSTEM") {
        return std::string(text::trim(name));
    }
    if (up == "ARIAL" || up == "COURIER NEW") {
        return std::string(text::trim(name)) + " Cyr";
    }
    return "FixedSys";
}

} // namespace fc::edit
