#pragma once

#include <string>

namespace fc {
class AppSettings;
class OutsideWorld;
class ReportHost;
class ResultSession;
struct QuestionForm;
struct ReportSettings;
} // namespace fc

namespace rptool {

// What choosing an argument of `rptool run --arg KEY` led to.
enum class ArgumentStep {
    Waiting, // the report runs again: its answer is to be read
    Ready,   // the result stands (taken from the cache, or a command was carried out)
    Failed,  // no such argument: the reason is on stderr
};

// Chooses the argument KEY (UTF-8) of the result's argument bar as a click on its button does:
// the bar is built as after the answer, then its button with that key is clicked.
ArgumentStep chooseArgument(fc::ResultSession& session, fc::AppSettings& settings,
                            fc::ReportHost& host, fc::OutsideWorld& world,
                            const fc::ReportSettings& result, const std::string& keyUtf8);

// A question answered in the question panel, as the window sends it: the panel gets the input
// with `value` (a choice's item number counted from 1, any other input's text) and the answer
// goes out.
void answerInPanel(fc::ResultSession& session, fc::AppSettings& settings,
                   const fc::QuestionForm& question, const std::string& value);

} // namespace rptool
