// rptool: the command-line side of the program (templates, workbooks, answers, the stand-in
// server). Each command is one entry of the table below and a function in a file of its own.
#include "CheckCommand.h"
#include "Commands.h"
#include "ExchangeCommands.h"

#include "components/text/Cp1251.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace rptool {

namespace {

// The checker's entry takes its own name as the first argument.
int check(int argc, char** args) { return fc::runCheck(argc + 1, args - 1); }

const Command kCommands[] = {
    {"dump", "FILE            print a workbook or a template as JSON", dump},
    {"check", "[-e LINE ...]  check report language lines (rptool check --help)", check},
    {"connect", "--server DIR --user NAME --password PW [--reports DIR]  register with the server",
     connect},
    {"serve", "DIR --data FOLDER [--once] [--timeout SECONDS]  answer requests as the server",
     serve},
    {"convert", "IN OUT [--format table|ext|turbo|vts]  a template or workbook into another layout",
     convert},
    {"run",
     "[--start DIR] [--server DIR] [--timeout S] [--answer VALUE ...] [--as "
     "save|resave|pop|auto [--stamp TEXT]] REQUEST [--out FILE]  run a report through the "
     "exchange directory (a .rpt path or NAME ARGS)",
     run},
    {"read-answer",
     "FILE.out [--start DIR] [--template PATH] [--dump] [--offline]  read an answer "
     "as a report window would, print what it set as JSON",
     readAnswer},
};

// Asked for ("--help"), the usage goes to standard output and the run succeeds.
int usage(bool asked = false) {
    std::string text = "usage: rptool COMMAND [ARGS]\ncommands:\n";
    for (const Command& c : kCommands) {
        text += std::string("  ") + c.name + " " + c.usage + "\n";
    }
    std::fputs(text.c_str(), asked ? stdout : stderr);
    return asked ? 0 : 2;
}

} // namespace

void complain(std::string_view cp1251) {
    const std::string text = fc::cp1251::toUtf8(cp1251) + "\n";
    std::fputs(text.c_str(), stderr);
}

} // namespace rptool

int main(int argc, char** argv) {
    if (argc < 2) {
        return rptool::usage();
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        return rptool::usage(true);
    }
    for (const rptool::Command& c : rptool::kCommands) {
        if (std::strcmp(argv[1], c.name) == 0) {
            return c.run(argc - 2, argv + 2);
        }
    }
    rptool::complain(std::string("unknown command: ") + argv[1]);
    return rptool::usage();
}
