#include "ResultOptions.h"

#include "Commands.h"

#include <cstring>

namespace rptool {

namespace {

enum class Group { View, Action, Output, Modifier };

struct OptionSpec {
    const char* name;
    bool takesValue;
    Group group;
};

constexpr OptionSpec kOptions[] = {
    {"--filter", true, Group::View},       {"--mark", true, Group::View},
    {"--only-marked", false, Group::View}, {"--unmark-all", false, Group::View},
    {"--sort", true, Group::View},         {"--quick-sum", true, Group::View},
    {"--edit", true, Group::Action},       {"--click", true, Group::Action},
    {"--save-data", false, Group::Action}, {"--run-programs", false, Group::Modifier},
    {"--out", true, Group::Output},        {"--print", false, Group::Output},
    {"--printer", true, Group::Modifier},  {"--copies", true, Group::Modifier},
    {"--fsave", false, Group::Output},     {"--mail", false, Group::Output},
};

const OptionSpec* specOf(const std::string& name) {
    for (const OptionSpec& o : kOptions) {
        if (name == o.name) {
            return &o;
        }
    }
    return nullptr;
}

} // namespace

bool takeResultOption(int argc, char** argv, int& i, std::vector<ResultOption>& into) {
    const OptionSpec* spec = specOf(argv[i]);
    if (!spec || (spec->takesValue && i + 1 >= argc)) {
        return false;
    }
    ResultOption o{argv[i], {}};
    if (spec->takesValue) {
        o.value = argv[++i];
    }
    into.push_back(std::move(o));
    return true;
}

int applyResultOptions(ResultTarget& target, const std::vector<ResultOption>& options) {
    // The filter comes first whatever its place, as a user filters before working on rows.
    for (const ResultOption& o : options) {
        if (o.name == "--filter") {
            if (int rc = applyViewOption(target, o)) {
                return rc;
            }
        }
    }
    for (Group g : {Group::View, Group::Action, Group::Output}) {
        for (const ResultOption& o : options) {
            const OptionSpec* spec = specOf(o.name);
            if (!spec || spec->group != g || o.name == "--filter") {
                continue;
            }
            const int rc = g == Group::View     ? applyViewOption(target, o)
                           : g == Group::Action ? applyActionOption(target, o, options)
                                                : applyOutputOption(target, o, options);
            if (rc) {
                return rc;
            }
        }
    }
    return 0;
}

const char* resultOptionsUsage() {
    return "  result options (in this order): --filter SPEC; --mark ROW, --only-marked, "
           "--unmark-all, --sort COL[:desc], --quick-sum RANGES; --edit ROW:COL=TEXT, --click "
           "ROW:COL [--run-programs], --save-data; --out FILE (.json .vts .xls .xlsx .pdf), "
           "--print [--printer NAME] [--copies N], --fsave, --mail\n";
}

} // namespace rptool
