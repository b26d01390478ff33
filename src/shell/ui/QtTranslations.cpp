#include "shell/ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace fc {

bool installQtTranslations(QCoreApplication& app) {
    auto* translator = new QTranslator(&app);
    // "qtbase" covers the widgets and print support; the catalogue belongs to the Qt the
    // program runs with, so it is looked for where that Qt keeps its translations.
    if (!translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace fc
