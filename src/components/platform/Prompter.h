#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

// Every message box and question of the program goes through a Prompter, so that tests script
// the answers and check the exact texts. Captions and texts are Windows-1251.
class Prompter {
public:
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoCancelAll };
    enum class Answer { Ok, Cancel, Yes, No, All };
    enum class Icon { None, Information, Warning, Error, Question };

    virtual ~Prompter() = default;
    virtual Answer ask(std::string_view caption, std::string_view text, Buttons buttons,
                       Icon icon) = 0;

    // A message with an OK button.
    void message(std::string_view caption, std::string_view text, Icon icon = Icon::None) {
        ask(caption, text, Buttons::Ok, icon);
    }
    // "Ошибка:" box.
    void error(std::string_view text);
    // "Внимание:" box.
    void warning(std::string_view text);
    // "Внимание:" Yes/No question.
    bool confirm(std::string_view text);
};

// Answers from a script, in order, and a record of what was shown. With the script used up
// it answers the first choice of the buttons (Ok or Yes).
class ScriptedPrompter : public Prompter {
public:
    struct Shown {
        std::string caption;
        std::string text;
        Buttons buttons;
        Icon icon;
    };

    ScriptedPrompter() = default;
    explicit ScriptedPrompter(std::vector<Answer> script) : script_(script.begin(), script.end()) {}

    void push(Answer a) { script_.push_back(a); }
    Answer ask(std::string_view caption, std::string_view text, Buttons buttons,
               Icon icon) override;

    const std::vector<Shown>& shown() const { return shown_; }
    // Texts shown so far, converted to UTF-8, one per line ("caption|text").
    std::string transcript() const;
    void clear() { shown_.clear(); }

private:
    std::deque<Answer> script_;
    std::vector<Shown> shown_;
};

// For the command line: prints "caption text" in UTF-8 to standard error and answers the
// last choice of the buttons (Ok, No or Cancel), so that nothing is changed unasked.
class StderrPrompter : public Prompter {
public:
    Answer ask(std::string_view caption, std::string_view text, Buttons buttons,
               Icon icon) override;
};

} // namespace fc
