#include "components/format/FileType.h"

#include "components/platform/FileBytes.h"

#include "components/format/NativeFile.h"
#include "components/format/XlsReader.h"
#include "components/format/XlsWriter.h"
#include "components/format/XlsxWriter.h"
#include "components/text/Cp1251.h"

#include <QFile>
#include <QSaveFile>

#include <string_view>

namespace fc {

namespace {

struct FileFormat {
    int type;
    bool (*sniff)(std::string_view head);
    bool (*read)(std::string_view bytes, Workbook& book, std::string& error);
    std::string (*write)(const Workbook& book);
};

bool looksExcel97(std::string_view head) {
    // The compound document signature; the reader checks the rest.
    static const char kMagic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
    return head.substr(0, 8) == std::string_view(kMagic, 8);
}

bool readExcel97(std::string_view bytes, Workbook& book, std::string& error) {
    return readXlsBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), book,
                        error);
}

std::string writeExcel97(const Workbook& book) {
    std::vector<std::uint8_t> b = xlsBytes(book);
    return std::string(b.begin(), b.end());
}

const FileFormat kFormats[] = {
    {kFileNative, native::looksNative, native::read, native::write},
    {kFileExcel97, looksExcel97, readExcel97, writeExcel97},
};

const FileFormat* byType(int type) {
    for (const FileFormat& f : kFormats) {
        if (f.type == type) {
            return &f;
        }
    }
    return nullptr;
}

std::string shown(const QString& path) { return cp1251::fromQString(path); }

} // namespace

QString workbookPath(const std::string& path) { return files::toNative(path); }

int readWorkbookFile(const QString& path, Workbook& book, std::string& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = w("Не могу открыть файл ") + shown(path);
        return 0;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = w("Ошибка чтения файла ") + shown(path);
        return 0;
    }
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    for (const FileFormat& f : kFormats) {
        if (f.sniff(view)) {
            std::string why;
            if (!f.read(view, book, why)) {
                if (f.type == kFileExcel97 &&
                    isOlderExcel(reinterpret_cast<const std::uint8_t*>(view.data()), view.size())) {
                    // Not damaged: made by an older Excel, which the user can save anew.
                    error = w("Файл ") + shown(path) +
                            w(" - книга Excel 5.0/95. Этот формат программа не читает: "
                              "сохраните книгу в Excel в формате Excel 97-2003 (.xls)");
                    return 0;
                }
                error = w("Файл ") + shown(path) + w(" повреждён: ") + why;
                return 0;
            }
            return f.type;
        }
    }
    error = w("Неизвестный тип файла ") + shown(path);
    return 0;
}

int readWorkbookFile(const std::string& path, Workbook& book, std::string& error) {
    return readWorkbookFile(workbookPath(path), book, error);
}

bool writeWorkbookFile(const QString& path, int type, const Workbook& book, std::string& error) {
    // The Excel file type is the 2007 format when the name asks for it.
    if (type == kFileExcel97 && path.endsWith(QLatin1String(".xlsx"), Qt::CaseInsensitive)) {
        return writeXlsx(path, book, error);
    }
    const FileFormat* f = byType(type);
    if (!f) {
        error = w("Тип файла ") + std::to_string(type) + w(" не поддерживается");
        return false;
    }
    const std::string bytes = f->write(book);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = w("Не могу создать файл ") + shown(path);
        return false;
    }
    const qint64 size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        file.cancelWriting(); // the temporary file goes, the old file stays
    }
    if (!file.commit()) {
        error = w("Ошибка записи файла ") + shown(path);
        return false;
    }
    return true;
}

bool writeWorkbookFile(const std::string& path, int type, const Workbook& book,
                       std::string& error) {
    return writeWorkbookFile(workbookPath(path), type, book, error);
}

} // namespace fc
