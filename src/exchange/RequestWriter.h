#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace fc {

class AppSettings;
class Prompter;

// Hands a request over to the server: writes server directory + NAME.req, closes it and renames
// it to NAME.in, so that the server (which takes only ".in" files) never sees half a request.
// With debug messages on, `debugLabel` + NAME is shown between the write and the rename.
class RequestWriter {
public:
    RequestWriter(const AppSettings& settings, Prompter& prompter)
        : settings_(settings), prompter_(prompter) {}

    // False when the request file could not be created, written or renamed; a ".req" left
    // from a failed rename is removed, since the server never takes it. Without a server
    // directory (a first start) nothing is written: a request would land in the current
    // directory, where no server looks.
    bool write(std::string_view name, std::string_view content, std::string_view debugLabel) const;

    // Shows `label` + `name` when debug messages are on.
    void debug(std::string_view label, std::string_view name) const;

    std::string path(std::string_view name, std::string_view extension) const;

    // False while no server directory is set.
    bool connected() const;
    // What a failed request tells the user: "connect first" without a server directory,
    // otherwise "Не могу создать файл запpоса в " + the directory. Caption and text.
    std::pair<std::string, std::string> failureMessage() const;

private:
    const AppSettings& settings_;
    Prompter& prompter_;
};

} // namespace fc
