#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace fc {

// 8 characters, each drawn uniformly from "0".."9" and "a".."z": the base name of a request
// file. The generator is seeded once from the system's entropy source, so names made in the
// same clock tick still differ.
std::string RandomFileName();

// Where a window takes its request names from; tests hand in a fixed sequence.
using NameSource = std::function<std::string()>;

// A source that yields RandomFileName() names.
NameSource randomNames();

} // namespace fc
