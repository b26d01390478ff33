#pragma once

#include "designer/TemplateFile.h"

#include <QString>

namespace fc {

class Workbook;
class Prompter;
struct TemplateReadOptions;

// What the designer opens a file as, by its extension (any case): ".xls" an Excel 97
// workbook, ".vts" a workbook of the program's own format, anything else a template.
enum class DesignerFileKind { Template, Excel, Native };
DesignerFileKind designerFileKind(const QString& path);

// Opens a file in a designer workbook as its extension says. A file of another kind (a
// workbook named ".rpt", a template or a native workbook named ".xls" ...) is refused with a
// message naming what it should have been, and `book` stays as it was, as on any failure
// (`opened` false). Workbooks are fitted to the designer (fitWorkbook) and their statement
// column is coloured by the checker.
TemplateLoadResult openDesignerFile(const QString& path, Workbook& book, Prompter& prompter,
                                    const TemplateReadOptions& options = {});

// A workbook made into designer sheets: a sheet spanning all 65,536 rows is cut to its used
// rows, and one reaching past the last form column to its used form columns (a designer
// sheet saved elsewhere keeps its heights and objects in columns further right).
void fitWorkbook(Workbook& book);

} // namespace fc
