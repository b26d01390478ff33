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
    // The line is checked trimmed, as its cell is; positions then count from its first
    // non-blank character.
    std::size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ') {
        --end;
    }
    std::size_t begin = 0;
    while (begin < end && text[begin] == ' ') {
        ++begin;
    }
    EditorCheck out;
    out.result = checker.checkLine(text.substr(begin, end - begin));
    const int length = static_cast<int>(text.size());
    const int leading = static_cast<int>(begin);
    if (!out.result.ok()) {
        out.status = std::string(out.result.message);
        const int from = std::clamp(leading + out.result.errorPosition - 1, 0, length);
        addSpan(out, 0, from, kStatementRed, false);
        addSpan(out, from, length, kStatementRed, true);
        return out;
    }
    const int keyword = out.result.keywordLength;
    const int red = keyword >= kWholeLineKeyword ? length : std::min(length, leading + keyword);
    addSpan(out, 0, red, kStatementRed, false);
    addSpan(out, red, length, out.result.plainText ? kStatementBlack : kStatementGray, false);
    return out;
}

} // namespace fc
