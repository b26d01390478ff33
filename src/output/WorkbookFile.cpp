#include "output/WorkbookFile.h"

#include "components/format/XlsWriter.h"
#include "components/format/XlsxWriter.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "results/ResultLayout.h"

#include <algorithm>
#include <cctype>

namespace fc::output {

namespace {

bool endsWithNoCase(const std::string& s, const char* suffix) {
    const std::string tail(suffix);
    if (s.size() < tail.size()) {
        return false;
    }
    return std::equal(tail.begin(), tail.end(), s.end() - static_cast<long>(tail.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

std::unique_ptr<Workbook> outgoingCopy(const Workbook& book) {
    auto copy = std::make_unique<Workbook>();
    copy->copyContentsFrom(book);
    for (int n = 1; n <= copy->numSheets(); ++n) {
        Sheet& s = copy->sheet(n);
        const CellRange right{1, s.maxCol() + 1, kMaxRows, kMaxCols};
        const CellRange below{s.maxRow() + 1, 1, s.maxRow() + result::kAuxRows, kMaxCols};
        for (const CellRange& part : {right, below}) {
            if (!part.clamped().empty()) {
                s.clear(part);
                s.deleteObjectsIn(part);
            }
        }
    }
    return copy;
}

bool writeWorkbookFile(const Workbook& book, const std::string& path, std::string& error) {
    const std::unique_ptr<Workbook> copy = outgoingCopy(book);
    return endsWithNoCase(path, ".xlsx") ? writeXlsx(path, *copy, error)
                                         : writeXls(path, *copy, error);
}

bool saveWorkbookFile(const Workbook& book, const std::string& path, Prompter& prompter) {
    std::string error;
    if (writeWorkbookFile(book, path, error)) {
        return true;
    }
    prompter.error(w("Ошибка сохранения!"));
    return false;
}

} // namespace fc::output
