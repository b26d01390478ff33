#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fc::test {

// A UTF-8 text in code page 866 as template files carry it: Cyrillic through the program's
// table, box-drawing and shade characters to their 866 codes.
std::string dos(std::string_view utf8);
// The lines in code page 866, each ended by CR LF.
std::string dosLines(const std::vector<std::string>& utf8Lines);
// A Windows-1251 text from UTF-8 (the model's texts).
std::string win(std::string_view utf8);
// A file's bytes back as UTF-8 lines without their CR LF (for readable failures).
std::vector<std::string> utf8Lines(std::string_view dosBytes);

} // namespace fc::test
