#pragma once
// A source filter that keeps its playback segment and answers the graph's seeking calls. The
// segment changes call ChangeStart, ChangeStop and ChangeRate, which the decoding source
// implements. All times are 100-ns units.
#include <cstdint>
#include <mutex>

#include "preview/MediaSeeking.h"
#include "preview/MediaType.h"
#include "preview/SourceFilter.h"

namespace vc::preview {

inline constexpr int64_t UnknownDuration = 0x3FFFFFFFFFFFFFFF;  // the segment's initial length, 100 ns

class TBCSourceSeeking : public TSourceFilter, public IMediaSeeking {
 public:
  explicit TBCSourceSeeking(std::string name);

  IMediaSeeking* Seeking() override { return this; }

  TResult GetCapabilities(uint32_t* capabilities) override;
  TResult CheckCapabilities(uint32_t* capabilities) override;
  TResult IsFormatSupported(const TTimeFormat* format) override;
  TResult QueryPreferredFormat(TTimeFormat* format) override;
  TResult GetTimeFormat(TTimeFormat* format) override;
  TResult IsUsingTimeFormat(const TTimeFormat* format) override;
  TResult SetTimeFormat(const TTimeFormat* format) override;
  TResult GetDuration(int64_t* duration) override;
  TResult GetStopPosition(int64_t* stop) override;
  TResult GetCurrentPosition(int64_t* current) override;
  TResult ConvertTimeFormat(int64_t* target, const TTimeFormat* targetFormat, int64_t source,
                            const TTimeFormat* sourceFormat) override;
  TResult SetPositions(int64_t* current, uint32_t currentFlags, int64_t* stop, uint32_t stopFlags) override;
  TResult GetPositions(int64_t* current, int64_t* stop) override;
  TResult GetAvailable(int64_t* earliest, int64_t* latest) override;
  TResult SetRate(double rate) override;
  TResult GetRate(double* rate) override;
  TResult GetPreroll(int64_t* preroll) override;

  // The lock that guards the segment; the pins' fill steps and the decoder's seeks hold it too.
  std::recursive_mutex& SeekingLock() const { return FSeekingLock; }
  // Segment fields, read under the seeking lock by the decoder and the pins.
  int64_t StartPosition() const;
  int64_t StopPosition() const;

 protected:
  virtual TResult ChangeStart() = 0;
  virtual TResult ChangeStop() = 0;
  virtual TResult ChangeRate() = 0;

  // Guarded by FSeekingLock.
  int64_t FDuration = UnknownDuration;  // total playing time
  int64_t FStart = 0;                   // segment start
  int64_t FPreviousStart = 0;           // start before the last change
  int64_t FStop = UnknownDuration;      // segment stop
  double FRate = 1.0;                   // stored only
  uint32_t FCapabilities = AM_SEEKING_CanSeekAbsolute | AM_SEEKING_CanSeekForwards | AM_SEEKING_CanSeekBackwards |
                           AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;
  TMediaType FCurrentFileMediaType;  // what the file-source part reports back

 private:
  mutable std::recursive_mutex FSeekingLock;
};

}  // namespace vc::preview
