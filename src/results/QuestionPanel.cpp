#include "results/QuestionPanel.h"

#include "components/text/CodePage.h"
#include "components/text/TextOps.h"
#include "exchange/ReportRun.h"
#include "exchange/Requests.h"
#include "shell/AppSettings.h"

#include <algorithm>

namespace fc {

namespace {

using Control = QuestionForm::Control;

std::string withoutCarets(std::string text) {
    std::replace(text.begin(), text.end(), '^', ' ');
    return text;
}

} // namespace

std::size_t QuestionPanel::add(const QuestionForm& form) {
    Input in;
    in.form = form;
    in.index = form.selected;
    if (form.selected >= 0 && form.selected < static_cast<int>(form.items.size())) {
        in.text = form.items[static_cast<std::size_t>(form.selected)];
    }
    if (form.control != Control::Choice && form.control != Control::Argument) {
        in.text = form.text;
    }
    inputs_.push_back(std::move(in));
    return inputs_.size() - 1;
}

void QuestionPanel::truncate(std::size_t keep) {
    if (keep < inputs_.size()) {
        inputs_.resize(keep);
    }
}

std::string QuestionPanel::value(std::size_t i) const {
    const Input& in = inputs_[i];
    switch (in.form.control) {
    case Control::Choice: return in.index >= 0 ? std::to_string(in.index + 1) : std::string();
    case Control::Argument: return codepage::toDos(in.text.substr(0, in.text.find(' ')));
    case Control::FreeText: return codepage::toDos(text::trim(in.text));
    case Control::Suggestions:
    case Control::Edit:
    case Control::Number: break;
    }
    return codepage::toDos(in.text);
}

std::string QuestionPanel::submit(std::size_t active, std::string_view prefix,
                                  std::string_view questionContext) {
    truncate(active + 1);
    std::string context = std::string(prefix) + request::stripPrefix(questionContext);
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
        context += request::kSep + value(i);
    }
    return context;
}

QuestionPanel::Box QuestionPanel::place(const Box* previous, int captionRight, int width,
                                        int height, int panelWidth) {
    Box b{kLeft, kTop, width, height};
    if (!previous) {
        return b;
    }
    b.left = std::max(previous->right(), captionRight) + kGap;
    b.top = previous->top;
    if (b.right() + kRightRoom > panelWidth) {
        b.left = kLeft;
        b.top = previous->top + kLineStep;
    }
    return b;
}

void QuestionPanel::collect() {
    std::string out;
    for (std::size_t i = 0; i < inputs_.size(); ++i) {
        const Input& in = inputs_[i];
        std::string entry;
        switch (in.form.control) {
        case Control::Choice:
            entry = in.index >= 0 ? "m" + std::to_string(in.index + 1) : "";
            break;
        case Control::Suggestions: entry = "i" + in.text; break;
        case Control::Edit:
        case Control::Number: entry = "s" + in.text; break;
        case Control::Argument:
        case Control::FreeText: entry = "a" + in.text; break;
        }
        out += (i ? "^" : "") + withoutCarets(entry);
    }
    remembered_ = out;
}

std::string QuestionPanel::remembered(std::size_t i) const {
    std::size_t start = 0;
    for (std::size_t n = 0; n < i; ++n) {
        start = remembered_.find('^', start);
        if (start == std::string::npos) {
            return {};
        }
        ++start;
    }
    if (start > remembered_.size()) {
        return {};
    }
    return remembered_.substr(start, remembered_.find('^', start) - start);
}

namespace questions {

void submitAnswer(QuestionPanel& panel, ReportRun& run, const AppSettings& app,
                  std::size_t active) {
    if (active >= panel.size()) {
        return;
    }
    run.setContext(panel.submit(active, app.requestPrefix(), run.stepContext()));
    run.setRequestName(run.nameBase());
    run.WriteZapros();
}

std::string checkListKey(std::string_view item) {
    const std::size_t bar = item.find('|');
    const std::size_t blank = item.find(' ');
    std::size_t end = item.size();
    if (bar != std::string_view::npos && blank != std::string_view::npos) {
        end = std::max(bar, blank);
    } else if (bar != std::string_view::npos) {
        end = bar;
    } else if (blank != std::string_view::npos) {
        end = blank;
    }
    return std::string(item.substr(0, end));
}

std::string n2Caption(std::string_view answer) {
    std::string_view t = text::trimView(answer);
    t = t.size() < 2 ? std::string_view() : t.substr(1, t.size() - 2);
    return codepage::toWindows(t);
}

} // namespace questions
} // namespace fc
