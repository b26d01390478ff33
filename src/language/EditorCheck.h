#pragma once

#include "components/model/Types.h"
#include "language/CheckResult.h"

#include <string>
#include <string_view>
#include <vector>

namespace fc {

class Checker;

constexpr Color kStatementRed = rgb(255, 0, 0);
constexpr Color kStatementGray = rgb(128, 128, 128);
constexpr Color kStatementBlack = rgb(0, 0, 0);

// A run of the formula line editor's text and how it is drawn. Offsets count characters of
// the editor text from 0 (one Windows-1251 byte each).
struct EditorSpan {
    int start = 0;
    int length = 0;
    Color color = kStatementBlack;
    bool underline = false;
    bool strikeout = false;
};

// What the formula line editor shows for a statement line: its colouring and the text of the
// first status-bar panel.
struct EditorCheck {
    std::vector<EditorSpan> spans; // in order, none empty, together the whole text
    std::string status;            // Windows-1251; the error message, or ""
    CheckResult result;
};

// Checks the editor's text (Windows-1251) as its cell is checked once the editor is left:
// trimmed, so that the editor and the sheet colour a line alike. With an error,
// the text before the error position is red and the rest red, underlined and struck out;
// without one, the leading blanks and the keyword are red and the rest black for plain text,
// grey otherwise.
EditorCheck checkEditorText(Checker& checker, std::string_view text);

} // namespace fc
