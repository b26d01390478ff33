#pragma once

namespace fc {

class ResultSession;

namespace output {

// Writes the answer's export files from the result sheet (`DoFSave`); relative names lie in
// the current directory. False when a file could not be made (the user has been told).
bool DoFSave(ResultSession& session);

} // namespace output
} // namespace fc
