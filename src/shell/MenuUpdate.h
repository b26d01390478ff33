#pragma once

#include "shell/ShellChild.h"

#include <string_view>
#include <vector>

namespace fc {

class Workbook;

// What the menu update looks at.
struct MenuContext {
    int childCount = 0;                  // MDI children
    ChildKind active = ChildKind::Other; // kind of the active child (Other: none)
    bool noSave = false;                 // flags of the active child
    bool noPrint = false;
    bool noCalendar = false; // the period lock of the active report window
    bool extdDown = false;   // the "T" button (turbo format switch) is down
};

struct CommandEnabled {
    std::string_view name; // objectName of a menu item, a menu or a toolbar button
    bool enabled;
};

// Enabled state of every command the menu update governs (UpdateMenuItems). Names that
// are absent keep their state.
std::vector<CommandEnabled> updateMenuItems(const MenuContext& context);

// Items that every menu update hides.
const std::vector<std::string_view>& hiddenMenuItems();

// Opening "Пpавка" narrows it further on a designer's workbook.
struct EditMenuNarrowing {
    bool rowColumnOps; // "Вставить стpоку/столбец", "Удалить стpоку/столбец"
    bool deleteSheet; // "Удалить стpаницу"
};
EditMenuNarrowing narrowEditMenu(const Workbook& book);

} // namespace fc
