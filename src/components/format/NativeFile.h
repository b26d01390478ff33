#pragma once

#include <string>
#include <string_view>

namespace fc {

class Workbook;

// The component's own workbook file (file type 12, ".vts"): everything the workbook model
// holds, in a versioned binary layout with a checksum per chunk (docs/native-format.md).
namespace native {

// True when `head` starts with the file's magic bytes.
bool looksNative(std::string_view head);

// The whole workbook as file bytes.
std::string write(const Workbook& book);

// Reads file bytes into `book`. On failure `book` is left as it was and `error` tells what is
// wrong (Windows-1251); a damaged, truncated or newer-version file is refused as a whole.
bool read(std::string_view bytes, Workbook& book, std::string& error);

} // namespace native
} // namespace fc
