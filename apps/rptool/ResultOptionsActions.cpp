// --edit, --click (with --run-programs), --save-data.
#include "ResultOptions.h"

#include "Commands.h"

namespace rptool {

int applyActionOption(ResultTarget&, const ResultOption& option, const std::vector<ResultOption>&) {
    if (option.name == "--run-programs") {
        return 0;
    }
    complain(option.name + " is not available yet");
    return 2;
}

} // namespace rptool
