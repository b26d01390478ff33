#include "components/text/Cp1251.h"
#include "results/ui/Form2.h"
#include "results/ui/Form6.h"
#include "results/ui/TMDIChild1.h"
#include "shell/AppSettings.h"
#include "shell/ChildRegistry.h"
#include "shell/CommandLine.h"
#include "shell/ui/AppDialogs.h"
#include "shell/ui/ShellIcons.h"
#include "shell/ui/TMainForm.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    fc::CommandLine commandLine = fc::parseCommandLine(arguments);
    // Answered before any window exists, so it works without a display.
    if (commandLine.help) {
        std::fputs(fc::commandLineHelp().c_str(), stdout);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("formconstructor"));
    QApplication::setApplicationDisplayName(fc::cp1251::toQString(fc::w("Констpуктоp форм")));
    QApplication::setWindowIcon(fc::shellIcon("MainForm"));

    fc::AppSettings settings;
    settings.commandLineParam = commandLine.first;
    fc::TMainForm main(settings, std::make_unique<fc::AppDialogs>());
    main.setReportFactory([](fc::ShellHost& host, long long designer) -> QWidget* {
        auto* window = new fc::TMDIChild1(host, designer);
        host.children().add(window);
        if (!window->start()) {
            window->deleteLater();
            return nullptr;
        }
        return window;
    });
    // The settings files live in the directory the program was started in.
    main.loadSettings(fc::cp1251::fromQString(QDir::toNativeSeparators(QDir::currentPath())));
    main.showMaximized();
    main.dialogs().createAtStartup(main);
    // The filter dialogs wait hidden; every report window loads its own filter into them.
    fc::filterDialog(&main);
    fc::listFilterDialog(&main);
    // Offline ("@NAME"): one report window reads its answer from the start directory's CACHE.
    if (settings.offline()) {
        main.runReport("R " + settings.commandLineParam.substr(1), 0);
    }
    return app.exec();
}
