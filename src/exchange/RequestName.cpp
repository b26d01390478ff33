#include "exchange/RequestName.h"

#include <random>

namespace fc {

std::string RandomFileName() {
    static std::mt19937 rng{std::random_device{}()};
    static const char kChars[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::uniform_int_distribution<int> pick(0, 35);
    std::string name(8, '0');
    for (char& c : name) {
        c = kChars[pick(rng)];
    }
    return name;
}

NameSource randomNames() {
    return [] { return RandomFileName(); };
}

} // namespace fc
