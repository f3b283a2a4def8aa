#pragma once
// The seeking interface a source filter gives the graph: the playback segment (start, stop,
// rate) and the duration, in media time (100-ns units). Flag and capability values are the
// first platform's, which the seeking rules are written in.
#include <cstdint>

#include "preview/Result.h"

namespace vc::preview {

enum class TTimeFormat { None, MediaTime, Frame, Sample, Field, Byte };

// Seeking flags: the low two bits position, the rest modify.
inline constexpr uint32_t AM_SEEKING_NoPositioning = 0;
inline constexpr uint32_t AM_SEEKING_AbsolutePositioning = 1;
inline constexpr uint32_t AM_SEEKING_RelativePositioning = 2;
inline constexpr uint32_t AM_SEEKING_IncrementalPositioning = 3;
inline constexpr uint32_t AM_SEEKING_PositioningBitsMask = 3;
inline constexpr uint32_t AM_SEEKING_SeekToKeyFrame = 4;
inline constexpr uint32_t AM_SEEKING_ReturnTime = 8;
inline constexpr uint32_t AM_SEEKING_Segment = 0x10;
inline constexpr uint32_t AM_SEEKING_NoFlush = 0x20;

// Capabilities.
inline constexpr uint32_t AM_SEEKING_CanSeekAbsolute = 0x1;
inline constexpr uint32_t AM_SEEKING_CanSeekForwards = 0x2;
inline constexpr uint32_t AM_SEEKING_CanSeekBackwards = 0x4;
inline constexpr uint32_t AM_SEEKING_CanGetCurrentPos = 0x8;
inline constexpr uint32_t AM_SEEKING_CanGetStopPos = 0x10;
inline constexpr uint32_t AM_SEEKING_CanGetDuration = 0x20;
inline constexpr uint32_t AM_SEEKING_CanPlayBackwards = 0x40;

class IMediaSeeking {
 public:
  virtual ~IMediaSeeking() = default;
  virtual TResult GetCapabilities(uint32_t* capabilities) = 0;
  virtual TResult CheckCapabilities(uint32_t* capabilities) = 0;
  virtual TResult IsFormatSupported(const TTimeFormat* format) = 0;
  virtual TResult QueryPreferredFormat(TTimeFormat* format) = 0;
  virtual TResult GetTimeFormat(TTimeFormat* format) = 0;
  virtual TResult IsUsingTimeFormat(const TTimeFormat* format) = 0;
  virtual TResult SetTimeFormat(const TTimeFormat* format) = 0;
  virtual TResult GetDuration(int64_t* duration) = 0;
  virtual TResult GetStopPosition(int64_t* stop) = 0;
  virtual TResult GetCurrentPosition(int64_t* current) = 0;
  virtual TResult ConvertTimeFormat(int64_t* target, const TTimeFormat* targetFormat, int64_t source,
                                    const TTimeFormat* sourceFormat) = 0;
  virtual TResult SetPositions(int64_t* current, uint32_t currentFlags, int64_t* stop, uint32_t stopFlags) = 0;
  virtual TResult GetPositions(int64_t* current, int64_t* stop) = 0;
  virtual TResult GetAvailable(int64_t* earliest, int64_t* latest) = 0;
  virtual TResult SetRate(double rate) = 0;
  virtual TResult GetRate(double* rate) = 0;
  virtual TResult GetPreroll(int64_t* preroll) = 0;
};

}  // namespace vc::preview
