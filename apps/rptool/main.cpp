// rptool: the command-line side of the program (templates, workbooks, answers, the stand-in
// server).
#include "ExchangeCommands.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int usage() {
    std::fputs("usage: rptool COMMAND [ARGS]\n"
               "commands:\n"
               "  dump FILE            print a workbook as JSON\n"
               "  connect --server DIR --user NAME --password PW [--reports DIR]\n"
               "                       register with the server, as the connection dialog does\n"
               "  serve DIR --data FOLDER [--once] [--timeout SECONDS]\n"
               "                       answer requests in DIR from FOLDER (stand-in server)\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        return usage();
    }
    if (std::strcmp(argv[1], "connect") == 0) {
        return runConnect(argc - 1, argv + 1);
    }
    if (std::strcmp(argv[1], "serve") == 0) {
        return runServe(argc - 1, argv + 1);
    }
    return usage();
}
