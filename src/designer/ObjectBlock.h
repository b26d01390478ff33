#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

// The image of a sheet's object workbook as a template stores it between ";NOBJECTS[" (two
// upper-case hexadecimal digits a byte, encoded by the codec) or the older ";OBJECTS[" (three
// decimal digits a byte, blank-padded, not encoded) and a line containing ";]O".
struct ObjectBlock {
    bool encoded = true;
    std::string bytes;    // as stored: still encoded for ";NOBJECTS["
    bool complete = true; // the end line was found and every digit group read
    // The block's lines as the file has them, CR LF after each, from its first line to its end
    // line; a block cut short gets an end line, so that written back it ends where it ended.
    // Kept only when asked for (a template keeps a block it cannot read).
    std::string lines;
    bool present = false; // a block was found (its bytes may still be empty or unreadable)

    // Reads the block that opens at lines[at]; returns the index after its end line (or the
    // end of the lines when the block is cut short).
    static std::size_t parse(const std::vector<std::string_view>& lines, std::size_t at,
                             ObjectBlock& out, bool keepLines = false);
    // `encodedBytes` as upper-case hexadecimal, 126 bytes (252 digits) a line, CR LF after each.
    static std::string digits(std::string_view encodedBytes);
    // A whole ";NOBJECTS[" block around such lines.
    static std::string format(std::string_view digitLines);
};

} // namespace fc
