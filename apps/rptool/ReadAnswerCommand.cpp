// rptool read-answer FILE.out [--start DIR] [--template PATH] [--dump] [--offline] [--out FILE]:
// reads an answer file as a report window would and prints, as one JSON document, what it set;
// with --out the result is saved by the file's extension instead and the messages go to stderr.
#include "AnswerDocument.h"
#include "Commands.h"
#include "ResultOptions.h"

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
#include "results/Filter.h"
#include "results/ResultSession.h"
#include "shell/AppSettings.h"
#include "shell/SettingsFiles.h"

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
    std::string file, start = QDir::currentPath().toStdString(), templatePath;
    bool dump = false, offline = false, wroteOutput = false;
    std::vector<ResultOption> resultOptions;
    for (int i = 0; i < argc; ++i) {
        const std::string a = args[i];
        if (takeResultOption(argc, args, i, resultOptions)) {
            continue;
        }
        if (a == "--start" && i + 1 < argc) {
            start = args[++i];
        } else if (a == "--template" && i + 1 < argc) {
            templatePath = args[++i];
        } else if (a == "--dump") {
            dump = true;
        } else if (a == "--offline") {
            offline = true;
        } else if (file.empty() && a.rfind("--", 0) != 0) {
            file = a;
        } else {
            file.clear();
            break;
        }
    }
    if (file.empty()) {
        complain("usage: rptool read-answer FILE.out [--start DIR] [--template PATH] [--dump] "
                 "[--offline] [RESULT OPTIONS]");
        complain(resultOptionsUsage());
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
        // The result commands act on the sheet as the window's would, offline.
        fc::KeptStatus status;
        fc::ResultSession session(book, settings, prompter, status);
        // As the window follows a reading: the answer's value list, then the filter where
        // the window runs it (answers without ";table", ext results that ask for it).
        fc::takeFilterList(session);
        if (!options.ext || settings.runFilter) {
            fc::filterAfterAnswer(session, options.ext || !options.table);
        }
        ResultTarget target{session, {}, {}};
        fc::AppSettings appSettings; // the start directory's, for a print log
        fc::settings::load(appSettings, startDir);
        target.settings = &appSettings;
        target.nameOutputs = false;
        target.document = [&] {
            AnswerDocument d = doc;
            d.messages = prompter.shown;
            d.workbook = &book;
            d.resultState = true;
            d.statusText = status.statusText();
            d.markedRecords = session.view.marks.count;
            d.quickSum = session.view.quickSum.shown;
            return d;
        };
        if (const int rc = applyResultOptions(target, resultOptions)) {
            files.closeAll();
            return rc;
        }
        doc.resultState = true;
        doc.statusText = status.statusText();
        wroteOutput = target.wroteOutput;
        doc.markedRecords = session.view.marks.count;
        doc.quickSum = session.view.quickSum.shown;
    } else if (verdict == fc::answers::Verdict::Question) {
        doc.question = fc::answers::parseQuestion(answer.content());
    }
    files.closeAll();
    doc.messages = prompter.shown;
    if (!doc.window && !resultOptions.empty()) {
        // A question or a side answer: nothing to save or act on, and no silent success.
        for (const auto& [caption, text] : prompter.shown) {
            complain(caption + " " + text);
        }
        const ResultOption& first = resultOptions.front();
        complain(first.name == "--out" ? "no result to write: " + fc::cp1251::fromUtf8(first.value)
                                       : "no result for " + first.name);
        return 1;
    }
    if (wroteOutput) {
        // The result went to a file: the messages are all there is left to say.
        for (const auto& [caption, text] : prompter.shown) {
            complain(caption + " " + text);
        }
        return 0;
    }
    const std::string out = answerDocument(doc);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace rptool
