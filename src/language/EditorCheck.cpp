#include "language/EditorCheck.h"

#include "language/Checker.h"

#include <algorithm>

namespace fc {

namespace {

void addSpan(EditorCheck& out, int start, int end, Color color, bool marked) {
    if (end > start) {
        out.spans.push_back({start, end - start, color, marked, marked});
    }
}

} // namespace

EditorCheck checkEditorText(Checker& checker, std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') {
        --end;
    }
    EditorCheck out;
    out.result = checker.checkLine(text.substr(0, end));
    const int length = static_cast<int>(text.size());
    if (!out.result.ok()) {
        out.status = std::string(out.result.message);
        const int from = std::clamp(out.result.errorPosition - 1, 0, length);
        addSpan(out, 0, from, kStatementRed, false);
        addSpan(out, from, length, kStatementRed, true);
        return out;
    }
    int leading = 0;
    while (leading < length && text[static_cast<std::size_t>(leading)] == ' ') {
        ++leading;
    }
    const int keyword = out.result.keywordLength;
    const int red = keyword >= kWholeLineKeyword ? length : std::min(length, leading + keyword);
    addSpan(out, 0, red, kStatementRed, false);
    addSpan(out, red, length, out.result.plainText ? kStatementBlack : kStatementGray, false);
    return out;
}

} // namespace fc
