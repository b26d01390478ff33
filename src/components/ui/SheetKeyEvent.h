#pragma once

#include <QString>
#include <Qt>

namespace fc {

// A key as the sheet's owner sees it. Codes are Windows virtual-key codes (F2 = 113, Down = 40,
// letters and digits as their upper-case characters), because the program talks to its sheets
// in those, private ones included (129 save, 130 print ...).
struct SheetKeyEvent {
    int key = 0;
    int qtKey = 0; // the Qt key, 0 for an injected code that has none
    Qt::KeyboardModifiers modifiers;
    QString text;          // keyPress: the character typed
    bool consumed = false; // a handler sets it: the view does nothing more with the key
};

// Virtual-key code of a Qt key, 0 when there is none.
int virtualKeyFromQt(int qtKey);
// Qt key of a virtual-key code, 0 when there is none.
int qtKeyFromVirtual(int vk);

} // namespace fc
