#include "results/ArgumentFile.h"

#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"

#include <QDir>
#include <QFileInfo>

namespace fc::args {

namespace {

// Where the key of `line` ends: at its first blank, or after the "]" of a command key.
std::size_t keyEnd(std::string_view line) {
    if (!line.empty() && line.front() == '[') {
        const std::size_t close = line.find(']');
        return close == std::string_view::npos ? line.size() : close + 1;
    }
    const std::size_t blank = line.find(' ');
    return blank == std::string_view::npos ? line.size() : blank;
}

// `dir` + the entry of it named `name` in any letter case (a folder when `folder`); empty when
// there is none. Of several files that differ in case only (the server's answer writes NAME.ARG,
// marking the default NAME.arg) the one written last counts.
std::string entryIgnoringCase(std::string_view dir, std::string_view name, bool folder) {
    const QDir d(dir.empty() ? QStringLiteral(".") : files::toNative(dir));
    const QString want = cp1251::toQString(name);
    const QFileInfoList entries =
        d.entryInfoList(folder ? QDir::Dirs | QDir::NoDotAndDotDot : QDir::Files | QDir::Hidden);
    const QFileInfo* best = nullptr;
    for (const QFileInfo& e : entries) {
        if (e.fileName().compare(want, Qt::CaseInsensitive) != 0) {
            continue;
        }
        if (!best || e.lastModified() > best->lastModified() ||
            (e.lastModified() == best->lastModified() && e.fileName() == want)) {
            best = &e;
        }
    }
    return best ? files::join(dir, cp1251::fromQString(best->fileName())) : std::string();
}

} // namespace

std::vector<std::string> splitLines(std::string_view bytes, std::size_t maxLines) {
    bytes = bytes.substr(0, bytes.find('\0'));
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < bytes.size() && lines.size() < maxLines) {
        std::size_t e = bytes.find('\n', i);
        const bool last = e == std::string_view::npos;
        if (last) {
            e = bytes.size();
        }
        std::string line = text::trimRight(bytes.substr(i, e - i));
        if (!last || !line.empty()) {
            lines.push_back(std::move(line));
        }
        i = e + 1;
    }
    return lines;
}

ArgumentLine parseArgumentLine(std::string_view line) {
    ArgumentLine a;
    const std::size_t end = keyEnd(line);
    a.key = std::string(line.substr(0, end));
    std::string_view rest = line.substr(end);
    const std::size_t star = rest.find('*');
    a.marked = star != std::string_view::npos;
    a.caption = text::trim(rest.substr(0, star));
    return a;
}

std::vector<ArgumentLine> parseArgumentFile(std::string_view dosBytes) {
    std::vector<ArgumentLine> out;
    for (const std::string& line : splitLines(dosBytes, kMaxLines)) {
        out.push_back(parseArgumentLine(codepage::toWindows(line)));
    }
    return out;
}

std::string findArgumentFile(std::string_view currentDir, std::string_view serverDir,
                             std::string_view name) {
    if (text::trimView(name).empty()) {
        return {};
    }
    const std::string file = std::string(name) + ".arg";
    if (std::string local = entryIgnoringCase(currentDir, file, false); !local.empty()) {
        return local;
    }
    if (serverDir.empty()) {
        return {};
    }
    const std::string folder = entryIgnoringCase(serverDir, "ARGS", true);
    return folder.empty() ? std::string() : entryIgnoringCase(folder, file, false);
}

std::optional<std::vector<ArgumentLine>>
readArgumentFile(std::string_view currentDir, std::string_view serverDir, std::string_view name) {
    const std::string path = findArgumentFile(currentDir, serverDir, name);
    if (path.empty()) {
        return std::nullopt;
    }
    std::optional<std::string> bytes = files::readHead(path, kMaxFileBytes);
    if (!bytes) {
        return std::nullopt;
    }
    return parseArgumentFile(*bytes);
}

bool markDefault(std::string_view currentDir, std::string_view name, std::string_view key) {
    const std::string file = std::string(name) + ".arg";
    const std::string found = entryIgnoringCase(currentDir, file, false);
    if (text::trimView(name).empty() || found.empty()) {
        return false;
    }
    // A file that the bar reads only in part is not rewritten: its tail would be lost.
    std::optional<std::string> bytes = files::readAll(found, kMaxFileBytes);
    if (!bytes || bytes->find('\0') != std::string::npos) {
        return false;
    }
    std::string out;
    for (const std::string& line : splitLines(*bytes)) {
        const std::size_t end = keyEnd(line);
        const std::size_t star = line.find('*', end);
        std::string kept = text::trimRight(std::string_view(line).substr(0, star));
        if (codepage::toWindows(line.substr(0, end)) == key) {
            kept += " *";
        }
        out += kept + "\r\n";
    }
    const std::string target = files::join(currentDir, file);
    const std::string staging = files::join(currentDir, std::string(name) + ".tmp");
    if (!files::writeDirect(staging, out) || !files::rename(staging, target)) {
        files::remove(staging);
        return false;
    }
    // One file remains: the same name in other letter cases goes.
    const QDir d(files::toNative(currentDir.empty() ? std::string_view(".") : currentDir));
    const QString kept = cp1251::toQString(file);
    for (const QString& e : d.entryList(QDir::Files | QDir::Hidden)) {
        if (e != kept && e.compare(kept, Qt::CaseInsensitive) == 0) {
            files::remove(files::join(currentDir, cp1251::fromQString(e)));
        }
    }
    return true;
}

std::vector<EditorRow> editorRows(std::string_view dosBytes) {
    // The editor keeps every line: a NUL byte shows as a blank instead of ending the text.
    std::string bytes(dosBytes);
    for (char& c : bytes) {
        if (c == '\0') {
            c = ' ';
        }
    }
    std::vector<EditorRow> rows;
    for (const std::string& line : splitLines(bytes)) {
        const std::string text = codepage::toWindows(line);
        const std::size_t end = keyEnd(text);
        rows.push_back({text::trimLeft(std::string_view(text).substr(end)), text.substr(0, end)});
    }
    return rows;
}

std::string editorFileBytes(const std::vector<EditorRow>& rows) {
    std::string out;
    for (const EditorRow& r : rows) {
        const std::string key = text::trim(r.key);
        const std::string caption = text::trimRight(r.caption);
        if (key.empty() && text::trimView(caption).empty()) {
            continue;
        }
        out += codepage::toDos(caption.empty() ? key : key + " " + caption) + "\r\n";
    }
    return out;
}

} // namespace fc::args
