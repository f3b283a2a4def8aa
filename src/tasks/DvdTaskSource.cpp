#include "tasks/DvdTaskSource.h"

namespace vc::tasks {

bool ReopenDvdTitle(TConversionSettings&) { return false; }

}  // namespace vc::tasks
