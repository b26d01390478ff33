#pragma once

#include "components/model/Style.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fc {

struct SharedRunState;

// What cell actions and edits keep about one result sheet between commands.
struct ActionState {
    // The state all report windows share (pending form and program after a save, edit
    // child): set by the window or rptool that owns the session.
    SharedRunState* shared = nullptr;

    // The formula a cell held before an edit overwrote it, one per row (the last one), for
    // ";rformula". Kept off the sheet, so that no data column of a wide result is touched.
    struct Formula {
        int col = 0;
        std::string formula; // with its "="
    };
    std::map<int, Formula> formulas;
    // The formula of the cell whose edit is open: it counts once the edit ends.
    std::optional<std::pair<int, Formula>> editing;

    // The row that carries the row cursor (";KURSOR"), 0 when none, and its cells' styles
    // before it came and with it (columns 1 to MaxCol).
    int cursorRow = 0;
    std::vector<StyleId> cursorStyles;
    std::vector<StyleId> cursorShown;

    // A new answer fills the sheet: nothing of the former one stays.
    void sheetRead() {
        formulas.clear();
        editing.reset();
        cursorRow = 0;
        cursorStyles.clear();
        cursorShown.clear();
    }
};

} // namespace fc
