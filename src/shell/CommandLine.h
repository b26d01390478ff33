#pragma once

#include <QStringList>

#include <string>

namespace fc {

// The program's command line. Only the first parameter means something (it becomes
// AppSettings::commandLineParam): it is sent as the "who" field of print-log requests, and
// when it begins with "@" the report windows work offline, reading their answers from the
// start directory's "CACHE" folder; with ";EXCL" in it a report's subtitle closes the other
// running instance that shows the same report.
struct CommandLine {
    std::string first; // Windows-1251; empty when there is none
    bool help = false; // "--help" or "-h" anywhere
};

// `arguments` without the program name.
CommandLine parseCommandLine(const QStringList& arguments);

// What "--help" prints, UTF-8.
std::string commandLineHelp();

} // namespace fc
