#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

class QSaveFile;

namespace fc {

struct ReadState;
struct ResultContext;

// The service instructions of a report result (lines beginning with ";", matched without
// regard to case, in a fixed order of testing so that a longer instruction is never taken for
// a shorter one). An instruction that cannot be read has no effect; an unknown one is ignored.
class ServiceInstructions {
public:
    // Gives the next line of a block (";FILTR" ... ";FEND" and the like); false at the end.
    using NextLine = std::function<bool(std::string&)>;

    ServiceInstructions(ResultContext& ctx, ReadState& state);
    ~ServiceInstructions();

    // `line`: right-trimmed, beginning with ";". False when it is no instruction of the list.
    bool apply(std::string_view line, const NextLine& next);
    // Completes what the answer left open (an argument file without ";CLOSEARGS").
    void finish();

    // The instruction keys in their order of testing (for the documentation and tests).
    static std::string keys();

private:
    enum class Id;
    void act(Id id, std::string_view line, std::string_view value, const NextLine& next);

    // A field in Windows-1251: converted unless the line already is.
    std::string text(std::string_view s) const;
    // A path or command line through the standard OEM-to-ANSI conversion.
    std::string oem(std::string_view s) const;
    // A field in code page 866, as the server and argument files take it.
    std::string dos(std::string_view s) const;
    int column(std::string_view s) const;
    void startArguments(std::string_view name);
    void closeArguments();
    void writePicture(std::string_view name, const NextLine& next);
    void rename(std::string_view args);
    void outsideFile(Id id, std::string_view line);
    void save(std::string_view value, bool button);
    void position(std::string_view value);

    ResultContext& ctx_;
    ReadState& st_;
    std::unique_ptr<QSaveFile> args_;
    std::string argsName_;
};

} // namespace fc
