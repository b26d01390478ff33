#pragma once

#include "results/ArgumentFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

class AppSettings;
class OutsideWorld;
class ReportHost;
class ResultSession;
class Sheet;

// A report window's argument bar as last built: the report it belongs to, the argument table
// (one key and caption per button, kept per window so that a click always sends a key of the
// window's own report) and the markers. The window builds its widgets from it.
struct ReportArguments {
    std::string reportName;
    std::vector<args::ArgumentLine> table;
    bool shown = false; // an argument file was found: the bar or the tree shows it
    bool treeMode = false;
    int treeWidth = 0;
    int treeColumn = 0;
    bool toggleFound = false; // in tree mode the bar shows for the toggles
    int current = -1;         // the button under the current-argument marker (`Panel3`)
    int second = -1;          // the button under the second-field marker (`FPanel`)
    bool pending = false;     // a choice waits for its answer: the marker is yellow
};

// Where the bar comes from besides the sheet: the answer's ";NO_ARGS" and ";ARGS_TREE[".
struct BarSource {
    bool noArgs = false;
    bool treeMode = false;
    int treeWidth = 0;
    int treeColumn = 0;
};

namespace args {

// The report name of a request context: the text after 0xFA "G " (else 0xFA "R ") up to the
// next 0xFA or blank, trimmed and upper-cased; empty when there is neither.
std::string reportNameOf(std::string_view context);

// `Arguments` without widgets: the report name from cell (3, 256), or from the window's request
// context when that cell holds no request; its argument file (current directory, then the
// server's ARGS folder); the markers from the report state string (`pending` stays as it is).
// Nothing is shown with ";NO_ARGS" or without a file.
void Arguments(ReportArguments& bar, const Sheet& sheet, std::string_view windowContext,
               const AppSettings& app, const BarSource& source);

// `DEFARG`: the report state string (and so the request prefix) from the default line of the
// argument file of the first word of `reportWords`; unchanged when there is no file or no
// default. The window's argument table is not touched: its buttons still belong to its bar.
void DEFARG(AppSettings& app, std::string_view reportWords);

// What a click on an argument button did.
struct ArgumentChoice {
    enum class Action {
        None,         // ignored (a run is pending, no such button) or a command abandoned
        Rerun,        // the report runs again with the new fields
        FromCache,    // the new fields' result was taken from the local cache
        OpenReport,   // another report opened (run_form) with `command`
        SaveData,     // the sheet's data saved, as by "Сохpанить данные"
        StartProgram, // `command` started as an outside program, the "fh" file written
    };
    Action action = Action::None;
    std::string command;
    bool closeAfter = false; // ";close": the window closes afterwards
};

// `Arg_ButtonClick` for button `index` of the session's bar, carried out through the window
// (`host`: data save, cache, closing; the session's run: re-run and run_form; `world`: outside
// programs). A plain key changes the report state string and re-runs the report unless the
// cache answers (then the default mark moves in the argument file); a command takes "%N" from
// the top row of the first selection and is dropped when such a cell is empty.
ArgumentChoice Arg_ButtonClick(ResultSession& session, AppSettings& app, ReportHost& host,
                               OutsideWorld& world, int index);

// The command of a command key ("[" ... "]") for the selected row: "%N" replaced, nothing when
// a referenced cell is empty.
std::optional<std::string> commandFor(std::string_view key, const Sheet& sheet, int row);

} // namespace args
} // namespace fc
