// rptool read-answer FILE.out [--start DIR] [--template PATH] [--dump] [--offline]: reads an
// answer file as a report window would and prints, as one JSON document, what it set.
#include "Commands.h"

#include "components/format/JsonDump.h"
#include "components/format/JsonWriter.h"
#include "components/model/Workbook.h"
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

using fc::JsonWriter;

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

void texts(JsonWriter& j, const char* key, const std::vector<std::string>& list) {
    j.key(key);
    j.beginArray(true);
    for (const std::string& s : list) {
        j.text(s);
    }
    j.endArray();
}

void numbers(JsonWriter& j, const char* key, const std::vector<int>& list) {
    j.key(key);
    j.beginArray(true);
    for (int n : list) {
        j.value(n);
    }
    j.endArray();
}

void window(JsonWriter& j, const fc::ReportSettings& s) {
    j.key("window");
    j.beginObject();
    j.textField("caption", s.caption);
    j.textField("subtitle", s.subtitle);
    j.key("flags");
    j.beginObject(true);
    const std::pair<const char*, bool> flags[] = {
        {"noSave", s.noSave},
        {"noPrint", s.noPrint},
        {"autoAlways", s.autoAlways},
        {"autoSave", s.autoSave},
        {"allowPaste", s.allowPaste},
        {"noCalendar", s.noCalendar},
        {"doNotBold", s.doNotBold},
        {"indexRerun", s.indexRerun},
        {"noArgs", s.noArgs},
        {"cursor", s.cursor},
        {"restartClose", s.restartClose},
        {"parentRerun", s.parentRerun},
        {"modalResult", s.modalResult},
        {"editable", s.editable},
        {"totals", s.totals},
        {"hasObjects", s.hasObjects},
        {"recalcNotice", s.recalcNotice},
        {"closeWindow", s.closeWindow},
        {"outdatedTemplate", s.outdatedTemplate},
        {"runFilter", s.runFilter},
    };
    for (const auto& [name, on] : flags) {
        j.field(name, on);
    }
    j.endObject();
    j.key("displayParts");
    j.beginArray(true);
    for (bool b : s.displayParts) {
        j.value(b);
    }
    j.endArray();
    j.key("save");
    j.beginObject(true);
    j.textField("instruction", fc::codepage::toWindows(s.saveInstruction));
    j.key("columns");
    j.beginArray(true);
    for (const std::optional<int>& c : s.saveColumns) {
        if (c) {
            j.value(*c);
        } else {
            j.null();
        }
    }
    j.endArray();
    j.field("button", s.saveButton);
    j.endObject();
    numbers(j, "totalsColumns", s.totalsColumns);
    numbers(j, "editColumns", s.editColumns);
    numbers(j, "sortKeys", std::vector<int>(s.sortKeys.begin(), s.sortKeys.end()));
    numbers(j, "hiddenColumns", s.hiddenColumns);
    j.field("headerRows", s.headerRows);
    j.textField("printId", s.printId);
    j.textField("pdfPrinter", s.pdfPrinter);
    j.textField("email", s.email);
    j.textField("argumentFile", s.argumentFile);
    if (s.argumentTree) {
        j.key("argumentTree");
        j.beginObject(true);
        j.field("width", s.treeWidth);
        j.field("column", s.treeColumn);
        j.endObject();
    }
    j.key("autoRerun");
    if (s.autoRerun) {
        j.beginObject(true);
        j.field("ms", s.autoRerunMs);
        j.textField("text", fc::codepage::toWindows(s.autoRerunText));
        j.endObject();
    } else {
        j.null();
    }
    if (s.positionSet || s.cursorRow) {
        j.key("position");
        j.beginObject(true);
        j.field("row", s.positionRow);
        j.field("column", s.positionCol);
        j.field("cursorRow", s.cursorRow);
        j.endObject();
    }
    j.textField("statusMessage", s.statusMessage);
    j.textField("autoMessage", s.autoMessage);
    j.textField("windowCache", s.windowCache);
    if (s.popupAllowance) {
        j.field("popupAllowance", *s.popupAllowance);
    }
    texts(j, "popupItems", s.popupItems);
    texts(j, "programsToStart", s.programsStarted);
    texts(j, "picturesWritten", s.picturesWritten);
    j.key("saveFiles");
    j.beginArray();
    for (const auto& f : s.saveFiles) {
        j.beginObject(true);
        j.textField("name", f.name);
        j.field("column", f.column.value_or(0));
        j.endObject();
    }
    j.endArray();
    j.key("listBoxes");
    j.beginArray();
    for (const auto& l : s.listBoxes) {
        j.beginObject(true);
        j.textField("name", l.name);
        texts(j, "items", l.items);
        j.endObject();
    }
    j.endArray();
    if (s.filterList) {
        j.key("filterList");
        j.beginObject(true);
        j.textField("caption", s.filterList->caption);
        j.textField("column", s.filterList->column);
        texts(j, "values", s.filterList->values);
        j.endObject();
    }
    j.endObject();
}

const char* verdictName(fc::answers::Verdict v) {
    using V = fc::answers::Verdict;
    switch (v) {
    case V::Error: return "error";
    case V::Question: return "question";
    case V::Close: return "close";
    case V::Result: return "result";
    default: return "other";
    }
}

} // namespace

int readAnswer(int argc, char** args) {
    std::string file, start = QDir::currentPath().toStdString(), templatePath;
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
        } else if (file.empty() && a.rfind("--", 0) != 0) {
            file = a;
        } else {
            file.clear();
            break;
        }
    }
    if (file.empty()) {
        complain("usage: rptool read-answer FILE.out [--start DIR] [--template PATH] [--dump] "
                 "[--offline]");
        return 2;
    }
    QFile in(QFile::decodeName(file.c_str()));
    if (!in.open(QIODevice::ReadOnly)) {
        complain(fc::w("Не могу открыть файл ") + fc::cp1251::fromUtf8(file));
        return 1;
    }
    const QByteArray bytes = in.readAll();
    std::string raw(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    fc::AnswerBuffer answer = offline ? fc::AnswerBuffer(std::move(raw))
                                      : fc::AnswerBuffer::fromAnswerFile(std::move(raw));
    const std::string startDir = fc::cp1251::fromUtf8(start);

    fc::Workbook book;
    fc::ReportSettings settings;
    RecordingPrompter prompter;
    OfflineWorld world;
    fc::OutsideFiles files(prompter, startDir);
    fc::ResultContext ctx{book,  settings, answer,   prompter, world,
                          files, nullptr,  startDir, startDir};

    const std::string status = answer.statusLine();
    const std::string name = QFileInfo(in).completeBaseName().toStdString();
    const fc::answers::NameKind nameKind = fc::answers::kindOfName(name);
    const fc::answers::Verdict verdict = fc::answers::verdictOf(status);
    const fc::answers::ResultOptions options = fc::answers::parseResultOptions(status);

    JsonWriter j;
    j.beginObject();
    j.field("answer", file);
    j.textField("status", fc::codepage::toWindows(status));
    j.field("kind", verdictName(verdict));
    bool read = false;
    if (nameKind == fc::answers::NameKind::Other &&
        (verdict == fc::answers::Verdict::Result || verdict == fc::answers::Verdict::Other ||
         verdict == fc::answers::Verdict::Error)) {
        if (options.ext) {
            if (templatePath.empty()) {
                templatePath = start + "/" + options.templateName;
            }
            j.field("format", options.turbo ? "turbo" : "ext");
            j.field("template", templatePath);
            fc::read_table_ex(ctx, fc::cp1251::fromUtf8(templatePath));
        } else {
            j.field("format", "table");
            fc::read_table(ctx, file);
        }
        read = true;
        window(j, settings);
    } else if (verdict == fc::answers::Verdict::Question) {
        if (std::optional<fc::answers::Question> q = fc::answers::parseQuestion(answer.content())) {
            j.key("question");
            j.beginObject(true);
            j.field("kind", q->kind);
            j.field("multiChoice", q->multiChoice);
            texts(j, "fields", q->fields);
            j.endObject();
        }
    }
    files.closeAll();
    j.key("messages");
    j.beginArray();
    for (const auto& [caption, text] : prompter.shown) {
        j.beginObject(true);
        j.textField("caption", caption);
        j.textField("text", text);
        j.endObject();
    }
    j.endArray();
    if (dump && read) {
        j.key("workbook");
        fc::dumpWorkbook(j, book);
    }
    j.endObject();
    const std::string out = j.take();
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace rptool
