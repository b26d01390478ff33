#include "components/text/Cp1251.h"
#include "shell/CommandLine.h"
#include "shell/ShellSettings.h"
#include "shell/ui/ShellDialogs.h"
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

    // The settings files live in the directory the program was started in.
    fc::MemorySettings settings(
        fc::cp1251::fromQString(QDir::toNativeSeparators(QDir::currentPath())));

    fc::TMainForm main(settings, commandLine);
    main.showMaximized();
    main.dialogs().createAtStartup(main);
    return app.exec();
}
