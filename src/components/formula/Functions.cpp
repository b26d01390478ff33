#include "components/formula/Functions.h"

#include <cmath>
#include <unordered_map>

namespace fc::formula {

bool Args::given(int i) const {
    return i >= 0 && i < count_ && ev_.formula().nodes[kids_[i]].kind != NodeKind::Missing;
}

Operand Args::operand(int i) {
    if (i < 0 || i >= count_) {
        return Operand::missing();
    }
    return ev_.eval(kids_[i]);
}

Operand Args::arrayOperand(int i) {
    const bool saved = ev_.arrayMode;
    ev_.arrayMode = true;
    Operand o = operand(i);
    ev_.arrayMode = saved;
    return o;
}

Value Args::value(int i) { return ev_.scalar(operand(i)); }

ErrorCode Args::number(int i, double& out, double fallback) {
    if (!given(i)) {
        out = fallback;
        return ErrorCode::None;
    }
    return toNumber(value(i), out);
}

ErrorCode Args::integer(int i, double& out, double fallback) {
    ErrorCode e = number(i, out, fallback);
    if (e == ErrorCode::None) {
        out = std::trunc(out);
    }
    return e;
}

ErrorCode Args::boolean(int i, bool& out, bool fallback) {
    if (!given(i)) {
        out = fallback;
        return ErrorCode::None;
    }
    return toBool(value(i), out);
}

ErrorCode Args::text(int i, std::string& out) {
    if (!given(i)) {
        out.clear();
        return ErrorCode::None;
    }
    Value v = value(i);
    if (v.isError()) {
        return v.error;
    }
    out = toText(v);
    return ErrorCode::None;
}

namespace {

struct Registry {
    std::vector<FunctionInfo> list;
    std::unordered_map<std::string, std::uint32_t> byName;

    Registry() {
        addMathFunctions(list);
        addTextFunctions(list);
        addLogicFunctions(list);
        addLookupFunctions(list);
        for (std::uint32_t i = 0; i < list.size(); ++i) {
            byName.emplace(list[i].name, i);
        }
    }
};

const Registry& registry() {
    static const Registry r;
    return r;
}

} // namespace

std::uint32_t findFunction(std::string_view name) {
    std::string key(name);
    for (char& ch : key) {
        if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 32);
        }
    }
    const Registry& r = registry();
    auto it = r.byName.find(key);
    return it == r.byName.end() ? kUnknownFunction : it->second;
}

const FunctionInfo& functionInfo(std::uint32_t id) { return registry().list[id]; }

} // namespace fc::formula
