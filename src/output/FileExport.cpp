#include "output/FileExport.h"

#include "results/ResultSession.h"

namespace fc::output {

bool DoFSave(ResultSession&) { return true; }

} // namespace fc::output
