#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

class AnswerBuffer;

// The answer file's kinds and the bodies that are not read into a sheet. Texts go in as the
// server sent them (code page 866) and come out converted where the field is shown.
namespace answers {

// Field separator of question records and value lists: 0xFA as sent, 0xB7 once converted.
constexpr char kSeparator = '\xFA';
constexpr char kSeparatorWin = '\xB7';

// The answer to request N: the server directory + "\" + N + ".out".
std::string answerPath(std::string_view serverDir, std::string_view requestName);

// What the request name's prefix says the answer is; prefixes are tested in this order, so
// "resave..." is never a save answer.
enum class NameKind { TemplateDownload, PopupMenu, RefreshCheck, Resave, Save, Other };
NameKind kindOfName(std::string_view requestName);

// What a status line says (Other: the kind-specific first line of the answer).
enum class Verdict { Error, Question, Close, Result, Other };
Verdict verdictOf(std::string_view statusLine);

// The options of a report result's status line.
struct ResultOptions {
    bool table = false;       // ";table"
    bool ext = false;         // ";ext=": the turbo format
    std::string templateName; // the name after ";ext=", options cut off
    std::string version;      // the text after ";ver=", trimmed
    bool stringFlag = false;  // ";str"
    bool turbo = false;       // ";turbo": the turbo variant
};
ResultOptions parseResultOptions(std::string_view statusLine);
// The version text as a number; 0 when it is not one.
double versionNumber(std::string_view text);

// The first line of a recalculation notice block: "relative" or the marker phrase in either
// code page. `saveAnswer` asks for "relative true" instead of "relative".
bool isNoticeMarker(std::string_view line, bool saveAnswer = false);

// ---- bodies

// The template file of a template download answer: every line read in fields of 3
// characters, each a decimal number whose low 8 bits are one byte. Fields that are not
// numbers give no byte.
std::string decodeTemplateDownload(std::string_view content);

// The items of a pop-up menu answer, converted, notice blocks and empty lines left out.
std::vector<std::string> parsePopupItems(std::string_view content);

// The stamp of a refresh check answer.
std::string refreshStamp(const AnswerBuffer& answer);

struct SaveAnswer {
    enum class Outcome { Saved, Rerun, WaitForFile, FollowUp, Failed } outcome = Outcome::Saved;
    std::string error;    // the "E-" line, converted (Failed)
    std::string waitFile; // the file the server will write (WaitForFile)
    std::string followUp; // the lines to send back as a "resave" request, LF-joined (FollowUp)
};
SaveAnswer parseSaveAnswer(std::string_view content);

// A resave answer: the first "E-" line, converted, or nothing when the save is complete.
std::optional<std::string> resaveError(std::string_view content);

// A question record ("Q-" status line). Fields are converted; `kind` is "Q-M", "Q-S", "Q-R",
// "Q-A" ("Q-?" becomes "Q-A" with `multiChoice`).
struct Question {
    std::string kind;
    std::vector<std::string> fields; // after the kind field
    bool multiChoice = false;

    // "Q-M": the items in the order of the record, the title without its "{n}", and the
    // 0-based default item (n - 1), -1 when none.
    std::vector<std::string> items() const;
    std::string title() const;
    int defaultItem() const;
    // "Q-S"/"Q-R": the caption without "im" and "[*]", whether the entry is hidden, the
    // suggestions of an "im" caption, the initial text (up to its first "|") and the number
    // of the last field (maximum length or decimals).
    std::string caption() const;
    bool hidden() const;
    bool withSuggestions() const;
    std::vector<std::string> suggestions() const;
    std::string initialText() const;
    std::optional<int> limit() const;
};
// The record of the whole answer text; nothing when the cut leaves no kind.
std::optional<Question> parseQuestion(std::string_view content);

struct ValueList {
    std::string title; // the lower caption
    std::string upper; // the upper caption (a subtitle line moved the title up)
    struct Item {
        std::string text; // as shown (underscore rule applied)
        std::string key;  // up to the first blank
    };
    std::vector<Item> items;
};
// A value list: the whole text through the standard OEM-to-ANSI conversion.
ValueList parseValueList(std::string_view content);

// The "E-" line layout: message, template line and position (0 when not given).
struct ServerError {
    std::string message;
    int line = 0;
    int position = 0;
};
ServerError parseServerError(std::string_view line);

} // namespace answers
} // namespace fc
