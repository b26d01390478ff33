#pragma once

#include <string>

namespace fc {

class AppSettings;

// The open command's dialog settings and what it records on OK.
namespace open_command {

// Windows-style filter: pairs of "description|patterns".
inline constexpr const char* kFilterUtf8 = "RPT - Файлы|*.rpt|Excell '97|*.xls|VTS|*.vts|Все|*.*";
inline constexpr const char* kDefaultSuffix = "rpt";

// The last opened directory when there is one, else the reports directory.
std::string initialDirectory(const AppSettings& settings);

// After OK: the current file name becomes `path`, the last opened directory its directory.
void noteChosen(AppSettings& settings, const std::string& path);

// The directory part of a path ("\" or "/"), empty when it has none.
std::string directoryOf(const std::string& path);

} // namespace open_command
} // namespace fc
