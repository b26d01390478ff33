#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace fc {

class Checker;

// One statement of a template: the file line it came from and its text (Windows-1251).
struct StatementLine {
    int line = 0;
    std::string text;
};

// Checks the statements of one source and prints a line for each error,
// "SOURCE:LINE:POS: MESSAGE" (UTF-8), or with `classify` a line for each statement,
// "SOURCE:LINE: CLASS KEYLEN" (CLASS is STRIKE, RED, Gray or PLAIN). True when any has an
// error.
bool checkStatements(const std::string& source, const std::vector<StatementLine>& lines,
                     Checker& checker, bool classify, std::ostream& out);

// `rptool check`: argv[0] is the command's name. 0 when every line is right, 1 when one has
// an error, 2 for bad usage or an unreadable file.
int runCheck(int argc, char** argv);
int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace fc
