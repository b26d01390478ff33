// --filter, --mark, --only-marked, --unmark-all, --sort, --quick-sum.
#include "ResultOptions.h"

#include "Commands.h"

namespace rptool {

int applyViewOption(ResultTarget&, const ResultOption& option) {
    complain(option.name + " is not available yet");
    return 2;
}

} // namespace rptool
