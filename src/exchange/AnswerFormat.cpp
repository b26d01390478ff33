#include "exchange/AnswerFormat.h"

#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/AnswerBuffer.h"
#include "exchange/AnswerText.h"

namespace fc::answers {

namespace {

using answer::contains;
using answer::rightTrimmed;
using answer::startsWith;
using answer::trimmed;

// Lines of the content as every reader of the answer sees them: LF-ended, right-trimmed.
std::vector<std::string_view> lines(std::string_view content) {
    std::vector<std::string_view> out;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t lf = content.find('\n', pos);
        if (lf == std::string_view::npos) {
            lf = content.size();
        }
        out.push_back(rightTrimmed(content.substr(pos, lf - pos)));
        pos = lf + 1;
    }
    return out;
}

const std::string& markerWin() {
    static const std::string s = w("веpна условно (");
    return s;
}

const std::string& markerDos() {
    static const std::string s = codepage::toDos(markerWin());
    return s;
}

} // namespace

std::string answerPath(std::string_view serverDir, std::string_view requestName) {
    std::string p(serverDir);
    if (!p.empty() && p.back() != '\\' && p.back() != '/') {
        p += '\\';
    }
    return p + std::string(requestName) + ".out";
}

NameKind kindOfName(std::string_view name) {
    if (startsWith(name, "UVTS")) {
        return NameKind::TemplateDownload;
    }
    if (startsWith(name, "pop")) {
        return NameKind::PopupMenu;
    }
    if (startsWith(name, "auto")) {
        return NameKind::RefreshCheck;
    }
    if (startsWith(name, "resave")) {
        return NameKind::Resave;
    }
    if (startsWith(name, "save")) {
        return NameKind::Save;
    }
    return NameKind::Other;
}

Verdict verdictOf(std::string_view s) {
    if (startsWith(s, "E-")) {
        return Verdict::Error;
    }
    if (startsWith(s, "Q-")) {
        return Verdict::Question;
    }
    if (startsWith(s, "close")) {
        return Verdict::Close;
    }
    if (contains(s, ";table")) {
        return Verdict::Result;
    }
    return Verdict::Other;
}

ResultOptions parseResultOptions(std::string_view s) {
    ResultOptions o;
    o.table = contains(s, ";table");
    const std::size_t ext = s.find(";ext=");
    if (ext == std::string_view::npos) {
        return o;
    }
    o.ext = true;
    std::string_view rest = s.substr(ext + 5);
    const std::size_t ver = rest.find(";ver=");
    if (ver != std::string_view::npos) {
        o.version = std::string(trimmed(rest.substr(ver + 5)));
        rest = rest.substr(0, ver);
    }
    o.stringFlag = contains(rest, ";str");
    const std::size_t turbo = rest.find(";turbo");
    if (turbo != std::string_view::npos) {
        o.turbo = true;
        rest = rest.substr(0, turbo);
    }
    o.templateName = std::string(trimmed(rest));
    return o;
}

double versionNumber(std::string_view text) {
    std::string t(trimmed(text));
    // The server may write the stamp with a decimal comma.
    for (char& c : t) {
        if (c == ',') {
            c = '.';
        }
    }
    return answer::parseNumber(t).value_or(0.0);
}

bool isNoticeMarker(std::string_view line, bool saveAnswer) {
    return contains(line, saveAnswer ? "relative true" : "relative") ||
           contains(line, markerDos()) || contains(line, markerWin());
}

std::string decodeTemplateDownload(std::string_view content) {
    std::string out;
    out.reserve(content.size() / 3);
    for (std::string_view line : lines(content)) {
        for (std::size_t i = 0; i < line.size(); i += 3) {
            if (std::optional<int> v = answer::parseInt(line.substr(i, 3))) {
                out.push_back(static_cast<char>(*v & 0xFF));
            }
        }
    }
    return out;
}

std::vector<std::string> parsePopupItems(std::string_view content) {
    std::vector<std::string> items;
    const std::vector<std::string_view> ls = lines(content);
    for (std::size_t i = 0; i < ls.size(); ++i) {
        if (isNoticeMarker(ls[i])) {
            i += 2;
            continue;
        }
        if (!ls[i].empty()) {
            items.push_back(codepage::toWindows(ls[i]));
        }
    }
    return items;
}

std::string refreshStamp(const AnswerBuffer& answer) { return answer.statusLine(); }

SaveAnswer parseSaveAnswer(std::string_view content) {
    SaveAnswer a;
    const std::vector<std::string_view> ls = lines(content);
    std::string status(trimmed(content.substr(0, std::min<std::size_t>(content.size(), 256))
                                   .substr(0, content.find_first_of("\r\n"))));
    if (isNoticeMarker(status, true)) {
        status = ls.size() >= 4 ? std::string(ls[3]) : std::string();
    }
    const std::string st(trimmed(status));
    // Empty lines open a notice: they and the two lines after them carry no result.
    auto scan = [&](bool collect) {
        for (std::size_t i = 0; i < ls.size(); ++i) {
            if (ls[i].empty()) {
                i += 2;
                continue;
            }
            if (startsWith(ls[i], "E-")) {
                a.outcome = SaveAnswer::Outcome::Failed;
                a.error = codepage::toWindows(ls[i]);
                return false;
            }
            if (collect) {
                if (!a.followUp.empty()) {
                    a.followUp += '\n';
                }
                a.followUp += std::string(trimmed(ls[i]));
            }
        }
        return true;
    };
    if (st == "OK" || st == "RERUN") {
        if (!scan(false)) {
            return a;
        }
    }
    if (startsWith(st, "OK")) {
        a.outcome = SaveAnswer::Outcome::Saved;
        if (st.find(' ') != std::string::npos) {
            a.outcome = SaveAnswer::Outcome::WaitForFile;
            a.waitFile = std::string(trimmed(answer::mid(st, 4)));
        }
        return a;
    }
    if (st == "RERUN") {
        a.outcome = SaveAnswer::Outcome::Rerun;
        return a;
    }
    if (scan(true)) {
        a.outcome = SaveAnswer::Outcome::FollowUp;
    }
    return a;
}

std::optional<std::string> resaveError(std::string_view content) {
    for (std::string_view l : lines(content)) {
        if (startsWith(l, "E-")) {
            return codepage::toWindows(l);
        }
    }
    return std::nullopt;
}

std::optional<Question> parseQuestion(std::string_view content) {
    std::string_view text = trimmed(content);
    std::size_t anchor = text.find("relative");
    if (anchor == std::string_view::npos) {
        anchor = text.find(markerDos());
    }
    if (anchor != std::string_view::npos) {
        // The ten characters before the marker belong to it: "relative" sits at 1-based
        // position anchor + 1, and the record keeps anchor + 1 - 11 characters.
        text = trimmed(text.substr(0, anchor >= 10 ? anchor - 10 : 0));
    }
    if (text.empty()) {
        return std::nullopt;
    }
    std::vector<std::string_view> raw;
    std::size_t pos = 0;
    while (true) {
        const std::size_t sep = text.find(kSeparator, pos);
        raw.push_back(text.substr(pos, sep == std::string_view::npos ? sep : sep - pos));
        if (sep == std::string_view::npos) {
            break;
        }
        pos = sep + 1;
    }
    Question q;
    q.kind = std::string(trimmed(raw[0]));
    if (startsWith(q.kind, "Q-?")) {
        // A yes/no style question of several answers: the text after "Q-?" is the argument.
        const std::string_view first = text.substr(0, text.find_first_of("\r\n"));
        q.kind = "Q-A";
        q.multiChoice = true;
        q.fields.push_back(codepage::toWindows(trimmed(answer::mid(first, 5))));
        return q;
    }
    if (q.kind.size() > 3) {
        q.kind.resize(3);
    }
    for (std::size_t i = 1; i < raw.size(); ++i) {
        q.fields.push_back(codepage::toWindows(raw[i]));
    }
    return q;
}

std::vector<std::string> Question::items() const {
    if (fields.empty()) {
        return {};
    }
    return std::vector<std::string>(fields.begin(), fields.end() - 1);
}

std::string Question::title() const {
    if (fields.empty()) {
        return {};
    }
    std::string t = fields.back();
    const std::string_view r = rightTrimmed(t);
    if (!r.empty() && r.back() == '}') {
        const std::size_t open = r.rfind('{');
        if (open != std::string_view::npos &&
            answer::parseInt(r.substr(open + 1, r.size() - open - 2))) {
            t.resize(open);
        }
    }
    return t;
}

int Question::defaultItem() const {
    if (fields.empty()) {
        return -1;
    }
    const std::string_view r = rightTrimmed(fields.back());
    if (r.empty() || r.back() != '}') {
        return -1;
    }
    const std::size_t open = r.rfind('{');
    if (open == std::string_view::npos) {
        return -1;
    }
    const std::optional<int> n = answer::parseInt(r.substr(open + 1, r.size() - open - 2));
    return n && *n >= 1 ? *n - 1 : -1;
}

std::string Question::caption() const {
    if (fields.empty()) {
        return {};
    }
    std::string c = fields[0];
    if (withSuggestions()) {
        c.erase(0, 2);
    }
    const std::size_t star = c.find("[*]");
    if (star != std::string::npos) {
        c.resize(star);
    }
    return c;
}

bool Question::hidden() const { return !fields.empty() && contains(fields[0], "[*]"); }

bool Question::withSuggestions() const {
    return (kind == "Q-S" || kind == "Q-R") && !fields.empty() && startsWith(fields[0], "im");
}

std::vector<std::string> Question::suggestions() const {
    std::vector<std::string> out;
    if (!withSuggestions() || fields.size() < 2) {
        return out;
    }
    std::string_view s = fields[1];
    while (true) {
        const std::size_t bar = s.find('|');
        out.emplace_back(s.substr(0, bar));
        if (bar == std::string_view::npos) {
            break;
        }
        s.remove_prefix(bar + 1);
    }
    return out;
}

std::string Question::initialText() const {
    if (withSuggestions() || fields.size() < 2) {
        return {};
    }
    return fields[1].substr(0, fields[1].find('|'));
}

std::optional<int> Question::limit() const {
    const std::size_t at = 2;
    if (fields.size() <= at) {
        return std::nullopt;
    }
    return answer::parseInt(fields[at]);
}

ValueList parseValueList(std::string_view content) {
    ValueList v;
    const std::string text = codepage::oemToAnsi(content);
    const std::vector<std::string_view> ls = lines(text);
    std::size_t i = 0;
    if (i < ls.size()) {
        v.title = std::string(ls[i++]);
    }
    if (i < ls.size() && !ls[i].empty() && (ls[i][0] == kSeparator || ls[i][0] == kSeparatorWin)) {
        v.upper = v.title;
        v.title = std::string(ls[i++].substr(1));
    }
    for (; i < ls.size(); ++i) {
        if (ls[i].empty()) {
            continue;
        }
        std::string shown(ls[i]);
        const std::size_t first = shown.find_first_not_of(' ');
        if (first != std::string::npos && shown[first] == '_') {
            shown[first] = ' ';
            shown = cp1251::upper(shown);
        }
        const std::size_t blank = shown.find(' ');
        std::string key =
            blank == std::string::npos ? std::string(trimmed(shown)) : shown.substr(0, blank);
        v.items.push_back({std::move(shown), std::move(key)});
    }
    return v;
}

ServerError parseServerError(std::string_view line) {
    ServerError e;
    std::string_view body = startsWith(line, "E-") ? line.substr(2) : line;
    const std::size_t colon = body.find(':');
    e.message = std::string(body.substr(0, colon));
    if (colon == std::string_view::npos) {
        return e;
    }
    std::string_view rest = body.substr(colon + 1);
    const std::size_t colon2 = rest.find(':');
    if (colon2 == std::string_view::npos) {
        return e;
    }
    const std::optional<int> ln = answer::parseInt(rest.substr(0, colon2));
    const std::optional<int> pos = answer::leadingInt(rest.substr(colon2 + 1));
    if (ln && pos) {
        e.line = *ln;
        e.position = *pos;
    }
    return e;
}

} // namespace fc::answers
