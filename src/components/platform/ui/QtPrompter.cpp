#include "components/platform/ui/QtPrompter.h"

#include "components/text/Cp1251.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>

#include <utility>
#include <vector>

namespace fc {

namespace {

QMessageBox::Icon qtIcon(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Information: return QMessageBox::Information;
    case Prompter::Icon::Warning: return QMessageBox::Warning;
    case Prompter::Icon::Error: return QMessageBox::Critical;
    case Prompter::Icon::Question: return QMessageBox::Question;
    case Prompter::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

struct Choice {
    Prompter::Answer answer;
    const char* text; // UTF-8
    QMessageBox::ButtonRole role;
};

// The buttons read as the Russian system's boxes do, whatever translations are installed.
std::vector<Choice> choices(Prompter::Buttons buttons) {
    const Choice ok{Prompter::Answer::Ok, "OK", QMessageBox::AcceptRole};
    const Choice cancel{Prompter::Answer::Cancel, "Отмена", QMessageBox::RejectRole};
    const Choice yes{Prompter::Answer::Yes, "Да", QMessageBox::YesRole};
    const Choice no{Prompter::Answer::No, "Нет", QMessageBox::NoRole};
    const Choice all{Prompter::Answer::All, "Все", QMessageBox::YesRole};
    switch (buttons) {
    case Prompter::Buttons::Ok: return {ok};
    case Prompter::Buttons::OkCancel: return {ok, cancel};
    case Prompter::Buttons::YesNo: return {yes, no};
    case Prompter::Buttons::YesNoCancel: return {yes, no, cancel};
    case Prompter::Buttons::YesNoCancelAll: return {yes, no, cancel, all};
    }
    return {ok};
}

// What closing the box with Esc or its title bar answers: the last choice, so that nothing
// changes unasked (Cancel, No or Ok).
Prompter::Answer escapeAnswer(Prompter::Buttons buttons) {
    switch (buttons) {
    case Prompter::Buttons::Ok: return Prompter::Answer::Ok;
    case Prompter::Buttons::YesNo: return Prompter::Answer::No;
    default: return Prompter::Answer::Cancel;
    }
}

} // namespace

Prompter::Answer QtPrompter::ask(std::string_view caption, std::string_view text, Buttons buttons,
                                 Icon icon) {
    QMessageBox box(qtIcon(icon), cp1251::toQString(caption), cp1251::toQString(text),
                    QMessageBox::NoButton, parent_);
    box.setObjectName(QStringLiteral("MessageBox"));
    std::vector<std::pair<QAbstractButton*, Answer>> made;
    for (const Choice& c : choices(buttons)) {
        QPushButton* b = box.addButton(QString::fromUtf8(c.text), c.role);
        made.emplace_back(b, c.answer);
    }
    box.setDefaultButton(static_cast<QPushButton*>(made.front().first));
    Answer onEscape = escapeAnswer(buttons);
    for (const auto& [b, a] : made) {
        if (a == onEscape) {
            box.setEscapeButton(b);
        }
    }
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const auto& [b, a] : made) {
        if (b == clicked) {
            return a;
        }
    }
    return onEscape;
}

} // namespace fc
