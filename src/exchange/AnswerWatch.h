#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace fc {

// When a file that the server writes into the exchange directory may be taken. A server may
// write an answer in place, over a network share, while the client already sees it: a file
// counts as whole only when a look finds it as the look before found it (same size, time stamp
// and identity) and no process of this machine holds it open for writing. One look per tick of
// the waiting timer; the first look at a new file never takes it.
class AnswerWatch {
public:
    enum class State {
        Missing, // not there (or gone again)
        Growing, // there, but changed since the last look or still open for writing
        Whole,   // unchanged since the last look and nobody writes it here
    };

    // One look at `path` (Windows-1251, as the settings hold it).
    State look(std::string_view path);
    // Forgets what was seen: the next look at any file starts afresh.
    void reset() { seen_.reset(); }

private:
    struct Stamp {
        std::string path;
        std::uint64_t size = 0, device = 0, inode = 0;
        std::int64_t modifiedNs = 0;
        bool operator==(const Stamp& o) const {
            return path == o.path && size == o.size && device == o.device && inode == o.inode &&
                   modifiedNs == o.modifiedNs;
        }
    };
    std::optional<Stamp> seen_;
};

namespace files {
// True when a process of this machine that this user may look at has the file open for
// writing (Linux: the /proc file descriptor tables). False for a missing file.
bool heldForWriting(std::string_view path);
} // namespace files

} // namespace fc
