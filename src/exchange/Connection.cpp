#include "exchange/Connection.h"

#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/RequestWriter.h"
#include "exchange/Requests.h"
#include "language/PrototypeTable.h"
#include "shell/AppSettings.h"
#include "shell/SettingsFiles.h"

#include <cstdio>
#include <vector>

namespace fc {

Connection::Connection(AppSettings& settings, PrototypeTable& prototypes, Prompter& prompter,
                       ConnectionView& view, NameSource names)
    : settings_(settings), prototypes_(prototypes), prompter_(prompter), view_(view),
      names_(std::move(names)) {}

void Connection::setConnected(bool on) {
    state_ = on ? State::Connected : State::NotConnected;
    view_.setConnected(on, on ? w("Каталог обмена: ") + settings_.serverDir
                              : w("Подключение к ЛДК-сеpвеpу"));
}

bool Connection::registration(std::string_view serverDir, std::string_view user,
                              std::string_view password, std::string_view reportsDir) {
    settings_.serverDir = text::trim(serverDir);
    settings_.setUserName(text::trim(user));
    settings_.setPassword(text::trim(password));
    settings_.reportsDir = std::string(reportsDir);
    settings_.lastOpenedDir.clear();
    settings::writePathWd(settings_);

    name_ = names_();
    RequestWriter writer(settings_, prompter_);
    if (!writer.write(name_, request::registration(settings_.userName(), settings_.password()),
                      w("ФАЙЛ-ЗАПРОС: "))) {
        setConnected(false);
        prompter_.message(w("Ошибка подключения к ЛДК-серверу:"),
                          w("Не могу создать файл запpоса к серверу в ") + "\"" +
                              settings_.serverDir + "\"",
                          Prompter::Icon::Error);
        return false;
    }
    state_ = State::Registering;
    view_.setRegistering(true);
    view_.setBusy(true);
    watch_.reset();
    tag_ = Tag::Registration;
    timer_ = true;
    view_.setTimer(true, kRegistrationWait);
    return true;
}

bool Connection::recompile() {
    name_ = names_();
    RequestWriter writer(settings_, prompter_);
    if (!writer.write(name_, request::recompile(settings_.userName(), settings_.password()),
                      w("ФАЙЛ-ЗАПРОС: "))) {
        const auto [caption, message] = writer.failureMessage();
        prompter_.message(caption, message,
                          writer.connected() ? Prompter::Icon::Error : Prompter::Icon::Warning);
        return false;
    }
    watch_.reset();
    view_.setBusy(true);
    tag_ = Tag::Recompile;
    timer_ = true;
    view_.setTimer(true, kRecompilePoll);
    return true;
}

void Connection::tick() {
    if (!timer_) {
        return;
    }
    timer_ = false;
    view_.setTimer(false, 0);
    view_.setRegistering(false);
    view_.setBusy(false);
    const std::string path = RequestWriter(settings_, prompter_).path(name_, ".out");
    const AnswerWatch::State state = watch_.look(path);
    if (tag_ == Tag::Registration) {
        if (state == AnswerWatch::State::Whole) {
            registrationAnswer(path);
        } else if (state == AnswerWatch::State::Growing) {
            // Being written (the prototypes are long): looked at again until it has settled.
            timer_ = true;
            view_.setRegistering(true);
            view_.setBusy(true);
            view_.setTimer(true, kSettlePoll);
        } else {
            setConnected(false);
            prompter_.warning(w("Сеpвеp не обслуживает каталог обмена!"));
        }
        return;
    }
    std::optional<std::string> answer =
        state == AnswerWatch::State::Whole ? files::readAll(path) : std::nullopt;
    if (!answer) {
        timer_ = true; // no time-out for a recompile
        view_.setTimer(true, kRecompilePoll);
        return;
    }
    files::remove(path);
    prompter_.warning(codepage::toWindows(*answer));
}

void Connection::registrationAnswer(const std::string& path) {
    std::string head = codepage::toWindows(files::readHead(path, 256).value_or(std::string()));
    // Answers end their lines with LF alone as well as with CR LF.
    head = head.substr(0, head.find_first_of("\r\n"));
    if (text::startsWith(head, "E-")) {
        files::remove(path);
        setConnected(false);
        prompter_.error(head);
        return;
    }
    std::vector<std::string> reports;
    prototypes_.loadFile(path, &reports);
    for (const std::string& r : reports) {
        std::fputs((cp1251::toUtf8(r) + "\n").c_str(), stdout);
    }
    files::remove(path);
    settings::createKlfIfMissing(settings_.startDir);
    settings::writeKlp(settings_);
    setConnected(true);
    view_.closeDialog();
}

} // namespace fc
