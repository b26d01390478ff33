#include "shell/SettingsFiles.h"

#include "components/codec/Codec.h"
#include "components/platform/FileBytes.h"
#include "components/text/TextOps.h"

#include <cmath>
#include <vector>

namespace fc::settings {

namespace {

constexpr std::size_t kGroup = 10;
// A negative group holds at most 9 digits: i*i - b*b must stay below 10^9.
constexpr long long kMaxPosition = 31622;
// Settings files are a few lines; anything bigger is not one of ours.
constexpr std::uint64_t kFileLimit = 64 * 1024;
constexpr std::size_t kLineLimit = 4096;

const char* const kPathWd = "path.wd";
const char* const kKlf = "klf.opt";
const char* const kKlfTmp = "klf.tmp";
const char* const kKlp = "klp.opt";

std::optional<std::string> readSettingsFile(const std::string& dir, const char* name) {
    return files::readAll(files::join(dir, name), kFileLimit);
}

// Lines ended by CR LF, LF or CR.
std::vector<std::string> splitLines(std::string_view s) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t e = s.find_first_of("\r\n", i);
        if (e == std::string_view::npos) {
            lines.emplace_back(s.substr(i));
            break;
        }
        lines.emplace_back(s.substr(i, e - i));
        i = e + 1;
        if (s[e] == '\r' && i < s.size() && s[i] == '\n') {
            ++i;
        }
    }
    return lines;
}

// A line that no program of ours wrote: overlong or with control bytes.
bool damaged(std::string_view line) {
    if (line.size() > kLineLimit) {
        return true;
    }
    for (char c : line) {
        unsigned char b = static_cast<unsigned char>(c);
        if (b < ' ' && b != '\t') {
            return true;
        }
    }
    return false;
}

void readNumber(const std::vector<std::string>& lines, std::size_t index, int lo, int hi,
                int* out) {
    long long v = 0;
    if (index < lines.size() && !damaged(lines[index]) && text::parseInt(lines[index], &v) &&
        v >= lo && v <= hi) {
        *out = static_cast<int>(v);
    }
}

} // namespace

std::optional<std::string> scramble(std::string_view text) {
    if (static_cast<long long>(text.size()) > kMaxPosition) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(text.size() * kGroup);
    for (std::size_t k = 0; k < text.size(); ++k) {
        const long long i = static_cast<long long>(k) + 1;
        const long long b = static_cast<unsigned char>(text[k]);
        const long long v = b * b - i * i;
        std::string digits = std::to_string(v < 0 ? -v : v);
        const std::size_t width = v < 0 ? kGroup - 1 : kGroup;
        if (v < 0) {
            out += '-';
        }
        out.append(width - digits.size(), '0');
        out += digits;
    }
    return out;
}

std::optional<std::string> unscramble(std::string_view digits) {
    if (digits.size() % kGroup != 0) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(digits.size() / kGroup);
    for (std::size_t k = 0; k * kGroup < digits.size(); ++k) {
        long long n = 0;
        if (!text::parseInt(digits.substr(k * kGroup, kGroup), &n)) {
            return std::nullopt;
        }
        const long long i = static_cast<long long>(k) + 1;
        const long long square = n + i * i;
        if (square < 0 || square > 255LL * 255LL + 255LL) {
            return std::nullopt;
        }
        const long long b = std::llround(std::sqrt(static_cast<double>(square)));
        if (b > 255) {
            return std::nullopt;
        }
        out += static_cast<char>(b);
    }
    return out;
}

std::optional<std::string> klpContent(const Connection& c) {
    std::optional<std::string> digits = scramble(c.serverDir + "|" + c.userName + "|" + c.password);
    if (!digits) {
        return std::nullopt;
    }
    return codec::EncodeString(*digits);
}

Connection parseKlp(std::string_view content) {
    Connection c;
    std::optional<std::string> digits = codec::tryDecodeString(content);
    if (!digits) {
        return c;
    }
    std::optional<std::string> plain = unscramble(*digits);
    if (!plain) {
        return c;
    }
    std::string_view t = *plain;
    std::size_t bar = t.find('|');
    c.serverDir = text::trim(t.substr(0, bar));
    if (bar != std::string_view::npos) {
        std::string_view rest = t.substr(bar + 1);
        std::size_t bar2 = rest.find('|');
        c.userName = text::trim(rest.substr(0, bar2));
        if (bar2 != std::string_view::npos) {
            c.password = text::trim(rest.substr(bar2 + 1));
        }
    }
    return c;
}

PeriodFile parseKlf(std::string_view content) {
    PeriodFile f;
    const std::vector<std::string> lines = splitLines(content);
    if (!lines.empty() && !damaged(lines[0])) {
        f.line1 = lines[0];
    }
    if (lines.size() > 1 && !damaged(lines[1])) {
        f.line2 = lines[1];
    }
    readNumber(lines, 2, 1, 31, &f.period.startDay);
    readNumber(lines, 3, 1, 12, &f.period.startMonth);
    readNumber(lines, 4, 1, 31, &f.period.endDay);
    readNumber(lines, 5, 1, 12, &f.period.endMonth);
    return f;
}

void load(AppSettings& s, const std::string& startDir) {
    s.startDir = startDir;
    s.lastOpenedDir.clear();

    s.reportsDir = startDir;
    if (std::optional<std::string> wd = readSettingsFile(startDir, kPathWd)) {
        std::vector<std::string> lines = splitLines(*wd);
        if (!lines.empty() && !damaged(lines[0]) && !text::trimView(lines[0]).empty()) {
            s.reportsDir = text::trim(lines[0]);
        }
    }

    Connection c;
    if (std::optional<std::string> klp = readSettingsFile(startDir, kKlp)) {
        c = parseKlp(*klp);
    }
    s.serverDir = c.serverDir;
    s.setUserName(c.userName);
    s.setPassword(c.password);

    PeriodFile f;
    if (std::optional<std::string> klf = readSettingsFile(startDir, kKlf)) {
        f = parseKlf(*klf);
    }
    s.klfLine1 = f.line1;
    s.klfLine2 = f.line2;
    s.setReportState(AppSettings::stateFromPeriod(f.period));
    s.setPeriod(f.period);
}

bool writePathWd(const AppSettings& s) {
    return files::writeAtomic(files::join(s.startDir, kPathWd), s.reportsDir + "\r\n");
}

bool writeKlp(const AppSettings& s) {
    std::optional<std::string> content = klpContent({s.serverDir, s.userName(), s.password()});
    return content && files::writeAtomic(files::join(s.startDir, kKlp), *content);
}

bool writeKlf(const AppSettings& s) {
    const Period& p = s.period();
    std::string out;
    for (const std::string& line :
         {s.klfLine1, s.klfLine2, std::to_string(p.startDay), std::to_string(p.startMonth),
          std::to_string(p.endDay), std::to_string(p.endMonth), s.reportState().substr(0, 3)}) {
        out += line + "\r\n";
    }
    // The rename replaces the old file in one step, so there is never a moment without one.
    const std::string tmp = files::join(s.startDir, kKlfTmp);
    if (!files::writeDirect(tmp, out) || !files::rename(tmp, klfPath(s))) {
        files::remove(tmp);
        return false;
    }
    return true;
}

bool rewriteKlf(AppSettings& s) {
    if (std::optional<std::string> klf = readSettingsFile(s.startDir, kKlf)) {
        const PeriodFile f = parseKlf(*klf);
        s.klfLine1 = f.line1;
        s.klfLine2 = f.line2;
    }
    return writeKlf(s);
}

std::string klfPath(const AppSettings& s) { return files::join(s.startDir, kKlf); }

bool createKlfIfMissing(const std::string& startDir) {
    const std::string path = files::join(startDir, kKlf);
    if (files::exists(path)) {
        return true;
    }
    return files::writeAtomic(path, " \r\n \r\n1\r\n1\r\n31\r\n12\r\n");
}

} // namespace fc::settings
