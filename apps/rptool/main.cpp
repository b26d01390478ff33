// rptool: the command-line side of the program (templates, workbooks, answers, the stand-in
// server).
#include "CheckCommand.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int usage() {
    std::fputs("usage: rptool COMMAND [ARGS]\n"
               "commands:\n"
               "  dump FILE            print a workbook as JSON\n"
               "  check [-e LINE ...]  check report language lines (rptool check --help)\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        return usage();
    }
    if (std::strcmp(argv[1], "check") == 0) {
        return fc::runCheck(argc - 1, argv + 1);
    }
    return usage();
}
