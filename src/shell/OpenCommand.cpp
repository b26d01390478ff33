#include "shell/OpenCommand.h"

#include "shell/AppSettings.h"

namespace fc::open_command {

std::string initialDirectory(const AppSettings& settings) {
    return settings.lastOpenedDir.empty() ? settings.reportsDir : settings.lastOpenedDir;
}

void noteChosen(AppSettings& settings, const std::string& path) {
    settings.currentFileName = path;
    settings.lastOpenedDir = directoryOf(path);
}

std::string directoryOf(const std::string& path) {
    std::size_t at = path.find_last_of("/\\");
    if (at == std::string::npos) {
        return {};
    }
    // The root keeps its separator: "/x.rpt" is in "/", not in "".
    return path.substr(0, at == 0 ? 1 : at);
}

} // namespace fc::open_command
