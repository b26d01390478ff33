#pragma once

#include <string>
#include <string_view>

namespace fc {

class ActionHost;
class ResultSession;
class Sheet;
struct ReportSettings;
struct SaveFollowUp;

namespace output {

// The data request of "Сохpанить данные": one line per row from FixedRows + 1 to MaxRow that
// has the mark "X" in column 254 or "{77}" in its column-1 text, lines separated by LF: the
// request prefix, "R ", the save target, a blank and 0xFA, then for each save column the
// cell's text in code page 866 without its trailing blanks, each followed by 0xFA. Empty when
// no row is to be saved.
std::string dataSaveLines(const Sheet& sheet, const ReportSettings& settings,
                          std::string_view requestPrefix);

enum class DataSaveResult {
    Sent,          // the data request went out; `follow` runs when the server has taken it
    NothingToSend, // no row to save: `follow` ran at once
    Refused,       // the edit could not be ended, or the window has no server to save to
};

// "Сохpанить данные" on the session's window: the edit is ended, the sheet mark cleared and
// the data request written under a "save" name (the row marks stay until the sheet is read
// again); with nothing to send, what follows the save runs at once.
DataSaveResult saveData(ResultSession& session, ActionHost& host, const SaveFollowUp& follow);

} // namespace output
} // namespace fc
