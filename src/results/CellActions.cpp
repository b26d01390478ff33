#include "results/CellActions.h"

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/CommandText.h"
#include "exchange/CopyBack.h"
#include "exchange/ReportRun.h"
#include "exchange/ReportSettings.h"
#include "results/ActionHost.h"
#include "results/ActionText.h"
#include "results/ResultEdits.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"
#include "results/Totals.h"

#include <cmath>
#include <set>

namespace fc {

namespace {

constexpr Color kBlue = rgb(0, 0, 255);
constexpr Color kNavy = rgb(0, 0, 128);
constexpr Color kWhite = rgb(255, 255, 255);

// Step 2: a click where the row has no action at all.
ActionResult noAction(ResultSession& session, ActionHost& host, int row, int col) {
    const Sheet& sheet = session.sheet();
    if (!edit::columnEditable(session, col)) {
        host.columnKey(135 + col);
        return ActionResult::ColumnKey;
    }
    if (row < result::firstDataRow(sheet) || row > sheet.maxRow() || row < sheet.topRow()) {
        return ActionResult::Nothing;
    }
    // A row whose column 1 carries text (a turbo row's number, a key) is edited in the
    // overlay editor, unless the answer made every column editable (";EDIT" alone).
    if (text::trimView(sheet.text(row, 1)).empty() || session.settings().editAll) {
        host.editInCell(row, col);
        return ActionResult::EditInCell;
    }
    host.editOverlay(row, col);
    return ActionResult::EditOverlay;
}

// What a ";save" action leaves for after the save: the program its text names before
// ";save" ("%N" replaced now, from the clicked row); ";close=" with it makes this window the
// edit child of its parent. (A "VREK" or "NAK" text with ";save" reaches the save through
// run_form, which leaves the report as the one to open.)
SaveFollowUp followUpOf(ResultSession& session, const action::CommandWords& words, int row) {
    SaveFollowUp follow;
    follow.editChild = words.close;
    follow.columnMap = words.closePairs;
    if (!words.beforeSave.empty()) {
        follow.program =
            substituteColumns(words.beforeSave, session.sheet(), row, OnEmptyValue::Abandon)
                .value_or("");
    }
    return follow;
}

} // namespace

void copyToParent(ResultSession& session, ActionHost& host, CellRef from,
                  const std::string& pairs) {
    Workbook* parent = host.parentBook();
    if (!parent) {
        return; // the parent is gone: the window only closes
    }
    Sheet& target = parent->sheet(1);
    copyToOwner(session.sheet(), from, target, target.activeCell(), pairs, host.parentSaves());
}

namespace {

// ";close" after the command: the pairs' values go to the parent first, when pairs are given.
void closeAfter(ResultSession& session, ActionHost& host, CellRef clicked,
                const std::string& pairs) {
    if (!pairs.empty()) {
        copyToParent(session, host, clicked, pairs);
    }
    host.closeWindow();
}

} // namespace

ActionResult cellAction(ResultSession& session, ActionHost& host, int row, int col) {
    Sheet& sheet = session.sheet();
    if (!validCell(row, col)) {
        return ActionResult::Nothing;
    }
    std::string action = action::withColumn(action::actionText(sheet, row), col);
    if (action.empty()) {
        return noAction(session, host, row, col);
    }

    host.stopEditing();
    if (action::takeWord(action, ";fsave")) {
        host.writeExportFiles();
    }
    if (edit::sheetModified(sheet) && action.find(";nsv") == std::string::npos &&
        edit::holdsEditableData(session) &&
        session.prompter().ask(w("Внимание:"), w("Сохранить изменения?"), Prompter::Buttons::YesNo,
                               Prompter::Icon::Question) == Prompter::Answer::Yes) {
        host.saveAndFollow({});
        return ActionResult::SavedFirst;
    }

    const std::optional<std::string> command = action::commandFor(action, col);
    if (!command) {
        return ActionResult::Nothing;
    }
    const action::CommandWords words = action::parseCommand(*command);
    if (words.report) {
        if (words.report->empty()) {
            return ActionResult::Nothing;
        }
        host.openForm(*words.report);
        return ActionResult::OpenedReport;
    }
    if (words.rformula) {
        edit::restoreFormulas(session);
        if (words.close) {
            closeAfter(session, host, {row, col}, words.closePairs);
        }
        return ActionResult::RestoredFormulas;
    }
    if (words.total) {
        total_(session);
    }
    if (words.save) {
        host.saveAndFollow(followUpOf(session, words, row));
        return ActionResult::Saving;
    }

    ActionResult result = words.close ? ActionResult::Closed : ActionResult::Nothing;
    if (!words.program.empty()) {
        const int current = std::max(sheet.selectionRange(0).r1, 1);
        const std::optional<std::string> line =
            substituteColumns(words.program, sheet, current, OnEmptyValue::Abandon);
        if (!line) {
            return ActionResult::Abandoned;
        }
        host.startProgram(*line);
        result = ActionResult::Program;
    }
    if (words.close) {
        closeAfter(session, host, {row, col}, words.closePairs);
    }
    return result;
}

ActionResult objectClick(ResultSession& session, ActionHost& host, int id) {
    Sheet& sheet = session.sheet();
    const DrawnObject* o = sheet.object(id);
    if (!o || (o->kind != ObjectKind::Button && o->kind != ObjectKind::Picture)) {
        return ActionResult::Nothing;
    }
    const std::string text = o->text;
    if (text.find("BLOCK") != std::string::npos) {
        // Once per program run: a second press of the same button of the same report is idle.
        static std::set<std::string> used;
        const std::string report = session.run() ? session.run()->reportName() : std::string();
        if (!used.insert(report + '\n' + text).second) {
            return ActionResult::Nothing;
        }
    }
    const int row = static_cast<int>(std::floor(std::min(o->y1, o->y2))) + 1;
    int col = static_cast<int>(std::floor(std::min(o->x1, o->x2))) + 1;
    if (!validCell(row, col)) {
        return ActionResult::Nothing;
    }
    if (text.find("SEL") != std::string::npos) {
        sheet.setActiveCell(row, col);
    }
    if (const std::size_t act = text.find("ACT"); act != std::string::npos) {
        long long given = 0;
        if (text::parseInt(text.substr(act + 3, 2), &given) && validCol(static_cast<int>(given))) {
            col = static_cast<int>(given);
        }
    }
    return cellAction(session, host, row, col);
}

ActionResult objectValueChange(ResultSession& session, ActionHost& host, int id) {
    Workbook& book = session.book();
    Sheet& sheet = session.sheet();
    const DrawnObject* o = sheet.object(id);
    if (!o || (o->kind != ObjectKind::CheckBox && o->kind != ObjectKind::ListBox) ||
        o->linkedCell.empty()) {
        return ActionResult::Nothing;
    }
    CellRange at;
    Sheet* linked = sheet.resolveRange(o->linkedCell, at);
    if (linked != &sheet) {
        return ActionResult::Nothing;
    }
    const std::string text = o->text;
    const bool events = book.events().doObjValueChanged;
    book.events().doObjValueChanged = false;
    if (o->kind == ObjectKind::CheckBox) {
        const Value v = sheet.value(at.r1, at.c1);
        const bool on =
            (v.isBool() && v.number != 0) || cp1251::upper(sheet.text(at.r1, at.c1)) == "TRUE";
        sheet.setEntry(at.r1, at.c1, on ? "1" : "0");
    }
    book.events().doObjValueChanged = events;
    if (!book.events().doSelChange) {
        return ActionResult::Nothing;
    }
    edit::markRow(session, at.r1);
    book.allow().allowInCellEditing = false;
    total_(session);
    if (text.find("rerun") != std::string::npos) {
        return cellAction(session, host, at.r1, at.c1);
    }
    return ActionResult::Nothing;
}

Link linkAt(const Sheet& sheet, int row, int col) {
    Link link;
    if (row < result::firstDataRow(sheet) || row > sheet.maxRow() || col < 2 ||
        col > sheet.maxCol()) {
        return link;
    }
    const Font& font = sheet.style(row, col).font;
    const std::string text = text::trim(sheet.text(row, col));
    if (font.color != kBlue || !font.underline || text.empty()) {
        return link;
    }
    if (text.find('@') != std::string::npos) {
        link.kind = Link::Kind::Mail;
        link.target = text;
    } else if (text.find('.') != std::string::npos) {
        link.kind = Link::Kind::Web;
        link.target = text::startsWithNoCase(text, "HTTP") ? text : "http://" + text;
    }
    return link;
}

void dropRowCursor(ResultSession& session) {
    Sheet& sheet = session.sheet();
    ActionState& state = session.actions();
    if (state.cursorRow > 0) {
        // A cell that has changed since (a sort moved another row here, a mark was set)
        // keeps what it has now.
        const int row = state.cursorRow;
        for (std::size_t i = 0; i < state.cursorStyles.size(); ++i) {
            const int c = static_cast<int>(i) + 1;
            if (sheet.styleId(row, c) == state.cursorShown[i]) {
                sheet.setStyleId(row, c, state.cursorStyles[i]);
            }
        }
    }
    state.cursorRow = 0;
    state.cursorStyles.clear();
    state.cursorShown.clear();
}

void moveRowCursor(ResultSession& session, int activeRow) {
    dropRowCursor(session);
    Sheet& sheet = session.sheet();
    ActionState& state = session.actions();
    const int first = result::firstDataRow(sheet);
    const int last = std::min(sheet.maxCol(), kMaxCols);
    if (sheet.maxRow() < first || last < 2) {
        return;
    }
    const int row = std::clamp(activeRow, first, sheet.maxRow());
    for (int c = 1; c <= last; ++c) {
        state.cursorStyles.push_back(sheet.styleId(row, c));
    }
    sheet.editStyle({row, 2, row, last}, [](Style& st) {
        st.fill = Fill{1, kNavy, kNavy};
        if (st.numberFormat.find("[White]") == std::string::npos) {
            st.numberFormat = "[White]" + st.numberFormat;
        }
        for (Border& b : st.borders) {
            b.color = kWhite;
        }
    });
    for (int c = 1; c <= last; ++c) {
        state.cursorShown.push_back(sheet.styleId(row, c));
    }
    state.cursorRow = row;
}

} // namespace fc
