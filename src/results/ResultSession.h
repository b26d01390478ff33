#pragma once

#include "results/ActionState.h"
#include "results/QuestionPanel.h"
#include "results/ReportArguments.h"
#include "results/ResultSearch.h"
#include "results/ViewState.h"

#include <string>

namespace fc {

class Prompter;
class ReportRun;
class Sheet;
class Workbook;
struct ReportSettings;

// Status panel 1 of the main window, where result commands report their state ("Фильтp
// включен [3]", the sort note, "Только выделенные стpоки").
class StatusPanel {
public:
    virtual ~StatusPanel() = default;
    virtual std::string statusText() const = 0;
    virtual void setStatusText(const std::string& text) = 0;
};

// A status panel that only keeps its text (command-line runs, tests).
class KeptStatus : public StatusPanel {
public:
    std::string statusText() const override { return text_; }
    void setStatusText(const std::string& text) override { text_ = text; }

private:
    std::string text_;
};

// One result sheet with what the user's commands keep about it between commands. The report
// window and rptool each own one over their workbook and the answer's settings, so that every
// command runs the same code with or without a window. `run` is the window's exchange with the
// server; null when there is none (an answer read from a file).
class ResultSession {
public:
    ResultSession(Workbook& book, ReportSettings& settings, Prompter& prompter, StatusPanel& status,
                  ReportRun* run = nullptr)
        : book_(book), settings_(settings), prompter_(prompter), status_(status), run_(run) {}
    ResultSession(const ResultSession&) = delete;
    ResultSession& operator=(const ResultSession&) = delete;

    Workbook& book() { return book_; }
    // The result sheet: sheet 1 of the workbook.
    Sheet& sheet();
    const Sheet& sheet() const;
    ReportSettings& settings() { return settings_; }
    const ReportSettings& settings() const { return settings_; }
    Prompter& prompter() { return prompter_; }
    StatusPanel& status() { return status_; }
    ReportRun* run() { return run_; }

    // The state of each command group lives below, one member each, declared in the group's
    // own header (filter, totals and marks, sorting, actions and editing, search).
    ViewState view; // filter, marks, sort column, quick sum

    // The argument bar as last built, and the question panel's inputs.
    ReportArguments& arguments() { return arguments_; }
    const ReportArguments& arguments() const { return arguments_; }
    QuestionPanel& questions() { return questions_; }
    const QuestionPanel& questions() const { return questions_; }

    ActionState& actions() { return actions_; }
    const ActionState& actions() const { return actions_; }
    TypeAhead& typeAhead() { return typeAhead_; }

private:
    Workbook& book_;
    ReportSettings& settings_;
    Prompter& prompter_;
    StatusPanel& status_;
    ReportRun* run_;
    ReportArguments arguments_;
    QuestionPanel questions_;
    ActionState actions_;
    TypeAhead typeAhead_;
};

} // namespace fc
