#include "components/format/NativeCodec_p.h"

#include "components/text/Cp1251.h"

#include <array>
#include <cmath>

namespace fc::native {

namespace {

// Eight tables, so that the checksum takes eight bytes a step: files run to tens of
// megabytes and a byte at a time was a third of the reading time.
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

const CrcTables& crcTables() {
    static const CrcTables tables = [] {
        CrcTables t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i) {
            for (std::size_t k = 1; k < 8; ++k) {
                t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
            }
        }
        return t;
    }();
    return tables;
}

std::uint32_t crcUpdate(std::uint32_t c, std::string_view part) {
    const CrcTables& t = crcTables();
    const auto* p = reinterpret_cast<const unsigned char*>(part.data());
    std::size_t n = part.size();
    while (n >= 8) {
        const std::uint32_t lo = c ^ (std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                      std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][p[4]] ^ t[2][p[5]] ^ t[1][p[6]] ^ t[0][p[7]];
        p += 8;
        n -= 8;
    }
    for (; n > 0; --n, ++p) {
        c = t[0][(c ^ *p) & 0xFF] ^ (c >> 8);
    }
    return c;
}

} // namespace

std::uint32_t crc32(std::string_view a, std::string_view b) {
    return crcUpdate(crcUpdate(0xFFFFFFFFu, a), b) ^ 0xFFFFFFFFu;
}

void ByteWriter::end() {
    const std::size_t payload = out_.size() - chunkStart_ - 8;
    for (int i = 0; i < 4; ++i) {
        out_[chunkStart_ + 4 + static_cast<std::size_t>(i)] =
            static_cast<char>((payload >> (8u * static_cast<unsigned>(i))) & 0xFF);
    }
    std::string_view all(out_);
    u32(crc32(all.substr(chunkStart_, 4), all.substr(chunkStart_ + 8, payload)));
}

void ByteReader::truncated() { fail(w("данные раздела обрываются")); }

bool ByteReader::boolean() {
    unsigned v = u8();
    if (v > 1) {
        fail(w("неверный признак (ожидался 0 или 1)"));
    }
    return v == 1;
}

std::uint64_t ByteReader::uv() {
    std::uint64_t v = 0;
    for (unsigned shift = 0; shift < 64; shift += 7) {
        unsigned b = u8();
        v |= static_cast<std::uint64_t>(b & 0x7F) << shift;
        if (!(b & 0x80)) {
            return ok() ? v : 0; // a number cut off by the end is no number
        }
    }
    fail(w("слишком длинное число"));
    return 0;
}

int ByteReader::range(std::uint64_t v, int lo, int hi, const char* what) {
    if (!ok()) {
        return lo;
    }
    if (v < static_cast<std::uint64_t>(lo) || v > static_cast<std::uint64_t>(hi)) {
        fail(w("недопустимое значение: ") + w(what) + " = " + std::to_string(v));
        return lo;
    }
    return static_cast<int>(v);
}

int ByteReader::svInt(const char* what) {
    std::int64_t v = sv();
    if (ok() && (v < INT32_MIN || v > INT32_MAX)) {
        fail(w("недопустимое значение: ") + w(what));
        return 0;
    }
    return static_cast<int>(v);
}

std::size_t ByteReader::count(std::size_t minSize, const char* what) {
    std::uint64_t n = uv();
    if (!ok()) {
        return 0;
    }
    if (n > left() / (minSize ? minSize : 1)) {
        fail(w("число элементов больше, чем данных: ") + w(what));
        return 0;
    }
    return static_cast<std::size_t>(n);
}

std::string ByteReader::str() {
    std::uint64_t n = uv();
    if (!ok()) {
        return {};
    }
    if (n > left()) {
        fail(w("строка длиннее данных раздела"));
        return {};
    }
    std::string s(p_, static_cast<std::size_t>(n));
    p_ += n;
    return s;
}

double ByteReader::finite(const char* what, double limit) {
    double d = f64();
    if (ok() && !(std::isfinite(d) && std::fabs(d) <= limit)) {
        fail(w("недопустимое число: ") + w(what));
        return 0;
    }
    return d;
}

} // namespace fc::native
