// Answers come from the server as any bytes: both result readers must take every byte string.
// The first byte chooses the reader and the window's state; the rest is the answer. Folder
// separators are blanked so that the outside-file instructions stay in the scratch folder.
#include "components/format/FileType.h"
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerFormat.h"
#include "exchange/OutsideFiles.h"
#include "exchange/OutsideWorld.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"
#include "exchange/TableResultReader.h"
#include "exchange/TurboResultReader.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <string>

namespace {

class NoWorld : public fc::OutsideWorld {
public:
    bool run(const std::string&) override { return true; }
    bool open(const std::string&) override { return true; }
};

struct Scratch {
    QTemporaryDir dir;
    std::string path = dir.path().toStdString();
    std::string companion = path + "/T.vts";
    Scratch() {
        fc::Workbook form;
        fc::Sheet& s = form.sheet();
        s.setMaxCol(6);
        s.setMaxRow(4);
        s.setNumber(1, 1, 45000.5);
        s.setFormula(2, 4, "=C2*2");
        s.setFormula(3, 5, "=SUM(C1:C2)");
        s.merge(fc::CellRange{4, 2, 4, 3});
        std::string error;
        fc::writeWorkbookFile(companion, fc::kFileNative, form, error);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Scratch scratch;
    if (size < 1) {
        return 0;
    }
    const std::uint8_t mode = data[0];
    std::string answer(reinterpret_cast<const char*>(data + 1), size - 1);
    for (char& c : answer) {
        if (c == '/' || c == '\\') {
            c = '_';
        }
    }
    fc::Workbook book;
    fc::ReportSettings settings;
    settings.openedFromDesigner = mode & 2;
    settings.filterActive = mode & 4;
    settings.positionKey = "a";
    fc::ScriptedPrompter prompter;
    NoWorld world;
    fc::AnswerBuffer buffer(std::move(answer));
    fc::OutsideFiles files(prompter, scratch.path);
    fc::ResultContext ctx{book,  settings, buffer,       prompter,    world,
                          files, nullptr,  scratch.path, scratch.path};
    if (mode & 1) {
        fc::read_table_ex(ctx, scratch.companion);
    } else {
        fc::read_table(ctx, "fuzz.out");
    }
    const std::string_view content = buffer.content();
    fc::answers::parseQuestion(content);
    fc::answers::parseSaveAnswer(content);
    fc::answers::parseValueList(content);
    fc::answers::decodeTemplateDownload(content);
    fc::answers::parsePopupItems(content);
    if (book.sheet().maxRow() > fc::kMaxRows) {
        __builtin_trap();
    }
    return 0;
}
