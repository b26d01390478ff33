#pragma once

#include <QDateTime>

#include <cstdint>
#include <string>
#include <string_view>

namespace fc {

class Workbook;
struct ResultContext;

// The local copies of results that rarely change. A turbo answer with ";CACHE=" is stored
// as a native workbook under the local cache folder (current directory + "\CACHE\"); a request
// with ";cache=" + server file name is answered from the local copy while that copy is newer
// than the server's copy in its "CACHE" folder. Names are escaped for a file name, so that a
// key never leads out of the cache folder and two keys never share a file.
namespace cache {

// The request option ";cache=" + name: the name up to a blank or 0xFA; empty when none.
std::string serverFileName(std::string_view request);
// The local key of a request: the text before ";cache" less its first character, trimmed,
// then 0xFA and the two argument fields of the report state string (characters 9-20 and
// 21-32, trimmed), converted to Windows-1251.
std::string localKey(std::string_view request, std::string_view reportState);
// `name` as one file name: "%" and the characters a file name cannot hold ("/", "\\", control
// characters, a name of dots alone) escaped as "%" + two hexadecimal digits; all else kept.
std::string safeName(std::string_view name);
// The file system's packed date and time (DOS layout, two-second steps); 0 for none.
std::uint32_t packedTime(const QDateTime& t);

std::string localPath(std::string_view currentDir, std::string_view name);

} // namespace cache

// Stores the result workbook under the window cache name; false (and a message) on failure.
bool storeInCache(ResultContext& ctx, std::string_view name);

// `LoadFromCache`: true when the result workbook was read from the local copy for `request`.
// Every failure (no option, no local copy, an older copy, an unreadable file) gives false and
// leaves the workbook as it was.
bool LoadFromCache(Workbook& book, std::string_view request, std::string_view reportState,
                   std::string_view currentDir, std::string_view serverDir);

} // namespace fc
