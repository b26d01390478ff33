#pragma once

#include <optional>
#include <string>
#include <vector>

namespace fc {

// The fields of the in-form filter dialog ("Фильтp (в фоpме)"), as typed: the dialog fills it
// and the sheet filter reads it, so the filter runs the same with or without a window. Texts
// are Windows-1251.
struct FilterForm {
    enum Op { Less = 0, Equal = 1, Greater = 2 }; // the radio groups' items "<", "=", ">"

    std::string s1, s2;  // Edit1, Edit2 (upper case)
    bool orMode = false; // RadioGroup1: "или" (else "и")
    int amountOp = Equal;
    std::string amount, amountFrom, amountTo; // Edit3, Edit4, Edit5
    int dateOp = Equal;
    std::string date, dateFrom, dateTo; // Edit6, Edit7, Edit8
    // Panel2 and Panel3: off when only strings can be filtered (a one-row selection).
    bool rangesEnabled = true;

    // The value list (Panel4): ComboBox1's items, sorted, the first one empty. An item may be
    // "display·value" or "display·value·position" (0xB7 between the parts).
    bool listShown = false;
    std::string listCaption;            // Label11
    std::string listColumn;             // Edit9: the column the values come from
    std::vector<std::string> listItems; // ComboBox1
    std::optional<std::string> chosen;  // the chosen item, whole
    std::string ncol;                   // Ncol: the first filter column, kept between filters

    // The eight text fields blank and no value chosen: the filter shows every row.
    bool blank() const;
    // "Очистить": every field emptied, the list deselected, Ncol emptied.
    void clear();
    // The item's text as ComboBox1 shows it: before its first "·".
    static std::string display(const std::string& item);
};

} // namespace fc
