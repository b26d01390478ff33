#include "shell/ui/AppDialogs.h"

#include "components/text/TextOps.h"
#include "designer/ui/ServiceReference.h"
#include "designer/ui/TMDIChild_1.h"
#include "dialogs/ui/PeriodDialog.h"
#include "exchange/ui/ConnectionDialog.h"
#include "results/ui/Form9.h"
#include "shell/AppSettings.h"
#include "shell/ui/CommandTable.h"
#include "shell/ui/TMainForm.h"

#include <QAction>

namespace fc {

void AppDialogs::createAtStartup(TMainForm& main) {
    main_ = &main;
    connection_ = new ConnectionDialog(main.settings(), main.prototypes(), main.prompter(), &main);
    QObject::connect(connection_, &ConnectionDialog::connectionChanged, &main,
                     [&main](bool connected, const QString& hint) {
                         main.setConnectionState(connected ? ConnectionDialog::connectedIcon()
                                                           : ConnectionDialog::notConnectedIcon(),
                                                 hint);
                     });
    main.setConnectionState(ConnectionDialog::notConnectedIcon(),
                            main.commands().action("SpeedButton9")->toolTip());
    formArguments_ = new Form9(main.settings(), main.prompter(), &main);
    // A normal start needs no user action: the stored settings register at once. A first
    // start has no server directory yet: nothing to register with until the user connects.
    if (!text::trimView(main.settings().serverDir).empty()) {
        connection_->registerNow();
    }
}

void AppDialogs::showFormArguments() {
    if (formArguments_ != nullptr) {
        formArguments_->show();
        formArguments_->raise();
        formArguments_->activateWindow();
    }
}

void AppDialogs::showConnection() {
    if (connection_ != nullptr) {
        connection_->exec();
    }
}

void AppDialogs::recompileForms() {
    if (connection_ != nullptr) {
        connection_->requestRecompile();
    }
}

bool AppDialogs::execPeriod() {
    return main_ != nullptr && runPeriodDialog(main_, main_->settings(), main_->prompter());
}

void AppDialogs::showServiceReference() {
    if (main_ == nullptr) {
        return;
    }
    if (auto* d = dynamic_cast<TMDIChild_1*>(main_->activeDesigner())) {
        d->showReference();
        return;
    }
    auto* ref = new ServiceReferenceDialog(main_);
    ref->setAttribute(Qt::WA_DeleteOnClose);
    ref->show();
}

} // namespace fc
