// rptool check: the report language checker on the command line.
#include "CheckCommand.h"

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "designer/TemplateFile.h"
#include "language/Checker.h"
#include "language/PrototypeTable.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <ostream>

namespace fc {

namespace {

const char kUsage[] =
    "usage: rptool check [--proto PROTO.RPT] [--classify] [-e LINE ...] [FILE.rpt ...]\n"
    "  -e LINE      check LINE (UTF-8); reported as -:N where N counts the -e lines\n"
    "  --proto F    the fact prototypes (the server's PROTO.RPT lines, code page 866)\n"
    "  --classify   print each line's class and keyword length instead of errors\n";

// The statement lines of a template file, with their file line numbers: column 1 of every
// sheet, numbered by the row headings that the reader fills with the lines' numbers.
bool readTemplateStatements(const std::string& path, std::vector<StatementLine>* lines,
                            std::ostream& err) {
    Workbook book;
    StderrPrompter prompter;
    const TemplateLoadResult loaded =
        TemplateFile::load(QString::fromLocal8Bit(path.c_str()), book, prompter);
    if (!loaded.opened) {
        err << "rptool check: cannot read " << path << '\n';
        return false;
    }
    for (int s = 1; s <= book.numSheets(); ++s) {
        const Sheet& sheet = book.sheet(s);
        const int last = std::min(sheet.maxRow(), sheet.lastUsedRow());
        for (int r = 1; r <= last; ++r) {
            std::string text = sheet.text(r, 1);
            if (text.empty()) {
                continue;
            }
            int line = r;
            const std::string& heading = sheet.rowHeading(r);
            if (!heading.empty()) {
                line = std::atoi(heading.c_str());
            }
            lines->push_back({line, std::move(text)});
        }
    }
    return true;
}

} // namespace

bool checkStatements(const std::string& source, const std::vector<StatementLine>& lines,
                     Checker& checker, bool classify, std::ostream& out) {
    bool anyError = false;
    for (const StatementLine& s : lines) {
        const CheckResult r = checker.checkLine(s.text);
        anyError = anyError || !r.ok();
        if (classify) {
            const std::string_view cls = lineClassText(fc::classify(r));
            out << source << ':' << s.line << ": " << (cls.empty() ? "PLAIN" : cls) << ' '
                << r.keywordLength << '\n';
        } else if (!r.ok()) {
            out << source << ':' << s.line << ':' << r.errorPosition << ": "
                << cp1251::toUtf8(r.message) << '\n';
        }
    }
    return anyError;
}

int runCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string protoPath;
    bool classify = false;
    std::vector<StatementLine> given;
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            out << kUsage;
            return 0;
        }
        if (a == "--classify") {
            classify = true;
        } else if (a == "--proto" || a == "-e") {
            if (i + 1 == args.size()) {
                err << "rptool check: " << a << " needs a value\n" << kUsage;
                return 2;
            }
            if (a == "--proto") {
                protoPath = args[++i];
            } else {
                const int n = static_cast<int>(given.size()) + 1;
                given.push_back({n, cp1251::fromUtf8(args[++i])});
            }
        } else if (!a.empty() && a[0] == '-' && a != "-") {
            err << "rptool check: unknown option " << a << '\n' << kUsage;
            return 2;
        } else {
            files.push_back(a);
        }
    }
    if (given.empty() && files.empty()) {
        err << kUsage;
        return 2;
    }

    PrototypeTable prototypes;
    if (!protoPath.empty()) {
        if (!std::ifstream(protoPath, std::ios::binary)) {
            err << "rptool check: cannot open " << protoPath << '\n';
            return 2;
        }
        std::vector<std::string> reports;
        prototypes.loadFile(protoPath, &reports);
        for (const std::string& r : reports) {
            err << protoPath << ": " << cp1251::toUtf8(r) << '\n';
        }
    }

    Checker checker(prototypes);
    bool anyError = checkStatements("-", given, checker, classify, out);
    for (const std::string& f : files) {
        std::vector<StatementLine> lines;
        if (!readTemplateStatements(f, &lines, err)) {
            return 2;
        }
        anyError = checkStatements(f, lines, checker, classify, out) || anyError;
    }
    return anyError ? 1 : 0;
}

int runCheck(int argc, char** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.emplace_back(argv[i]);
    }
    return runCheck(args, std::cout, std::cerr);
}

} // namespace fc
