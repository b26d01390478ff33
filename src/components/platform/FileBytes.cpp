#include "components/platform/FileBytes.h"

#include "components/text/Cp1251.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace fc::files {

namespace {
bool isSeparator(char c) { return c == '\\' || c == '/' || c == ':'; }
} // namespace

QString toNative(std::string_view path) {
    QString q = cp1251::toQString(path);
    q.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return q;
}

std::optional<std::string> readAll(std::string_view path, std::uint64_t limit) {
    return readAll(toNative(path), limit);
}

std::optional<std::string> readAll(const QString& path, std::uint64_t limit) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    std::string out;
    // A regular file is read straight into its room: a 100 MB answer is neither copied nor
    // grown step by step. What it holds beyond the size it had (a file still growing) follows.
    const qint64 expected = f.size();
    if (expected > 0 && std::uint64_t(expected) <= limit) {
        // One byte more: the answer buffer ends the bytes with a NUL.
        out.reserve(static_cast<std::size_t>(expected) + 1);
        out.resize(static_cast<std::size_t>(expected));
        const qint64 n = f.read(out.data(), expected);
        if (n < 0) {
            return std::nullopt;
        }
        out.resize(static_cast<std::size_t>(n));
    }
    char buf[65536];
    for (;;) {
        qint64 n = f.read(buf, sizeof buf);
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        if (out.size() + std::uint64_t(n) > limit) {
            return std::nullopt;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

std::optional<std::string> readHead(std::string_view path, std::size_t count) {
    QFile f(toNative(path));
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    std::string out(count, '\0');
    qint64 n = f.read(out.data(), static_cast<qint64>(count));
    if (n < 0) {
        return std::nullopt;
    }
    out.resize(static_cast<std::size_t>(n));
    return out;
}

bool writeAtomic(std::string_view path, std::string_view bytes) {
    QSaveFile f(toNative(path));
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (f.write(bytes.data(), static_cast<qint64>(bytes.size())) != qint64(bytes.size())) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

bool writeDirect(std::string_view path, std::string_view bytes) {
    QFile f(toNative(path));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return false;
    }
    bool ok = f.write(bytes.data(), static_cast<qint64>(bytes.size())) == qint64(bytes.size());
    f.close();
    return ok && f.error() == QFileDevice::NoError;
}

bool exists(std::string_view path) { return QFileInfo::exists(toNative(path)); }

bool remove(std::string_view path) { return QFile::remove(toNative(path)); }

bool rename(std::string_view from, std::string_view to) {
    QByteArray a = QFile::encodeName(toNative(from));
    QByteArray b = QFile::encodeName(toNative(to));
    return std::rename(a.constData(), b.constData()) == 0;
}

std::optional<std::int64_t> modifiedMs(std::string_view path) {
    QFileInfo info(toNative(path));
    if (!info.exists()) {
        return std::nullopt;
    }
    return info.lastModified().toMSecsSinceEpoch();
}

std::string join(std::string_view dir, std::string_view name) {
    if (dir.empty()) {
        return std::string(name);
    }
    std::string out(dir);
    if (out.back() != '\\' && out.back() != '/') {
        out += '/';
    }
    out += name;
    return out;
}

std::string fileNamePart(std::string_view path) {
    std::size_t i = path.size();
    while (i > 0 && !isSeparator(path[i - 1])) {
        --i;
    }
    return std::string(path.substr(i));
}

std::string dirPart(std::string_view path) {
    std::size_t i = path.size();
    while (i > 0 && !isSeparator(path[i - 1])) {
        --i;
    }
    return std::string(path.substr(0, i));
}

std::string findIgnoringCase(std::string_view path) {
    if (exists(path)) {
        return std::string(path);
    }
    std::string dir = dirPart(path);
    std::string name = fileNamePart(path);
    QDir d(dir.empty() ? QStringLiteral(".") : toNative(dir));
    const QString want = cp1251::toQString(name);
    const QStringList entries = d.entryList(QDir::Files | QDir::Hidden);
    for (const QString& e : entries) {
        if (e.compare(want, Qt::CaseInsensitive) == 0) {
            return dir + cp1251::fromQString(e);
        }
    }
    return std::string(path);
}

} // namespace fc::files
