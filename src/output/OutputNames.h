#pragma once

#include <string>
#include <string_view>

namespace fc::output {

// A window caption as a file name or document title: every character that a file name cannot
// hold on the other system ("/", "\", ":", "*", "?", the double quote, "<", ">", "|") goes, and
// the pieces around each are trimmed and joined ("Сальдо: 62/1" gives "Сальдо621").
std::string cleanTitle(std::string_view caption);

} // namespace fc::output
