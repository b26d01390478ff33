#pragma once

#include <QStringList>

#include <string>
#include <vector>

namespace fc {
class Prompter;
}

namespace fc::output {

// A message for the desktop's mail composer; texts are Windows-1251, attachments full paths.
struct MailMessage {
    std::string to;
    std::string subject;
    std::string body;
    std::vector<std::string> attachments;
};

// Hands the message to the desktop's mail composer (xdg-email), where the user still edits,
// sends or cancels it. False when no composer could be started or it refused the message (the
// user has been told, as the mail system's logon failure: "Error while trying to send email").
bool SendMail(const MailMessage& message, Prompter& prompter);

// The composer's arguments: "--utf8", "--subject", "--body", one "--attach" per attachment,
// then the recipient; empty parts are left out.
QStringList mailArguments(const MailMessage& message);

} // namespace fc::output
