#pragma once

#include "dialogs/LauncherList.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace fc {

class Prompter;

// "Запуск внешних пpиложений": starts a program in a working directory and remembers it in
// "clw.pth" of the start directory. Made for one use: shown modally, then destroyed.
class LauncherDialog : public QDialog {
    Q_OBJECT
public:
    // Starts a process; false when it could not be started.
    using Starter = std::function<bool(const ProcessPlan&)>;
    // Picks a file (the program) or a directory; empty on Cancel.
    using Chooser = std::function<QString(QWidget* parent, const QString& start)>;

    LauncherDialog(const QString& startDirectory, Prompter& prompter, QWidget* parent = nullptr);

    void setStarter(Starter starter) { starter_ = std::move(starter); }
    void setProgramChooser(Chooser chooser) { programChooser_ = std::move(chooser); }

    QComboBox* programBox() const { return program_; }
    QLineEdit* directoryEdit() const { return directory_; }
    QString listPath() const;

    // "Стаpт".
    void start();
    // Double click on the program box or "Обзоp".
    void browseProgram();

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void load();
    void browseDirectory();

    QString startDirectory_;
    Prompter& prompter_;
    QComboBox* program_;
    QLineEdit* directory_;
    QToolButton* directoryButton_;
    QPushButton* browse_;
    QPushButton* startButton_;
    std::vector<std::string> directories_; // parallel to the program box's items
    LauncherList list_;
    Starter starter_;
    Chooser programChooser_;
};

} // namespace fc
