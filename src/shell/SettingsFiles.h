#pragma once

#include "shell/AppSettings.h"

#include <optional>
#include <string>
#include <string_view>

// The settings files of the start directory: "path.wd" (reports directory), "klf.opt"
// (period) and "klp.opt" (server directory, user name and password, scrambled and encoded).
// Readers never complain: a missing, empty, truncated or damaged file gives the defaults.
// Writers replace a file through a temporary file and report failure by returning false.
namespace fc::settings {

// Each character at 1-based position i with code b becomes the 10-character group of
// b*b - i*i: zero-padded on the left, or "-" and 9 zero-padded digits when negative. Nothing
// for a text too long for its groups (positions beyond 31622).
std::optional<std::string> scramble(std::string_view text);
// The reverse; nothing when the digits are not whole groups of numbers that name a byte.
std::optional<std::string> unscramble(std::string_view digits);

struct Connection {
    std::string serverDir;
    std::string userName;
    std::string password;
};
// Content of "klp.opt" for the three values; nothing when they are too long to scramble.
std::optional<std::string> klpContent(const Connection& c);
// The three values of a "klp.opt" content; all empty when it does not decode.
Connection parseKlp(std::string_view content);

struct PeriodFile {
    std::string line1 = " ";
    std::string line2 = " ";
    Period period;
};
// Lines 3 to 6 of "klf.opt" as the period; a missing, non-numeric or out-of-range line keeps
// its default.
PeriodFile parseKlf(std::string_view content);

// Reads the three files from `startDir` into `s`, as at program start: the start directory is
// noted, the last opened directory cleared and the report state string built from the period.
void load(AppSettings& s, const std::string& startDir);

bool writePathWd(const AppSettings& s);
bool writeKlp(const AppSettings& s);
// Lines 1 and 2 as carried, the period, and the first three characters of the state string;
// written as "klf.tmp" and renamed over "klf.opt", which stays as it was on failure.
bool writeKlf(const AppSettings& s);
// writeKlf after a change of the period: lines 1 and 2 are first taken again from the file as
// it stands (another program may have written them), as parseKlf reads them; a missing file
// keeps the carried lines.
bool rewriteKlf(AppSettings& s);
// The path of "klf.opt" in the start directory, as messages name it.
std::string klfPath(const AppSettings& s);
// Creates "klf.opt" with the default period when it does not exist; an existing one is left
// alone. False only when it was missing and could not be created.
bool createKlfIfMissing(const std::string& startDir);

} // namespace fc::settings
