#pragma once

#include <vector>

namespace fc {

class ChildRegistry;
class Prompter;
class ShellChild;

// Asks every child, first to last, about unsaved work before the main window closes.
// A report window that carries the modified-row mark asks "Сохpанить изменения в отчете?",
// the root of its pop-up chain first: Yes starts its data save and keeps the program open. A
// designer with unsaved changes asks "Сохpанить изменения?": Cancel keeps the program open, Yes
// saves, and the program stays open when the designer still has unsaved changes afterwards (the
// save was cancelled or failed). Returns true when the main window may close.
bool runCloseSequence(const std::vector<ShellChild*>& children, const ChildRegistry& registry,
                      Prompter& prompter);

} // namespace fc
