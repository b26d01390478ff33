#include "components/format/NativeCodec_p.h"

#include "components/text/Cp1251.h"

#include <array>
#include <cmath>

namespace fc::native {

namespace {

const std::array<std::uint32_t, 256>& crcTable() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[i] = c;
        }
        return t;
    }();
    return table;
}

} // namespace

std::uint32_t crc32(std::string_view a, std::string_view b) {
    const auto& t = crcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::string_view part : {a, b}) {
        for (char ch : part) {
            c = t[(c ^ static_cast<unsigned char>(ch)) & 0xFF] ^ (c >> 8);
        }
    }
    return c ^ 0xFFFFFFFFu;
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
            return v;
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
    if (ok() && n > left() / (minSize ? minSize : 1)) {
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
