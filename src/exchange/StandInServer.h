#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

// A stand-in for the reporting server, for trying the client without one: it answers each
// NAME.in of the exchange directory with NAME.out from a folder of plain files (layout in
// docs/stand-in-server.md). Answers are written under a temporary name and renamed, so a
// client never reads half of one.
class StandInServer {
public:
    enum class Kind { Registration, Recompile, Year, Report, DataSave, Other };

    struct Request {
        std::string name; // base name of the request file
        Kind kind = Kind::Other;
        std::string user;    // Windows-1251, as sent
        std::string command; // the command line, converted from the DOS code page
        std::string reportName;
        std::string arguments;
        // The argument fields of the report state string (characters 9-20 and 21-32), each
        // trimmed, converted from the DOS code page and joined by "|"; empty when both are.
        std::string argumentFields;
        std::size_t templateSize = 0; // bytes attached to a "G" request
        // A data save ("save" names): each data line without its request prefix, UTF-8, the
        // 0xFA separators shown as "·" (the command is the first of them).
        std::vector<std::string> dataLines;
    };

    // `log` receives one UTF-8 line per request (stderr in the command line).
    StandInServer(std::string exchangeDir, std::string dataFolder,
                  std::function<void(const std::string&)> log = {});

    // Answers every request waiting in the exchange directory; the number answered.
    int pollOnce();

    // Writes each answer in place, in `count` pieces `delayMs` apart, each piece appended and
    // the file closed in between, as a server writing over a network share is seen; 1 (the
    // default) writes under a temporary name and renames.
    void setPieces(int count, int delayMs);

    static Request parse(std::string_view name, std::string_view bytes);
    // The answer file's bytes and the data file they came from (empty for built-in texts).
    std::string answer(const Request& r, std::string* source = nullptr) const;

private:
    struct Rule {
        std::string namePattern; // empty: any request name
        std::string argPattern;  // empty: any argument fields
        std::string commandPattern;
        std::string file;
    };
    void loadRules();
    std::string dataFile(std::string_view name) const;

    std::string dir_;
    std::string data_;
    std::function<void(const std::string&)> log_;
    std::vector<Rule> rules_;
    std::set<std::string> failed_; // requests that could not be read or answered
    int pieces_ = 1;
    int pieceDelayMs_ = 0;
};

} // namespace fc
