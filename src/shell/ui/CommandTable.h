#pragma once

#include <QString>

#include <map>
#include <string>
#include <string_view>

class QAction;
class QActionGroup;
class QLabel;
class QMainWindow;
class QMenu;
class QToolBar;
class QToolButton;

namespace fc {

// The main window's menus, toolbar and object menu, every item named as the program names
// it (objectName). Items shared by a menu and a button are one action, so that the menu
// update switches both.
class CommandTable {
public:
    explicit CommandTable(QMainWindow& window);

    QAction* action(std::string_view name) const; // menu items and buttons' actions
    QMenu* menu(std::string_view name) const;     // menus and submenus
    QToolButton* button(std::string_view name) const;
    QToolBar* toolBar() const { return toolBar_; }
    QMenu* objectMenu() const { return objectMenu_; }
    QLabel* label1() const { return label1_; }
    QLabel* label2() const { return label2_; }
    QActionGroup* scaleGroup() const { return scaleGroup_; }

    // Enables a menu item, a menu or a button by name; false when there is none.
    bool setEnabled(std::string_view name, bool enabled) const;
    bool setVisible(std::string_view name, bool visible) const;

private:
    QMenu* addMenu(QMenu* parent, const char* name, const char* caption);
    QAction* addItem(QMenu* menu, const char* name, const char* caption,
                     const char* shortcut = nullptr);
    QToolButton* addButton(const char* name, QAction* action, const char* hint = nullptr);
    QAction* addOwnButton(const char* name, const char* hint);
    void buildMenus();
    void buildToolBar();
    void buildObjectMenu();

    QMainWindow& window_;
    QToolBar* toolBar_ = nullptr;
    QMenu* objectMenu_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* label2_ = nullptr;
    QActionGroup* scaleGroup_ = nullptr;
    std::map<std::string, QAction*, std::less<>> actions_;
    std::map<std::string, QMenu*, std::less<>> menus_;
    std::map<std::string, QToolButton*, std::less<>> buttons_;
    std::map<std::string, QAction*, std::less<>> buttonSlots_; // toolbar widget actions
};

// The object menu: (caption UTF-8, picture tag, drawing mode; 0 for "Каpтинка").
struct ObjectMenuItem {
    const char* name;
    const char* caption;
    int tag;
    int mode;
};
const ObjectMenuItem* objectMenuItems(int* count);

} // namespace fc
