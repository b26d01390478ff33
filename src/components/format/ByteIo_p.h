#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Little-endian byte building and reading shared by the compound file and BIFF code.
namespace fc::xls {

class ByteWriter {
public:
    std::vector<std::uint8_t>& bytes() { return b_; }
    const std::vector<std::uint8_t>& bytes() const { return b_; }
    std::size_t size() const { return b_.size(); }
    void reserve(std::size_t n) { b_.reserve(n); }

    void u8(unsigned v) { b_.push_back(static_cast<std::uint8_t>(v)); }
    void u16(unsigned v) {
        b_.push_back(static_cast<std::uint8_t>(v));
        b_.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    void f64(double d) {
        std::uint64_t v;
        std::memcpy(&v, &d, 8);
        u32(static_cast<std::uint32_t>(v));
        u32(static_cast<std::uint32_t>(v >> 32));
    }
    void raw(const void* p, std::size_t n) {
        const auto* c = static_cast<const std::uint8_t*>(p);
        b_.insert(b_.end(), c, c + n);
    }
    void zeros(std::size_t n) { b_.insert(b_.end(), n, 0); }
    void put16(std::size_t at, unsigned v) {
        b_[at] = static_cast<std::uint8_t>(v);
        b_[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void put32(std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    }

private:
    std::vector<std::uint8_t> b_;
};

inline unsigned get16(const std::uint8_t* p) { return p[0] | (unsigned(p[1]) << 8); }
inline std::uint32_t get32(const std::uint8_t* p) {
    return get16(p) | (std::uint32_t(get16(p + 2)) << 16);
}
inline double getF64(const std::uint8_t* p) {
    std::uint64_t v = get32(p) | (std::uint64_t(get32(p + 4)) << 32);
    double d;
    std::memcpy(&d, &v, 8);
    return d;
}

} // namespace fc::xls
