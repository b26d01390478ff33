#include "exchange/Requests.h"

#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/TextOps.h"
#include "shell/AppSettings.h"

namespace fc::request {

namespace {

std::string userHead(const AppSettings& s) {
    return s.userName() + kSep + s.password() + kSep + text::fit(s.reportState(), 32) +
           "WHO       ";
}

} // namespace

std::string stripPrefix(std::string_view context) {
    for (int field = 0; field < 3; ++field) {
        std::size_t p = context.find(kSep);
        if (p == std::string_view::npos) {
            break;
        }
        context.remove_prefix(p + 1);
    }
    return text::trim(context);
}

Command parseCommand(std::string_view stripped) {
    Command c;
    std::string body = text::trimLeft(stripped.substr(stripped.empty() ? 0 : 1));
    std::size_t blank = body.find(' ');
    c.reportName = body.substr(0, blank);
    if (blank != std::string::npos) {
        c.rest = body.substr(blank);
    }
    return c;
}

std::string commandLine(const Command& c, std::string_view letter) {
    return std::string(letter) + " " + c.reportName + c.rest;
}

std::string who(std::string_view currentFileName) { return files::fileNamePart(currentFileName); }

std::string runHead(const AppSettings& s) {
    return userHead(s) + text::fit(who(s.currentFileName), 10) + "VER       " +
           text::fit(kVersion, 10) + kSep;
}

std::string followUpHead(const AppSettings& s) {
    return userHead(s) + text::fit(who(s.currentFileName), 10) + kSep;
}

std::string runRequest(const AppSettings& s, std::string_view line,
                       const std::optional<std::string>& templateBytes) {
    std::string out = runHead(s) + std::string(line);
    if (templateBytes) {
        out += "\r\n";
        out += *templateBytes;
    }
    return out;
}

std::string followUp(const AppSettings& s, std::string_view line) {
    return followUpHead(s) + std::string(line);
}

std::string printLog(const AppSettings& s, std::string_view printId) {
    return s.userName() + kSep + s.password() + kSep + text::fit(s.reportState(), 32) +
           "WHO       " + text::fit(s.commandLineParam, 10) + "COMPUTER  " + std::string(10, ' ') +
           "DOMAIN    " + std::string(10, ' ') + kSep +
           codepage::toDos("E [SED '" + std::string(printId) + "PRINTED','1']");
}

std::string questionAnswer(const AppSettings& s, std::string_view value) {
    return s.requestPrefix() + "E [N2 " + text::trim(value) + "]";
}

std::string yearRequest(const AppSettings& s) { return s.requestPrefix() + "E YC"; }

std::string registration(std::string_view user, std::string_view password) {
    return std::string(user) + kSep + std::string(password) + kSep + kSep + "R PROTO";
}

std::string recompile(std::string_view user, std::string_view password) {
    return std::string(user) + kSep + std::string(password) + kSep + kSep + "W FORM";
}

} // namespace fc::request
