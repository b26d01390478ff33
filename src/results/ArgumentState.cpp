#include "results/ArgumentState.h"

#include "components/text/CodePage.h"
#include "components/text/TextOps.h"

namespace fc::args {

namespace {

std::string header(std::string_view state) { return std::string(state.substr(0, kHeader)); }

std::string dosField(std::string_view win) {
    return codepage::toDos(text::trim(win).substr(0, kFieldWidth));
}

// The second field exactly as it stands (it is in the DOS code page already).
std::string rawSecond(std::string_view state) {
    const std::size_t at = kHeader + kFieldWidth;
    return state.size() > at ? std::string(state.substr(at, kFieldWidth)) : std::string();
}

} // namespace

KeyParts splitKey(std::string_view key) {
    KeyParts k;
    if (!key.empty() && key.front() == '[') {
        k.kind = KeyParts::Kind::Command;
        return k;
    }
    const std::size_t bar = key.find('|');
    if (bar == std::string_view::npos) {
        return k;
    }
    k.low = text::trim(key.substr(0, bar));
    k.high = text::trim(key.substr(bar + 1));
    k.kind = k.low.empty() && !k.high.empty() ? KeyParts::Kind::Toggle : KeyParts::Kind::Pair;
    return k;
}

std::string stateField(std::string_view state, int field) {
    const std::size_t at = kHeader + (field == 2 ? kFieldWidth : 0);
    return at < state.size() ? text::trim(state.substr(at, kFieldWidth)) : std::string();
}

std::string chosenState(std::string_view state, std::string_view key) {
    const KeyParts k = splitKey(key);
    switch (k.kind) {
    case KeyParts::Kind::Plain:
        return header(state) + text::fit(dosField(key), kFieldWidth) + rawSecond(state);
    case KeyParts::Kind::Pair:
        return header(state) + text::fit(dosField(k.low), kFieldWidth) +
               text::fit(dosField(k.high), kFieldWidth);
    case KeyParts::Kind::Toggle: {
        // The fields taken from the state string are in the DOS code page already.
        const std::string second = stateField(state, 2).empty() ? dosField(k.high) : "";
        return header(state) + text::fit(stateField(state, 1), kFieldWidth) +
               text::fit(second, kFieldWidth);
    }
    case KeyParts::Kind::Command: break;
    }
    return std::string(state);
}

std::optional<std::string> defaultState(std::string_view state,
                                        const std::vector<ArgumentLine>& lines) {
    const ArgumentLine* chosen = nullptr;
    for (const ArgumentLine& line : lines) {
        if (line.marked && splitKey(line.key).kind != KeyParts::Kind::Command) {
            chosen = &line;
        }
    }
    if (!chosen) {
        return std::nullopt;
    }
    const KeyParts k = splitKey(chosen->key);
    if (k.kind == KeyParts::Kind::Plain) {
        return header(state) + dosField(chosen->key);
    }
    return header(state) + text::fit(dosField(k.low), kFieldWidth) +
           text::fit(dosField(k.high), kFieldWidth);
}

Markers markersFor(std::string_view key, std::string_view state) {
    Markers m;
    const KeyParts k = splitKey(key);
    const std::string first = stateField(state, 1);
    const std::string second = stateField(state, 2);
    switch (k.kind) {
    case KeyParts::Kind::Toggle: m.second = second == dosField(k.high); [[fallthrough]];
    case KeyParts::Kind::Pair:
        m.current = first == dosField(k.low) && second == dosField(k.high);
        break;
    case KeyParts::Kind::Plain: m.current = !key.empty() && first == dosField(key); break;
    case KeyParts::Kind::Command: break;
    }
    return m;
}

std::string markedKey(std::string_view key, std::string_view state) {
    if (splitKey(key).kind == KeyParts::Kind::Plain) {
        return std::string(key);
    }
    return codepage::toWindows(stateField(state, 1)) + "|" +
           codepage::toWindows(stateField(state, 2));
}

} // namespace fc::args
