#include "results/ResultSession.h"

#include "components/model/Workbook.h"

namespace fc {

Sheet& ResultSession::sheet() { return book_.sheet(1); }
const Sheet& ResultSession::sheet() const { return book_.sheet(1); }

} // namespace fc
