#pragma once

#include <functional>
#include <optional>
#include <string>

namespace fc {

class Prompter;
class Sheet;
class StatementColourer;

// Search and replace over a designer sheet: texts are compared in upper case, row by row and
// column by column up to MaxRow and MaxCol.
namespace templatesearch {

struct Hit {
    int row = 0;
    int col = 0;
    int pos = 0; // offset of the match in the cell's text
    friend bool operator==(const Hit& a, const Hit& b) {
        return a.row == b.row && a.col == b.col && a.pos == b.pos;
    }
};

// The first match of `text` at or after offset `offset` of cell (row, col), then in the
// following cells. Nothing for a blank text.
std::optional<Hit> find(const Sheet& s, const std::string& text, int row, int col, int offset);

// Replaces the `length` characters at the hit with `replacement`.
void replaceAt(Sheet& s, const Hit& hit, int length, const std::string& replacement,
               StatementColourer& colourer);

struct Outcome {
    std::optional<Hit> hit; // the match left selected, if any
    int replaced = 0;
};

// One search from (row, col, offset). Without a replacement the first match is the outcome.
// With one, each match is shown (`show`) and "Заменить на ..." asks: Yes replaces it and goes
// on, No goes on, Cancel stops at it, All replaces it and every following match and then says
// "Замена выполнена.". A search that finds nothing at all says that the text was not found.
Outcome run(Sheet& s, const std::string& text, const std::optional<std::string>& replacement,
            int row, int col, int offset, Prompter& prompter, StatementColourer& colourer,
            const std::function<void(const Hit&)>& show = {});

} // namespace templatesearch
} // namespace fc
