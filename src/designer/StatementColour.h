#pragma once

#include "components/model/Style.h"

#include <string_view>

namespace fc {

// How the report language checker classes a statement line, and so how it is coloured.
enum class StatementClass { Plain, Strike, Red, Gray };

// The checker's class of a statement (Windows-1251 text, trimmed by the caller).
StatementClass classifyStatement(std::string_view line);

// Recolours a statement cell's font by its class: red with strikeout, red, grey, or
// unchanged for plain text.
void applyStatementClass(Font& font, StatementClass c);

// Colours that the checker sets on loading; the writers give no font prefix for them.
constexpr Color kStatementRed = rgb(255, 0, 0);
constexpr Color kStatementGray = rgb(128, 128, 128);

} // namespace fc
