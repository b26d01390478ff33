#include "exchange/OutsideWorld.h"

#include "components/text/Cp1251.h"

#include <QProcess>
#include <QStringList>

namespace fc {

bool SystemWorld::run(const std::string& commandLine) {
    QStringList parts = QProcess::splitCommand(cp1251::toQString(commandLine));
    if (parts.isEmpty()) {
        return false;
    }
    const QString program = parts.takeFirst();
    return QProcess::startDetached(program, parts);
}

bool SystemWorld::open(const std::string& path) {
    return QProcess::startDetached(QStringLiteral("xdg-open"), {cp1251::toQString(path)});
}

} // namespace fc
