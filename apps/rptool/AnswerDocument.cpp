// The JSON document of an answer that read-answer and run print.
#include "AnswerDocument.h"

#include "components/format/JsonDump.h"
#include "components/format/JsonWriter.h"
#include "components/text/CodePage.h"
#include "exchange/ReportSettings.h"

namespace rptool {

namespace {

using fc::JsonWriter;

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

std::string answerDocument(const AnswerDocument& doc) {
    JsonWriter j;
    j.beginObject();
    j.field("answer", doc.answer);
    j.textField("status", fc::codepage::toWindows(doc.status));
    j.field("kind", verdictName(fc::answers::verdictOf(doc.status)));
    if (doc.format) {
        j.field("format", *doc.format);
        if (doc.templatePath) {
            j.field("template", *doc.templatePath);
        }
    }
    if (doc.window) {
        window(j, *doc.window);
    }
    if (doc.resultState) {
        j.textField("statusText", doc.statusText);
        j.field("markedRecords", doc.markedRecords);
        j.key("quickSum");
        if (doc.quickSum) {
            j.value(*doc.quickSum);
        } else {
            j.null();
        }
    }
    if (doc.question) {
        j.key("question");
        j.beginObject(true);
        j.field("kind", doc.question->kind);
        j.field("multiChoice", doc.question->multiChoice);
        texts(j, "fields", doc.question->fields);
        j.endObject();
    }
    j.key("messages");
    j.beginArray();
    for (const auto& [caption, text] : doc.messages) {
        j.beginObject(true);
        j.textField("caption", caption);
        j.textField("text", text);
        j.endObject();
    }
    j.endArray();
    if (doc.workbook) {
        j.key("workbook");
        fc::dumpWorkbook(j, *doc.workbook);
    }
    j.endObject();
    return j.take();
}

} // namespace rptool
