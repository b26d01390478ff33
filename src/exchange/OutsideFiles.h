#pragma once

#include <QString>

#include <array>
#include <memory>
#include <string>
#include <string_view>

class QFile;

namespace fc {

class Prompter;

// A path of an answer or of the program (Windows-1251, "\" or "/" between folders) as the
// file system sees it: a relative path lies in `currentDir`.
QString resolvePath(std::string_view currentDir, std::string_view path);

// The outside files of a report window: ten places that ";FILECREATE" and ";FILEOPEN" fill,
// ";PRINTSTR" writes to and ";FILECLOSE" empties. They stay open from one answer to the next.
// Places count from 1; a place outside 1..10 is reported and nothing happens. Messages go to
// the prompter with the caption "Ошибка:".
class OutsideFiles {
public:
    static constexpr int kPlaces = 10;

    OutsideFiles(Prompter& prompter, std::string currentDir);
    ~OutsideFiles();
    OutsideFiles(const OutsideFiles&) = delete;
    OutsideFiles& operator=(const OutsideFiles&) = delete;

    // `dos`: the file takes text as sent (code page 866) instead of Windows-1251.
    bool create(int place, const std::string& path, bool dos);
    bool open(int place, const std::string& path, bool dos);
    // Writes `text` and CR LF in the file's code page; `textIsDos`: `text` is in code page
    // 866 (as sent) rather than Windows-1251.
    bool print(int place, std::string_view text, bool textIsDos = true);
    // False (and reported) when the place is outside 1..10.
    bool close(int place);
    void closeAll();
    bool isOpen(int place) const;

private:
    bool start(int place, const std::string& path, bool dos, bool append);

    struct Place {
        std::unique_ptr<QFile> file;
        bool dos = false;
    };
    Prompter& prompter_;
    std::string currentDir_;
    std::array<Place, kPlaces> places_;
};

} // namespace fc
