#pragma once

#include "components/platform/ui/QtPrompter.h"
#include "language/PrototypeTable.h"
#include "shell/ChildRegistry.h"
#include "shell/CommandRouter.h"
#include "shell/ShellHost.h"
#include "shell/ui/ShellDialogs.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <vector>

class QMdiArea;
class QMdiSubWindow;

namespace fc {

class CommandTable;
class DesignerChild;
class InstanceChannel;
class MainStatusBar;

class AppSettings;

// The main window: the MDI frame, its command table and menu update, and the routing of
// commands to the active child. It owns every child window.
class TMainForm : public QMainWindow, public ShellHost {
    Q_OBJECT
public:
    // Makes a designer window for the current file name; the widget implements DesignerChild.
    using DesignerFactory = std::function<QWidget*(ShellHost& host)>;
    // Makes a report window for AppSettings::nextReport and sends its request; the widget
    // implements ReportChild. nullptr when the window closed at once.
    using ReportFactory = std::function<QWidget*(ShellHost& host, long long designerHandle)>;
    // The open dialog: returns the chosen file, empty on Cancel.
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& directory, const QString& filter)>;

    // Forces the decimal point for the process (AppSettings::decimalPointForced).
    TMainForm(AppSettings& settings, std::unique_ptr<ShellDialogs> dialogs = nullptr,
              QWidget* parent = nullptr);
    ~TMainForm() override;

    // The rest of the start: the settings files of `startDir`, then the toolbar is shown.
    void loadSettings(const std::string& startDir);
    // Shows the main window maximised, or over most of the screen where nothing maximises it.
    void showAtStart();

    // ---- ShellHost
    AppSettings& settings() override { return settings_; }
    PrototypeTable& prototypes() override { return prototypes_; }
    ChildRegistry& children() override { return registry_; }
    void updateMenuItems() override;
    void setCommandEnabled(std::string_view objectName, bool enabled) override;
    void setCommandChecked(std::string_view objectName, bool checked) override;
    bool commandChecked(std::string_view objectName) const override;
    std::string statusText(int panel) const override;
    void setStatusText(int panel, std::string_view text) override;
    int progressWidth() const override;
    void showProgress(int value, bool teal) override;
    void showProgressNotice(std::string_view text, Color color) override;
    void setTimeLabels(std::string_view label1, std::string_view label2) override;
    void setTimeLabelsEnabled(bool enabled) override;
    bool turboDown() const override;
    void designerFormatChanged(const DesignerChild& designer) override;
    void runReport(const std::string& request, long long designerHandle) override;
    void showErrorInDesigner(long long designerHandle, int line, int position) override;
    void showAutoMessage(const std::string& value) override;
    void closeOtherInstances(const std::string& title) override;

    // Hears the other instances of the program (";EXCL"): one that asks for a title this
    // instance has closes it. `directory`: where the instances meet (tests use their own).
    void listenForOtherInstances(const QString& directory);
    // True when a report window of this instance makes the title `title`.
    bool showsInstanceTitle(const std::string& title) const;
    // A report window's column that neither acts nor edits: the bell, as for a locked cell.
    void columnKey(int code) override;

    // ---- children
    // Adds an MDI child (a widget implementing ShellChild), maximised in the work area, and
    // registers its handle. The child is destroyed when it closes.
    QMdiSubWindow* addChild(QWidget* child);
    // MDI children in the order they were created.
    std::vector<ShellChild*> childWindows() const;
    ShellChild* activeChild() const;
    DesignerChild* activeDesigner() const;
    QMdiArea* mdiArea() const { return mdi_; }

    // ---- commands
    void newFile();
    void openFile();
    // Opens `path` in a new designer window as the open dialog's OK does.
    void openPath(const QString& path);
    void createDesigner();
    void closeAll();
    void setTurboFormat(bool down); // the `extd` button's click
    // The format buttons (`extd`, `Turbo`, the "Фоpмат отчета" pair) as the active designer's
    // own switch stands; nothing changes for other windows.
    void showDesignerFormat();
    void execute(ShellCommand command, bool checked = false);

    const CommandTable& commands() const { return *commands_; }
    MainStatusBar* mainStatusBar() const { return status_; }
    ShellDialogs& dialogs() { return *dialogs_; }
    // The connection button's picture and hint.
    void setConnectionState(const QIcon& picture, const QString& hint);

    void setDesignerFactory(DesignerFactory factory) { designerFactory_ = std::move(factory); }
    void setReportFactory(ReportFactory factory) { reportFactory_ = std::move(factory); }
    void setFileChooser(FileChooser chooser) { fileChooser_ = std::move(chooser); }
    // Questions and messages of the main window; a QtPrompter over it unless replaced.
    void setPrompter(Prompter* prompter) { prompter_ = prompter; }
    Prompter& prompter() { return prompter_ != nullptr ? *prompter_ : ownPrompter_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void connectCommands();
    void onCommand(const char* name, std::function<void()> handler);
    void narrowEditMenu();
    void showWindowSize();
    void showLauncher();
    void showAbout();
    void periodCommand();
    void restartPanelReleased();
    void setScale(int percent);
    void objectMenuChosen(int mode);

    AppSettings& settings_;
    PrototypeTable prototypes_;
    std::unique_ptr<ShellDialogs> dialogs_;
    ChildRegistry registry_;
    CommandRouter router_{registry_};
    std::unique_ptr<CommandTable> commands_;
    QMdiArea* mdi_;
    MainStatusBar* status_;
    QtPrompter ownPrompter_{this};
    Prompter* prompter_ = nullptr;
    DesignerFactory designerFactory_;
    ReportFactory reportFactory_;
    FileChooser fileChooser_;
    bool statusShown_ = false;
    bool closing_ = false;
    InstanceChannel* instances_ = nullptr;
};

} // namespace fc
