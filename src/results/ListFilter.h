#pragma once

#include "exchange/RequestName.h"

#include <string>
#include <string_view>
#include <vector>

namespace fc {

class AppSettings;
class ReportRun;

// The list filter ("Фильтp" over Listbox1 or RListBox1): the indices of the lines that stay, in
// order, when the list is
// narrowed by `what` (upper case). A line with a blank first character whose first nine
// characters are not all blank is a group heading and stays; a line with a non-blank first
// character starts a record, and the lines after it whose first nine characters are blank
// belong to it; a record stays when its text, upper-cased, contains `what`. Then every
// heading followed by another heading, or standing last, goes.
std::vector<std::size_t> filterListLines(const std::vector<std::string>& lines,
                                         std::string_view what);

// The request name of a list re-request: the filter-reset mark "filt" and four random
// characters.
std::string filterResetName(const NameSource& names);

// `ReRunFiltr`: the window's request written again with the current request prefix in front
// of its request line, under a request name that marks it as a filter reset.
void ReRunFiltr(ReportRun& run, const AppSettings& settings, const NameSource& names);

} // namespace fc
