#pragma once

#include <QString>
#include <QStringList>

#include <string>

namespace fc {

// The program's command line. The first parameter that is not an option becomes
// AppSettings::commandLineParam: it is sent as the "who" field of print-log requests, and
// when it begins with "@" the report windows work offline, reading their answers from the
// start directory's "CACHE" folder. The options say where the program starts and what it
// opens; they take their value from the next argument or after "=".
struct CommandLine {
    std::string first; // Windows-1251; empty when there is none
    bool help = false; // "--help" or "-h" anywhere
    // "--start [DIR]": the start directory; without DIR the user's own one (userStart).
    bool start = false;
    QString startDir;
    // "--open FILE": a template or workbook to open in a designer window, as F3 would.
    QString openFile;
};

// `arguments` without the program name.
CommandLine parseCommandLine(const QStringList& arguments);

// What "--help" prints, UTF-8.
std::string commandLineHelp();

} // namespace fc
