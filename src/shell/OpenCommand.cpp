#include "shell/OpenCommand.h"

#include "shell/ShellSettings.h"

namespace fc::open_command {

std::string initialDirectory(const ShellSettings& settings) {
    std::string last = settings.lastOpenedDirectory();
    return last.empty() ? settings.reportsDirectory() : last;
}

void noteChosen(ShellSettings& settings, const std::string& path) {
    settings.setCurrentFileName(path);
    settings.setLastOpenedDirectory(directoryOf(path));
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
