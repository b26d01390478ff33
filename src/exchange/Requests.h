#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc {

class AppSettings;

// The bytes of every request file the program writes. Texts are written as held (Windows-1251,
// with the argument fields already in the DOS code page); only the print-log command is
// converted here. No line end follows a head or a command line.
namespace request {

constexpr char kSep = static_cast<char>(0xFA);
constexpr const char* kVersion = "7.2";

// The request line without its first three 0xFA-separated fields (the prefix it was built
// with), trimmed. Fewer separators remove fewer fields; none removes nothing.
std::string stripPrefix(std::string_view context);

// A stripped request line: its first character is the command letter, then the report name
// up to the first blank, then the arguments.
struct Command {
    std::string reportName;
    std::string rest; // from the blank after the name on, as it stands
};
Command parseCommand(std::string_view stripped);
// `letter` ("G" or "R") + " " + report name + rest.
std::string commandLine(const Command& c, std::string_view letter);

// The file-name part of the current file name, as the "who" field carries it.
std::string who(std::string_view currentFileName);

// User, 0xFA, password, 0xFA, state (32), "WHO       ", who (10), "VER       ", "7.2" (10),
// 0xFA.
std::string runHead(const AppSettings& s);
// The same without the version fields.
std::string followUpHead(const AppSettings& s);

// Run head + command line; for "G" then CR LF and the template bytes unchanged.
std::string runRequest(const AppSettings& s, std::string_view commandLine,
                       const std::optional<std::string>& templateBytes);
// Follow-up head + the caller's line.
std::string followUp(const AppSettings& s, std::string_view line);
// Print log of a printed report: "E [SED '" + id + "PRINTED','1']" in the DOS code page.
std::string printLog(const AppSettings& s, std::string_view printId);
// Request prefix + "E [N2 " + trimmed value + "]".
std::string questionAnswer(const AppSettings& s, std::string_view value);
// Request prefix + "E YC".
std::string yearRequest(const AppSettings& s);
// User, 0xFA, password, 0xFA, 0xFA, "R PROTO" / "W FORM": an empty state field.
std::string registration(std::string_view user, std::string_view password);
std::string recompile(std::string_view user, std::string_view password);

} // namespace request
} // namespace fc
