#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QLineEdit;

namespace fc {

// "Фильтp" of a value list: one search string ("Стpока для поиска:", upper case). One dialog
// serves every report window.
class Form2 : public QDialog {
    Q_OBJECT
public:
    explicit Form2(QWidget* parent = nullptr);

    // Modal: the string to filter by ("Подтвеpдить" or Enter; empty after "Снять фильтp"),
    // none after Escape. Windows-1251.
    std::optional<std::string> run();

private:
    QLineEdit* edit_;
};

// The application's list filter dialog, made hidden as a child of `mainWindow` on first use.
Form2* listFilterDialog(QWidget* mainWindow);

} // namespace fc
