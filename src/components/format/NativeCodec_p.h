#pragma once

// Byte-level pieces of the native workbook file shared by its reader and writer
// (docs/native-format.md describes the layout).

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace fc::native {

constexpr char kMagic[8] = {'\x89', 'V', 'T', 'S', '\r', '\n', '\x1a', '\n'};
constexpr std::uint16_t kMajor = 1;
constexpr std::uint16_t kMinor = 0;

// Chunk tags, four ASCII letters each.
constexpr char kBook[] = "BOOK";
constexpr char kStyles[] = "STYL";
constexpr char kSheet[] = "SHET";
constexpr char kCells[] = "CELL";
constexpr char kObjects[] = "OBJS";
constexpr char kEnd[] = "END ";

// Cell head byte: the value kind in the low three bits, then flags.
constexpr unsigned kCellKindMask = 0x07;
constexpr unsigned kCellFormula = 0x08;
constexpr unsigned kCellStyled = 0x10;

// Objects further out than this are nowhere on a sheet of 256 columns and 65536 rows.
constexpr double kMaxCoordinate = 1e6;

std::uint32_t crc32(std::string_view a, std::string_view b = {});

class ByteWriter {
public:
    std::string& bytes() { return out_; }

    void u8(unsigned v) { out_.push_back(static_cast<char>(v & 0xFF)); }
    void boolean(bool b) { u8(b ? 1 : 0); }
    void u16(std::uint16_t v) {
        u8(v);
        u8(v >> 8u);
    }
    void u32(std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            u8(v >> (8u * static_cast<unsigned>(i)));
        }
    }
    void f64(double d) {
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        for (int i = 0; i < 8; ++i) {
            u8(static_cast<unsigned>(bits >> (8u * static_cast<unsigned>(i))));
        }
    }
    // Unsigned LEB128.
    void uv(std::uint64_t v) {
        while (v >= 0x80) {
            u8(static_cast<unsigned>(v) | 0x80u);
            v >>= 7;
        }
        u8(static_cast<unsigned>(v));
    }
    // Signed values zigzag-encoded, so that -1 takes one byte.
    void sv(std::int64_t v) {
        uv((static_cast<std::uint64_t>(v) << 1) ^ static_cast<std::uint64_t>(v >> 63));
    }
    void str(std::string_view s) {
        uv(s.size());
        out_.append(s.data(), s.size());
    }

    // Starts a chunk; end() fills in its length and appends its checksum.
    void begin(const char* tag) {
        chunkStart_ = out_.size();
        out_.append(tag, 4);
        u32(0);
    }
    void end();

private:
    std::string out_;
    std::size_t chunkStart_ = 0;
};

// Reads a chunk's payload; every read is checked against the end, and the first failure
// sticks (later reads give zeros), so callers test ok() at the points that matter.
class ByteReader {
public:
    explicit ByteReader(std::string_view data) : p_(data.data()), end_(data.data() + data.size()) {}

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    void fail(const std::string& what) {
        if (error_.empty()) {
            error_ = what;
        }
        p_ = end_;
    }
    std::size_t left() const { return static_cast<std::size_t>(end_ - p_); }
    bool atEnd() const { return p_ == end_; }

    unsigned u8() {
        if (p_ == end_) {
            truncated();
            return 0;
        }
        return static_cast<unsigned char>(*p_++);
    }
    bool boolean();
    std::uint32_t u32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            v |= static_cast<std::uint32_t>(u8()) << (8u * static_cast<unsigned>(i));
        }
        return v;
    }
    double f64() {
        std::uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) {
            bits |= static_cast<std::uint64_t>(u8()) << (8u * static_cast<unsigned>(i));
        }
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    std::uint64_t uv();
    std::int64_t sv() {
        std::uint64_t u = uv();
        return static_cast<std::int64_t>(u >> 1) ^ -static_cast<std::int64_t>(u & 1);
    }
    // A value in lo..hi, or a failure naming `what`.
    int range(std::uint64_t v, int lo, int hi, const char* what);
    int uvIn(int lo, int hi, const char* what) { return range(uv(), lo, hi, what); }
    int svInt(const char* what);
    // A count of elements of at least `minSize` bytes each, checked against what is left.
    std::size_t count(std::size_t minSize, const char* what);
    std::string str();
    // A finite number; `limit` bounds its magnitude.
    double finite(const char* what, double limit = 1e300);

private:
    void truncated();

    const char* p_;
    const char* end_;
    std::string error_;
};

} // namespace fc::native
