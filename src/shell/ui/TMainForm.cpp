#include "shell/ui/TMainForm.h"

#include "components/model/Workbook.h"
#include "components/platform/ui/FileDialogFilter.h"
#include "components/text/Cp1251.h"
#include "designer/ui/TMDIChild_1.h"
#include "dialogs/ui/LauncherDialog.h"
#include "shell/AppSettings.h"
#include "shell/CloseSequence.h"
#include "shell/DesignerChild.h"
#include "shell/DesignerSheetOps.h"
#include "shell/MenuUpdate.h"
#include "shell/NumericLocale.h"
#include "shell/OpenCommand.h"
#include "shell/ServerMessages.h"
#include "shell/SettingsFiles.h"
#include "shell/ui/AboutDialog.h"
#include "shell/ui/CommandTable.h"
#include "shell/ui/InstanceChannel.h"
#include "shell/ui/MainStatusBar.h"
#include "shell/ui/ShellDialogs.h"
#include "shell/ui/ShellIcons.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWindow>

namespace fc {

namespace {

ShellChild* shellChildOf(QMdiSubWindow* sub) {
    return sub == nullptr ? nullptr : dynamic_cast<ShellChild*>(sub->widget());
}

} // namespace

TMainForm::TMainForm(AppSettings& settings, std::unique_ptr<ShellDialogs> dialogs, QWidget* parent)
    : QMainWindow(parent), settings_(settings),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<ShellDialogs>()),
      mdi_(new QMdiArea(this)), status_(new MainStatusBar(this)) {
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(cp1251::toQString(server_messages::mainCaption()));
    setWindowIcon(shellIcon("MainForm"));
    // The toolbar is part of the frame: no menu to hide it.
    setContextMenuPolicy(Qt::NoContextMenu);
    settings_.decimalPointForced = forceDecimalPoint(QLocale::system());

    mdi_->setObjectName(QStringLiteral("ClientArea"));
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setBackground(QColor(128, 128, 128));
    setCentralWidget(mdi_);
    setStatusBar(status_);
    // Shown at the first activation of the main window.
    status_->hide();

    commands_ = std::make_unique<CommandTable>(*this);
    designerFactory_ = [this](ShellHost& host) { return new TMDIChild_1(host, prompter()); };
    fileChooser_ = [](QWidget* parent, const QString& dir, const QString& filter) {
        QFileDialog dialog(parent, QString(), dir, filter);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setDefaultSuffix(QString::fromLatin1(open_command::kDefaultSuffix));
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().front()
                   : QString();
    };
    connectCommands();

    // The menu update follows every change of the active form, pop-ups included.
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
        showDesignerFormat();
        updateMenuItems();
    });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this] { updateMenuItems(); });
    updateMenuItems();
}

void TMainForm::showAtStart() {
    // Most of the screen first: without a window manager nothing maximises the window, and
    // this is the size it keeps then.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect available = screen->availableGeometry();
        const QSize size = available.size() * 9 / 10;
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
    }
    showMaximized();
}

void TMainForm::loadSettings(const std::string& startDir) {
    settings::load(settings_, startDir);
    commands_->toolBar()->show();
}

TMainForm::~TMainForm() {
    closing_ = true;
    disconnect(qApp, nullptr, this, nullptr);
    mdi_->disconnect(this);
    // Children go first, while the registry and the status bar they use still exist.
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        delete sub;
    }
}

// ---- children

QMdiSubWindow* TMainForm::addChild(QWidget* child) {
    QMdiSubWindow* sub = mdi_->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    if (ShellChild* c = dynamic_cast<ShellChild*>(child)) {
        registry_.add(c);
        connect(child, &QObject::destroyed, this, [this, c] {
            registry_.remove(c);
            if (!closing_) {
                updateMenuItems();
            }
        });
    }
    // A new window takes the whole work area: maximised inside it, and filling it when the
    // user restores it. "Окно" cascades and tiles them as before.
    sub->setGeometry(QRect(QPoint(0, 0), mdi_->viewport()->size()));
    sub->showMaximized();
    mdi_->setActiveSubWindow(sub);
    updateMenuItems();
    return sub;
}

std::vector<ShellChild*> TMainForm::childWindows() const {
    std::vector<ShellChild*> out;
    for (QMdiSubWindow* sub : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (ShellChild* c = shellChildOf(sub)) {
            out.push_back(c);
        }
    }
    return out;
}

ShellChild* TMainForm::activeChild() const {
    // The current sub-window stays current while a pop-up or a dialog has the focus.
    return shellChildOf(mdi_->currentSubWindow());
}

DesignerChild* TMainForm::activeDesigner() const {
    ShellChild* c = activeChild();
    return c != nullptr && c->kind() == ChildKind::Designer ? static_cast<DesignerChild*>(c)
                                                            : nullptr;
}

// ---- menu update

void TMainForm::updateMenuItems() {
    if (closing_) {
        return;
    }
    MenuContext context;
    context.childCount = static_cast<int>(mdi_->subWindowList().size());
    if (ShellChild* c = activeChild()) {
        context.active = c->kind();
        context.noSave = c->noSave();
        context.noPrint = c->noPrint();
        context.noCalendar = c->noCalendar();
    }
    context.extdDown = commands_->action("extd")->isChecked();
    for (const CommandEnabled& e : fc::updateMenuItems(context)) {
        setCommandEnabled(e.name, e.enabled);
    }
    for (std::string_view hidden : hiddenMenuItems()) {
        commands_->setVisible(hidden, false);
    }
}

void TMainForm::narrowEditMenu() {
    DesignerChild* d = activeDesigner();
    if (d == nullptr) {
        return;
    }
    EditMenuNarrowing n = fc::narrowEditMenu(d->workbook());
    commands_->setEnabled("CopyItem", n.rowColumnOps);
    commands_->setEnabled("CutItem", n.rowColumnOps);
    commands_->setEnabled("p12", n.deleteSheet);
}

void TMainForm::setCommandEnabled(std::string_view name, bool enabled) {
    if (name == "StatusBar1") {
        status_->setEnabled(enabled);
        return;
    }
    commands_->setEnabled(name, enabled);
}

void TMainForm::setCommandChecked(std::string_view name, bool checked) {
    if (QAction* a = commands_->action(name)) {
        a->setChecked(checked);
    }
}

bool TMainForm::commandChecked(std::string_view name) const {
    QAction* a = commands_->action(name);
    return a != nullptr && a->isChecked();
}

// ---- status bar and labels

std::string TMainForm::statusText(int panel) const {
    if (panel == 1) {
        return cp1251::fromQString(status_->textPanel()->text());
    }
    if (panel == 2) {
        return cp1251::fromQString(status_->restartPanel()->text());
    }
    return {};
}

void TMainForm::setStatusText(int panel, std::string_view text) {
    if (panel == 1) {
        status_->textPanel()->setText(cp1251::toQString(text));
    } else if (panel == 2) {
        status_->restartPanel()->setText(cp1251::toQString(text));
    }
}

int TMainForm::progressWidth() const { return status_->progressWidth(); }

void TMainForm::showProgress(int value, bool teal) {
    status_->progressPanel()->showProgress(value, teal);
}

void TMainForm::showProgressNotice(std::string_view text, Color color) {
    status_->progressPanel()->showNotice(cp1251::toQString(text),
                                         QColor(redOf(color), greenOf(color), blueOf(color)));
}

void TMainForm::setTimeLabels(std::string_view label1, std::string_view label2) {
    commands_->label1()->setText(cp1251::toQString(label1));
    commands_->label2()->setText(cp1251::toQString(label2));
}

void TMainForm::setTimeLabelsEnabled(bool enabled) {
    commands_->label1()->setEnabled(enabled);
    commands_->label2()->setEnabled(enabled);
}

bool TMainForm::turboDown() const { return commands_->action("Turbo")->isChecked(); }

// ---- commands

void TMainForm::onCommand(const char* name, std::function<void()> handler) {
    connect(commands_->action(name), &QAction::triggered, this,
            [handler = std::move(handler)] { handler(); });
}

void TMainForm::execute(ShellCommand command, bool checked) {
    router_.execute(command, activeChild(), QGuiApplication::keyboardModifiers(), checked);
}

void TMainForm::connectCommands() {
    const std::pair<const char*, ShellCommand> routed[] = {
        {"N11", ShellCommand::Run},
        {"FileSaveItem", ShellCommand::Save},
        {"ppp1", ShellCommand::PageSetup},
        {"N3", ShellCommand::Print},
        {"pPreview", ShellCommand::PrintPreview},
        {"pPdf", ShellCommand::ExportPdf},
        {"Undo1", ShellCommand::Undo},
        {"ReDo1", ShellCommand::Redo},
        {"MaxCol1", ShellCommand::ColsRows},
        {"CopyItem", ShellCommand::InsertRowCol},
        {"CutItem", ShellCommand::DeleteRowCol},
        {"p6", ShellCommand::DefaultFont},
        {"p2_", ShellCommand::CellFormat},
        {"p11", ShellCommand::Prototypes},
        {"p2", ShellCommand::ClearRowMarks},
        {"p5", ShellCommand::SortAscending},
        {"N10", ShellCommand::SortDescending},
        {"N12", ShellCommand::SortDefault},
        {"N9", ShellCommand::Filter},
        {"N13", ShellCommand::Find},
        {"N15", ShellCommand::FindNext},
    };
    for (const auto& [name, command] : routed) {
        onCommand(name, [this, command = command] { execute(command); });
    }
    onCommand("SendMail", [this] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        execute(ShellCommand::SendMail);
        QApplication::restoreOverrideCursor();
    });
    onCommand("p1", [this] {
        execute(ShellCommand::OnlyMarkedRows, commands_->action("p1")->isChecked());
    });

    onCommand("p9", [this] { dialogs_->showConnection(); });
    onCommand("SpeedButton9", [this] { dialogs_->showConnection(); });
    onCommand("RxSpeedButton9", [this] { dialogs_->recompileForms(); });
    onCommand("p10", [this] { dialogs_->showFormArguments(); });
    onCommand("RxB13", [this] { dialogs_->showServiceReference(); });
    onCommand("p4", [this] { periodCommand(); });
    onCommand("FileNewItem", [this] { newFile(); });
    onCommand("FileOpenItem", [this] { openFile(); });
    onCommand("FileExitItem", [this] { close(); });
    onCommand("SpeedButton7", [this] { showLauncher(); });
    onCommand("Help1", [this] { showAbout(); });
    onCommand("p18", [this] { showWindowSize(); });
    onCommand("N16", [this] { settings_.debugMessages = commandChecked("N16"); });

    onCommand("p16", [this] { setTurboFormat(false); });
    onCommand("p17", [this] { setTurboFormat(true); });
    onCommand("extd", [this] { setTurboFormat(commandChecked("extd")); });
    onCommand("Turbo", [this] {
        if (DesignerChild* d = activeDesigner()) {
            d->setFormatSwitch({d->formatSwitch().extended, commandChecked("Turbo")});
        }
    });

    onCommand("p13", [this] {
        if (DesignerChild* d = activeDesigner()) {
            addDesignerSheet(d->workbook());
            d->refreshSheetProperties();
        }
    });
    onCommand("PasteItem", [this] {
        if (DesignerChild* d = activeDesigner()) {
            insertDesignerSheet(d->workbook());
            d->refreshSheetProperties();
        }
    });
    onCommand("p12", [this] {
        if (DesignerChild* d = activeDesigner()) {
            deleteDesignerSheet(d->workbook());
        }
    });
    onCommand("N4", [this] {
        if (DesignerChild* d = activeDesigner()) {
            setDesignerGrid(d->workbook(), commandChecked("N4"));
        }
    });
    const std::pair<const char*, int> scales[] = {{"N501", 200},  {"N1501", 150}, {"N1251", 125},
                                                  {"N1001", 100}, {"N2001", 75},  {"N502", 50}};
    for (const auto& [name, percent] : scales) {
        onCommand(name, [this, percent = percent] { setScale(percent); });
    }

    auto popObjectMenu = [this] { commands_->objectMenu()->popup(mapToGlobal(QPoint(100, 30))); };
    onCommand("N5", popObjectMenu);
    for (QAction* a : commands_->objectMenu()->actions()) {
        connect(a, &QAction::triggered, this, [this, a] { objectMenuChosen(a->data().toInt()); });
    }

    onCommand("p3", [this] { closeAll(); });
    onCommand("WindowCascadeItem", [this] { mdi_->cascadeSubWindows(); });
    onCommand("WindowTileItem", [this] { mdi_->tileSubWindows(); });
    // Qt lines minimised children up by itself; arranging them again is a new layout pass.
    onCommand("WindowArrangeItem", [this] {
        for (QMdiSubWindow* sub : mdi_->subWindowList()) {
            if (sub->isMinimized()) {
                sub->showMinimized();
            }
        }
    });
    onCommand("WindowMinimizeItem", [this] {
        for (QMdiSubWindow* sub : mdi_->subWindowList()) {
            sub->showMinimized();
        }
    });

    connect(commands_->menu("Edit1"), &QMenu::aboutToShow, this, [this] { narrowEditMenu(); });
    connect(status_->restartPanel(), &RestartPanel::released, this,
            [this] { restartPanelReleased(); });
}

void TMainForm::newFile() {
    settings_.currentFileName = "Noname.rpt";
    createDesigner();
}

void TMainForm::openFile() {
    QString dir = cp1251::toQString(open_command::initialDirectory(settings_));
    QString chosen = fileChooser_(this, dir, dialogFilter(open_command::kFilterUtf8));
    if (chosen.isEmpty()) {
        return;
    }
    openPath(chosen);
}

void TMainForm::openPath(const QString& path) {
    open_command::noteChosen(settings_, cp1251::fromQString(QDir::toNativeSeparators(path)));
    if (!settings_.startDir.empty()) {
        QDir::setCurrent(cp1251::toQString(settings_.startDir));
    }
    createDesigner();
}

void TMainForm::createDesigner() {
    if (QWidget* w = designerFactory_(*this)) {
        addChild(w);
    }
}

void TMainForm::runReport(const std::string& request, long long designerHandle) {
    if (!reportFactory_) {
        return;
    }
    settings_.nextReport = request;
    // "G " + a template path: the template's own name is the report, and its directory is
    // where the run finds the template to send.
    if (request.rfind("G ", 0) == 0) {
        const std::string path = request.substr(2);
        const QFileInfo info(cp1251::toQString(path));
        if (path.find_first_of("/\\") != std::string::npos ||
            info.suffix().compare(QLatin1String("rpt"), Qt::CaseInsensitive) == 0) {
            settings_.currentFileName = path;
            settings_.nextReport = "G " + cp1251::fromQString(info.completeBaseName());
        }
    }
    // Pop-ups (";size=") are opened by the report window that owns them, never here.
    if (QWidget* w = reportFactory_(*this, designerHandle)) {
        addChild(w);
    }
}

void TMainForm::showErrorInDesigner(long long designerHandle, int line, int position) {
    if (auto* d = dynamic_cast<DesignerChild*>(registry_.find(designerHandle))) {
        d->showErrorAt(line, position);
    }
}

void TMainForm::showAutoMessage(const std::string& value) {
    // Shown after the answer: a message box must not stop the reading half-way.
    const server_messages::AutoMessage m = server_messages::autoMessage(value);
    QTimer::singleShot(
        0, this, [this, m] { prompter().message(m.caption, m.text, Prompter::Icon::Information); });
}

void TMainForm::listenForOtherInstances(const QString& directory) {
    delete instances_;
    instances_ = new InstanceChannel(directory, this);
    connect(instances_, &InstanceChannel::received, this, [this](const QByteArray& line) {
        const std::optional<std::string> title =
            server_messages::closeRequestTitle(line.toStdString());
        if (title && showsInstanceTitle(*title)) {
            QTimer::singleShot(0, this, [this] { close(); });
        }
    });
}

void TMainForm::closeOtherInstances(const std::string& title) {
    if (instances_ != nullptr) {
        const std::string line = server_messages::closeRequest(title);
        instances_->broadcast(QByteArray(line.data(), static_cast<int>(line.size())));
    }
}

bool TMainForm::showsInstanceTitle(const std::string& title) const {
    for (ShellChild* c : registry_.all()) {
        const auto* w = dynamic_cast<const QWidget*>(c);
        if (c->kind() == ChildKind::Report && w != nullptr &&
            server_messages::instanceTitle(cp1251::fromQString(w->windowTitle())) == title) {
            return true;
        }
    }
    return false;
}

void TMainForm::columnKey(int) { QApplication::beep(); }

void TMainForm::closeAll() {
    QList<QMdiSubWindow*> subs = mdi_->subWindowList(QMdiArea::CreationOrder);
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        ShellChild* c = shellChildOf(*it);
        std::string name =
            c != nullptr ? c->componentName() : cp1251::fromQString((*it)->widget()->objectName());
        if (name != "MDIChild5") {
            (*it)->close();
        }
    }
}

void TMainForm::setTurboFormat(bool down) {
    DesignerChild* d = activeDesigner();
    commands_->action("extd")->setChecked(down);
    if (d != nullptr) {
        d->setCaption(turboCaption(d->caption(), down));
    }
    commands_->action(down ? "p17" : "p16")->setChecked(true);
    QAction* turbo = commands_->action("Turbo");
    turbo->setEnabled(down);
    turbo->setChecked(down);
    if (d != nullptr) {
        d->setFormatSwitch({down, down});
    }
}

void TMainForm::showDesignerFormat() {
    const DesignerChild* d = activeDesigner();
    if (d == nullptr) {
        return;
    }
    const FormatSwitch f = d->formatSwitch();
    commands_->action("extd")->setChecked(f.extended);
    commands_->action(f.extended ? "p17" : "p16")->setChecked(true);
    QAction* turbo = commands_->action("Turbo");
    turbo->setEnabled(f.extended);
    turbo->setChecked(f.turbo);
}

void TMainForm::designerFormatChanged(const DesignerChild& designer) {
    if (activeDesigner() == &designer) {
        showDesignerFormat();
    }
}

void TMainForm::setScale(int percent) {
    if (DesignerChild* d = activeDesigner()) {
        setDesignerScale(d->workbook(), percent);
    }
}

void TMainForm::objectMenuChosen(int mode) {
    DesignerChild* d = activeDesigner();
    if (d == nullptr) {
        return;
    }
    if (mode == 0) {
        d->insertPicture();
        return;
    }
    d->focusSheet();
    d->workbook().setMode(mode);
}

void TMainForm::periodCommand() {
    if (!dialogs_->execPeriod()) {
        return;
    }
    ShellChild* c = activeChild();
    if (c != nullptr && c->kind() == ChildKind::Report) {
        execute(ShellCommand::PeriodRerun);
    }
}

void TMainForm::restartPanelReleased() {
    ShellChild* c = activeChild();
    if (c != nullptr && c->kind() == ChildKind::Report && status_->isEnabled()) {
        execute(ShellCommand::Restart);
    }
}

void TMainForm::showWindowSize() {
    QMdiSubWindow* sub = mdi_->currentSubWindow();
    if (sub == nullptr) {
        return;
    }
    std::string size = std::to_string(sub->width()) + ":" + std::to_string(sub->height());
    prompter().message(w("Констpуктоp форм"), size);
}

void TMainForm::showLauncher() {
    LauncherDialog dialog(cp1251::toQString(settings_.startDir), prompter(), this);
    dialog.exec();
}

void TMainForm::showAbout() {
    auto* about = new AboutDialog(this);
    about->exec();
}

void TMainForm::setConnectionState(const QIcon& picture, const QString& hint) {
    QAction* a = commands_->action("SpeedButton9");
    a->setIcon(picture);
    a->setToolTip(hint);
}

// ---- window events

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !statusShown_) {
        statusShown_ = true;
        status_->show();
    }
    return QMainWindow::event(event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!runCloseSequence(childWindows(), registry_, prompter())) {
        event->ignore();
        return;
    }
    event->accept();
}

} // namespace fc
