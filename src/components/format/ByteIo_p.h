#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Little-endian byte building and reading shared by the compound file and BIFF code.
namespace fc::xls {

// Appends through a raw cursor: writers put millions of small fields.
class ByteWriter {
public:
    // The bytes written so far (the storage is trimmed to them).
    std::vector<std::uint8_t>& bytes() {
        b_.resize(n_);
        return b_;
    }
    const std::uint8_t* data() const { return b_.data(); }
    std::size_t size() const { return n_; }
    void reserve(std::size_t n) {
        if (n > b_.size()) {
            b_.resize(n);
        }
    }

    void u8(unsigned v) { *room(1) = static_cast<std::uint8_t>(v); }
    void u16(unsigned v) {
        std::uint8_t* p = room(2);
        p[0] = static_cast<std::uint8_t>(v);
        p[1] = static_cast<std::uint8_t>(v >> 8);
    }
    void u32(std::uint32_t v) {
        std::uint8_t* p = room(4);
        for (int i = 0; i < 4; ++i) {
            p[i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    }
    void f64(double d) {
        std::uint64_t v;
        std::memcpy(&v, &d, 8);
        std::uint8_t* p = room(8);
        for (int i = 0; i < 8; ++i) {
            p[i] = static_cast<std::uint8_t>(v >> (8 * i));
        }
    }
    void raw(const void* p, std::size_t n) {
        if (n) {
            std::memcpy(room(n), p, n);
        }
    }
    void zeros(std::size_t n) {
        if (n) {
            std::memset(room(n), 0, n);
        }
    }
    void put16(std::size_t at, unsigned v) {
        b_[at] = static_cast<std::uint8_t>(v);
        b_[at + 1] = static_cast<std::uint8_t>(v >> 8);
    }
    void put32(std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    }

private:
    std::uint8_t* room(std::size_t k) {
        if (n_ + k > b_.size()) {
            b_.resize(std::max<std::size_t>(b_.size() * 2, n_ + k + 256));
        }
        std::uint8_t* p = b_.data() + n_;
        n_ += k;
        return p;
    }
    std::vector<std::uint8_t> b_;
    std::size_t n_ = 0;
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
