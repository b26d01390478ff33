#include "components/format/CompoundFile.h"

#include "components/format/ByteIo_p.h"
#include "components/text/Cp1251.h"

#include <algorithm>

namespace fc::xls {

namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFFu;
constexpr std::uint32_t kEnd = 0xFFFFFFFEu;
constexpr std::uint32_t kFatSect = 0xFFFFFFFDu;
constexpr std::uint32_t kDifSect = 0xFFFFFFFCu;
constexpr std::size_t kSector = 512;
constexpr std::size_t kMini = 64;
constexpr std::uint32_t kCutoff = 4096;
constexpr std::uint8_t kMagic[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

std::size_t ceilDiv(std::size_t a, std::size_t b) { return (a + b - 1) / b; }

void dirEntry(ByteWriter& w, std::u16string_view name, int type, std::uint32_t child,
              std::uint32_t start, std::uint32_t size) {
    for (char16_t ch : name) {
        w.u16(ch);
    }
    w.zeros(64 - name.size() * 2);
    w.u16(name.empty() ? 0 : static_cast<unsigned>((name.size() + 1) * 2));
    w.u8(static_cast<unsigned>(type));
    w.u8(1); // black: a tree of one node per level is a valid red-black tree
    w.u32(kFree);
    w.u32(kFree);
    w.u32(child);
    w.zeros(16 + 4 + 16); // class id, state bits, times
    w.u32(start);
    w.u32(size);
    w.u32(0);
}

std::string damaged() { return w("Файл повреждён: неверная структура составного документа"); }

} // namespace

std::vector<std::uint8_t> CompoundFile::build(std::u16string_view name,
                                              const std::vector<std::uint8_t>& data) {
    name = name.substr(0, 31);
    const std::size_t n = data.size();
    const bool mini = n < kCutoff;
    const std::size_t nData = mini ? 0 : ceilDiv(n, kSector);
    const std::size_t nMini = mini ? ceilDiv(n, kMini) : 0;
    const std::size_t nContainer = ceilDiv(nMini * kMini, kSector);
    const std::size_t nMiniFat = ceilDiv(nMini * 4, kSector);
    std::size_t nFat = 1, nDifat = 0;
    for (;;) {
        std::size_t total = nData + nContainer + nMiniFat + 1 + nFat + nDifat;
        std::size_t fat = ceilDiv(total, kSector / 4);
        std::size_t difat = fat > 109 ? ceilDiv(fat - 109, kSector / 4 - 1) : 0;
        if (fat == nFat && difat == nDifat) {
            break;
        }
        nFat = fat;
        nDifat = difat;
    }
    const std::uint32_t containerAt = static_cast<std::uint32_t>(nData);
    const std::uint32_t miniFatAt = containerAt + static_cast<std::uint32_t>(nContainer);
    const std::uint32_t dirAt = miniFatAt + static_cast<std::uint32_t>(nMiniFat);
    const std::uint32_t fatAt = dirAt + 1;
    const std::uint32_t difatAt = fatAt + static_cast<std::uint32_t>(nFat);
    const std::size_t total = difatAt + nDifat;

    ByteWriter w;
    w.reserve((total + 1) * kSector);
    // Header
    w.raw(kMagic, 8);
    w.zeros(16);
    w.u16(0x003E);
    w.u16(0x0003);
    w.u16(0xFFFE);
    w.u16(9);
    w.u16(6);
    w.zeros(6);
    w.u32(0);
    w.u32(static_cast<std::uint32_t>(nFat));
    w.u32(dirAt);
    w.u32(0);
    w.u32(kCutoff);
    w.u32(nMiniFat ? miniFatAt : kEnd);
    w.u32(static_cast<std::uint32_t>(nMiniFat));
    w.u32(nDifat ? difatAt : kEnd);
    w.u32(static_cast<std::uint32_t>(nDifat));
    for (std::size_t i = 0; i < 109; ++i) {
        w.u32(i < nFat ? fatAt + static_cast<std::uint32_t>(i) : kFree);
    }
    // Stream sectors or the mini stream container, padded to whole sectors
    w.raw(data.data(), n);
    w.zeros((nData + nContainer) * kSector - n);
    // Mini FAT: one chain
    for (std::size_t i = 0; i < nMiniFat * kSector / 4; ++i) {
        w.u32(i + 1 < nMini ? static_cast<std::uint32_t>(i + 1) : (i < nMini ? kEnd : kFree));
    }
    // Directory: root entry, the stream, two unused entries
    dirEntry(w, u"Root Entry", 5, 1, nContainer ? containerAt : kEnd,
             static_cast<std::uint32_t>(nMini * kMini));
    dirEntry(w, name, 2, kFree, n ? 0 : kEnd, static_cast<std::uint32_t>(n)); // sector 0
    for (int i = 0; i < 2; ++i) {
        dirEntry(w, u"", 0, kFree, 0, 0);
    }
    // FAT
    std::vector<std::uint32_t> fat(nFat * kSector / 4, kFree);
    auto link = [&](std::uint32_t first, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            fat[first + i] = i + 1 < count ? first + static_cast<std::uint32_t>(i) + 1 : kEnd;
        }
    };
    link(0, nData);
    link(containerAt, nContainer);
    link(miniFatAt, nMiniFat);
    link(dirAt, 1);
    for (std::size_t i = 0; i < nFat; ++i) {
        fat[fatAt + i] = kFatSect;
    }
    for (std::size_t i = 0; i < nDifat; ++i) {
        fat[difatAt + i] = kDifSect;
    }
    for (std::uint32_t v : fat) {
        w.u32(v);
    }
    // DIFAT sectors: the FAT sectors past the header's 109, 127 to a sector and a link
    for (std::size_t d = 0; d < nDifat; ++d) {
        for (std::size_t i = 0; i < kSector / 4 - 1; ++i) {
            std::size_t k = 109 + d * (kSector / 4 - 1) + i;
            w.u32(k < nFat ? fatAt + static_cast<std::uint32_t>(k) : kFree);
        }
        w.u32(d + 1 < nDifat ? difatAt + static_cast<std::uint32_t>(d) + 1 : kEnd);
    }
    return std::move(w.bytes());
}

bool CompoundFile::chain(std::uint32_t start, const std::vector<std::uint32_t>& table,
                         std::size_t limit, std::vector<std::uint32_t>& out) const {
    out.clear();
    std::uint32_t s = start;
    while (s != kEnd) {
        // A chain longer than the table has a loop.
        if (s >= table.size() || s >= limit || out.size() >= table.size()) {
            return false;
        }
        out.push_back(s);
        s = table[s];
    }
    return true;
}

bool CompoundFile::readRegular(std::uint32_t start, std::uint64_t size,
                               std::vector<std::uint8_t>& out) const {
    std::vector<std::uint32_t> sectors;
    if (!chain(start, fat_, sectorCount_, sectors) || sectors.size() * sectorSize_ < size) {
        return false;
    }
    out.resize(static_cast<std::size_t>(size));
    std::size_t done = 0;
    for (std::uint32_t s : sectors) {
        if (done >= size) {
            break;
        }
        std::size_t off = (static_cast<std::size_t>(s) + 1) * sectorSize_;
        std::size_t n = std::min<std::size_t>(sectorSize_, static_cast<std::size_t>(size) - done);
        if (off + n > size_) {
            return false;
        }
        std::copy(data_ + off, data_ + off + n, out.begin() + static_cast<std::ptrdiff_t>(done));
        done += n;
    }
    return true;
}

bool CompoundFile::open(const std::uint8_t* data, std::size_t size, std::string& error) {
    data_ = data;
    size_ = size;
    fat_.clear();
    entries_.clear();
    if (size < 512 || !std::equal(kMagic, kMagic + 8, data)) {
        error = w("Файл не является книгой Excel 97 (нет заголовка составного документа)");
        return false;
    }
    unsigned shift = get16(data + 30);
    if (get16(data + 28) != 0xFFFE || (shift != 9 && shift != 12) || get16(data + 32) != 6) {
        error = damaged();
        return false;
    }
    sectorSize_ = std::size_t(1) << shift;
    // The last sector may be cut short by writers that do not pad it.
    sectorCount_ = (size - 1) / sectorSize_;
    std::uint32_t nFat = get32(data + 44);
    std::uint32_t dirStart = get32(data + 48);
    miniCutoff_ = get32(data + 56);
    miniFatStart_ = get32(data + 60);
    std::uint32_t difat = get32(data + 68);
    std::uint32_t nDifat = get32(data + 72);
    if (nFat > sectorCount_ || nDifat > sectorCount_) {
        error = damaged();
        return false;
    }
    std::vector<std::uint32_t> fatSectors;
    for (std::size_t i = 0; i < 109 && fatSectors.size() < nFat; ++i) {
        fatSectors.push_back(get32(data + 76 + i * 4));
    }
    const std::size_t perSector = sectorSize_ / 4;
    for (std::uint32_t d = 0; d < nDifat && fatSectors.size() < nFat; ++d) {
        const std::uint8_t* p = sector(difat);
        if (!p) {
            error = damaged();
            return false;
        }
        for (std::size_t i = 0; i + 1 < perSector && fatSectors.size() < nFat; ++i) {
            fatSectors.push_back(get32(p + i * 4));
        }
        difat = get32(p + (perSector - 1) * 4);
    }
    if (fatSectors.size() < nFat) {
        error = damaged();
        return false;
    }
    fat_.reserve(fatSectors.size() * perSector);
    for (std::uint32_t s : fatSectors) {
        const std::uint8_t* p = sector(s);
        if (!p) {
            error = damaged();
            return false;
        }
        for (std::size_t i = 0; i < perSector; ++i) {
            fat_.push_back(get32(p + i * 4));
        }
    }
    std::vector<std::uint32_t> dirSectors;
    if (!chain(dirStart, fat_, sectorCount_, dirSectors) || dirSectors.empty()) {
        error = damaged();
        return false;
    }
    for (std::uint32_t s : dirSectors) {
        const std::uint8_t* p = sector(s);
        if (!p) {
            error = damaged();
            return false;
        }
        for (std::size_t e = 0; e + 128 <= sectorSize_; e += 128) {
            const std::uint8_t* q = p + e;
            Entry entry;
            unsigned len = std::min(get16(q + 64), 64u) / 2;
            for (unsigned i = 0; i + 1 < len; ++i) {
                entry.name.push_back(static_cast<char16_t>(get16(q + i * 2)));
            }
            entry.type = q[66];
            entry.start = get32(q + 116);
            entry.size = get32(q + 120);
            if (sectorSize_ != 512) {
                entry.size |= std::uint64_t(get32(q + 124)) << 32;
            }
            entries_.push_back(std::move(entry));
        }
    }
    if (entries_.empty() || entries_[0].type != 5) {
        error = damaged();
        return false;
    }
    return true;
}

const std::uint8_t* CompoundFile::sector(std::uint32_t s) const {
    std::size_t off = (static_cast<std::size_t>(s) + 1) * sectorSize_;
    return s < sectorCount_ && off + sectorSize_ <= size_ ? data_ + off : nullptr;
}

const CompoundFile::Entry* CompoundFile::find(std::u16string_view name) const {
    auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
    for (const Entry& e : entries_) {
        if (e.type == 2 && e.name.size() == name.size() &&
            std::equal(name.begin(), name.end(), e.name.begin(),
                       [&](char16_t a, char16_t b) { return fold(a) == fold(b); })) {
            return &e;
        }
    }
    return nullptr;
}

bool CompoundFile::hasStream(std::u16string_view name) const { return find(name) != nullptr; }

bool CompoundFile::read(std::u16string_view name, std::vector<std::uint8_t>& out,
                        std::string& error) const {
    const Entry* e = find(name);
    if (!e) {
        error = w("Файл не является книгой Excel 97 (нет потока книги)");
        return false;
    }
    if (e->size > size_) {
        error = damaged();
        return false;
    }
    if (e->size == 0) {
        out.clear();
        return true;
    }
    if (e->size >= miniCutoff_) {
        if (!readRegular(e->start, e->size, out)) {
            error = damaged();
            return false;
        }
        return true;
    }
    // Small streams live in 64-byte sectors of the root entry's stream.
    std::vector<std::uint8_t> container, miniFatBytes;
    std::vector<std::uint32_t> miniFatSectors;
    if (!readRegular(entries_[0].start, entries_[0].size, container) ||
        !chain(miniFatStart_, fat_, sectorCount_, miniFatSectors)) {
        error = damaged();
        return false;
    }
    std::vector<std::uint32_t> miniFat;
    for (std::uint32_t s : miniFatSectors) {
        const std::uint8_t* p = sector(s);
        if (!p) {
            error = damaged();
            return false;
        }
        for (std::size_t i = 0; i < sectorSize_ / 4; ++i) {
            miniFat.push_back(get32(p + i * 4));
        }
    }
    std::vector<std::uint32_t> sectors;
    if (!chain(e->start, miniFat, container.size() / kMini, sectors) ||
        sectors.size() * kMini < e->size) {
        error = damaged();
        return false;
    }
    out.resize(static_cast<std::size_t>(e->size));
    std::size_t done = 0;
    for (std::uint32_t s : sectors) {
        std::size_t n = std::min<std::size_t>(kMini, out.size() - done);
        std::copy_n(container.begin() + static_cast<std::ptrdiff_t>(s * kMini), n,
                    out.begin() + static_cast<std::ptrdiff_t>(done));
        done += n;
        if (done >= out.size()) {
            break;
        }
    }
    return true;
}

} // namespace fc::xls
