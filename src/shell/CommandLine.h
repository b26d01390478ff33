#pragma once

#include <QStringList>

#include <string>

namespace fc {

// The program's command line. Only the first parameter means something: it is sent as the
// "who" field of print-log requests, and when it begins with "@" the report windows work
// offline, reading their answers from the start directory's "CACHE" folder.
struct CommandLine {
    std::string first; // Windows-1251; empty when there is none
    bool help = false; // "--help" or "-h" anywhere

    const std::string& who() const { return first; }
    bool offline() const { return !first.empty() && first[0] == '@'; }
    // The answer file name of offline mode (the parameter without "@").
    std::string offlineName() const { return offline() ? first.substr(1) : std::string(); }
};

// `arguments` without the program name.
CommandLine parseCommandLine(const QStringList& arguments);

// What "--help" prints, UTF-8.
std::string commandLineHelp();

} // namespace fc
