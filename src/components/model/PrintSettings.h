#pragma once

#include <string>

namespace fc {

// Page setup of one sheet. Margins are in inches as the control keeps them.
struct PrintSettings {
    std::string area;   // "$A$1:$H$40" style, empty: the used range
    std::string titles; // repeated rows/columns, "$1:$3" style
    std::string header; // Windows-1251 text with the control's "&" codes
    std::string footer;
    double leftMargin = 0.75;
    double rightMargin = 0.75;
    double topMargin = 1.0;
    double bottomMargin = 1.0;
    double headerMargin = 0.5;
    double footerMargin = 0.5;
    bool landscape = false;
    bool noColor = false;
    bool gridLines = false;
    bool hCenter = false;
    bool vCenter = false;
    bool rowColHeadings = false;
    bool fitToPage = false; // scale to fitHPages x fitVPages instead of `scale`
    int fitHPages = 1;
    int fitVPages = 1;
    int scale = 100;   // percent
    int paperSize = 9; // Windows paper code: 9 is A4
    int copies = 1;

    friend bool operator==(const PrintSettings& a, const PrintSettings& b);
};

} // namespace fc
