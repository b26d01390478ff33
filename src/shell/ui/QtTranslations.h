#pragma once

class QCoreApplication;

namespace fc {

// Installs Qt's own Russian texts (file, font, colour and print dialogs, the standard buttons
// of message boxes) into `app`, whatever the user's locale: the program speaks Russian
// throughout. False when the translations are not installed; Qt's English texts stay then.
bool installQtTranslations(QCoreApplication& app);

} // namespace fc
