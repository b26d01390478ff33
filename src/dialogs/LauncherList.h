#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <string_view>
#include <vector>

namespace fc {

// The external applications launcher's memory ("clw.pth" in the start directory): command
// lines as typed, each with its working directory, the most recently started first. One
// line a program: command, "{`}", directory. Texts are Windows-1251.
class LauncherList {
public:
    struct Entry {
        std::string command;
        std::string directory;
        friend bool operator==(const Entry& a, const Entry& b) {
            return a.command == b.command && a.directory == b.directory;
        }
    };
    static constexpr std::string_view kSeparator = "{`}";

    LauncherList() = default;
    explicit LauncherList(std::vector<Entry> entries) : entries_(std::move(entries)) {}

    // Blank lines are skipped and both parts trimmed; a line without the separator is a
    // command without a directory.
    static LauncherList parse(std::string_view text);
    // CR LF lines, in list order, entries with a blank command left out.
    std::string serialize() const;

    // A missing or unreadable file gives an empty list.
    static LauncherList load(const QString& path);
    // Replaces the file whole (a temporary file renamed over it); false when it cannot.
    bool save(const QString& path) const;

    const std::vector<Entry>& entries() const { return entries_; }

    // A command was started: it goes to the top with the directory it was started in. Each
    // command line keeps one directory, so an earlier entry of the same command goes. A blank
    // command changes nothing.
    void noteStarted(std::string_view command, std::string_view directory);

private:
    std::vector<Entry> entries_;
};

// How a command line of the launcher is started: the first word (quotes group words) is
// the program, "\" in it and in the directory are the native separator.
struct ProcessPlan {
    QString program;
    QStringList arguments;
    QString workingDirectory; // empty: the current directory
};
ProcessPlan processPlan(std::string_view command, std::string_view directory);

} // namespace fc
