// The native workbook reader on arbitrary bytes, as they come and with the chunk checksums
// made right (otherwise almost every mutation stops at the first checksum). Whatever the
// reader accepts must write back and read again to the same workbook.
#include "components/format/JsonDump.h"
#include "components/format/NativeCodec_p.h"
#include "components/format/NativeFile.h"
#include "components/model/Workbook.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

std::string withChecksums(std::string bytes) {
    std::size_t pos = 12;
    while (pos + 12 <= bytes.size()) {
        std::uint32_t len = 0;
        for (int i = 0; i < 4; ++i) {
            len |= std::uint32_t(static_cast<unsigned char>(bytes[pos + 4 + i])) << (8 * i);
        }
        if (len > bytes.size() - pos - 12) {
            break;
        }
        const std::string_view all(bytes);
        const std::uint32_t crc = fc::native::crc32(all.substr(pos, 4), all.substr(pos + 8, len));
        for (int i = 0; i < 4; ++i) {
            bytes[pos + 8 + len + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
        }
        pos += 12 + len;
    }
    return bytes;
}

void check(std::string_view bytes) {
    fc::Workbook book;
    std::string error;
    if (!fc::native::read(bytes, book, error)) {
        if (error.empty()) {
            std::abort(); // a refusal must say why
        }
        return;
    }
    const std::string again = fc::native::write(book);
    fc::Workbook back;
    if (!fc::native::read(again, back, error) || fc::dumpWorkbook(back) != fc::dumpWorkbook(book)) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    check(bytes);
    check(withChecksums(bytes));
    return 0;
}
