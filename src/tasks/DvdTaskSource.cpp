#include "tasks/DvdTaskSource.h"

#include "base/Errors.h"
#include "media/DvdTitleUrl.h"

namespace vc::tasks {

bool ReopenDvdTitle(TConversionSettings& settings, std::string& error) {
  try {
    settings.SourceFile = media::OpenDvdTitleUrl(settings.DvdDriver, settings.DvdTitle, settings.DvdAngle,
                                                 settings.DvdChapter, settings.DvdThrough);
    return true;
  } catch (const base::EVelocastError& e) {
    error = e.what();
    return false;
  }
}

}  // namespace vc::tasks
