#include "exchange/CommandText.h"

#include "components/model/Sheet.h"
#include "components/platform/FileBytes.h"
#include "components/text/TextOps.h"

namespace fc {

std::optional<std::string> substituteColumns(std::string_view command, const Sheet& sheet, int row,
                                             OnEmptyValue onEmpty) {
    std::string out;
    for (std::size_t i = 0; i < command.size();) {
        if (command[i] != '%') {
            out += command[i++];
            continue;
        }
        const std::size_t end = command.find(' ', i);
        const std::string_view token =
            command.substr(i, end == std::string_view::npos ? end : end - i);
        i += token.size();
        long long col = 0;
        if (token.size() < 2 || token[1] == '+' || token[1] == '-' ||
            !text::parseInt(token.substr(1), &col) || col < 1 || col > kMaxCols) {
            out += token;
            continue;
        }
        const std::string value = text::trim(sheet.text(row, static_cast<int>(col)));
        if (value.empty()) {
            if (onEmpty == OnEmptyValue::Abandon) {
                return std::nullopt;
            }
            out += command.substr(i); // the empty value replaces its token
            return out;
        }
        out += value;
    }
    return out;
}

std::string handleFileBytes(long long handle) {
    std::string bytes = std::to_string(handle).substr(0, 10);
    bytes.resize(10, '\0');
    return bytes;
}

bool writeHandleFile(const std::string& dir, long long handle) {
    return files::writeAtomic(files::join(dir, "fh"), handleFileBytes(handle));
}

} // namespace fc
