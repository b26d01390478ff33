#pragma once

#include "shell/ShellChild.h"

#include <QtCore/qnamespace.h>

#include <string>

namespace fc {

class Workbook;

// The template format a designer window saves in, as the main window's two buttons show it:
// `extd` down for the extended layout, `Turbo` down as well for its turbo variant. Each
// window keeps its own; the main window shows the active window's.
struct FormatSwitch {
    bool extended = false;
    bool turbo = false;
    friend bool operator==(FormatSwitch a, FormatSwitch b) {
        return a.extended == b.extended && a.turbo == b.turbo;
    }
};

// A designer window as the shell sees it. Designer commands arrive as the key codes the
// window would get from the keyboard (Qt::Key_F2 ... Qt::Key_F17) with the shift state.
class DesignerChild : public ShellChild {
public:
    ChildKind kind() const final { return ChildKind::Designer; }

    virtual void designerKey(int key, Qt::KeyboardModifiers modifiers) = 0;
    // The pages as F10 would print them, with printing from the preview.
    virtual void printPreview() = 0;

    // The template's workbook; the shell's sheet commands (add, insert, delete sheet, scale,
    // grid) act on it and then call refreshSheetProperties().
    virtual Workbook& workbook() = 0;
    virtual void refreshSheetProperties() = 0;
    virtual void focusSheet() = 0;
    // "Каpтинка" of the object menu.
    virtual void insertPicture() = 0;

    // Windows-1251; " [ext]" at the end marks the turbo format.
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual FormatSwitch formatSwitch() const = 0;
    virtual void setFormatSwitch(FormatSwitch f) = 0;

    // Whether closing now would lose edits.
    virtual bool hasUnsavedChanges() const = 0;
    // The formula line editor: while it has the focus its text is not yet in the cell.
    virtual bool formulaEditorHasFocus() const = 0;
    virtual void commitFormulaEditor() = 0;

    // An error answer for this template: selects file line `fileLine` (1-based, as the row
    // headings number them) and puts the caret at `position` of its statement.
    virtual void showErrorAt(int fileLine, int position) {}
};

} // namespace fc
