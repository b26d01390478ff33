#pragma once

#include "components/model/Types.h"
#include "results/FilterForm.h"
#include "results/RowTexts.h"

#include <optional>
#include <string>
#include <vector>

namespace fc {

class Progress;
class TextMeasurer;

// The in-form filter of one result sheet: the dialog's fields and what the last filter left.
struct FilterState {
    FilterForm form;
    bool inForce = false;     // the last filter had something to filter by
    int matches = 0;          // the shown matching blocks of the last filter
    std::vector<int> columns; // the columns the last filter searched
    RowTexts texts;
};

// Marked records (yellow rows). `onlyMarked`: "Только выделенные стpоки" of a sheet without a
// report run; with a run, the run's flag is the mode (it follows the window through its hidden
// state) and this one is not used.
struct MarkState {
    int count = 0;
    bool onlyMarked = false;
};

// The column chosen by a click on its heading, and the last sort by it.
struct SortState {
    int column = 0; // 0: none chosen since the last answer
    std::string heading;
    int order = 0; // 0 not sorted, 1 ascending, 2 descending
};

// The quick sum's floating panel ("Автоподсчет").
struct QuickSumState {
    bool ctrlHeld = false;
    std::optional<double> shown; // the panel's number; none while the panel is hidden
};

// What the user has done to the view of one result sheet: filter, marks, sort column and the
// quick sum. `measurer` fits column widths and row heights (the window's fonts); without one
// (the command line) widths and heights stay as they are. `progress`: the main window's
// progress display, when there is one.
struct ViewState {
    FilterState filter;
    MarkState marks;
    SortState sort;
    QuickSumState quickSum;
    const TextMeasurer* measurer = nullptr;
    Progress* progress = nullptr;
};

} // namespace fc
