#pragma once

#include "components/model/Style.h"
#include "components/model/Types.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fc {

class Sheet;

// The running state of one reading, shared by the line readers and the service
// instructions: the sheet being filled, the row counter and the per-sheet tables.
struct ReadState {
    static constexpr int kFonts = 256;

    Sheet* sheet = nullptr;
    int sheetIndex = 1;
    int row = 0;       // the row counter: the last row written
    int colDigits = 2; // 3 after ";COL3"
    // Lines arrive converted to Windows-1251 (the turbo format) rather than as sent.
    bool converted = false;
    bool turbo = false;
    bool sheetLineSeen = false;
    std::vector<std::optional<Font>> fonts = std::vector<std::optional<Font>>(kFonts);
    Font sheetDefault;
    std::vector<int> widths = std::vector<int>(kMaxCols + 1, -1); // ";COLW[", remembered
    std::vector<CellRange> merges; // applied when the sheet is finished
    bool editAll = false;
    // Left out because the result would not fit the window's sheet (told once at the end):
    // rows past the last result row (`rowsShown` kept), cells right of the last result column.
    bool rowsCut = false;
    int rowsShown = 0;
    bool colsCut = false;
    // Set by the reader: finishes the current sheet and starts the next one of that name.
    std::function<void(const std::string&)> nextSheet;

    void clearFonts() { fonts.assign(kFonts, std::nullopt); }
};

} // namespace fc
