#pragma once

namespace fc::print {

// A sheet of paper by the Windows paper code that page setups keep (9 is A4), in millimetres,
// portrait. Codes the program does not know give A4, the paper of every result sheet.
struct PaperSize {
    int code = 9;
    double widthMm = 210;
    double heightMm = 297;
};

PaperSize paperSize(int windowsCode);

} // namespace fc::print
