#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Cell formulas in the token form of Excel 97 files. The program's formulas use English
// function names and "," or ";" between arguments; texts are Windows-1251.
namespace fc::xls {

// 0-based index of the sheet called `name`, or -1.
using SheetIndexOf = std::function<int(std::string_view name)>;
// Name of the sheet with 0-based index `index`, or empty when there is none.
using SheetNameOf = std::function<std::string(int index)>;

// The tokens of formula `source` (without "="). False when the formula holds something an
// Excel 97 file cannot express (a function it lacks, a defined name, a text over 255
// characters, a union) or does not parse; the caller then stores the result alone.
bool compileFormula(std::string_view source, const SheetIndexOf& sheets,
                    std::vector<std::uint8_t>& tokens);

// The source (without "=") of a cell formula's tokens, arguments joined by `separator`
// (";" as the program writes them, "," for Excel 2007 files). False for tokens outside what
// `compileFormula` writes plus the common extras of other writers (attributes, spaces, memory
// areas); the caller keeps the result alone. References to other sheets name them through `sheets`
// (an external sheet index); an unknown one fails.
bool decompileFormula(const std::uint8_t* tokens, std::size_t size, const SheetNameOf& sheets,
                      std::string& source, char separator = ';');

} // namespace fc::xls
