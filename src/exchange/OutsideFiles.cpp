#include "exchange/OutsideFiles.h"

#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"

#include <QDir>
#include <QFile>

namespace fc {

namespace {

const char* placeMessage(bool append) {
    return append ? "Неправильно указан индекс файла в FileOpen !"
                  : "Неправильно указан индекс файла в FileCreate !";
}

bool validPlace(int place) { return place >= 1 && place <= OutsideFiles::kPlaces; }

} // namespace

QString resolvePath(std::string_view currentDir, std::string_view path) {
    QString p = cp1251::toQString(path);
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (p.isEmpty() || QDir::isAbsolutePath(p) || currentDir.empty()) {
        return p;
    }
    QString dir = cp1251::toQString(currentDir);
    dir.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir(dir).filePath(p);
}

OutsideFiles::OutsideFiles(Prompter& prompter, std::string currentDir)
    : prompter_(prompter), currentDir_(std::move(currentDir)) {}

OutsideFiles::~OutsideFiles() { closeAll(); }

bool OutsideFiles::start(int place, const std::string& path, bool dos, bool append) {
    // Place 0 and negative places are refused like those past the tenth: they name no place.
    if (!validPlace(place)) {
        prompter_.error(w(placeMessage(append)));
        return false;
    }
    places_[static_cast<std::size_t>(place - 1)].file.reset();
    auto file = std::make_unique<QFile>(resolvePath(currentDir_, path));
    const QIODevice::OpenMode mode = append ? QIODevice::WriteOnly | QIODevice::Append
                                            : QIODevice::WriteOnly | QIODevice::Truncate;
    if (path.empty() || !file->open(mode)) {
        prompter_.error((append ? w("Не могу открыть файл ") : w("Не могу создать файл ")) + path);
        return false;
    }
    Place& p = places_[static_cast<std::size_t>(place - 1)];
    p.file = std::move(file);
    p.dos = dos;
    return true;
}

bool OutsideFiles::create(int place, const std::string& path, bool dos) {
    return start(place, path, dos, false);
}

bool OutsideFiles::open(int place, const std::string& path, bool dos) {
    return start(place, path, dos, true);
}

bool OutsideFiles::print(int place, std::string_view text, bool textIsDos) {
    if (!validPlace(place)) {
        prompter_.error(w("Неправильно указан индекс файла в ;PrintStr !"));
        return false;
    }
    Place& p = places_[static_cast<std::size_t>(place - 1)];
    if (!p.file) {
        prompter_.error(w("Не открыт файл для записи!"));
        return false;
    }
    std::string line = p.dos == textIsDos ? std::string(text)
                       : p.dos            ? codepage::toDos(text)
                                          : codepage::toWindows(text);
    line += "\r\n";
    return p.file->write(line.data(), static_cast<qint64>(line.size())) ==
           static_cast<qint64>(line.size());
}

bool OutsideFiles::close(int place) {
    if (!validPlace(place)) {
        prompter_.error(w("Неправильно указан индекс файла в FileClose !"));
        return false;
    }
    Place& p = places_[static_cast<std::size_t>(place - 1)];
    if (p.file) {
        p.file->close();
        p.file.reset();
    }
    return true;
}

void OutsideFiles::closeAll() {
    for (Place& p : places_) {
        if (p.file) {
            p.file->close();
            p.file.reset();
        }
    }
}

bool OutsideFiles::isOpen(int place) const {
    return validPlace(place) && places_[static_cast<std::size_t>(place - 1)].file != nullptr;
}

} // namespace fc
