// The Excel 97 reader over arbitrary bytes: it must fail cleanly, never crash.
#include "components/format/XlsReader.h"
#include "components/model/Workbook.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fc::Workbook book;
    book.setAutoRecalc(false);
    std::string error;
    fc::readXlsBytes(data, size, book, error);
    return 0;
}
