// rptool connect: the connection dialog's registration from the command line, with the current
// directory as the start directory.
#include "ExchangeCommands.h"

#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "exchange/Connection.h"
#include "language/PrototypeTable.h"
#include "shell/AppSettings.h"
#include "shell/SettingsFiles.h"

#include <QDir>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

namespace {

class CommandLineView : public fc::ConnectionView {
public:
    void setConnected(bool on, const std::string&) override { connected = on; }
    void setRegistering(bool) override {}
    void setBusy(bool) override {}
    void setTimer(bool on, int ms) override {
        timer = on;
        interval = ms;
    }
    void closeDialog() override {}
    bool connected = false;
    bool timer = false;
    int interval = 0;
};

int usage() {
    std::fputs("usage: rptool connect --server DIR --user NAME --password PW [--reports DIR]\n",
               stderr);
    return 2;
}

} // namespace

int rptool::connect(int argc, char** argv) {
    std::optional<std::string> server, user, password, reports;
    for (int i = 0; i < argc; ++i) {
        std::optional<std::string>* target = nullptr;
        if (std::strcmp(argv[i], "--server") == 0) {
            target = &server;
        } else if (std::strcmp(argv[i], "--user") == 0) {
            target = &user;
        } else if (std::strcmp(argv[i], "--password") == 0) {
            target = &password;
        } else if (std::strcmp(argv[i], "--reports") == 0) {
            target = &reports;
        }
        if (!target || i + 1 >= argc) {
            return usage();
        }
        *target = fc::cp1251::fromUtf8(argv[++i]);
    }
    if (!server || !user || !password) {
        return usage();
    }

    fc::AppSettings settings;
    fc::settings::load(settings, fc::cp1251::fromQString(QDir::currentPath()));
    fc::PrototypeTable prototypes;
    fc::StderrPrompter prompter;
    CommandLineView view;
    fc::Connection connection(settings, prototypes, prompter, view);
    if (!connection.registration(*server, *user, *password,
                                 reports.value_or(settings.reportsDir))) {
        return 1;
    }
    // The dialog looks when its timer fires, and again while the answer is still being written.
    while (view.timer) {
        std::this_thread::sleep_for(std::chrono::milliseconds(view.interval));
        connection.tick();
    }
    if (!view.connected) {
        return 1;
    }
    std::fprintf(stderr, "registered with %s\n", fc::cp1251::toUtf8(settings.serverDir).c_str());
    return 0;
}
