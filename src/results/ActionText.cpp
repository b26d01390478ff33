#include "results/ActionText.h"

#include "components/model/Sheet.h"
#include "components/text/TextOps.h"
#include "results/ResultLayout.h"

#include <algorithm>

namespace fc::action {

std::string actionText(const Sheet& sheet, int row) {
    std::string text = sheet.text(row, result::kActionCol);
    if (!text.empty()) {
        return text;
    }
    const std::string first = sheet.text(row, 1);
    const std::size_t open = first.find('[');
    if (open == std::string::npos) {
        return {};
    }
    const std::size_t close = first.find(']', open + 1);
    return first.substr(open + 1, close == std::string::npos ? close : close - open - 1);
}

std::string withColumn(std::string_view action, int col) {
    const std::string number = std::to_string(col);
    std::string out;
    out.reserve(action.size());
    for (char c : action) {
        if (c == '#') {
            out += number;
        } else {
            out += c;
        }
    }
    return out;
}

namespace {

std::string segmentKey(int col) { return "{" + std::to_string(col) + "}"; }

} // namespace

bool hasSegment(std::string_view action, int col) {
    return action.find(segmentKey(col)) != std::string_view::npos;
}

std::optional<std::string> commandFor(std::string_view action, int col) {
    if (action.empty()) {
        return std::nullopt;
    }
    if (action.find('{') == std::string_view::npos) {
        const std::size_t bar = action.find('|');
        return std::string(bar == std::string_view::npos ? action : action.substr(bar + 1));
    }
    const std::string key = segmentKey(col);
    if (const std::size_t at = action.find(key); at != std::string_view::npos) {
        const std::size_t from = at + key.size();
        const std::size_t bar = action.find('|', from);
        return std::string(action.substr(from, bar == std::string_view::npos ? bar : bar - from));
    }
    if (std::count(action.begin(), action.end(), '|') == 1) {
        const std::size_t close = action.find('}');
        const std::size_t bar = action.find('|');
        if (close != std::string_view::npos && close < bar) {
            return std::string(action.substr(close + 1, bar - close - 1));
        }
    }
    return std::nullopt;
}

bool keepsEditingOut(std::string_view action, int col) {
    if (action.empty()) {
        return false;
    }
    return action.find('{') == std::string_view::npos || hasSegment(action, col);
}

bool takeWord(std::string& text, std::string_view word) {
    const std::size_t at = text.find(word);
    if (at == std::string::npos) {
        return false;
    }
    text.erase(at, word.size());
    return true;
}

namespace {

// ";close=" and the pairs after it (up to the first blank, while each ";"-separated piece
// holds a ":"); what follows the pairs stays in the text.
void takeClosePairs(std::string& text, std::size_t at, CommandWords& out) {
    constexpr std::string_view kWord = ";close=";
    const std::size_t from = at + kWord.size();
    const std::size_t end = std::min(text.find(' ', from), text.size());
    const std::string_view after = std::string_view(text).substr(from, end - from);
    std::size_t pos = 0;
    std::size_t kept = 0; // the length of the pairs taken
    while (pos <= after.size()) {
        std::size_t semi = after.find(';', pos);
        if (semi == std::string_view::npos) {
            semi = after.size();
        }
        if (after.substr(pos, semi - pos).find(':') == std::string_view::npos) {
            break;
        }
        kept = semi;
        pos = semi + 1;
    }
    out.closePairs = std::string(after.substr(0, kept));
    // The separator between the pairs and what follows them stays with what follows.
    text.erase(from - kWord.size(), kWord.size() + kept);
}

} // namespace

CommandWords parseCommand(std::string command) {
    CommandWords out;
    if (text::findNoCase(command, "VREK") != std::string::npos ||
        text::findNoCase(command, "NAK") != std::string::npos) {
        takeWord(command, ";nsv");
        const std::size_t blank = command.find(' ');
        out.report = blank == std::string::npos ? std::string() : text::trim(command.substr(blank));
        return out;
    }
    if (const std::size_t at = command.find(";close="); at != std::string::npos) {
        out.close = true;
        takeClosePairs(command, at, out);
    } else {
        out.close = takeWord(command, ";close");
    }
    out.rformula = takeWord(command, ";rformula");
    out.total = takeWord(command, ";total");
    if (const std::size_t at = command.find(";save"); at != std::string::npos) {
        out.save = true;
        out.beforeSave = text::trim(std::string_view(command).substr(0, at));
        command.erase(at, 5);
    }
    out.nsv = takeWord(command, ";nsv");
    out.program = text::trim(command);
    return out;
}

} // namespace fc::action
