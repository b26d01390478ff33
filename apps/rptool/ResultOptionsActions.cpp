// --edit, --click (with --run-programs), --save-data.
#include "ResultOptions.h"

#include "Commands.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/CommandText.h"
#include "exchange/ReportRun.h"
#include "output/DataSave.h"
#include "output/FileExport.h"
#include "results/ActionHost.h"
#include "results/CellActions.h"
#include "results/ResultEdits.h"
#include "results/ResultSession.h"
#include "shell/AppSettings.h"

#include <QDir>
#include <QProcess>

namespace rptool {

namespace {

// The window a command-line run stands in for: editors are not opened (--edit types), other
// reports open through the run (rptool run prints them after this result), programs are
// named and started only with --run-programs, and there is no parent window.
class CommandLineActions : public fc::ActionHost {
public:
    CommandLineActions(ResultTarget& target, bool runPrograms)
        : target_(target), runPrograms_(runPrograms) {}

    bool stopEditing() override { return true; }
    void editInCell(int row, int col) override { editor(row, col); }
    void editOverlay(int row, int col) override { editor(row, col); }
    void columnKey(int) override {}
    bool writeExportFiles() override { return fc::output::DoFSave(target_.session); }
    void saveAndFollow(const fc::SaveFollowUp& follow) override {
        saved = fc::output::saveData(target_.session, *this, follow);
        if (saved == fc::output::DataSaveResult::Sent && target_.awaitAnswer) {
            answered = target_.awaitAnswer();
        }
    }
    void openForm(const std::string& command) override {
        if (fc::ReportRun* run = target_.session.run()) {
            run->run_form(command);
        } else {
            complain(fc::w("opens: ") + command);
        }
    }
    bool startProgram(const std::string& commandLine) override {
        const fc::ReportRun* run = target_.session.run();
        fc::writeHandleFile(
            run ? run->appSettings().startDir : fc::cp1251::fromQString(QDir::currentPath()), 1);
        complain("program: " + commandLine);
        if (!runPrograms_) {
            return false;
        }
        QStringList parts = QProcess::splitCommand(fc::cp1251::toQString(commandLine));
        if (parts.isEmpty() || !QProcess::startDetached(parts.takeFirst(), parts)) {
            complain(fc::w("Не могу запустить ") + commandLine);
            return false;
        }
        return true;
    }
    fc::Workbook* parentBook() override { return nullptr; }
    bool parentSaves() const override { return false; }
    void closeWindow() override {}

    fc::output::DataSaveResult saved = fc::output::DataSaveResult::Refused;
    bool answered = true;

private:
    void editor(int row, int col) {
        complain("the editor of " + std::to_string(row) + ":" + std::to_string(col) +
                 " opens: give --edit to type into it");
    }

    ResultTarget& target_;
    bool runPrograms_;
};

// "ROW:COL" (and "=TEXT" after it for --edit); false when it is not that.
bool cellOf(const std::string& value, int& row, int& col, std::string* text) {
    const std::size_t eq = value.find('=');
    if ((text == nullptr) != (eq == std::string::npos)) {
        return false;
    }
    const std::string where = value.substr(0, eq);
    const std::size_t colon = where.find(':');
    long long r = 0, c = 0;
    if (colon == std::string::npos || !fc::text::parseInt(where.substr(0, colon), &r) ||
        !fc::text::parseInt(where.substr(colon + 1), &c) || !fc::validCell(int(r), int(c))) {
        return false;
    }
    row = static_cast<int>(r);
    col = static_cast<int>(c);
    if (text) {
        *text = fc::cp1251::fromUtf8(value.substr(eq + 1));
    }
    return true;
}

bool given(const std::vector<ResultOption>& all, const char* name) {
    for (const ResultOption& o : all) {
        if (o.name == name) {
            return true;
        }
    }
    return false;
}

// A request written by the option (a save, a re-run asked for by the action) is answered
// and read before the next option.
bool settle(ResultTarget& target) {
    fc::ReportRun* run = target.session.run();
    return !(run && run->answerPending() && target.awaitAnswer) || target.awaitAnswer();
}

} // namespace

int applyActionOption(ResultTarget& target, const ResultOption& option,
                      const std::vector<ResultOption>& all) {
    if (option.name == "--run-programs") {
        return 0;
    }
    fc::ResultSession& session = target.session;
    CommandLineActions host(target, given(all, "--run-programs"));
    if (option.name == "--edit") {
        int row = 0, col = 0;
        std::string text;
        if (!cellOf(option.value, row, col, &text)) {
            complain("--edit takes ROW:COL=TEXT, not " + option.value);
            return 2;
        }
        if (!fc::edit::typingEdits(session, row, col)) {
            complain("--edit " + option.value.substr(0, option.value.find('=')) +
                     ": the cell cannot be edited (column " + std::to_string(col) +
                     " is not editable here)");
            return 2;
        }
        session.sheet().setActiveCell(row, col);
        fc::edit::startEdit(session, row, col, text);
        fc::edit::endEdit(session, row, col, text);
        return 0;
    }
    if (option.name == "--click") {
        int row = 0, col = 0;
        if (!cellOf(option.value, row, col, nullptr)) {
            complain("--click takes ROW:COL, not " + option.value);
            return 2;
        }
        // A double click selects the cell it hits first.
        session.sheet().setActiveCell(row, col);
        fc::cellAction(session, host, row, col);
        return host.answered && settle(target) ? 0 : 2;
    }
    if (option.name == "--save-data") {
        host.saveAndFollow({});
        if (host.saved == fc::output::DataSaveResult::Refused) {
            complain("--save-data: no server to save to (rptool run saves)");
            return 2;
        }
        return host.answered && settle(target) ? 0 : 2;
    }
    complain(option.name + " is not an action option");
    return 2;
}

} // namespace rptool
