#include "designer/DesignerFile.h"

#include "components/format/FileType.h"
#include "components/format/NativeFile.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "designer/DesignerSheet.h"
#include "designer/FormulaLine.h"
#include "designer/StatementColour.h"
#include "designer/TemplateMessages.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace fc {

namespace {

// The first bytes of a file tell a workbook from a template.
int workbookTypeOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    const QByteArray head = f.read(16);
    const std::string_view h(head.constData(), static_cast<std::size_t>(head.size()));
    if (native::looksNative(h)) {
        return kFileNative;
    }
    if (h.substr(0, 8) == std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8)) {
        return kFileExcel97;
    }
    return 0;
}

void colourStatements(Workbook& book, const PrototypeTable* prototypes) {
    StatementColourer colourer(prototypes);
    for (int n = 1; n <= book.numSheets(); ++n) {
        Sheet& s = book.sheet(n);
        const int last = std::min(s.maxRow(), s.storedRows());
        for (int r = 1; r <= last; ++r) {
            if (designer::isStatementRow(s, r)) {
                formulaline::recolour(s, r, colourer);
            }
        }
    }
}

} // namespace

DesignerFileKind designerFileKind(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("xls")) {
        return DesignerFileKind::Excel;
    }
    if (suffix == QLatin1String("vts")) {
        return DesignerFileKind::Native;
    }
    return DesignerFileKind::Template;
}

void fitWorkbook(Workbook& book) {
    for (int i = 1; i <= book.numSheets(); ++i) {
        Sheet& s = book.sheet(i);
        if (s.maxRow() == kMaxRows) {
            s.setMaxRow(std::max(1, s.lastUsedRow()));
        }
        if (s.maxCol() > designer::kMaxFormCol) {
            int used = 1;
            for (const Row& row : s.rows()) {
                for (const Cell& c : row.cells) {
                    if (c.col <= designer::kMaxFormCol) {
                        used = std::max(used, static_cast<int>(c.col));
                    }
                }
            }
            s.setMaxCol(used);
        }
    }
}

TemplateLoadResult openDesignerFile(const QString& path, Workbook& book, Prompter& prompter,
                                    const TemplateReadOptions& options) {
    const DesignerFileKind kind = designerFileKind(path);
    const std::string name = cp1251::fromQString(QFileInfo(path).fileName());
    const int found = QFileInfo::exists(path) ? workbookTypeOf(path) : 0;
    if (kind == DesignerFileKind::Template) {
        if (found != 0 && !TemplateFile::isNewTemplateName(path)) {
            prompter.error(templatemsg::notTemplate(name));
            return {};
        }
        return TemplateFile::load(path, book, prompter, options);
    }
    TemplateLoadResult result;
    const int wanted = kind == DesignerFileKind::Excel ? kFileExcel97 : kFileNative;
    if (QFileInfo::exists(path) && found != wanted) {
        prompter.error(kind == DesignerFileKind::Excel ? templatemsg::notExcelWorkbook(name)
                                                       : templatemsg::notNativeWorkbook(name));
        return result;
    }
    Workbook fresh;
    std::string error;
    if (readWorkbookFile(path, fresh, error) == 0) {
        prompter.error(error);
        return result;
    }
    fitWorkbook(fresh);
    colourStatements(fresh, options.prototypes);
    fresh.setCurrentSheet(1);
    fresh.setModified(false);
    book.swapContents(fresh);
    result.opened = true;
    return result;
}

} // namespace fc
