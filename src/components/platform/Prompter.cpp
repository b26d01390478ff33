#include "components/platform/Prompter.h"

#include "components/text/Cp1251.h"

#include <cstdio>

namespace fc {

void Prompter::error(std::string_view text) { message(w("Ошибка:"), text, Icon::Error); }

void Prompter::warning(std::string_view text) { message(w("Внимание:"), text, Icon::Warning); }

bool Prompter::confirm(std::string_view text) {
    return ask(w("Внимание:"), text, Buttons::YesNo, Icon::Question) == Answer::Yes;
}

Prompter::Answer ScriptedPrompter::ask(std::string_view caption, std::string_view text,
                                       Buttons buttons, Icon icon) {
    shown_.push_back({std::string(caption), std::string(text), buttons, icon});
    if (!script_.empty()) {
        Answer a = script_.front();
        script_.pop_front();
        return a;
    }
    return buttons == Buttons::Ok || buttons == Buttons::OkCancel ? Answer::Ok : Answer::Yes;
}

std::string ScriptedPrompter::transcript() const {
    std::string out;
    for (const Shown& s : shown_) {
        out += cp1251::toUtf8(s.caption) + "|" + cp1251::toUtf8(s.text) + "\n";
    }
    return out;
}

Prompter::Answer StderrPrompter::ask(std::string_view caption, std::string_view text,
                                     Buttons buttons, Icon) {
    std::string line = cp1251::toUtf8(caption) + " " + cp1251::toUtf8(text) + "\n";
    std::fputs(line.c_str(), stderr);
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return Answer::Cancel;
    case Buttons::YesNo: return Answer::No;
    case Buttons::YesNoCancel:
    case Buttons::YesNoCancelAll: return Answer::Cancel;
    }
    return Answer::Cancel;
}

} // namespace fc
