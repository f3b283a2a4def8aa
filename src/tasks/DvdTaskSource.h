#pragma once
// A DVD task names its source by the "stream:%d" locator of the title stream the wizard opened,
// which lives only as long as the run that opened it.
#include <string>

#include "tasks/ConversionSettings.h"

namespace vc::tasks {

// Opens the title of a DVD task afresh from DvdDriver, DvdTitle, DvdChapter, DvdThrough and
// DvdAngle and points SourceFile at the new stream. Returns false, with the reason in error,
// when the title cannot be opened again (the disc is gone, say).
bool ReopenDvdTitle(TConversionSettings& settings, std::string& error);

}  // namespace vc::tasks
