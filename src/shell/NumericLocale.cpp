#include "shell/NumericLocale.h"

#include <QLocale>

#include <clocale>

namespace fc {

bool forceDecimalPoint(const QLocale& system) {
    // QApplication set every category from the environment; numbers alone go back to "C".
    std::setlocale(LC_NUMERIC, "C");
    if (system.decimalPoint() == QLatin1String(".")) {
        return false;
    }
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::OmitGroupSeparator);
    QLocale::setDefault(c);
    return true;
}

} // namespace fc
