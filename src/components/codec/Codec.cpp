#include "components/codec/Codec.h"

#include "components/platform/FileBytes.h"

#include <array>

namespace fc::codec {

namespace {

constexpr char kStringMagic[] = "FCS1";
constexpr char kFileMagic[] = "FCC1";
constexpr std::size_t kMagicSize = 4;
constexpr std::size_t kHeadSize = 8; // length and checksum, little-endian
constexpr char kHex[] = "0123456789ABCDEF";

std::uint32_t crc32(std::string_view data) {
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
    std::uint32_t c = 0xFFFFFFFFu;
    for (char ch : data) {
        c = table[(c ^ static_cast<unsigned char>(ch)) & 0xFFu] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

// The key stream depends on the length, so texts that share a beginning do not share the
// beginning of their encoded form.
class KeyStream {
public:
    explicit KeyStream(std::size_t n)
        : state_(0x9E3779B9u ^ (static_cast<std::uint32_t>(n) * 0x85EBCA6Bu)) {
        if (state_ == 0) {
            state_ = 0x2545F491u;
        }
    }
    unsigned char next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<unsigned char>(state_ >> 24);
    }

private:
    std::uint32_t state_;
};

void putU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out += static_cast<char>((v >> (8 * i)) & 0xFFu);
    }
}

std::uint32_t getU32(std::string_view s, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) {
        v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<std::size_t>(i)]);
    }
    return v;
}

// Head and body without the magic: length, checksum, then each byte mixed with the key stream
// and the previous output byte.
std::string seal(std::string_view data) {
    std::string out;
    out.reserve(kHeadSize + data.size());
    putU32(out, static_cast<std::uint32_t>(data.size()));
    putU32(out, crc32(data));
    KeyStream ks(data.size());
    unsigned char prev = 0;
    for (char ch : data) {
        unsigned char c =
            static_cast<unsigned char>(static_cast<unsigned char>(ch) + ks.next() + prev);
        out += static_cast<char>(c);
        prev = c;
    }
    return out;
}

std::optional<std::string> unseal(std::string_view sealed) {
    if (sealed.size() < kHeadSize) {
        return std::nullopt;
    }
    const std::uint32_t n = getU32(sealed, 0);
    const std::uint32_t crc = getU32(sealed, 4);
    if (sealed.size() - kHeadSize != n) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(n);
    KeyStream ks(n);
    unsigned char prev = 0;
    for (std::size_t i = kHeadSize; i < sealed.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(sealed[i]);
        out += static_cast<char>(static_cast<unsigned char>(c - ks.next() - prev));
        prev = c;
    }
    if (crc32(out) != crc) {
        return std::nullopt;
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1; // lower case is not what the encoder writes
}

} // namespace

std::string EncodeString(std::string_view text) {
    const std::string sealed = seal(text);
    std::string out(kStringMagic);
    out.reserve(kMagicSize + 2 * sealed.size());
    for (char ch : sealed) {
        unsigned char b = static_cast<unsigned char>(ch);
        out += kHex[b >> 4];
        out += kHex[b & 15];
    }
    return out;
}

std::optional<std::string> tryDecodeString(std::string_view encoded) {
    if (encoded.substr(0, kMagicSize) != kStringMagic || (encoded.size() - kMagicSize) % 2 != 0) {
        return std::nullopt;
    }
    std::string sealed;
    sealed.reserve((encoded.size() - kMagicSize) / 2);
    for (std::size_t i = kMagicSize; i < encoded.size(); i += 2) {
        int hi = hexValue(encoded[i]);
        int lo = hexValue(encoded[i + 1]);
        if (hi < 0 || lo < 0) {
            return std::nullopt;
        }
        sealed += static_cast<char>(hi * 16 + lo);
    }
    return unseal(sealed);
}

std::string DecodeString(std::string_view encoded) {
    std::optional<std::string> out = tryDecodeString(encoded);
    if (!out) {
        throw CodecError("the text was not made by the encoder");
    }
    return std::move(*out);
}

std::string encodeBytes(std::string_view data) { return std::string(kFileMagic) + seal(data); }

std::optional<std::string> tryDecodeBytes(std::string_view encoded) {
    if (encoded.substr(0, kMagicSize) != kFileMagic) {
        return std::nullopt;
    }
    return unseal(encoded.substr(kMagicSize));
}

std::int64_t EncodeFile(const std::string& path) {
    std::optional<std::string> data = files::readAll(path);
    if (!data) {
        throw CodecError("cannot read " + path);
    }
    const std::string out = encodeBytes(*data);
    if (!files::writeAtomic(path, out)) {
        throw CodecError("cannot replace " + path);
    }
    return static_cast<std::int64_t>(out.size());
}

void DecodeFile(const std::string& path) {
    std::optional<std::string> data = files::readAll(path);
    if (!data) {
        throw CodecError("cannot read " + path);
    }
    std::optional<std::string> out = tryDecodeBytes(*data);
    if (!out) {
        throw CodecError(path + " was not made by the encoder");
    }
    if (!files::writeAtomic(path, *out)) {
        throw CodecError("cannot replace " + path);
    }
}

} // namespace fc::codec
