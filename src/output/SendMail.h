#pragma once

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

// Hands the message to the desktop's mail composer, where the user still edits, sends or
// cancels it. False when no composer could be started (the user has been told).
bool SendMail(const MailMessage& message, Prompter& prompter);

} // namespace fc::output
