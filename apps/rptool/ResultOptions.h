#pragma once

#include "AnswerDocument.h"

#include <functional>
#include <string>
#include <vector>

namespace fc {
class AppSettings;
class ResultSession;
} // namespace fc

namespace rptool {

// A result option as given on the command line: its name ("--filter") and its value (UTF-8,
// empty for a flag).
struct ResultOption {
    std::string name;
    std::string value;
};

// Takes argv[i], with its value, when it is a result option; false when it is none. A value
// that does not make sense is reported when the option is applied.
bool takeResultOption(int argc, char** argv, int& i, std::vector<ResultOption>& into);

// What the options act on once a result is read.
struct ResultTarget {
    fc::ResultSession& session;
    // rptool run: waits for the answer of the request just written and reads it as the
    // window would; false when none came in time. Empty for an answer read from a file.
    std::function<bool()> awaitAnswer;
    // The JSON document of the result as it stands (for --out FILE.json).
    std::function<AnswerDocument()> document;
    // Written files are named on stdout (run), or not (read-answer prints its JSON there).
    bool nameOutputs = true;
    // Whether anything was written; without it run prints the sheet.
    bool wroteOutput = false;
    // The settings the print log request is written with (server directory, user); null when
    // there are none.
    fc::AppSettings* settings = nullptr;
};

// Applies the options: the filter first, then marks, sorting and the quick sum in the order
// given, then edits, clicks and the data save in the order given, then the outputs. Returns 0,
// or the exit code of the first option that failed (its reason on stderr).
int applyResultOptions(ResultTarget& target, const std::vector<ResultOption>& options);

// Each group in a file of its own; `all` holds every option given, for the modifiers
// (--printer, --copies, --run-programs) that belong to another option.
int applyViewOption(ResultTarget& target, const ResultOption& option);
int applyActionOption(ResultTarget& target, const ResultOption& option,
                      const std::vector<ResultOption>& all);
int applyOutputOption(ResultTarget& target, const ResultOption& option,
                      const std::vector<ResultOption>& all);

// The usage lines of the result options, for the commands' own usage texts.
const char* resultOptionsUsage();

} // namespace rptool
