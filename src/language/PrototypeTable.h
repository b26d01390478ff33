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

    // Refills the table from a text file (code page 866 lines, CR LF or LF). Blank lines and
    // lines beginning with "*" are skipped. A malformed line empties the table (count 0) and
    // is reported; a 61st prototype is reported and it and the rest of the file are ignored:
    // the first 60 stay. Reports (Windows-1251, one line each) are appended to `reports`, or
    // printed to the standard output without it. A file that cannot be opened leaves the
    // built-in prototype, quietly.
    void loadFile(const std::string& path, std::vector<std::string>* reports = nullptr);
    void loadText(std::string_view text, std::vector<std::string>* reports = nullptr);
    void reset(); // back to the built-in prototype

    int count() const { return count_; }
    const std::string& line(int n) const; // code page 866, as received; "" outside the table
    // Fragment k (1 to 16) of prototype n, trimmed; "" past its last one or outside the table.
    const std::string& fragment(int n, int k) const;

    // The first prototype whose fragment 1 begins `text`: its number (0: none) and
    // the length of that fragment.
    int find(std::string_view text, int* nameLength = nullptr) const;
    // True when `text` begins with fragment k of prototype n; the fragment's length in `len`.
    bool matchFragment(std::string_view text, int n, int k, int* len = nullptr) const;
    // Fragment 1 of prototype n, or "???".
    std::string name(int n) const;

private:
    bool addLine(std::string_view line, int lineNumber, std::vector<std::string>* reports);

    struct Prototype {
        std::string line;
        std::array<std::string, kMaxFragments> fragments;
        int fragmentCount = 0;
    };
    std::vector<Prototype> protos_;
    int count_ = 0;
};

} // namespace fc
