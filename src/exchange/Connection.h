#pragma once

#include "exchange/AnswerWatch.h"
#include "exchange/RequestName.h"

#include <string>
#include <string_view>

namespace fc {

class AppSettings;
class PrototypeTable;
class Prompter;

// What the connection needs from its dialog and the main window's connection button.
class ConnectionView {
public:
    virtual ~ConnectionView() = default;
    // The connection button's picture and hint.
    virtual void setConnected(bool connected, const std::string& hint) = 0;
    // The lime "Регистpация" panel over the button while a registration is outstanding.
    virtual void setRegistering(bool on) = 0;
    virtual void setBusy(bool busy) = 0;
    // Start (once, after the interval) or stop the dialog's timer; it calls Connection::tick.
    virtual void setTimer(bool on, int intervalMs) = 0;
    virtual void closeDialog() = 0;
};

// Registration with the server ("R PROTO", which brings back the fact prototypes) and the
// form-recompile request ("W FORM"), with one timer that looks for either answer. The stored
// settings files change only after a successful registration.
class Connection {
public:
    static constexpr int kRegistrationWait = 3000;
    static constexpr int kRecompilePoll = 500;
    // Looks at a registration answer that is still being written.
    static constexpr int kSettlePoll = 200;
    enum class State { NotConnected, Registering, Connected };

    Connection(AppSettings& settings, PrototypeTable& prototypes, Prompter& prompter,
               ConnectionView& view, NameSource names = randomNames());

    // "Регистpация" with the dialog's four fields (server directory, user, password trimmed;
    // reports directory as typed). False when the request could not be written.
    bool registration(std::string_view serverDir, std::string_view user, std::string_view password,
                      std::string_view reportsDir);
    // The form-recompile command. False when the request could not be written.
    bool recompile();
    // The timer: one look for the registration answer, or one poll for the recompile answer.
    void tick();

    State state() const { return state_; }
    bool waiting() const { return timer_; }
    const std::string& requestName() const { return name_; }

private:
    enum class Tag { Registration = 0, Recompile = 1 };
    void registrationAnswer(const std::string& path);
    void setConnected(bool on);

    AppSettings& settings_;
    PrototypeTable& prototypes_;
    Prompter& prompter_;
    ConnectionView& view_;
    NameSource names_;
    State state_ = State::NotConnected;
    Tag tag_ = Tag::Registration;
    bool timer_ = false;
    std::string name_;
    AnswerWatch watch_;
};

} // namespace fc
