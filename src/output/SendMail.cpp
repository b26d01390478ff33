#include "output/SendMail.h"

namespace fc::output {

bool SendMail(const MailMessage&, Prompter&) { return false; }

} // namespace fc::output
