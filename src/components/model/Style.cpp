#include "components/model/Style.h"

#include <functional>

namespace fc {

namespace {

inline void mix(std::size_t& h, std::size_t v) {
    h ^= v + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2);
}

} // namespace

std::size_t StyleTable::Hash::operator()(const Style& s) const {
    std::size_t h = std::hash<std::string>()(s.font.name);
    mix(h, std::hash<double>()(s.font.size));
    mix(h, (s.font.bold ? 1u : 0u) | (s.font.italic ? 2u : 0u) | (s.font.underline ? 4u : 0u) |
               (s.font.strikeout ? 8u : 0u));
    mix(h, s.font.color);
    mix(h, static_cast<std::size_t>(s.halign) * 16 + static_cast<std::size_t>(s.valign) * 2 +
               (s.wrap ? 1 : 0));
    for (const Border& b : s.borders) {
        mix(h, static_cast<std::size_t>(b.style));
        mix(h, b.color);
    }
    mix(h, s.fill.pattern);
    mix(h, s.fill.fg);
    mix(h, s.fill.bg);
    mix(h, std::hash<std::string>()(s.numberFormat));
    return h;
}

StyleTable::StyleTable() {
    styles_.emplace_back();
    index_.emplace(styles_[0], 0);
}

StyleId StyleTable::intern(const Style& s) {
    auto it = index_.find(s);
    if (it != index_.end()) {
        return it->second;
    }
    StyleId id = static_cast<StyleId>(styles_.size());
    styles_.push_back(s);
    index_.emplace(s, id);
    return id;
}

void StyleTable::setDefault(const Style& s) {
    if (styles_[0] == s) {
        return;
    }
    auto it = index_.find(styles_[0]);
    if (it != index_.end() && it->second == 0) {
        index_.erase(it);
    }
    styles_[0] = s;
    // An equal style interned earlier keeps its own id; id 0 is found first from now on.
    index_[s] = 0;
}

} // namespace fc
