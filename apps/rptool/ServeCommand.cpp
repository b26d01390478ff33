// rptool serve: the stand-in server, answering the exchange directory from a data folder until
// it is stopped.
#include "ExchangeCommands.h"

#include "components/text/Cp1251.h"
#include "exchange/StandInServer.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onSignal(int) { stopRequested = 1; }

int usage() {
    std::fputs("usage: rptool serve DIR --data FOLDER [--once] [--timeout SECONDS]\n"
               "                   [--pieces N [--piece-delay SECONDS]]\n",
               stderr);
    return 2;
}

} // namespace

int rptool::serve(int argc, char** argv) {
    std::string dir, data;
    bool once = false;
    double timeout = -1;
    int pieces = 1;
    double pieceDelay = 0.15;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
            data = argv[++i];
        } else if (std::strcmp(argv[i], "--once") == 0) {
            once = true;
        } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            char* end = nullptr;
            timeout = std::strtod(argv[++i], &end);
            if (!end || *end != '\0' || timeout < 0) {
                return usage();
            }
        } else if (std::strcmp(argv[i], "--pieces") == 0 && i + 1 < argc) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (!end || *end != '\0' || n < 1 || n > 1000) {
                return usage();
            }
            pieces = static_cast<int>(n);
        } else if (std::strcmp(argv[i], "--piece-delay") == 0 && i + 1 < argc) {
            char* end = nullptr;
            pieceDelay = std::strtod(argv[++i], &end);
            if (!end || *end != '\0' || pieceDelay < 0 || pieceDelay > 60) {
                return usage();
            }
        } else if (argv[i][0] != '-' && dir.empty()) {
            dir = argv[i];
        } else {
            return usage();
        }
    }
    if (dir.empty() || data.empty()) {
        return usage();
    }

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    fc::StandInServer server(
        fc::cp1251::fromUtf8(dir), fc::cp1251::fromUtf8(data),
        [](const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); });
    server.setPieces(pieces, static_cast<int>(pieceDelay * 1000));
    const auto start = std::chrono::steady_clock::now();
    std::fprintf(stderr, "serving %s from %s\n", dir.c_str(), data.c_str());
    for (;;) {
        server.pollOnce();
        if (once || stopRequested) {
            break;
        }
        if (timeout >= 0 &&
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >=
                timeout) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return 0;
}
