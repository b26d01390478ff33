#pragma once

// rptool's exchange commands; `args` are the arguments after the command name.
namespace rptool {

int connect(int argc, char** args);
int serve(int argc, char** args);
int run(int argc, char** args);

} // namespace rptool
