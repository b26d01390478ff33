#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The program's own conversion between Windows-1251 and the DOS code page of the 866 family
// that the server speaks. Letters without a counterpart become "." so that box-drawing
// characters never reach a cell.
namespace fc::codepage {

// DOS (866 family) -> Windows-1251.
unsigned char toWindows(unsigned char b);
// Windows-1251 -> DOS.
unsigned char toDos(unsigned char b);

std::string toWindows(std::string_view dos);
std::string toDos(std::string_view win);
void toWindowsInPlace(std::string& s);
void toWindowsInPlace(char* data, std::size_t size);
void toDosInPlace(std::string& s);

// The system's standard OEM-to-ANSI conversion (code page 866 to 1251), used for whole value
// lists and command lines from the server: box-drawing characters become their nearest
// ASCII look-alikes instead of ".".
std::string oemToAnsi(std::string_view dos);
std::string ansiToOem(std::string_view win);

} // namespace fc::codepage
