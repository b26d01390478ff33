#pragma once

#include <string>
#include <utility>

namespace fc {

// The part of the application-wide settings that the shell itself reads and writes. All
// texts are Windows-1251; directories are as the user typed them ("\" or "/").
class ShellSettings {
public:
    virtual ~ShellSettings() = default;

    // The directory of the settings files; the shell changes back to it before touching them.
    virtual std::string startDirectory() const = 0;
    // Initial directory of the open dialog when nothing was opened yet.
    virtual std::string reportsDirectory() const = 0;
    virtual std::string lastOpenedDirectory() const = 0;
    virtual void setLastOpenedDirectory(const std::string& dir) = 0;
    // The template or report being opened: windows take their caption from it.
    virtual std::string currentFileName() const = 0;
    virtual void setCurrentFileName(const std::string& name) = 0;
    // "Отладочные сообщения": request writers show their file names.
    virtual bool debugMessages() const = 0;
    virtual void setDebugMessages(bool on) = 0;
};

// Settings held in memory only (tests, and a start without settings files).
class MemorySettings : public ShellSettings {
public:
    explicit MemorySettings(std::string startDirectory = {})
        : start_(startDirectory), reports_(std::move(startDirectory)) {}

    std::string startDirectory() const override { return start_; }
    std::string reportsDirectory() const override { return reports_; }
    void setReportsDirectory(std::string dir) { reports_ = std::move(dir); }
    std::string lastOpenedDirectory() const override { return lastOpened_; }
    void setLastOpenedDirectory(const std::string& dir) override { lastOpened_ = dir; }
    std::string currentFileName() const override { return current_; }
    void setCurrentFileName(const std::string& name) override { current_ = name; }
    bool debugMessages() const override { return debug_; }
    void setDebugMessages(bool on) override { debug_ = on; }

private:
    std::string start_;
    std::string reports_;
    std::string lastOpened_;
    std::string current_;
    bool debug_ = false;
};

} // namespace fc
