#pragma once

#include <string>

// The fixed texts of the designer window (Windows-1251).
namespace fc::designermsg {

std::string saveCaption();
std::string turboManySheets();
std::string formatItem();
std::string printTitle();
std::string searchTitle();
std::string searchFor();
std::string replaceWith();
std::string fixHeightItem();
std::string formatFailed();
std::string cutItem();
std::string copyItem();
std::string pasteItem();
std::string pasteFailed();
std::string deleteItem();
std::string tagHelpItem();
std::string caretPrefix();
std::string replaceDone();
std::string saveChanges();
std::string colsRowsTitle();
std::string colsLabel();
std::string rowsLabel();
std::string referenceTitle();
std::string runReadError();
std::string cannotOpen();
std::string designerTitle();
// "Заменить на "<replacement>" ?"
std::string replaceQuestion(const std::string& replacement);
// The search text was not found.
std::string notFound(const std::string& text);
// F7 refused: fewer rows or columns than the last one in use.
std::string rowsInUse(int lastRow);
std::string colsInUse(int lastCol);
// The save dialog's two filters.
std::string saveFilter();

} // namespace fc::designermsg
