#pragma once

#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/OutsideFiles.h"
#include "exchange/OutsideWorld.h"
#include "exchange/Progress.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"

#include <QTemporaryDir>

#include <string>
#include <string_view>
#include <vector>

namespace fc::test {

// Text of a test answer: written in UTF-8 in the test, sent in code page 866.
inline std::string dos(std::string_view utf8) { return codepage::toDos(w(utf8)); }
// A Windows-1251 text read back as UTF-8 for comparing.
inline std::string u8(std::string_view cp1251) { return cp1251::toUtf8(cp1251); }

// Records what reading asked of the world.
class RecordingWorld : public OutsideWorld {
public:
    bool run(const std::string& commandLine) override {
        runs.push_back(commandLine);
        return true;
    }
    bool open(const std::string& path) override {
        opened.push_back(path);
        return true;
    }
    void closeWindowTitled(const std::string& caption) override { closed.push_back(caption); }
    void showTemplateLine(int line, int position) override { jumps.emplace_back(line, position); }
    void menusChanged() override { ++menuUpdates; }
    void autoMessage(const std::string& text) override { messages.push_back(text); }

    std::vector<std::string> runs, opened, closed, messages;
    std::vector<std::pair<int, int>> jumps;
    int menuUpdates = 0;
};

// A report window's worth of reading state over a temporary current directory.
struct AnswerFixture {
    QTemporaryDir dir;
    Workbook book;
    ReportSettings settings;
    ScriptedPrompter prompter;
    RecordingWorld world;
    AnswerBuffer answer;
    std::vector<int> painted;
    Progress progress{[this](int v, Progress::Colour) { painted.push_back(v); }};
    OutsideFiles files{prompter, dirPath()};
    ResultContext ctx{book,  settings,  answer,    prompter, world,
                      files, &progress, dirPath(), dirPath()};

    std::string dirPath() const { return dir.path().toStdString(); }
    std::string path(const std::string& name) const { return dirPath() + "/" + name; }
    // The answer as the answer timer hands it over (no framing byte).
    void setAnswer(std::string bytes) { answer = AnswerBuffer(std::move(bytes)); }
    std::string messages() const { return prompter.transcript(); }
    std::string text(int r, int c, int sheet = 1) const { return u8(book.sheet(sheet).text(r, c)); }
    std::string fileText(const std::string& name) const;
    void writeFile(const std::string& name, const std::string& bytes) const;
};

} // namespace fc::test
