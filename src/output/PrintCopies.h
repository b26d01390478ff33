#pragma once

#include "exchange/RequestName.h"

#include <string>

namespace fc {

class AppSettings;
class Prompter;

namespace output {

// Where printed copies go: the first through the print dialog, where the user picks the
// printer, the others as jobs of their own on that printer without it.
class CopyPrinter {
public:
    virtual ~CopyPrinter() = default;
    // False when the user cancelled the dialog or the copy could not be printed.
    virtual bool printFirst() = 0;
    virtual bool printAgain() = 0;
};

// The most copies the copies dialog lets one ask for.
constexpr int kMaxCopies = 1000;

// Prints `copies` copies (1 to 1000): once with the dialog, then copies - 1 times without.
// Returns how many were printed; 0 when the first failed, and a failed copy ends the run.
int printCopies(CopyPrinter& printer, int copies);

// The print log request of a printed report whose window has a print-log name (";PRNNUMBER="):
// a request file under a fresh name from `names`, "ФАЙЛ-ЗАПРОС: " + its name shown in debug
// mode. Nothing is written without a name. False when it could not be written (told).
bool writePrintLog(const AppSettings& settings, Prompter& prompter, const std::string& printId,
                   const NameSource& names = randomNames());

} // namespace output
} // namespace fc
