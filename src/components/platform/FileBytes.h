#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Whole-file reads and writes for the program's small files. Paths are Windows-1251 text, as
// the settings keep them; "\" and "/" both separate directories.
namespace fc::files {

// The native form of a program path for Qt and the file system.
QString toNative(std::string_view path);

// The whole file, or nothing when it cannot be opened or read. Files larger than `limit`
// bytes are not read (nothing is returned).
std::optional<std::string> readAll(std::string_view path, std::uint64_t limit = std::uint64_t(1)
                                                                                << 30);
// The same for a path as Qt spells it.
std::optional<std::string> readAll(const QString& path, std::uint64_t limit = std::uint64_t(1)
                                                                              << 30);
// At most `count` bytes from the start of the file.
std::optional<std::string> readHead(std::string_view path, std::size_t count);

// Writes the file through a temporary file in the same directory that replaces it only when
// everything was written; on failure the old file is left as it was.
bool writeAtomic(std::string_view path, std::string_view bytes);
// Creates or truncates the file and writes it directly (request files, which are renamed
// afterwards anyway).
bool writeDirect(std::string_view path, std::string_view bytes);

bool exists(std::string_view path);
bool remove(std::string_view path);
// Renames, replacing an existing target (one step on the same file system).
bool rename(std::string_view from, std::string_view to);
// Modification time in milliseconds since the epoch, or nothing for a missing file.
std::optional<std::int64_t> modifiedMs(std::string_view path);

// dir + separator + name; an empty dir gives the name alone.
std::string join(std::string_view dir, std::string_view name);
// The part after the last "\", "/" or ":".
std::string fileNamePart(std::string_view path);
// Everything up to and including the last "\", "/" or ":" (empty when there is none).
std::string dirPart(std::string_view path);
// The path itself when it exists, else a file of the same directory whose name differs only in
// letter case (templates are named in any case on the server's side), else the path itself.
std::string findIgnoringCase(std::string_view path);

} // namespace fc::files
