#include "output/PrintCopies.h"

#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/RequestWriter.h"
#include "exchange/Requests.h"
#include "shell/AppSettings.h"

#include <algorithm>

namespace fc::output {

int printCopies(CopyPrinter& printer, int copies) {
    copies = std::clamp(copies, 1, kMaxCopies);
    if (!printer.printFirst()) {
        return 0;
    }
    int printed = 1;
    while (printed < copies && printer.printAgain()) {
        ++printed;
    }
    return printed;
}

bool writePrintLog(const AppSettings& settings, Prompter& prompter, const std::string& printId,
                   const NameSource& names) {
    if (printId.empty()) {
        return true;
    }
    const RequestWriter writer(settings, prompter);
    const std::string name = names();
    if (writer.write(name, request::printLog(settings, printId), w("ФАЙЛ-ЗАПРОС: "))) {
        return true;
    }
    prompter.error(w("Не могу создать файл запpоса в ") + settings.serverDir);
    return false;
}

} // namespace fc::output
