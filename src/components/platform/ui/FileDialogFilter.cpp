#include "components/platform/ui/FileDialogFilter.h"

#include <QStringList>

namespace fc {

QString dialogFilter(std::string_view windowsFilter) {
    QStringList parts =
        QString::fromUtf8(windowsFilter.data(), static_cast<qsizetype>(windowsFilter.size()))
            .split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns) {
            p = p.trimmed();
            if (p == QLatin1String("*.*")) {
                p = QStringLiteral("*");
            }
        }
        filters << parts[i].trimmed() + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace fc
