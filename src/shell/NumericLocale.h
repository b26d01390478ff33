#pragma once

class QLocale;

namespace fc {

// Makes "." the decimal separator of this process, for the C library (LC_NUMERIC) and for
// Qt's default locale, so that numbers in files and answers read and write the same on every
// machine. Nothing outside the process changes. Returns true when `system` uses another
// separator (the "decimal point forced" flag).
bool forceDecimalPoint(const QLocale& system);

} // namespace fc
