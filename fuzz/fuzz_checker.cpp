// The checker over arbitrary lines, and over arbitrary prototype files: it must answer within
// the line, never crash, and colour the editor text without gaps.
#include "language/Checker.h"
#include "language/EditorCheck.h"
#include "language/PrototypeTable.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void require(bool ok) {
    if (!ok) {
        __builtin_trap();
    }
}

void checkAnswer(const fc::CheckResult& r, std::size_t length) {
    require(r.ok() == r.message.empty());
    require(r.ok() ? r.errorPosition == 0
                   : r.errorPosition >= 1 &&
                         r.errorPosition <= std::max(static_cast<int>(length) + 1, 7));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) {
        return 0;
    }
    std::string_view input(reinterpret_cast<const char*>(data), size);
    fc::PrototypeTable prototypes;
    // An input holding a NUL byte carries its own prototype file before it.
    const std::size_t nul = input.find('\0');
    if (nul != std::string_view::npos) {
        std::vector<std::string> reports;
        prototypes.loadText(input.substr(0, nul), &reports);
        require(prototypes.count() >= 0 &&
                prototypes.count() <= fc::PrototypeTable::kMaxPrototypes);
        input.remove_prefix(nul + 1);
    }
    fc::Checker checker(prototypes);
    checkAnswer(checker.checkLine(input), input.size());
    checkAnswer(checker.checkDosLine(input), input.size());
    const fc::EditorCheck e = fc::checkEditorText(checker, input);
    int covered = 0;
    for (const fc::EditorSpan& s : e.spans) {
        require(s.start == covered && s.length > 0);
        covered += s.length;
    }
    require(covered == static_cast<int>(input.size()));
    return 0;
}
