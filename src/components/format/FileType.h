#pragma once

#include <QString>

#include <string>

namespace fc {

class Workbook;

// Workbook file types as the control's ReadFile and WriteFile number them.
constexpr int kFileExcel97 = 11;
constexpr int kFileNative = 12;

// Reads a workbook file of any known type into `book`; the type is found from the content.
// Returns the type, or 0 with `error` set (Windows-1251) and `book` unchanged.
int readWorkbookFile(const QString& path, Workbook& book, std::string& error);
// `path` in Windows-1251; "\" separates folders as "/" does.
int readWorkbookFile(const std::string& path, Workbook& book, std::string& error);
inline int readWorkbookFile(const char* path, Workbook& book, std::string& error) {
    return readWorkbookFile(std::string(path), book, error);
}

// Writes `book` as a file of `type` through a temporary file that replaces `path` only when
// it was written whole; on failure the old file stays and `error` tells why. Type 11 writes
// an Excel 2007 workbook instead when `path` ends in ".xlsx" (any case).
bool writeWorkbookFile(const QString& path, int type, const Workbook& book, std::string& error);
bool writeWorkbookFile(const std::string& path, int type, const Workbook& book, std::string& error);

// The file name as the program spells paths: Windows-1251, "\" turned into "/".
QString workbookPath(const std::string& path);

} // namespace fc
