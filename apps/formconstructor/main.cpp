#include "components/platform/HugePages.h"
#include "components/platform/ui/QtPrompter.h"
#include "components/text/Cp1251.h"
#include "results/ui/Form2.h"
#include "results/ui/Form6.h"
#include "results/ui/TMDIChild1.h"
#include "shell/AppSettings.h"
#include "shell/ChildRegistry.h"
#include "shell/CommandLine.h"
#include "shell/StartDirectory.h"
#include "shell/ui/AppDialogs.h"
#include "shell/ui/InstanceChannel.h"
#include "shell/ui/QtTranslations.h"
#include "shell/ui/ShellIcons.h"
#include "shell/ui/TMainForm.h"

#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// User and system time of this process so far.
double cpuMilliseconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1000.0 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    fc::preferHugePages(argv);
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
    QApplication::setWindowIcon(fc::shellIcon("MainForm"));
    // The desktop entry: its name "Констpуктоp форм" is the application title, and window managers
    // group the windows under its icon. The title is not made Qt's display name, which Qt
    // would append to every caption ("Ошибка: — ...").
    QGuiApplication::setDesktopFileName(QStringLiteral("formconstructor"));
    fc::installQtTranslations(app);

    // The settings files live in the start directory: the one the program was started in, or
    // the one "--start" names (the menu entry's per-user directory).
    const fc::StartPlace place =
        fc::startPlace(commandLine, QDir::currentPath(),
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    std::string failure;
    if (!fc::enterStartDirectory(place.directory, failure)) {
        std::fprintf(stderr, "formconstructor: %s\n", fc::cp1251::toUtf8(failure).c_str());
        fc::QtPrompter(nullptr).message(fc::w("Ошибка:"), failure, fc::Prompter::Icon::Error);
        return 1;
    }

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
    main.loadSettings(fc::cp1251::fromQString(QDir::toNativeSeparators(place.directory)));
    main.showAtStart();
    // A run with ";EXCL" closes the other instance that shows its report.
    main.listenForOtherInstances(fc::InstanceChannel::defaultDirectory());
    main.dialogs().createAtStartup(main);
    // The filter dialogs wait hidden; every report window loads its own filter into them.
    fc::filterDialog(&main);
    fc::listFilterDialog(&main);
    // Offline ("@NAME"): one report window reads its answer from the start directory's CACHE.
    if (settings.offline()) {
        main.runReport("R " + settings.commandLineParam.substr(1), 0);
    }
    // "--open FILE" (a double click on a template) opens it as F3 would.
    if (!place.openFile.isEmpty()) {
        main.openPath(place.openFile);
    }
    // FC_IDLE_SECONDS=N measures the processor time the program takes while it sits idle for N
    // seconds, after two seconds in which its windows open and read their answers, prints it
    // and ends (the idle benchmark, docs/benchmarks.md).
    if (const char* idle = std::getenv("FC_IDLE_SECONDS")) {
        const double seconds = std::clamp(std::atof(idle), 0.1, 3600.0);
        QTimer::singleShot(2000, &app, [seconds, &app] {
            const double start = cpuMilliseconds();
            QTimer::singleShot(static_cast<int>(seconds * 1000), &app, [seconds, start, &app] {
                std::printf("idle CPU: %.1f ms in %.1f s\n", cpuMilliseconds() - start, seconds);
                std::fflush(stdout);
                app.quit();
            });
        });
    }
    return app.exec();
}
