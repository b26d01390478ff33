#pragma once

#include "components/platform/Prompter.h"

#include <QPointer>

class QWidget;

namespace fc {

// Message boxes for the windows: modal, owned by `parent` (a report window's questions sit
// over that window), with the caption and text converted from Windows-1251.
class QtPrompter : public Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    Answer ask(std::string_view caption, std::string_view text, Buttons buttons,
               Icon icon) override;

private:
    QPointer<QWidget> parent_;
};

} // namespace fc
