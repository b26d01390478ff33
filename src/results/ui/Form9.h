#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableWidget;

namespace fc {

class AppSettings;
class Prompter;

// "Аpгументы фоpм": edits the argument files (*.arg) of the current directory by hand. The list
// shows the files, upper-cased; a double-click opens one in the grid (caption and key per line,
// rows movable), "OK" writes it back whole through a temporary file and returns to the list.
// "Добавить" makes NONAME.ARG and starts renaming it (an upper-case edit over the list, Enter
// renames to the typed name + ".ARG"); "Удалить" deletes the selected file.
class Form9 : public QDialog {
    Q_OBJECT
public:
    Form9(AppSettings& settings, Prompter& prompter, QWidget* parent = nullptr);

    // The files of the current directory, listed again.
    void refreshList();
    // Opens `name` (as listed) in the grid.
    void openFile(const std::string& name);
    // "OK": the grid written back to the open file.
    bool saveFile();
    void addFile();
    void deleteFile();
    // Renames the selected file to `name` + ".ARG"; false (and a message) when it cannot.
    bool renameSelected(const std::string& name);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::string pathOf(const std::string& listed) const;
    void showList(bool list);
    void startRenaming();

    AppSettings& settings_;
    Prompter& prompter_;
    QListWidget* list_;
    QTableWidget* grid_;
    QPushButton* ok_;
    QPushButton* add_;
    QPushButton* delete_;
    QLineEdit* rename_;
    std::string open_; // the file in the grid (its path)
};

} // namespace fc
