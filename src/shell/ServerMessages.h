#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace fc {

// What answers ask of the main window beyond their own report window. Texts are Windows-1251.
namespace server_messages {

// ";AUTOMSG=": "[Заголовок]Текст" is a message box with that caption and text; without the
// brackets the caption is the program's title.
struct AutoMessage {
    std::string caption;
    std::string text;
};
AutoMessage autoMessage(std::string_view value);

// The program's first parameter asks for an exclusive run (";EXCL" or ";excl" in it): a
// report's subtitle (";SP=") closes the other running instance that shows that report.
bool exclusiveRun(std::string_view commandLineParam);
// The main window's caption, "\"ЛДК\"-Констpуктоp фоpм".
std::string mainCaption();
// How the main window of an instance showing report window `caption` is titled:
// main caption + " - [" + caption + "]".
std::string instanceTitle(std::string_view reportCaption);

// The line one instance sends the others: "CLOSE " + title + LF; a title with a line end in
// it is cut there.
std::string closeRequest(std::string_view title);
// The title a received line asks to close; nothing for any other line.
std::optional<std::string> closeRequestTitle(std::string_view line);

} // namespace server_messages
} // namespace fc
