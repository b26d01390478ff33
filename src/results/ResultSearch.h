#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc {

class Sheet;

// Finding rows of a result sheet by typing, without a dialog. Rows are 1-based; texts
// Windows-1251. Hidden (filtered) rows are never found.

// The first row from `fromRow` to MaxRow whose displayed text in `col` begins with `text`
// (compared as the cell shows it: the type-ahead text is upper case, so a lower-case cell
// text does not match).
std::optional<int> findPrefix(const Sheet& sheet, int col, int fromRow, std::string_view text);

// The type-ahead of one report window: the text typed into a column not being edited, and
// its time-out counted in ticks of the window's `KeyTimer`.
class TypeAhead {
public:
    static constexpr int kIntervalMs = 200; // KeyTimer
    static constexpr int kIdleTicks = 7;    // ticks without a key that clear the text

    // The type-ahead takes a printable character that is not a blank or a Latin letter
    // (digits, punctuation and Cyrillic letters); the others are left to the sheet.
    static bool takes(unsigned char c);

    // A key typed into column `col`: appended (upper-cased), then the column is searched from
    // the active row (or from the first data row when the text was empty). The row found.
    std::optional<int> type(const Sheet& sheet, int activeRow, int col, unsigned char c);
    // One tick of KeyTimer; true when the text has just timed out (the timer stops).
    bool tick();
    // Up and Down, and the time-out.
    void clear();

    const std::string& text() const { return text_; }
    bool timing() const { return !text_.empty(); }

private:
    std::string text_;
    int ticks_ = 0;
};

// The row found by an Alt search for `text` (Latin capitals and digits) over column 2: from
// the active row + 1 to MaxRow - 1, a row whose trimmed text, its first 20 characters
// upper-cased, contains `text`; failing that, from row FixedRows + 1 to the active row - 1, one
// whose trimmed text, its first 200 characters upper-cased, begins with it.
std::optional<int> altFind(const Sheet& sheet, int activeRow, std::string_view text);

// The Alt text, one for the whole program: collected while Alt is held.
class AltSearch {
public:
    // Alt pressed: a new text.
    void begin() { text_.clear(); }
    void add(char c) { text_ += c; }
    // Alt released: the row found, and the text cleared; with no match the text stays until
    // the next Alt press.
    std::optional<int> finish(const Sheet& sheet, int activeRow);
    const std::string& text() const { return text_; }

private:
    std::string text_;
};
AltSearch& altSearch();

// The character an Alt search takes for a key: the Latin capital (or digit) of its physical
// key whatever the keyboard layout. `keyCode` is the platform's key code of the physical key
// (X11 and Wayland: the evdev code + 8; 0 when unknown), `key` the key's character as
// reported (a Latin letter, a digit, or a Cyrillic letter of the Russian layout, whose key
// gives the Latin letter printed beside it). 0 when the key gives none.
char latinOfKey(int keyCode, char32_t key);

} // namespace fc
