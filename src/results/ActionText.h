#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc {

class Sheet;

// The action texts that a server puts into the rows of a result: how a row's text is found,
// which command a click on a column picks from it, and what the command's words ask for.
// Columns are 1-based sheet columns; texts are Windows-1251.
namespace action {

// The row's action text: its column-255 text, else the text between "[" and "]" of its
// column-1 text (to the end when "]" is missing); empty when the row has none.
std::string actionText(const Sheet& sheet, int row);

// Every "#" replaced by the column number in decimal.
std::string withColumn(std::string_view action, int col);

// True when the action has the segment "{" + col + "}".
bool hasSegment(std::string_view action, int col);

// The command that a click on `col` picks from the action (after "#" was replaced): the
// text of the column's "{col}" segment up to the next "|"; with "{" but a single "|", the text
// between the first "}" and that "|"; without "{", the text after the first "|" (all of it
// when there is none). Nothing when the action is empty or no segment matches.
std::optional<std::string> commandFor(std::string_view action, int col);

// Typing, pasting and deleting stay out of `col` in a row with this action: it has a text and
// either no "{" (it acts for the whole row) or a segment for the column.
bool keepsEditingOut(std::string_view action, int col);

// Removes the first `word` (matched with its case); true when it was there.
bool takeWord(std::string& text, std::string_view word);

// What the words of a command ask for, in the order a click acts on them.
struct CommandWords {
    // "VREK" or "NAK" (any case): the text after the command's first blank opens that report.
    std::optional<std::string> report;
    bool close = false;     // ";close" or ";close=": this window closes after the command
    std::string closePairs; // ";close=" pairs "p:q;p:q" (empty: none)
    bool rformula = false;  // ";rformula": formulas overwritten by edits come back
    bool total = false;     // ";total": the totals are recomputed first
    bool save = false;      // ";save": the data are saved, then `beforeSave` follows
    std::string beforeSave; // the command's text before ";save", trimmed
    bool nsv = false;       // ";nsv": no question about unsaved changes
    std::string program;    // what is left: a command line for an outside program (trimmed)
};
CommandWords parseCommand(std::string command);

} // namespace action
} // namespace fc
