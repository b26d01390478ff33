#pragma once

#include "components/model/Types.h"
#include "components/model/Value.h"

#include <string>
#include <string_view>

namespace fc {

struct FormattedText {
    std::string text;         // Windows-1251
    Color color = kAutoColor; // from a "[Red]"-style prefix
};

// The text a value shows under a number format ("General", "0.00", "# ##0.00", "@",
// "dd.mm.yyyy", "0%", "[Red]0;-0", "\"text\"" ...). Decimal point ".".
FormattedText formatValue(const Value& v, std::string_view format);

// "General" display of a number: up to 11 significant digits, exponent form when needed.
std::string formatGeneral(double d);

// What a typed text means, as a spreadsheet reads an entry.
struct ParsedEntry {
    Value value;               // Empty for an empty entry
    std::string formula;       // source without "=", set for a formula entry
    std::string impliedFormat; // e.g. "dd.mm.yyyy" for a typed date, "0%" for a percent
};
ParsedEntry parseEntry(std::string_view typed, bool allowFormula = true);

// A plain number ("12", "-1.5", "1e3", " 7 "); false for anything else.
bool parseNumber(std::string_view s, double& out);

// Dates as day numbers since 30 December 1899 (the spreadsheet serial).
double dateSerial(int year, int month, int day);
void serialToDate(double serial, int& year, int& month, int& day);

} // namespace fc
