#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc {

class Sheet;

// What a command does when a "%N" it refers to finds its cell empty.
enum class OnEmptyValue {
    Abandon, // the whole command is dropped (outside programs, argument commands)
    Stop,    // the empty value replaces its token and the replacing ends: later ones stay
};

// Replaces each "%N" of a command (N a column number; the token runs to the next blank) by
// the trimmed text of cell (row, N), left to right; replaced text is never scanned again. A
// "%" whose token is no column number stays as typed. Nothing when a referenced cell is empty
// and the command is to be abandoned.
std::optional<std::string> substituteColumns(std::string_view command, const Sheet& sheet, int row,
                                             OnEmptyValue onEmpty);

// The "fh" file that an outside program started from a report reads: the report window's
// number as decimal text in a field of 10 bytes padded with NUL.
std::string handleFileBytes(long long handle);
// Writes "fh" into `dir` whole (a temporary file renamed); false when it cannot.
bool writeHandleFile(const std::string& dir, long long handle);

} // namespace fc
