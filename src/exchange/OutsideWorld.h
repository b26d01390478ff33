#pragma once

#include <string>

namespace fc {

// What reading an answer may ask of the rest of the program and the desktop. The window
// passes its own; tests use a recording fake; `SystemWorld` starts real programs.
class OutsideWorld {
public:
    virtual ~OutsideWorld() = default;
    // Starts a command line (Windows-1251), shown normally; false when it did not start.
    virtual bool run(const std::string& commandLine) = 0;
    // Opens a document or link with the desktop's "open".
    virtual bool open(const std::string& path) = 0;
    // ";SP=" in an exclusive run: the top-level window of that caption is asked to close.
    virtual void closeWindowTitled(const std::string& caption) {}
    // An "E-" line of a run from the designer: the designer shows template line `line` and
    // selects the first `position` characters of its statement.
    virtual void showTemplateLine(int line, int position) {}
    // The main window's menus follow the no-save, no-print and no-calendar flags.
    virtual void menusChanged() {}
    // ";AUTOMSG=": the main window shows the message.
    virtual void autoMessage(const std::string& text) {}
};

// Starts programs detached through the system; "open" goes to xdg-open.
class SystemWorld : public OutsideWorld {
public:
    bool run(const std::string& commandLine) override;
    bool open(const std::string& path) override;
};

} // namespace fc
