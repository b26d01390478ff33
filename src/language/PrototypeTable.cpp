#include "language/PrototypeTable.h"

// Placeholder until the loader lands: the built-in prototype only.
namespace fc {

namespace {
const std::string kEmpty;
}

PrototypeTable::PrototypeTable() { reset(); }

void PrototypeTable::reset() {
    protos_.clear();
    Prototype p;
    p.line = "ta %, %, %, %, %, %";
    p.fragments[0] = "ta";
    for (int k = 1; k < 6; ++k) {
        p.fragments[static_cast<std::size_t>(k)] = ",";
    }
    p.fragmentCount = 6;
    protos_.push_back(p);
    count_ = 1;
}

void PrototypeTable::loadFile(const std::string&, std::vector<std::string>*) { reset(); }
void PrototypeTable::loadText(std::string_view, std::vector<std::string>*) { reset(); }

const std::string& PrototypeTable::line(int n) const {
    return n >= 1 && n <= count_ ? protos_[static_cast<std::size_t>(n - 1)].line : kEmpty;
}

const std::string& PrototypeTable::fragment(int n, int k) const {
    if (n < 1 || n > count_ || k < 1 || k > kMaxFragments) {
        return kEmpty;
    }
    return protos_[static_cast<std::size_t>(n - 1)].fragments[static_cast<std::size_t>(k - 1)];
}

int PrototypeTable::find(std::string_view text, int* nameLength) const {
    for (int n = 1; n <= count_; ++n) {
        const std::string& f = fragment(n, 1);
        if (text.substr(0, f.size()) == f) {
            if (nameLength) {
                *nameLength = static_cast<int>(f.size());
            }
            return n;
        }
    }
    return 0;
}

bool PrototypeTable::matchFragment(std::string_view text, int n, int k, int* len) const {
    const std::string& f = fragment(n, k);
    if (n < 1 || n > count_ || text.substr(0, f.size()) != f) {
        return false;
    }
    if (len) {
        *len = static_cast<int>(f.size());
    }
    return true;
}

std::string PrototypeTable::name(int n) const {
    return n >= 1 && n <= count_ ? fragment(n, 1) : std::string("???");
}

} // namespace fc
