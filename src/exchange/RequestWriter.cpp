#include "exchange/RequestWriter.h"

#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "shell/AppSettings.h"

namespace fc {

std::string RequestWriter::path(std::string_view name, std::string_view extension) const {
    return files::join(settings_.serverDir, std::string(name) + std::string(extension));
}

bool RequestWriter::connected() const { return !text::trimView(settings_.serverDir).empty(); }

std::pair<std::string, std::string> RequestWriter::failureMessage() const {
    if (!connected()) {
        return {w("Внимание:"), w("Каталог обмена с сеpвеpом не задан: сначала выполните "
                                  "\"Подключение к сеpвеpу\" (меню \"!\").")};
    }
    return {w("Ошибка:"), w("Не могу создать файл запpоса в ") + settings_.serverDir};
}

bool RequestWriter::write(std::string_view name, std::string_view content,
                          std::string_view debugLabel) const {
    if (!connected()) {
        return false;
    }
    const std::string req = path(name, ".req");
    if (!files::writeDirect(req, content)) {
        files::remove(req);
        return false;
    }
    debug(debugLabel, name);
    if (!files::rename(req, path(name, ".in"))) {
        files::remove(req);
        return false;
    }
    return true;
}

void RequestWriter::debug(std::string_view label, std::string_view name) const {
    if (settings_.debugMessages) {
        prompter_.message(w("Констpуктоp форм"), std::string(label) + std::string(name));
    }
}

} // namespace fc
