// rptool run --arg KEY: an argument chosen as a click on its button would choose it.
#include "RunArguments.h"

#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "exchange/ReportRun.h"
#include "exchange/ReportSettings.h"
#include "results/ReportArguments.h"
#include "results/ResultSession.h"

#include <cstdio>

namespace rptool {

ArgumentStep chooseArgument(fc::ResultSession& session, fc::AppSettings& settings,
                            fc::ReportHost& host, fc::OutsideWorld& world,
                            const fc::ReportSettings& result, const std::string& keyUtf8) {
    fc::ReportArguments& bar = session.arguments();
    fc::BarSource source;
    source.noArgs = result.noArgs;
    source.treeMode = result.argumentTree;
    source.treeWidth = result.treeWidth;
    source.treeColumn = result.treeColumn;
    const std::string context = session.run() ? session.run()->context() : std::string();
    fc::args::Arguments(bar, session.sheet(), context, settings, source);
    const std::string key = fc::cp1251::fromUtf8(keyUtf8);
    int index = -1;
    for (std::size_t i = 0; i < bar.table.size() && index < 0; ++i) {
        if (bar.table[i].key == key) {
            index = static_cast<int>(i);
        }
    }
    if (index < 0) {
        std::fprintf(stderr, "no argument %s in the argument file of %s\n", keyUtf8.c_str(),
                     fc::cp1251::toUtf8(bar.reportName).c_str());
        return ArgumentStep::Failed;
    }
    const fc::args::ArgumentChoice c =
        fc::args::Arg_ButtonClick(session, settings, host, world, index);
    using Action = fc::args::ArgumentChoice::Action;
    switch (c.action) {
    case Action::Rerun: return bar.pending ? ArgumentStep::Waiting : ArgumentStep::Ready;
    case Action::OpenReport:
    case Action::StartProgram:
    case Action::SaveData:
    case Action::FromCache: return ArgumentStep::Ready;
    case Action::None: break;
    }
    std::fprintf(stderr, "argument %s: nothing to do (an empty cell it refers to)\n",
                 keyUtf8.c_str());
    return ArgumentStep::Ready;
}

void answerInPanel(fc::ResultSession& session, fc::AppSettings& settings,
                   const fc::QuestionForm& question, const std::string& value) {
    fc::QuestionPanel& panel = session.questions();
    const std::size_t i = panel.add(question);
    fc::QuestionPanel::Input& in = panel.input(i);
    if (question.control == fc::QuestionForm::Control::Choice) {
        long long n = 0;
        in.index = fc::text::parseInt(value, &n) ? static_cast<int>(n) - 1 : -1;
    } else {
        in.text = value;
    }
    if (session.run()) {
        fc::questions::submitAnswer(panel, *session.run(), settings, i);
    }
}

} // namespace rptool
