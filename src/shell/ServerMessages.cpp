#include "shell/ServerMessages.h"

#include "components/text/Cp1251.h"

namespace fc::server_messages {

namespace {
constexpr std::string_view kClose = "CLOSE ";
} // namespace

AutoMessage autoMessage(std::string_view value) {
    if (!value.empty() && value[0] == '[') {
        const std::size_t close = value.find(']');
        if (close != std::string_view::npos) {
            return {std::string(value.substr(1, close - 1)), std::string(value.substr(close + 1))};
        }
    }
    return {w("Констpуктоp форм"), std::string(value)};
}

bool exclusiveRun(std::string_view param) {
    return param.find(";EXCL") != std::string_view::npos ||
           param.find(";excl") != std::string_view::npos;
}

std::string mainCaption() { return w("\"ЛДК\"-Констpуктоp фоpм"); }

std::string instanceTitle(std::string_view reportCaption) {
    return mainCaption() + " - [" + std::string(reportCaption) + "]";
}

std::string closeRequest(std::string_view title) {
    return std::string(kClose) + std::string(title.substr(0, title.find_first_of("\r\n"))) + "\n";
}

std::optional<std::string> closeRequestTitle(std::string_view line) {
    if (line.substr(0, kClose.size()) != kClose) {
        return std::nullopt;
    }
    line.remove_prefix(kClose.size());
    return std::string(line.substr(0, line.find_first_of("\r\n")));
}

} // namespace fc::server_messages
