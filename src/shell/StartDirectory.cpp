#include "shell/StartDirectory.h"

#include "components/text/Cp1251.h"
#include "shell/CommandLine.h"

#include <QDir>
#include <QFileInfo>

namespace fc {

QString userStartDirectory(const QString& configHome) {
    return QDir::cleanPath(configHome + QStringLiteral("/formconstructor"));
}

StartPlace startPlace(const CommandLine& commandLine, const QString& currentDir,
                      const QString& configHome) {
    const QDir current(currentDir);
    StartPlace place;
    if (!commandLine.start) {
        place.directory = QDir::cleanPath(current.absolutePath());
    } else if (commandLine.startDir.isEmpty()) {
        place.directory = userStartDirectory(configHome);
    } else {
        place.directory = QDir::cleanPath(current.absoluteFilePath(commandLine.startDir));
    }
    if (!commandLine.openFile.isEmpty()) {
        place.openFile = QDir::cleanPath(current.absoluteFilePath(commandLine.openFile));
    }
    return place;
}

bool enterStartDirectory(const QString& dir, std::string& message) {
    const QFileInfo info(dir);
    // A relative directory would depend on where the program happened to be started.
    if (dir.isEmpty() || info.isRelative() || (info.exists() && !info.isDir()) ||
        !QDir().mkpath(dir) || !QDir::setCurrent(dir)) {
        message = w("Каталог запуска недоступен: ") + cp1251::fromQString(dir);
        return false;
    }
    return true;
}

} // namespace fc
