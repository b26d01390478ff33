#include "results/ReportArguments.h"

#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/CommandText.h"
#include "exchange/OutsideWorld.h"
#include "exchange/ReportHost.h"
#include "exchange/ReportRun.h"
#include "exchange/Requests.h"
#include "results/ArgumentState.h"
#include "results/ResultLayout.h"
#include "results/ResultSession.h"
#include "shell/AppSettings.h"

namespace fc::args {

namespace {

constexpr char kSep = static_cast<char>(0xFA);

bool holdsRequest(std::string_view text) {
    return text.find(std::string{kSep} + "G ") != std::string_view::npos ||
           text.find(std::string{kSep} + "R ") != std::string_view::npos;
}

// Removes `word` (any letter case); true when it was there.
bool takeWord(std::string& text, std::string_view word) {
    const std::size_t p = text::findNoCase(text, word);
    if (p == std::string::npos) {
        return false;
    }
    text.erase(p, word.size());
    return true;
}

// The top row of the first selected range: the row a command is for.
int currentRow(const Sheet& sheet) {
    const std::vector<CellRange>& sel = sheet.selection();
    return sel.empty() ? sheet.activeCell().row : sel.front().normalized().r1;
}

} // namespace

std::string reportNameOf(std::string_view context) {
    std::size_t at = context.find(std::string{kSep} + "G ");
    if (at == std::string_view::npos) {
        at = context.find(std::string{kSep} + "R ");
    }
    if (at == std::string_view::npos) {
        return {};
    }
    std::string_view name = context.substr(at + 3);
    name = name.substr(0, name.find(kSep));
    name = text::trimView(name);
    name = name.substr(0, name.find(' '));
    return cp1251::upper(text::trim(name));
}

void Arguments(ReportArguments& bar, const Sheet& sheet, std::string_view windowContext,
               const AppSettings& app, const BarSource& source) {
    bar.table.clear();
    bar.shown = false;
    // A choice still waiting for its answer keeps its yellow marker (the bar is built on
    // activation too); the answer ends the wait.
    bar.current = bar.second = -1;
    bar.toggleFound = false;
    bar.treeMode = source.treeMode;
    bar.treeWidth = source.treeWidth;
    bar.treeColumn = source.treeColumn;
    if (source.noArgs) {
        bar.reportName.clear();
        return;
    }
    const std::string stored = text::trim(sheet.text(3, result::kStateCol));
    bar.reportName = reportNameOf(holdsRequest(stored) ? std::string_view(stored) : windowContext);
    std::optional<std::vector<ArgumentLine>> lines =
        readArgumentFile(app.startDir, app.serverDir, bar.reportName);
    if (!lines) {
        return;
    }
    bar.table = std::move(*lines);
    bar.shown = true;
    const std::string& state = app.reportState();
    for (std::size_t i = 0; i < bar.table.size(); ++i) {
        const ArgumentLine& line = bar.table[i];
        if (splitKey(line.key).kind == KeyParts::Kind::Toggle) {
            bar.toggleFound = true;
        }
        const Markers m = markersFor(line.key, state);
        if (m.second) {
            bar.second = static_cast<int>(i);
        }
        if (m.current) {
            bar.current = static_cast<int>(i);
        }
    }
}

void DEFARG(AppSettings& app, std::string_view reportWords) {
    const std::string_view words = text::trimView(reportWords);
    const std::string name = cp1251::upper(words.substr(0, words.find(' ')));
    std::optional<std::vector<ArgumentLine>> lines =
        readArgumentFile(app.startDir, app.serverDir, name);
    if (!lines) {
        return;
    }
    if (std::optional<std::string> state = defaultState(app.reportState(), *lines)) {
        app.setReportState(*state);
    }
}

std::optional<std::string> commandFor(std::string_view key, const Sheet& sheet, int row) {
    std::string_view command = key.substr(key.empty() || key.front() != '[' ? 0 : 1);
    command = command.substr(0, command.find(']'));
    return substituteColumns(command, sheet, row, OnEmptyValue::Abandon);
}

ArgumentChoice Arg_ButtonClick(ResultSession& session, AppSettings& app, ReportHost& host,
                               OutsideWorld& world, int index) {
    ReportArguments& bar = session.arguments();
    ArgumentChoice choice;
    if (bar.pending || index < 0 || index >= static_cast<int>(bar.table.size())) {
        return choice;
    }
    const std::string key = bar.table[static_cast<std::size_t>(index)].key;
    Sheet& sheet = session.sheet();

    if (splitKey(key).kind == KeyParts::Kind::Command) {
        std::optional<std::string> command = commandFor(key, sheet, currentRow(sheet));
        if (!command) {
            return choice; // a referenced cell is empty: nothing happens
        }
        std::string text = *command;
        if (text::findNoCase(text, "VREK") != std::string::npos ||
            text.find("NAK") != std::string::npos) {
            const std::size_t blank = text.find(' ');
            choice.action = ArgumentChoice::Action::OpenReport;
            choice.command = blank == std::string::npos ? std::string() : text.substr(blank + 1);
            if (session.run()) {
                session.run()->run_form(choice.command);
            }
            return choice;
        }
        choice.closeAfter = takeWord(text, ";close");
        if (takeWord(text, ";save")) {
            choice.action = ArgumentChoice::Action::SaveData;
            choice.closeAfter = false;
            host.saveData("");
            return choice;
        }
        choice.action = ArgumentChoice::Action::StartProgram;
        choice.command = text::trim(text);
        writeHandleFile(app.startDir, host.handle());
        world.run(choice.command);
        if (choice.closeAfter) {
            host.closeWindow();
        }
        return choice;
    }

    session.book().events().doSelChange = false;
    app.setReportState(chosenState(app.reportState(), key));
    bar.current = index;
    bar.pending = true;
    ReportRun* run = session.run();
    if (!run) {
        choice.action = ArgumentChoice::Action::Rerun;
        return choice;
    }
    if (host.takeFromCache(request::stripPrefix(run->context()))) {
        markDefault(app.startDir, bar.reportName, markedKey(key, app.reportState()));
        bar.pending = false;
        choice.action = ArgumentChoice::Action::FromCache;
        return choice;
    }
    choice.action = ArgumentChoice::Action::Rerun;
    run->ReRun();
    // No request went out (it could not be written): the marker must not wait for ever.
    bar.pending = run->answerPending();
    return choice;
}

} // namespace fc::args
