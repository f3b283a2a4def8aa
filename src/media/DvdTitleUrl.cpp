#include "media/DvdTitleUrl.h"

#include "base/Errors.h"
#include "base/Format.h"
#include "media/DvdSources.h"
#include "media/DvdStream.h"
#include "media/StreamTable.h"

namespace vc::media {

std::string OpenDvdTitleUrl(const std::string& sourcePath, int32_t title, int32_t angle, int32_t firstChapter,
                            int32_t lastChapter) {
  for (const TDvdTitle& t : ListDvdTitles(sourcePath)) {
    if (t.Number != title) continue;
    auto stream = std::make_unique<TDvdStream>(t, angle, firstChapter, lastChapter);
    return StreamUrl(StreamTable().Add(std::move(stream)));
  }
  throw base::EVelocastError(base::Format("Title %d is not on %s", title, sourcePath.c_str()));
}

}  // namespace vc::media
