#pragma once

#include <string>

namespace fc {

enum class ChildKind { Designer, Report, Other };

// What the shell needs of a child window (an MDI child or a pop-up report window). The
// windows implement it; the shell's commands, menu update and close sequence use nothing else.
class ShellChild {
public:
    virtual ~ShellChild() = default;

    virtual ChildKind kind() const = 0;
    // The window's component name; "Закрыть все" spares a child named "MDIChild5".
    virtual std::string componentName() const = 0;
    // Set by the answer's ";NON_SAVE" and ";NON_PRINT"; designers never set them.
    virtual bool noSave() const { return false; }
    virtual bool noPrint() const { return false; }
    // Set by the answer's ";NO_CALENDAR": the reporting period cannot change for this window.
    virtual bool noCalendar() const { return false; }
    // Brings the window to the front and makes it the active child.
    virtual void activateChild() = 0;
};

} // namespace fc
