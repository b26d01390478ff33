#include "exchange/StoredContext.h"

namespace fc {

namespace {

constexpr char kSep = static_cast<char>(0xFA);

} // namespace

std::string withoutCredentials(std::string_view context) {
    const std::size_t first = context.find(kSep);
    const std::size_t second =
        first == std::string_view::npos ? first : context.find(kSep, first + 1);
    if (second == std::string_view::npos) {
        return std::string(context);
    }
    return std::string(2, kSep) + std::string(context.substr(second + 1));
}

std::string withCredentials(std::string_view stored, std::string_view user,
                            std::string_view password) {
    if (stored.size() < 2 || stored[0] != kSep || stored[1] != kSep) {
        return std::string(stored);
    }
    return std::string(user) + kSep + std::string(password) + kSep + std::string(stored.substr(2));
}

} // namespace fc
