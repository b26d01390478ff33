#pragma once

#include "designer/TemplateFile.h"

#include <string>

namespace fc {

class Workbook;

// A loaded template as JSON: how it was read (layout, unreadable lines, truncation, object
// blocks) and the workbook it gave, in the workbook dump's own layout.
std::string dumpTemplate(const TemplateLoadResult& loaded, const Workbook& book);

} // namespace fc
