#pragma once

#include <string>

namespace fc::codec {

// Replaces the JPEG picture at `path` with a Windows bitmap of the same name (through a
// temporary file). False, with the file unchanged, when it is not a readable picture or
// cannot be replaced; callers then show the picture unconverted.
bool JPGtoBMP(const std::string& path);

} // namespace fc::codec
