#include "designer/TemplateSearch.h"

#include "components/model/Sheet.h"
#include "components/platform/Prompter.h"
#include "components/text/Cp1251.h"
#include "designer/DesignerMessages.h"
#include "designer/FormulaLine.h"
#include "designer/TemplateText.h"

#include <algorithm>

namespace fc::templatesearch {

std::optional<Hit> find(const Sheet& s, const std::string& text, int row, int col, int offset) {
    if (tpl::isBlank(text)) {
        return std::nullopt;
    }
    const std::string needle = cp1251::upper(text);
    for (int r = std::max(row, 1); r <= s.maxRow(); ++r) {
        for (int c = r == row ? std::max(col, 1) : 1; c <= s.maxCol(); ++c) {
            const std::string hay = cp1251::upper(formulaline::cellText(s, r, c));
            const int from = r == row && c == col ? std::max(offset, 0) : 0;
            if (from > static_cast<int>(hay.size())) {
                continue;
            }
            const std::size_t at = hay.find(needle, static_cast<std::size_t>(from));
            if (at != std::string::npos) {
                return Hit{r, c, static_cast<int>(at)};
            }
        }
    }
    return std::nullopt;
}

void replaceAt(Sheet& s, const Hit& hit, int length, const std::string& replacement,
               StatementColourer& colourer) {
    std::string text = formulaline::cellText(s, hit.row, hit.col);
    if (hit.pos < 0 || hit.pos > static_cast<int>(text.size())) {
        return;
    }
    text.replace(static_cast<std::size_t>(hit.pos), static_cast<std::size_t>(length), replacement);
    formulaline::store(s, hit.row, hit.col, text, colourer);
}

Outcome run(Sheet& s, const std::string& text, const std::optional<std::string>& replacement,
            int row, int col, int offset, Prompter& prompter, StatementColourer& colourer,
            const std::function<void(const Hit&)>& show) {
    Outcome out;
    std::optional<Hit> hit = find(s, text, row, col, offset);
    if (!hit) {
        prompter.warning(designermsg::notFound(text));
        return out;
    }
    if (!replacement) {
        out.hit = hit;
        return out;
    }
    const int length = static_cast<int>(text.size());
    const int step = static_cast<int>(replacement->size());
    bool all = false;
    while (hit) {
        if (!all) {
            if (show) {
                show(*hit);
            }
            const Prompter::Answer a =
                prompter.ask(w("Внимание:"), designermsg::replaceQuestion(*replacement),
                             Prompter::Buttons::YesNoCancelAll, Prompter::Icon::Question);
            if (a == Prompter::Answer::Cancel) {
                out.hit = hit;
                return out;
            }
            if (a == Prompter::Answer::No) {
                hit = find(s, text, hit->row, hit->col, hit->pos + std::max(length, 1));
                continue;
            }
            all = a == Prompter::Answer::All;
        }
        replaceAt(s, *hit, length, *replacement, colourer);
        ++out.replaced;
        hit = find(s, text, hit->row, hit->col, hit->pos + step);
    }
    if (all) {
        prompter.warning(designermsg::replaceDone());
    }
    return out;
}

} // namespace fc::templatesearch
