// Decoding must fail cleanly on anything the encoder did not write, and whatever it accepts must
// encode back to the same text.
#include "components/codec/Codec.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string in(reinterpret_cast<const char*>(data), size);
    if (auto s = fc::codec::tryDecodeString(in)) {
        if (fc::codec::EncodeString(*s) != in) {
            std::abort();
        }
    }
    if (auto b = fc::codec::tryDecodeBytes(in)) {
        if (fc::codec::encodeBytes(*b) != in) {
            std::abort();
        }
    }
    if (fc::codec::DecodeString(fc::codec::EncodeString(in)) != in ||
        *fc::codec::tryDecodeBytes(fc::codec::encodeBytes(in)) != in) {
        std::abort();
    }
    return 0;
}
