#pragma once

#include <QString>

#include <string>

namespace fc {

struct CommandLine;

// Where the program keeps its settings files ("path.wd", "klp.opt", "klf.opt", "POSLED.LST",
// "clw.pth") and its "CACHE" folder, and which file it opens at start.
struct StartPlace {
    QString directory; // absolute
    QString openFile;  // absolute; empty when none
};

// The user's own start directory under the configuration home (the menu entry starts there,
// never in the home folder itself).
QString userStartDirectory(const QString& configHome);

// Without "--start" the current directory; with it the directory given (relative to the
// current one) or the user's own. A file to open is made absolute against the current
// directory, before the program moves to its start directory.
StartPlace startPlace(const CommandLine& commandLine, const QString& currentDir,
                      const QString& configHome);

// Creates `dir` when it is missing and makes it the current directory. On failure returns
// false and sets `message` (Windows-1251), changing nothing.
bool enterStartDirectory(const QString& dir, std::string& message);

} // namespace fc
