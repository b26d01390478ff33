#include "exchange/StandInServer.h"

#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/Requests.h"

#include <QDate>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

namespace fc {

namespace {

constexpr char kSep = request::kSep;
constexpr char kWordSep = static_cast<char>(0xB7);

// '*' any run, '?' any one character; Latin letters match in either case.
bool globMatch(std::string_view pattern, std::string_view s) {
    std::size_t p = 0, i = 0, star = std::string_view::npos, mark = 0;
    auto same = [](char a, char b) {
        auto low = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return low(a) == low(b);
    };
    while (i < s.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], s[i]))) {
            ++p;
            ++i;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            mark = i;
        } else if (star != std::string_view::npos) {
            p = star + 1;
            i = ++mark;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

// Arguments as a file-name part: blanks and separators become "_".
std::string argumentKey(std::string_view args) {
    std::string out;
    for (char c : args) {
        bool gap = c == ' ' || c == kSep || c == kWordSep || c == '/' || c == '\\' ||
                   static_cast<unsigned char>(c) < ' ';
        if (gap) {
            if (!out.empty() && out.back() != '_') {
                out += '_';
            }
        } else {
            out += c;
        }
    }
    while (!out.empty() && out.back() == '_') {
        out.pop_back();
    }
    return out;
}

std::string dos(std::string_view utf8) { return codepage::toDos(cp1251::fromUtf8(utf8)); }

// A data line as the log shows it: its request prefix (user, password, state) left out; the
// separators, converted, read "·".
std::string dataLineText(std::string_view line) {
    return cp1251::toUtf8(codepage::toWindows(request::stripPrefix(line)));
}

} // namespace

StandInServer::StandInServer(std::string exchangeDir, std::string dataFolder,
                             std::function<void(const std::string&)> log)
    : dir_(std::move(exchangeDir)), data_(std::move(dataFolder)), log_(std::move(log)) {
    loadRules();
}

void StandInServer::loadRules() {
    rules_.clear();
    std::optional<std::string> text = files::readAll(files::join(data_, "rules.txt"), 1 << 20);
    if (!text) {
        return;
    }
    std::size_t i = 0;
    while (i < text->size()) {
        std::size_t e = text->find('\n', i);
        std::string line =
            text::trim(std::string_view(*text).substr(i, e == std::string::npos ? e : e - i));
        i = e == std::string::npos ? text->size() : e + 1;
        std::size_t arrow = line.find(" => ");
        if (line.empty() || line[0] == '#' || arrow == std::string::npos) {
            continue;
        }
        Rule r;
        std::string left = text::trim(line.substr(0, arrow));
        r.file = text::trim(line.substr(arrow + 4));
        for (auto [prefix, target] :
             {std::pair{"name=", &r.namePattern}, {"arg=", &r.argPattern}}) {
            const std::size_t n = std::string_view(prefix).size();
            if (text::startsWith(left, prefix)) {
                std::size_t blank = left.find(' ');
                *target = left.substr(n, blank == std::string::npos ? blank : blank - n);
                left = blank == std::string::npos ? "" : text::trim(left.substr(blank));
            }
        }
        r.commandPattern = left.empty() ? "*" : left;
        rules_.push_back(r);
    }
}

StandInServer::Request StandInServer::parse(std::string_view name, std::string_view bytes) {
    Request r;
    r.name = std::string(name);
    std::size_t p1 = bytes.find(kSep);
    std::size_t p2 = p1 == std::string_view::npos ? p1 : bytes.find(kSep, p1 + 1);
    std::size_t p3 = p2 == std::string_view::npos ? p2 : bytes.find(kSep, p2 + 1);
    if (p3 == std::string_view::npos) {
        r.command = cp1251::toUtf8(codepage::toWindows(text::trim(bytes)));
        return r;
    }
    r.user = std::string(bytes.substr(0, p1));
    const bool emptyState = p3 == p2 + 1;
    if (p3 - p2 > 20) {
        const std::string_view state = bytes.substr(p2 + 1, std::min<std::size_t>(32, p3 - p2 - 1));
        const std::string first = codepage::toWindows(text::trim(state.substr(8, 12)));
        const std::string second =
            state.size() > 20 ? codepage::toWindows(text::trim(state.substr(20, 12))) : "";
        if (!first.empty() || !second.empty()) {
            r.argumentFields = cp1251::toUtf8(first + "|" + second);
        }
    }
    std::string_view rest = bytes.substr(p3 + 1);
    std::size_t crlf = rest.find("\r\n");
    std::string_view line = rest.substr(0, crlf);
    if (crlf != std::string_view::npos) {
        r.templateSize = rest.size() - crlf - 2;
    }
    if (text::startsWith(name, "save")) {
        // The follow-up head is followed by the data lines, each with its own prefix.
        r.kind = Kind::DataSave;
        for (std::size_t i = 0; i < rest.size();) {
            const std::size_t lf = rest.find('\n', i);
            const std::string_view data =
                rest.substr(i, lf == std::string_view::npos ? lf : lf - i);
            i = lf == std::string_view::npos ? rest.size() : lf + 1;
            if (!text::trimView(data).empty()) {
                r.dataLines.push_back(dataLineText(data));
            }
        }
        r.command = r.dataLines.empty() ? std::string() : r.dataLines.front();
        return r;
    }
    const std::string win = codepage::toWindows(text::trim(line));
    r.command = cp1251::toUtf8(win);
    if (emptyState && win == "R PROTO") {
        r.kind = Kind::Registration;
    } else if (emptyState && win == "W FORM") {
        r.kind = Kind::Recompile;
    } else if (win == "E YC") {
        r.kind = Kind::Year;
    } else if (text::startsWith(win, "G ") || text::startsWith(win, "R ")) {
        r.kind = Kind::Report;
        std::string body = text::trim(std::string_view(win).substr(2));
        std::size_t end = body.find_first_of(std::string(" ") + kWordSep);
        r.reportName = cp1251::toUtf8(cp1251::upper(body.substr(0, end)));
        r.arguments = end == std::string::npos ? "" : cp1251::toUtf8(text::trim(body.substr(end)));
    }
    return r;
}

std::string StandInServer::dataFile(std::string_view name) const {
    return files::findIgnoringCase(files::join(data_, cp1251::fromUtf8(name)));
}

std::string StandInServer::answer(const Request& r, std::string* source) const {
    // Answers read by the report window's timer carry one framing byte after the content.
    const bool framed = r.kind != Kind::Registration && r.kind != Kind::Recompile;
    auto fromFile = [&](const std::string& file) -> std::optional<std::string> {
        std::optional<std::string> bytes = files::readAll(dataFile(file));
        if (bytes && source) {
            *source = file;
        }
        return bytes;
    };
    auto frame = [&](std::string s) { return framed ? s + "\n" : s; };

    for (const Rule& rule : rules_) {
        if ((rule.namePattern.empty() || globMatch(rule.namePattern, r.name)) &&
            (rule.argPattern.empty() || globMatch(rule.argPattern, r.argumentFields)) &&
            globMatch(rule.commandPattern, r.command)) {
            if (std::optional<std::string> bytes = fromFile(rule.file)) {
                return frame(*bytes);
            }
        }
    }
    switch (r.kind) {
    case Kind::Registration:
        if (std::optional<std::string> bytes = fromFile("PROTO.RPT")) {
            return *bytes;
        }
        return dos("E-Нет файла PROTO.RPT\r\n");
    case Kind::Recompile:
        if (std::optional<std::string> bytes = fromFile("FORM.txt")) {
            return *bytes;
        }
        return dos("Формы перекомпилированы");
    case Kind::Year:
        if (std::optional<std::string> bytes = fromFile("YEAR.txt")) {
            return frame(*bytes);
        }
        return frame(std::to_string(QDate::currentDate().year()) + "\r\n");
    case Kind::Report: {
        const std::string key = argumentKey(cp1251::fromUtf8(r.arguments));
        if (!key.empty()) {
            if (std::optional<std::string> bytes =
                    fromFile(r.reportName + "@" + cp1251::toUtf8(key) + ".out")) {
                return frame(*bytes);
            }
        }
        if (std::optional<std::string> bytes = fromFile(r.reportName + ".out")) {
            return frame(*bytes);
        }
        return frame(dos("E-Отчет " + r.reportName + " на сервере не найден") + "\r\n");
    }
    case Kind::DataSave: return frame("OK\r\n");
    case Kind::Other: break;
    }
    return frame(dos("E-Запрос не понят: " + r.command) + "\r\n");
}

void StandInServer::setPieces(int count, int delayMs) {
    pieces_ = std::max(1, count);
    pieceDelayMs_ = std::max(0, delayMs);
}

namespace {

// `bytes` appended to `path` in `pieces` parts, the file closed after each.
bool writeInPieces(const std::string& path, std::string_view bytes, int pieces, int delayMs) {
    if (!files::writeDirect(path, {})) {
        return false;
    }
    const std::size_t step = (bytes.size() + pieces - 1) / static_cast<std::size_t>(pieces);
    for (std::size_t at = 0; at < bytes.size(); at += step) {
        if (at > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        }
        QFile f(files::toNative(path));
        const std::string_view piece = bytes.substr(at, step);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Append) ||
            f.write(piece.data(), static_cast<qint64>(piece.size())) !=
                static_cast<qint64>(piece.size())) {
            return false;
        }
    }
    return true;
}

} // namespace

int StandInServer::pollOnce() {
    const QStringList waiting =
        QDir(files::toNative(dir_)).entryList({QStringLiteral("*.in")}, QDir::Files, QDir::Name);
    int answered = 0;
    if (!waiting.isEmpty()) {
        loadRules(); // edited rules apply from the next request on
    }
    for (const QString& file : waiting) {
        const std::string fileName = cp1251::fromQString(file);
        const std::string name = fileName.substr(0, fileName.size() - 3);
        if (failed_.count(name)) {
            continue;
        }
        const std::string in = files::join(dir_, fileName);
        std::optional<std::string> bytes = files::readAll(in, 1 << 30);
        if (!bytes) {
            if (files::exists(in)) {
                failed_.insert(name);
                if (log_) {
                    log_(cp1251::toUtf8(fileName) + ": cannot be read");
                }
            }
            continue;
        }
        const Request r = parse(name, *bytes);
        std::string source;
        const std::string out = answer(r, &source);
        const std::string target = files::join(dir_, name + ".out");
        const bool written = pieces_ > 1 ? writeInPieces(target, out, pieces_, pieceDelayMs_)
                                         : files::writeAtomic(target, out);
        if (log_) {
            std::string line =
                cp1251::toUtf8(fileName) + " from " + cp1251::toUtf8(r.user) + ": " + r.command;
            if (r.templateSize > 0) {
                line += " (template of " + std::to_string(r.templateSize) + " bytes)";
            }
            if (!r.argumentFields.empty()) {
                line += " [" + r.argumentFields + "]";
            }
            // A list asked for again after its filter was removed ("filt" + 4 characters).
            if (name.size() == 8 && name.compare(0, 4, "filt") == 0) {
                line += " (filter reset)";
            }
            line += written ? " -> " + (source.empty() ? std::string("built-in answer") : source)
                            : " -> answer cannot be written";
            log_(line);
            for (std::size_t k = 1; k < r.dataLines.size(); ++k) {
                log_("  " + r.dataLines[k]);
            }
        }
        if (!written) {
            failed_.insert(name);
            continue;
        }
        files::remove(in);
        ++answered;
    }
    return answered;
}

} // namespace fc
