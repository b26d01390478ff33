#pragma once

#include "components/model/Types.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc {

class ResultSession;
class Sheet;
struct FilterForm;

// How the filter dialog's amounts and dates are typed: the decimal separator the program uses
// ("." while it runs) and the order and separator of the system locale's short date format.
struct FilterLocale {
    char decimal = '.';
    char dateSeparator = '.';
    std::string dateOrder = "dmy"; // the order of day, month and year
    static FilterLocale system();
    // "(дд.мм.гггг)", in the locale's order and with its separator.
    std::string dateHint() const;
};

// A typed amount ("1500", "-12,5", "1 500.00"); none when it is not a number.
std::optional<double> readAmount(std::string_view text);
// A typed date as a day serial (days since 30 December 1899); none when it is not a date.
// The year has four digits, or two (below 30 in the 2000s).
std::optional<double> readDate(std::string_view text, const FilterLocale& locale);

// The selection range the filter reads: range 0 of a single selection, else range 1.
CellRange filterSelection(const Sheet& sheet);

// Opening the dialog: the amount and date groups are disabled for a one-row selection while
// Ncol is empty; with further selection ranges their texts become the value list (unless a
// value is chosen), its caption the clicked column's heading.
void prepareFilter(ResultSession& session);

// What "Подтвеpдить" refuses, with the field to focus: 3 to 8 for Edit3 to Edit8.
struct FormProblem {
    std::string message;
    int field = 0;
};
// A bound without its other half, then an amount or a date that cannot be read.
std::optional<FormProblem> checkForm(const FilterForm& form, const FilterLocale& locale);

// The sheet filter (`Filtr`): shows the blocks that pass the form's tests and hides the others,
// recomputes the totals and sets status panel 1. `keptColumns`: search the columns of the
// filter it repeats (a re-run, a sort) instead of the selection's. False when the form was
// refused with a message; then no row was touched.
bool Filtr(ResultSession& session, bool keptColumns = false,
           const FilterLocale& locale = FilterLocale::system());
// "Снять фильтp": the form emptied, then the filter (every row shown).
void clearFilter(ResultSession& session);

// The answer's ";FILTR" list becomes the form's value list, unless a value is chosen.
void takeFilterList(ResultSession& session);
// After a new answer was read: `always` runs the filter whatever the form holds (the answers
// the filter always follows); otherwise only a filter in force runs again, over the columns
// it searched before.
void filterAfterAnswer(ResultSession& session, bool always);

// "Фильтp включен [n] по \"caption\"" of the filter in force; empty when none.
std::string filterStatus(const ResultSession& session);

} // namespace fc
