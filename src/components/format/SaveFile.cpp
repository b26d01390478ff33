#include "components/format/SaveFile_p.h"

#include "components/text/Cp1251.h"

#include <QFile>
#include <QSaveFile>

namespace fc::xls {

std::string cannotWrite(const QString& path, const std::string& reason) {
    return w("Не удалось записать файл ") + cp1251::fromQString(path) +
           (reason.empty() ? "" : ": " + reason);
}

std::string cannotRead(const QString& path, const std::string& reason) {
    return w("Не удалось прочитать файл ") + cp1251::fromQString(path) +
           (reason.empty() ? "" : ": " + reason);
}

bool saveWhole(const QString& path, const std::vector<std::uint8_t>& bytes, std::string& error) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        error = cannotWrite(path, cp1251::fromQString(f.errorString()));
        return false;
    }
    if (f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        error = cannotWrite(path, cp1251::fromQString(f.errorString()));
        f.cancelWriting();
        return false;
    }
    if (!f.commit()) {
        error = cannotWrite(path, cp1251::fromQString(f.errorString()));
        return false;
    }
    return true;
}

bool loadWhole(const QString& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        error = cannotRead(path, cp1251::fromQString(f.errorString()));
        return false;
    }
    QByteArray all = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        error = cannotRead(path, cp1251::fromQString(f.errorString()));
        return false;
    }
    bytes.assign(all.begin(), all.end());
    return true;
}

} // namespace fc::xls
