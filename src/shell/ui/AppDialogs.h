#pragma once

#include "shell/ui/ShellDialogs.h"

#include <QPointer>

namespace fc {

class ConnectionDialog;
class Form9;

// The program's own dialogs behind the main window's commands.
class AppDialogs : public ShellDialogs {
public:
    void createAtStartup(TMainForm& main) override;
    void showConnection() override;
    void recompileForms() override;
    bool execPeriod() override;
    void showFormArguments() override;
    void showServiceReference() override;

private:
    TMainForm* main_ = nullptr;
    QPointer<ConnectionDialog> connection_;
    QPointer<Form9> formArguments_;
};

} // namespace fc
