#include "output/OutputNames.h"

#include "components/text/TextOps.h"

namespace fc::output {

std::string cleanTitle(std::string_view caption) {
    constexpr std::string_view kForbidden = "/\\:*?\"<>|";
    std::string out;
    std::size_t from = 0;
    while (from <= caption.size()) {
        const std::size_t at = caption.find_first_of(kForbidden, from);
        const std::size_t end = at == std::string_view::npos ? caption.size() : at;
        out += text::trim(caption.substr(from, end - from));
        from = end + 1;
    }
    return out;
}

} // namespace fc::output
