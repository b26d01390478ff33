#pragma once

namespace fc {

class TMainForm;

// The dialogs that other parts of the program provide and the main window only creates and
// shows. Each does nothing until its part is there.
class ShellDialogs {
public:
    virtual ~ShellDialogs() = default;

    // Start-up, after the main window: the dialogs are created hidden and the connection
    // dialog registers with the stored settings at once.
    virtual void createAtStartup(TMainForm& main) {}
    // "Подключение к сеpвеpу".
    virtual void showConnection() {}
    // "Пеpекомпиляция фоpм на ЛДК-сеpвеpе": the form-recompile request.
    virtual void recompileForms() {}
    // "Отчетный пеpиод", modal: true when it ended with OK.
    virtual bool execPeriod() { return false; }
    // "Аpгументы фоpм".
    virtual void showFormArguments() {}
    // The service instruction reference (designer's).
    virtual void showServiceReference() {}
};

} // namespace fc
