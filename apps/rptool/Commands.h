#pragma once

#include <string_view>

// The commands of rptool, one function each in a file of its own. `args` are the arguments
// after the command name; the result is the exit code.
namespace rptool {

struct Command {
    const char* name;
    const char* usage; // arguments and what the command does, for the help text
    int (*run)(int argc, char** args);
};

int dump(int argc, char** args);
int convert(int argc, char** args);
int readAnswer(int argc, char** args);

// Writes a Windows-1251 message as UTF-8 to stderr, with a newline.
void complain(std::string_view cp1251);

} // namespace rptool
