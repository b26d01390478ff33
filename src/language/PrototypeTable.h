#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

// The fact prototypes that the server sends at connection: up to 60 lines in code page 866,
// each split at "%" into up to 16 trimmed fragments. Prototype 1 ("ta %, %, %, %, %, %") is
// built in. Numbers count from 1.
class PrototypeTable {
public:
    static constexpr int kMaxPrototypes = 60;
    static constexpr int kMaxFragments = 16;

    PrototypeTable(); // the built-in prototype only

    // Refills the table from a text file (code page 866 lines). Messages of a malformed file
    // are appended to `reports` (code page 1251) and empty the table. A 61st prototype is
    // reported and ignored: the first 60 stay.
    void loadFile(const std::string& path, std::vector<std::string>* reports = nullptr);
    void loadText(std::string_view text, std::vector<std::string>* reports = nullptr);
    void reset(); // back to the built-in prototype

    int count() const { return count_; }
    const std::string& line(int n) const; // code page 866, as received
    const std::string& fragment(int n, int k) const;

    // The first prototype whose fragment 1 begins `text`: its number (0: none) and
    // the length of that fragment.
    int find(std::string_view text, int* nameLength = nullptr) const;
    // True when `text` begins with fragment k of prototype n; the fragment's length in `len`.
    bool matchFragment(std::string_view text, int n, int k, int* len = nullptr) const;
    // Fragment 1 of prototype n, or "???".
    std::string name(int n) const;

private:
    struct Prototype {
        std::string line;
        std::array<std::string, kMaxFragments> fragments;
        int fragmentCount = 0;
    };
    std::vector<Prototype> protos_;
    int count_ = 0;
};

} // namespace fc
