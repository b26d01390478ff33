// rptool read-answer FILE.out [--start DIR] [--template PATH] [--dump] [--offline] [--out FILE]:
// reads an answer file as a report window would and prints, as one JSON document, what it set;
// with --out the result is saved by the file's extension instead and the messages go to stderr.
#include "AnswerDocument.h"
#include "Commands.h"
#include "ResultFile.h"

#include "components/format/JsonDump.h"
#include "components/format/JsonWriter.h"
#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerFormat.h"
#include "exchange/OutsideFiles.h"
#include "exchange/OutsideWorld.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>

namespace rptool {

namespace {

// Shows nothing and agrees to nothing: every box is kept for the report, questions are
// answered No, so that an offline reading never asks for a download.
class RecordingPrompter : public fc::Prompter {
public:
    Answer ask(std::string_view caption, std::string_view text, Buttons buttons, Icon) override {
        shown.push_back({std::string(caption), std::string(text)});
        switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::OkCancel: return Answer::Cancel;
        default: return Answer::No;
        }
    }
    std::vector<std::pair<std::string, std::string>> shown;
};

// Programs the answer asks to start are listed, never started.
class OfflineWorld : public fc::OutsideWorld {
public:
    bool run(const std::string&) override { return false; }
    bool open(const std::string&) override { return false; }
};

} // namespace

int readAnswer(int argc, char** args) {
    std::string file, start = QDir::currentPath().toStdString(), templatePath, outPath;
    bool dump = false, offline = false;
    for (int i = 0; i < argc; ++i) {
        const std::string a = args[i];
        if (a == "--start" && i + 1 < argc) {
            start = args[++i];
        } else if (a == "--template" && i + 1 < argc) {
            templatePath = args[++i];
        } else if (a == "--dump") {
            dump = true;
        } else if (a == "--offline") {
            offline = true;
        } else if (a == "--out" && i + 1 < argc) {
            outPath = args[++i];
        } else if (file.empty() && a.rfind("--", 0) != 0) {
            file = a;
        } else {
            file.clear();
            break;
        }
    }
    if (file.empty()) {
        complain("usage: rptool read-answer FILE.out [--start DIR] [--template PATH] [--dump] "
                 "[--offline] [--out FILE]");
        return 2;
    }
    // Read as the window reads it: straight into the answer buffer.
    std::optional<std::string> raw = fc::files::readAll(QFile::decodeName(file.c_str()));
    if (!raw) {
        complain(fc::w("Не могу открыть файл ") + fc::cp1251::fromUtf8(file));
        return 1;
    }
    fc::AnswerBuffer answer = offline ? fc::AnswerBuffer(std::move(*raw))
                                      : fc::AnswerBuffer::fromAnswerFile(std::move(*raw));
    const std::string startDir = fc::cp1251::fromUtf8(start);

    fc::Workbook book;
    fc::ReportSettings settings;
    RecordingPrompter prompter;
    OfflineWorld world;
    fc::OutsideFiles files(prompter, startDir);
    fc::ResultContext ctx{book,  settings, answer,   prompter, world,
                          files, nullptr,  startDir, startDir};

    const std::string status = answer.statusLine();
    const std::string name =
        QFileInfo(QFile::decodeName(file.c_str())).completeBaseName().toStdString();
    const fc::answers::NameKind nameKind = fc::answers::kindOfName(name);
    const fc::answers::Verdict verdict = fc::answers::verdictOf(status);
    const fc::answers::ResultOptions options = fc::answers::parseResultOptions(status);

    AnswerDocument doc;
    doc.answer = file;
    doc.status = status;
    if (nameKind == fc::answers::NameKind::Other &&
        (verdict == fc::answers::Verdict::Result || verdict == fc::answers::Verdict::Other ||
         verdict == fc::answers::Verdict::Error)) {
        if (options.ext) {
            if (templatePath.empty()) {
                templatePath = start + "/" + options.templateName;
            }
            doc.format = options.turbo ? "turbo" : "ext";
            doc.templatePath = templatePath;
            fc::read_table_ex(ctx, fc::cp1251::fromUtf8(templatePath));
        } else {
            doc.format = "table";
            fc::read_table(ctx, file);
        }
        doc.window = &settings;
        if (dump) {
            doc.workbook = &book;
        }
    } else if (verdict == fc::answers::Verdict::Question) {
        doc.question = fc::answers::parseQuestion(answer.content());
    }
    files.closeAll();
    doc.messages = prompter.shown;
    if (!outPath.empty()) {
        for (const auto& [caption, text] : prompter.shown) {
            complain(caption + " " + text);
        }
        if (!doc.window) {
            complain("no result to write: " + fc::cp1251::fromUtf8(outPath));
            return 1;
        }
        std::string error;
        if (!writeResultFile(outPath, book, doc, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    const std::string out = answerDocument(doc);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace rptool
