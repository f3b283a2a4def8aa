#include "preview/BCSourceSeeking.h"

namespace vc::preview {

namespace {
bool isMediaTime(const TTimeFormat* format) { return format && *format == TTimeFormat::MediaTime; }
}  // namespace

TBCSourceSeeking::TBCSourceSeeking(std::string name) : TSourceFilter(std::move(name)) {}

int64_t TBCSourceSeeking::StartPosition() const {
  std::lock_guard lock(FSeekingLock);
  return FStart;
}

int64_t TBCSourceSeeking::StopPosition() const {
  std::lock_guard lock(FSeekingLock);
  return FStop;
}

TResult TBCSourceSeeking::GetCapabilities(uint32_t* capabilities) {
  if (!capabilities) return TResult::E_POINTER;
  *capabilities = FCapabilities;
  return TResult::S_OK;
}

TResult TBCSourceSeeking::CheckCapabilities(uint32_t* capabilities) {
  if (!capabilities) return TResult::E_POINTER;
  return (*capabilities & ~FCapabilities) != 0 ? TResult::S_FALSE : TResult::S_OK;
}

TResult TBCSourceSeeking::IsFormatSupported(const TTimeFormat* format) {
  if (!format) return TResult::E_POINTER;
  return isMediaTime(format) ? TResult::S_OK : TResult::S_FALSE;
}

TResult TBCSourceSeeking::QueryPreferredFormat(TTimeFormat* format) {
  if (!format) return TResult::E_POINTER;
  *format = TTimeFormat::MediaTime;
  return TResult::S_OK;
}

TResult TBCSourceSeeking::GetTimeFormat(TTimeFormat* format) {
  if (!format) return TResult::E_POINTER;
  *format = TTimeFormat::MediaTime;
  return TResult::S_OK;
}

TResult TBCSourceSeeking::IsUsingTimeFormat(const TTimeFormat* format) {
  if (!format) return TResult::E_POINTER;
  return isMediaTime(format) ? TResult::S_OK : TResult::S_FALSE;
}

TResult TBCSourceSeeking::SetTimeFormat(const TTimeFormat* format) {
  if (!format) return TResult::E_POINTER;
  return isMediaTime(format) ? TResult::S_OK : TResult::E_INVALIDARG;
}

TResult TBCSourceSeeking::GetDuration(int64_t* duration) {
  if (!duration) return TResult::E_POINTER;
  std::lock_guard lock(FSeekingLock);
  *duration = FDuration;
  return TResult::S_OK;
}

TResult TBCSourceSeeking::GetStopPosition(int64_t* stop) {
  if (!stop) return TResult::E_POINTER;
  std::lock_guard lock(FSeekingLock);
  *stop = FStop;
  return TResult::S_OK;
}

// The source cannot know what the renderers show; callers use the graph's own position.
TResult TBCSourceSeeking::GetCurrentPosition(int64_t* /*current*/) { return TResult::E_NOTIMPL; }

TResult TBCSourceSeeking::ConvertTimeFormat(int64_t* target, const TTimeFormat* targetFormat, int64_t source,
                                            const TTimeFormat* sourceFormat) {
  if (!target) return TResult::E_POINTER;
  const bool targetOk = !targetFormat || isMediaTime(targetFormat);
  const bool sourceOk = !sourceFormat || isMediaTime(sourceFormat);
  if (!targetOk || !sourceOk) return TResult::E_INVALIDARG;
  *target = source;
  return TResult::S_OK;
}

TResult TBCSourceSeeking::SetPositions(int64_t* current, uint32_t currentFlags, int64_t* stop, uint32_t stopFlags) {
  const uint32_t currentPositioning = currentFlags & AM_SEEKING_PositioningBitsMask;
  const uint32_t stopPositioning = stopFlags & AM_SEEKING_PositioningBitsMask;
  if (stopFlags != 0 && (stopFlags & ~AM_SEEKING_PositioningBitsMask) != 0) return TResult::E_INVALIDARG;
  if (currentFlags != 0 && currentPositioning != AM_SEEKING_AbsolutePositioning &&
      currentPositioning != AM_SEEKING_RelativePositioning)
    return TResult::E_INVALIDARG;
  if ((currentPositioning != AM_SEEKING_NoPositioning && !current) ||
      (stopPositioning != AM_SEEKING_NoPositioning && !stop))
    return TResult::E_POINTER;
  {
    std::lock_guard lock(FSeekingLock);
    if (currentPositioning == AM_SEEKING_AbsolutePositioning) {
      FPreviousStart = FStart;
      FStart = *current;
    } else if (currentPositioning == AM_SEEKING_RelativePositioning) {
      FPreviousStart = FStart;
      FStart += *current;
    }
    if (stopPositioning == AM_SEEKING_AbsolutePositioning)
      FStop = *stop;
    else if (stopPositioning == AM_SEEKING_RelativePositioning)
      FStop += *stop;
    else if (stopPositioning == AM_SEEKING_IncrementalPositioning)
      FStop = FStart + *stop;
  }
  TResult stopResult = TResult::S_OK;
  if (stopPositioning != AM_SEEKING_NoPositioning) stopResult = ChangeStop();
  if (currentPositioning != AM_SEEKING_NoPositioning) return ChangeStart();
  return stopResult;
}

TResult TBCSourceSeeking::GetPositions(int64_t* current, int64_t* stop) {
  std::lock_guard lock(FSeekingLock);
  if (current) *current = FStart;
  if (stop) *stop = FStop;
  return TResult::S_OK;
}

TResult TBCSourceSeeking::GetAvailable(int64_t* earliest, int64_t* latest) {
  std::lock_guard lock(FSeekingLock);
  if (earliest) *earliest = 0;
  if (latest) *latest = FDuration;
  return TResult::S_OK;
}

TResult TBCSourceSeeking::SetRate(double rate) {
  {
    std::lock_guard lock(FSeekingLock);
    FRate = rate;
  }
  return ChangeRate();
}

TResult TBCSourceSeeking::GetRate(double* rate) {
  if (!rate) return TResult::E_POINTER;
  std::lock_guard lock(FSeekingLock);
  *rate = FRate;
  return TResult::S_OK;
}

TResult TBCSourceSeeking::GetPreroll(int64_t* preroll) {
  if (!preroll) return TResult::E_POINTER;
  *preroll = 0;
  return TResult::S_OK;
}

}  // namespace vc::preview
