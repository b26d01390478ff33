#include "dialogs/LauncherList.h"

#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"

#include <QFile>
#include <QProcess>
#include <QSaveFile>

#include <algorithm>

namespace fc {

namespace {

QString nativePath(std::string_view path) {
    QString p = cp1251::toQString(path);
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return p;
}

} // namespace

LauncherList LauncherList::parse(std::string_view text) {
    std::vector<Entry> entries;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (text::trimView(line).empty()) {
            continue;
        }
        std::size_t sep = line.find(kSeparator);
        std::string_view command = line.substr(0, sep);
        std::string_view dir = sep == std::string_view::npos ? std::string_view()
                                                             : line.substr(sep + kSeparator.size());
        entries.push_back({std::string(text::trimView(command)), std::string(text::trimView(dir))});
    }
    return LauncherList(std::move(entries));
}

std::string LauncherList::serialize() const {
    std::string out;
    for (const Entry& e : entries_) {
        if (text::trimView(e.command).empty()) {
            continue;
        }
        out.append(e.command).append(kSeparator).append(text::trimView(e.directory)).append("\r\n");
    }
    return out;
}

LauncherList LauncherList::load(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArray bytes = f.readAll();
    return parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

bool LauncherList::save(const QString& path) const {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    std::string text = serialize();
    if (f.write(text.data(), static_cast<qint64>(text.size())) !=
        static_cast<qint64>(text.size())) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

void LauncherList::noteStarted(std::string_view command, std::string_view directory) {
    command = text::trimView(command);
    if (command.empty()) {
        return;
    }
    entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                  [&](const Entry& e) { return e.command == command; }),
                   entries_.end());
    entries_.insert(entries_.begin(),
                    Entry{std::string(command), std::string(text::trimView(directory))});
}

ProcessPlan processPlan(std::string_view command, std::string_view directory) {
    ProcessPlan plan;
    QStringList words = QProcess::splitCommand(cp1251::toQString(text::trimView(command)));
    if (!words.isEmpty()) {
        plan.program = words.takeFirst().replace(QLatin1Char('\\'), QLatin1Char('/'));
        plan.arguments = words;
    }
    plan.workingDirectory = nativePath(text::trimView(directory));
    return plan;
}

} // namespace fc
