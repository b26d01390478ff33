#include "designer/TemplateLayout.h"

#include "designer/TemplateText.h"

namespace fc {

TemplateLayout detectLayout(std::string_view bytes) {
    std::vector<std::string_view> lines = tpl::splitLines(bytes.substr(0, 64 * 1024));
    std::string joined;
    for (std::size_t i = 0; i < lines.size() && i < 2; ++i) {
        joined += tpl::trimmed(lines[i]);
    }
    if (joined.find(";table") == std::string::npos) {
        return TemplateLayout::Text;
    }
    if (joined.find(";ext") == std::string::npos) {
        return TemplateLayout::Table;
    }
    return joined.find(";turbo") != std::string::npos ? TemplateLayout::Turbo : TemplateLayout::Ext;
}

const char* layoutName(TemplateLayout l) {
    switch (l) {
    case TemplateLayout::Table: return "table";
    case TemplateLayout::Ext: return "ext";
    case TemplateLayout::Turbo: return "turbo";
    case TemplateLayout::Text: return "text";
    }
    return "text";
}

} // namespace fc
