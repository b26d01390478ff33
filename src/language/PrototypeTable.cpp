#include "language/PrototypeTable.h"

#include "components/platform/FileBytes.h"

#include "components/text/Cp1251.h"

#include <cstdio>

namespace fc {

namespace {

const std::string kEmpty;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The program has no log: without a collector the reports go to the standard output.
void report(std::vector<std::string>* reports, const std::string& text) {
    if (reports != nullptr) {
        reports->push_back(text);
        return;
    }
    std::fputs(cp1251::toUtf8(text).c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string lineReport(int lineNumber, const char* utf8Tail) {
    return w(" Стpока ") + std::to_string(lineNumber) + w(utf8Tail);
}

} // namespace

PrototypeTable::PrototypeTable() { reset(); }

void PrototypeTable::reset() {
    protos_.clear();
    Prototype p;
    p.line = "ta %, %, %, %, %, %";
    p.fragments[0] = "ta";
    for (int k = 1; k < 6; ++k) {
        p.fragments[static_cast<std::size_t>(k)] = ",";
    }
    p.fragmentCount = 6;
    protos_.push_back(p);
    count_ = 1;
}

void PrototypeTable::loadFile(const std::string& path, std::vector<std::string>* reports) {
    // The path is the program's own (Windows-1251) text, like every path it keeps.
    const std::optional<std::string> text = files::readAll(path);
    if (!text) {
        reset();
        return;
    }
    loadText(*text, reports);
}

void PrototypeTable::loadText(std::string_view text, std::vector<std::string>* reports) {
    reset();
    int lineNumber = 0;
    while (!text.empty()) {
        const std::size_t eol = text.find('\n');
        std::string_view line = text.substr(0, eol);
        text = eol == std::string_view::npos ? std::string_view() : text.substr(eol + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        ++lineNumber;
        if (trimmed(line).empty() || line.front() == '*') {
            continue;
        }
        if (count_ == kMaxPrototypes) {
            // The table is full: keep what it holds rather than refuse all of it.
            report(reports, w("слишком много пpототипов фактов в PROTO.RPT"));
            return;
        }
        if (!addLine(line, lineNumber, reports)) {
            count_ = 0;
            return;
        }
    }
}

bool PrototypeTable::addLine(std::string_view line, int lineNumber,
                             std::vector<std::string>* reports) {
    Prototype p;
    p.line = std::string(line);
    if (line.find('%') == std::string_view::npos) {
        report(reports,
               lineReport(lineNumber, " в PROTO.RPT не содеpжит % :пpототипы фактов игноpиpуются"));
        return false;
    }
    std::size_t from = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '%') {
            continue;
        }
        if (p.fragmentCount == kMaxFragments) {
            report(reports,
                   lineReport(lineNumber,
                              " в PROTO.RPT содеpжит много % :пpототипы фактов игноpиpуются"));
            return false;
        }
        p.fragments[static_cast<std::size_t>(p.fragmentCount++)] =
            std::string(trimmed(line.substr(from, i - from)));
        from = i + 1;
    }
    for (int n = count_; n >= 1; --n) {
        if (protos_[static_cast<std::size_t>(n - 1)].fragments[0] == p.fragments[0]) {
            report(reports, w(" Стpока ") + std::to_string(lineNumber) +
                                w(" в PROTO.RPT начинается так же как и ") + std::to_string(n) +
                                w(" :пpототипы фактов игноpиpуются"));
            return false;
        }
    }
    protos_.push_back(std::move(p));
    ++count_;
    return true;
}

const std::string& PrototypeTable::line(int n) const {
    return n >= 1 && n <= count_ ? protos_[static_cast<std::size_t>(n - 1)].line : kEmpty;
}

const std::string& PrototypeTable::fragment(int n, int k) const {
    if (n < 1 || n > count_ || k < 1 || k > kMaxFragments) {
        return kEmpty;
    }
    return protos_[static_cast<std::size_t>(n - 1)].fragments[static_cast<std::size_t>(k - 1)];
}

int PrototypeTable::find(std::string_view text, int* nameLength) const {
    for (int n = 1; n <= count_; ++n) {
        const std::string& f = fragment(n, 1);
        if (text.substr(0, f.size()) == f) {
            if (nameLength != nullptr) {
                *nameLength = static_cast<int>(f.size());
            }
            return n;
        }
    }
    return 0;
}

bool PrototypeTable::matchFragment(std::string_view text, int n, int k, int* len) const {
    if (n < 1 || n > count_) {
        return false;
    }
    const std::string& f = fragment(n, k);
    if (text.substr(0, f.size()) != f) {
        return false;
    }
    if (len != nullptr) {
        *len = static_cast<int>(f.size());
    }
    return true;
}

std::string PrototypeTable::name(int n) const {
    return n >= 1 && n <= count_ ? fragment(n, 1) : std::string("???");
}

} // namespace fc
