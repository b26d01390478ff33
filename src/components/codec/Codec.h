#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

// The codec that protects what the program stores (the connection settings file, the drawn
// objects of templates and answers). Texts are Windows-1251 bytes; any byte value, the empty
// text included, comes back unchanged from decode(encode(x)). The layouts are in docs/codec.md.
namespace fc::codec {

// Raised for input that was not made by the encoder (wrong header, bad length or checksum) and
// for files that cannot be read or replaced. The file or text in hand is left unchanged.
class CodecError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Printable text (Latin letters and digits only), safe as the whole content of a file.
std::string EncodeString(std::string_view text);
std::string DecodeString(std::string_view encoded); // throws CodecError
std::optional<std::string> tryDecodeString(std::string_view encoded);

// The same protection as bytes, for whole files.
std::string encodeBytes(std::string_view data);
std::optional<std::string> tryDecodeBytes(std::string_view encoded);

// Encode / decode the file in place (through a temporary file that replaces it). EncodeFile
// returns the file's size after encoding. Both throw CodecError and then leave the file as it
// was.
std::int64_t EncodeFile(const std::string& path);
void DecodeFile(const std::string& path);

} // namespace fc::codec
