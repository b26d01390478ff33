#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

namespace fc::xls {

// Writes `bytes` to `path` through a temporary file renamed at the end, so that a failure
// leaves nothing half-written. False with `error` (Windows-1251) set on failure.
bool saveWhole(const QString& path, const std::vector<std::uint8_t>& bytes, std::string& error);
// Reads a whole file; false with `error` set when it cannot be read.
bool loadWhole(const QString& path, std::vector<std::uint8_t>& bytes, std::string& error);
// The message for a file that could not be written or read.
std::string cannotWrite(const QString& path, const std::string& reason);
std::string cannotRead(const QString& path, const std::string& reason);

} // namespace fc::xls
