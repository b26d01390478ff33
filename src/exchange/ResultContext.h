#pragma once

#include <string>

namespace fc {

class AnswerBuffer;
class OutsideFiles;
class OutsideWorld;
class Progress;
class Prompter;
class TextMeasurer;
class Workbook;
struct ReportSettings;

// Everything the result readers act on: the result workbook, the window's settings, its
// answer buffer and outside files, and the rest of the world behind small interfaces. The
// caller owns them all for the reading's length.
struct ResultContext {
    Workbook& book;
    ReportSettings& settings;
    AnswerBuffer& answer;
    Prompter& prompter;
    OutsideWorld& world;
    OutsideFiles& files;
    Progress* progress = nullptr;
    // Relative paths in the answer lie here; the local answer cache is its "CACHE" folder.
    std::string currentDir;
    std::string serverDir;
    // Fits row heights to their texts when given.
    const TextMeasurer* measurer = nullptr;
};

} // namespace fc
