#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc::args {

// One line of a report's argument file (NAME.ARG, DOS code page 866, a line per argument),
// converted to Windows-1251.
struct ArgumentLine {
    // The text before the first blank; a key beginning with "[" (a command) runs up to and
    // including its first "]". "LOW|HIGH" carries two fields, "|HIGH" toggles the second.
    std::string key;
    // The rest of the line, trimmed, without the "*" mark and what follows it.
    std::string caption;
    // The line carries the "*" mark (the first "*" after the key): the default argument.
    bool marked = false;
};

// Files larger than this are read up to it; lines past kMaxLines are left out. A bar of a
// thousand buttons is already more than a window shows.
constexpr std::size_t kMaxFileBytes = std::size_t(1) << 20;
constexpr std::size_t kMaxLines = 1000;

// The lines of an argument file: split at LF, trailing blanks and CR cut. The text ends at the
// first NUL byte, as the file's reader always did; an empty line is a line (a button without
// key or caption), what follows the last LF only when it holds something.
std::vector<ArgumentLine> parseArgumentFile(std::string_view dosBytes);
// The same split of one line (Windows-1251).
ArgumentLine parseArgumentLine(std::string_view line);
// The lines of the file as they stand (DOS code page), the same split as parseArgumentFile, at
// most `maxLines` of them.
std::vector<std::string> splitLines(std::string_view bytes, std::size_t maxLines = std::size_t(-1));

// Where report `name`'s argument file is: NAME.ARG in the current directory, else
// server directory + "/ARGS/" + NAME.arg; folder and file names are matched without regard to
// case (the server writes NAME.ARG). Empty when there is neither.
std::string findArgumentFile(std::string_view currentDir, std::string_view serverDir,
                             std::string_view name);
// The lines of that file; nothing when there is none or it cannot be read.
std::optional<std::vector<ArgumentLine>>
readArgumentFile(std::string_view currentDir, std::string_view serverDir, std::string_view name);

// Moves the default mark of report `name`'s argument file in the current directory to the
// line whose key is `key` (Windows-1251): every line loses its "*" part, that line gets " *".
// The file is written as NAME.tmp and renamed to NAME.arg, and a file of the same name in
// another letter case is removed, so that one file remains. False, and nothing changed, when
// there is no such file in the current directory or it cannot be rewritten.
bool markDefault(std::string_view currentDir, std::string_view name, std::string_view key);

// ---- the argument file editor

// A row of the editor's grid: the caption (column 0) and the key (column 1), Windows-1251.
struct EditorRow {
    std::string caption;
    std::string key;
};
// Every line of the file, one row each, the caption being all after the first blank.
std::vector<EditorRow> editorRows(std::string_view dosBytes);
// The file made from the rows: key + " " + caption in the DOS code page, CR LF after each.
// Rows with neither key nor caption are left out; a row with a key and no caption stays (a
// button of width 0).
std::string editorFileBytes(const std::vector<EditorRow>& rows);

} // namespace fc::args
