#pragma once
// A DVD task names its source by the "stream:%d" locator of the title stream the wizard opened,
// which lives only as long as the run that opened it.
#include "tasks/ConversionSettings.h"

namespace vc::tasks {

// Opens the title of a DVD task afresh from DvdDriver, DvdTitle, DvdChapter, DvdThrough and
// DvdAngle and points SourceFile at the new stream. Returns false when the title cannot be
// opened again; until DVD titles can be reopened, it always does.
bool ReopenDvdTitle(TConversionSettings& settings);

}  // namespace vc::tasks
