#include "components/print/PaperSize.h"

namespace fc::print {

namespace {

constexpr double kInch = 25.4;

const PaperSize kPapers[] = {
    {1, 8.5 * kInch, 11 * kInch},    // Letter
    {3, 11 * kInch, 17 * kInch},     // Tabloid
    {4, 17 * kInch, 11 * kInch},     // Ledger
    {5, 8.5 * kInch, 14 * kInch},    // Legal
    {7, 7.25 * kInch, 10.5 * kInch}, // Executive
    {8, 297, 420},                   // A3
    {9, 210, 297},                   // A4
    {10, 210, 297},                  // A4 small
    {11, 148, 210},                  // A5
    {12, 250, 354},                  // B4
    {13, 182, 257},                  // B5
    {14, 8.5 * kInch, 13 * kInch},   // Folio
};

} // namespace

PaperSize paperSize(int windowsCode) {
    for (const PaperSize& p : kPapers) {
        if (p.code == windowsCode) {
            return p;
        }
    }
    return PaperSize{};
}

} // namespace fc::print
