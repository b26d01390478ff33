#pragma once

#include "exchange/AnswerReader.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

class AppSettings;
class ReportRun;

// The question panel of a report window without its widgets: the inputs the server's questions
// built, in panel order, what each sends, the request their answers make, where the next one
// goes, and the answers remembered for a restart. The window keeps each input's text and
// chosen item here as the user changes them.
class QuestionPanel {
public:
    // The flow of the inputs: from (kLeft, kTop), each right of the previous one and of its
    // caption, kGap apart; a new line (kLineStep lower, at kLeft) when the right edge plus
    // kRightRoom (room for the step button) would pass the panel's width.
    static constexpr int kLeft = 20;
    static constexpr int kTop = 30;
    static constexpr int kLineStep = 50;
    static constexpr int kRightRoom = 26;
    static constexpr int kGap = 30;

    struct Input {
        QuestionForm form;
        std::string text; // what it shows (Windows-1251): an edit's text, a combo box's text
        int index = -1;   // a drop-down list's chosen item, 0-based
    };
    struct Box {
        int left = 0, top = 0, width = 0, height = 0;
        int right() const { return left + width; }
    };

    std::size_t size() const { return inputs_.size(); }
    Input& input(std::size_t i) { return inputs_[i]; }
    const Input& input(std::size_t i) const { return inputs_[i]; }
    // Adds an input; its position (0-based), which is also its remembered answer's.
    std::size_t add(const QuestionForm& form);
    // Frees the inputs after the first `keep`.
    void truncate(std::size_t keep);
    void clear() { inputs_.clear(); }

    // What input `i` sends (DOS code page): a drop-down list its item number counted from 1,
    // an argument's combo box its item up to the first blank, any other input its text.
    std::string value(std::size_t i) const;
    // Submitting input `active`: the inputs after it are freed (later questions depend on its
    // answer) and the request context is returned: `prefix` + the question context after its
    // third 0xFA field, then 0xFA and the value of each input up to and including `active`.
    std::string submit(std::size_t active, std::string_view prefix,
                       std::string_view questionContext);

    // Where a new input of `width` × `height` goes after `previous` (nullptr: the first one)
    // whose caption ends at `captionRight`, in a panel `panelWidth` wide.
    static Box place(const Box* previous, int captionRight, int width, int height, int panelWidth);

    // The answers of the inputs become the remembered ones: a "^"-separated list, one entry
    // per input in panel order: "m" + item number (a drop-down list), "i" + text (a combo box
    // with suggestions), "s" + text (an edit), "a" + the chosen item (an argument). A "^" in a
    // text becomes a blank.
    void collect();
    // The remembered entry for position `i`; empty when none.
    std::string remembered(std::size_t i) const;
    const std::string& rememberedText() const { return remembered_; }

private:
    std::vector<Input> inputs_;
    std::string remembered_;
};

namespace questions {

// Sends the answer of input `active` as the report window does: the request context made by
// QuestionPanel::submit from the current request prefix and the window's question context
// (the step request context: the report's first request with the answers given outside the
// panel), written under the window's main request name.
void submitAnswer(QuestionPanel& panel, ReportRun& run, const AppSettings& app, std::size_t active);

// The key an item of the check list adds to the hidden list `TMP_LB` when ticked: the text
// before the later of its first "|" and its first blank (the whole text when it has neither).
std::string checkListKey(std::string_view item);
// The caption that an N2 answer gives a free-text question: the answer trimmed, its first and
// last characters dropped, converted from the DOS code page.
std::string n2Caption(std::string_view answer);

} // namespace questions
} // namespace fc
