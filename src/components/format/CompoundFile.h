#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fc::xls {

// The compound document container of Excel 97 files: a small FAT file system inside a file.
// Writing holds one stream at the top level; reading finds a top-level stream by name.
class CompoundFile {
public:
    // A whole file (512-byte sectors, version 3) holding `data` as stream `name` (at most 31
    // characters). Streams under 4096 bytes go to the mini stream, as readers expect.
    static std::vector<std::uint8_t> build(std::u16string_view name,
                                           const std::vector<std::uint8_t>& data);

    // Checks the header and loads the sector tables; false with `error` set on a damaged
    // container. The bytes must outlive the object.
    bool open(const std::uint8_t* data, std::size_t size, std::string& error);
    bool hasStream(std::u16string_view name) const;
    // The stream's bytes; false with `error` set when it is missing or its chain is broken.
    bool read(std::u16string_view name, std::vector<std::uint8_t>& out, std::string& error) const;

private:
    struct Entry {
        std::u16string name;
        int type = 0;
        std::uint32_t start = 0;
        std::uint64_t size = 0;
    };
    bool chain(std::uint32_t start, const std::vector<std::uint32_t>& table, std::size_t limit,
               std::vector<std::uint32_t>& out) const;
    bool readRegular(std::uint32_t start, std::uint64_t size, std::vector<std::uint8_t>& out) const;
    const Entry* find(std::u16string_view name) const;
    // A whole sector inside the file, or null.
    const std::uint8_t* sector(std::uint32_t s) const;

    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t sectorSize_ = 512;
    std::size_t sectorCount_ = 0;
    std::uint32_t miniCutoff_ = 4096;
    std::uint32_t miniFatStart_ = 0;
    std::vector<std::uint32_t> fat_;
    std::vector<Entry> entries_;
};

} // namespace fc::xls
