#pragma once

#include "results/ArgumentFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The argument fields of the report state string: characters 9-20 (the first field) and 21-32
// (the second), each blank-padded to 12, in the DOS code page; characters 1-8 belong to the
// period and are always kept. Keys are Windows-1251, as the argument table holds them.
namespace fc::args {

constexpr std::size_t kHeader = 8;
constexpr std::size_t kFieldWidth = 12;

// What a key of the argument table is.
struct KeyParts {
    enum class Kind {
        Plain,   // one field
        Pair,    // LOW|HIGH
        Toggle,  // |HIGH: switches the second field on and off
        Command, // [...]: a command, never a field
    };
    Kind kind = Kind::Plain;
    std::string low, high; // Pair and Toggle: both parts trimmed
};
KeyParts splitKey(std::string_view key);

// Field 1 or 2 of the state string, trimmed (DOS code page); empty when the string is short.
std::string stateField(std::string_view state, int field);

// The state string after choosing `key` (not a command): a plain key padded to 12 followed by
// the current second field as it stands; a pair LOW and HIGH padded to 12 each; a toggle keeps
// the current first field and sets HIGH, or clears the second field when one is set. Keys are
// cut to 12 characters.
std::string chosenState(std::string_view state, std::string_view key);
// The state string after the default lookup: the last marked line's key, a pair as LOW and
// HIGH padded to 12, a plain key unpadded; nothing when no line is marked (commands do not
// count).
std::optional<std::string> defaultState(std::string_view state,
                                        const std::vector<ArgumentLine>& lines);

// The markers a button gets from the state string: the current argument (lime, `Panel3`) and
// the second field's toggle (aqua, `FPanel`).
struct Markers {
    bool current = false;
    bool second = false;
};
Markers markersFor(std::string_view key, std::string_view state);

// The key whose line gets the default mark after `key` was chosen into `state`: the key, or
// for two fields the chosen fields (Windows-1251) joined by "|".
std::string markedKey(std::string_view key, std::string_view state);

} // namespace fc::args
