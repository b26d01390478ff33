// rptool convert IN OUT [--format table|ext|turbo|vts]: a template or workbook file into
// another layout; without the option OUT's extension chooses (".rpt", ".vts", ".xls",
// ".xlsx"). Messages are the program's own, on stderr; OUT is only replaced when IN was
// read whole.
#include "Commands.h"

#include "components/format/FileType.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "designer/DesignerFile.h"
#include "designer/TemplateFile.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <string>

namespace rptool {

namespace {

enum class Target { Table, Ext, Turbo, Native, Excel, Unknown };

Target targetFor(const std::string& format, const QString& out) {
    if (format == "table") {
        return Target::Table;
    }
    if (format == "ext") {
        return Target::Ext;
    }
    if (format == "turbo") {
        return Target::Turbo;
    }
    if (format == "vts") {
        return Target::Native;
    }
    if (!format.empty()) {
        return Target::Unknown;
    }
    const QString suffix = QFileInfo(out).suffix().toLower();
    if (suffix == QLatin1String("rpt")) {
        return Target::Table;
    }
    if (suffix == QLatin1String("vts")) {
        return Target::Native;
    }
    if (suffix == QLatin1String("xls") || suffix == QLatin1String("xlsx")) {
        return Target::Excel; // Excel 97, or 2007 for ".xlsx"
    }
    return Target::Unknown;
}

bool isTemplate(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("rpt"), Qt::CaseInsensitive) == 0;
}

// Reads a template (".rpt", any layout) or a workbook file; false when it was not read whole.
bool readAny(const QString& path, fc::Workbook& book, fc::Prompter& prompter) {
    if (isTemplate(path)) {
        return fc::TemplateFile::load(path, book, prompter).whole();
    }
    std::string error;
    if (fc::readWorkbookFile(path, book, error) == 0) {
        complain(error);
        return false;
    }
    // A sheet that spans the whole grid is cut to its used area, so that a template made of
    // it does not describe 65,536 empty rows, as the designer opens it.
    fc::fitWorkbook(book);
    return true;
}

} // namespace

int convert(int argc, char** args) {
    std::string format;
    QString in, out;
    int files = 0;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(args[i], "--format") == 0 && i + 1 < argc) {
            format = args[++i];
        } else if (files == 0) {
            in = QFile::decodeName(args[i]);
            ++files;
        } else if (files == 1) {
            out = QFile::decodeName(args[i]);
            ++files;
        } else {
            files = 3;
        }
    }
    const Target target = targetFor(format, out);
    if (files != 2 || target == Target::Unknown) {
        complain("usage: rptool convert IN OUT [--format table|ext|turbo|vts]");
        return 2;
    }
    fc::StderrPrompter prompter;
    fc::Workbook book;
    if (!readAny(in, book, prompter)) {
        return 1;
    }
    switch (target) {
    case Target::Table:
        return fc::TemplateFile::save(out, book, fc::TemplateFormat::Table, prompter) ? 0 : 1;
    case Target::Ext:
        return fc::TemplateFile::save(out, book, fc::TemplateFormat::Ext, prompter) ? 0 : 1;
    case Target::Turbo:
        return fc::TemplateFile::save(out, book, fc::TemplateFormat::Turbo, prompter) ? 0 : 1;
    case Target::Native:
    case Target::Excel: {
        std::string error;
        const int type = target == Target::Native ? fc::kFileNative : fc::kFileExcel97;
        if (!fc::writeWorkbookFile(out, type, book, error)) {
            complain(error);
            return 1;
        }
        return 0;
    }
    case Target::Unknown: break;
    }
    return 2;
}

} // namespace rptool
