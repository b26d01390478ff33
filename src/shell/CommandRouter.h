#pragma once

#include "shell/ShellCommand.h"

#include <QtCore/qnamespace.h>

namespace fc {

class ChildRegistry;
class ShellChild;

// Turns a command into an action on the active child: designer windows get the command's
// key code with the shift state, report windows get it at the root of their pop-up chain,
// which is activated first.
class CommandRouter {
public:
    explicit CommandRouter(const ChildRegistry& children) : children_(children) {}

    // `checked` is the new check mark of a check item ("Только выделенные стpоки").
    // Returns false when the command has nothing to act on.
    bool execute(ShellCommand command, ShellChild* active, Qt::KeyboardModifiers modifiers,
                 bool checked = false) const;

    // The designer key of a command, 0 when designers do not take it.
    static int designerKey(ShellCommand command);

private:
    const ChildRegistry& children_;
};

} // namespace fc
