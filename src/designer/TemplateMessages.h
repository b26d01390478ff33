#pragma once

#include <string>

// The fixed texts of template loading and saving (Windows-1251).
namespace fc::templatemsg {

// The template cannot be opened.
std::string cannotOpen();
// A reader met lines it could not read.
std::string readError();
// A table-format save failed; the template on disk is untouched.
std::string saveError();
// The staging file of a save cannot be reopened.
std::string stagingError();
// The companion workbook is missing; the name follows.
std::string companionMissing();
// An extended-layout save failed (caption "Внимание:").
std::string turboSaveError();
// A text form was cut at its limits (caption "Внимание:").
std::string notAllLoaded();
// An object starts on a statement row or in column 1.
std::string objectPlacement();
// More than one sheet for the extended layout (caption below).
std::string turboManySheets();
std::string turboSaveCaption();
// The designer was given a file of another kind than its extension says; the file name
// (Windows-1251) is part of the text.
std::string notTemplate(const std::string& name);
std::string notExcelWorkbook(const std::string& name);
std::string notNativeWorkbook(const std::string& name);
// A vertical merge in the turbo variant.
std::string turboVerticalMerge();

} // namespace fc::templatemsg
