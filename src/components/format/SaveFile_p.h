#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fc::xls {

// Writes `bytes` to `path` (Windows-1251) through a temporary file renamed at the end, so
// that a failure leaves nothing half-written. False with `error` set on failure.
bool saveWhole(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);
// Reads a whole file; false with `error` set when it cannot be read.
bool loadWhole(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);
// The message for a file that could not be written or read.
std::string cannotWrite(const std::string& path, const std::string& reason);
std::string cannotRead(const std::string& path, const std::string& reason);

} // namespace fc::xls
