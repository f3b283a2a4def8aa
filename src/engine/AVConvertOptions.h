#pragma once
// The option set of one conversion: an owner object with six owned sub-objects. Published
// property names are the stored vocabulary of conversion settings.
#include <array>
#include <cstdint>
#include <string>

#include "base/Persistent.h"
#include "base/Strings.h"

namespace vc::engine {

using base::TPersistent;
using base::TPropTable;
using base::TStrings;

class TRational final : public TPersistent {
 public:
  TRational() = default;
  TRational(int32_t n, int32_t d) : num(n), den(d) {}
  std::string ClassName() const override { return "TRational"; }
  const TPropTable& Properties() const override;
  void Assign(const TPersistent& source) override;

  int32_t num = 25;
  int32_t den = 1;
};

enum class TAVAudioSampleFormat { sfAuto, sfU8, sfS16, sfS32, sfFLT, sfDBL };

class TAudioOptions final : public TPersistent {
 public:
  TAudioOptions() = default;
  TAudioOptions(const TAudioOptions&) = delete;
  TAudioOptions& operator=(const TAudioOptions&) = delete;
  std::string ClassName() const override { return "TAudioOptions"; }
  const TPropTable& Properties() const override;
  void Assign(const TPersistent& source) override;

  int32_t AudioChannels = 0;       // 0 keeps the input's
  int32_t AudioVolume = 256;       // gain in 1/256 units
  int32_t AudioSampleRate = 0;     // Hz; 0 keeps the input's
  int32_t AudioSyncMethod = 0;     // 0 none, 1 pad/trim, >=2 also stretch by at most this many samples
  bool AudioDisable = false;
  bool AudioStreamCopy = false;
  std::string EncoderAudioCodecName;
  std::string DecoderAudioCodecName;
  int32_t AudioCodecTag = 0;
  std::string AudioLanguage;
  float AudioQScale = -99999.0f;   // not above -99999: no fixed quality
  float AudioDriftThreshold = 0.1f;  // seconds
  int32_t Bitrate = 0;             // bit/s
  int32_t MaxFrames = 2147483647;  // copied audio packets per output stream

  TAVAudioSampleFormat AudioSampleFmt() const { return FAudioSampleFmt; }
  // sfAuto is ignored: the current format stays.
  void SetAudioSampleFmt(TAVAudioSampleFormat value);

 private:
  TAVAudioSampleFormat FAudioSampleFmt = TAVAudioSampleFormat::sfAuto;
};

class TSubtitleOptions final : public TPersistent {
 public:
  TSubtitleOptions() = default;
  TSubtitleOptions(const TSubtitleOptions&) = delete;
  TSubtitleOptions& operator=(const TSubtitleOptions&) = delete;
  std::string ClassName() const override { return "TSubtitleOptions"; }
  const TPropTable& Properties() const override;
  void Assign(const TPersistent& source) override;

  std::string SubtitleLanguage;
  std::string SubtitleCodecName;  // encoder of the output, also forced as the input decoder
  bool SubtitleDisable = false;
  bool SubtitleStreamCopy = false;
  int32_t SubtitleCodecTag = 0;
};

using TQuantMatrix = std::array<uint16_t, 64>;

class TVideoOptions final : public TPersistent {
 public:
  TVideoOptions() = default;
  TVideoOptions(const TVideoOptions&) = delete;
  TVideoOptions& operator=(const TVideoOptions&) = delete;
  std::string ClassName() const override { return "TVideoOptions"; }
  const TPropTable& Properties() const override;
  void Assign(const TPersistent& source) override;

  int32_t FrameWidth = 0;   // pixels; 0 keeps the input's
  int32_t FrameHeight = 0;
  std::string EncoderVideoCodecName;
  std::string DecoderVideoCodecName;
  bool VideoDisable = false;
  bool VideoStreamCopy = false;
  int32_t VideoCodecTag = 0;
  std::string VideoLanguage;
  int32_t VideoGlobalHeader = 0;  // bit 0: global headers, bit 1: local headers; 0: as the format needs
  bool IntraOnly = false;
  float VideoQscale = 0;          // 0: no fixed quantiser
  bool SameQuality = false;
  std::string VideoRcOverrideString;  // stored only
  int32_t IntraDcPrecision = 8;   // bits
  int32_t VideoSyncMethod = -1;   // -1 auto, 0 pass through, 1 dup/drop, 2 drop only (VFR)
  int32_t TopFieldFirst = -1;     // -1 from each frame
  bool ForceFPS = false;
  TRational FrameRate;            // 25/1; opening a video input replaces it
  float FrameAspectRatio = 0;     // display width/height; 0 unspecified
  int32_t MeThreshold = 0;
  bool Deinterlace = false;
  int32_t MaxFrames = 2147483647;
  int32_t Bitrate = 0;            // bit/s
  TStrings ForceKeyFrames;        // stored only
  int32_t PixelFormat = -1;       // AVPixelFormat number; not published, copied by Assign

  int32_t Pass() const { return FPass; }
  // 0, 1 or 2; anything else shows an error box and keeps the value.
  void SetPass(int32_t value);

  const TStrings& IntraMatrix() const { return FIntraMatrix; }
  const TStrings& InterMatrix() const { return FInterMatrix; }
  // Empty, or 64 integer lines; anything else shows an error box and keeps the value.
  void SetIntraMatrix(const TStrings& value);
  void SetInterMatrix(const TStrings& value);
  const TQuantMatrix& IntraMatrixValues() const { return FIntraMatrixValues; }
  const TQuantMatrix& InterMatrixValues() const { return FInterMatrixValues; }

 private:
  int32_t FPass = 0;
  TStrings FIntraMatrix;
  TStrings FInterMatrix;
  TQuantMatrix FIntraMatrixValues{};
  TQuantMatrix FInterMatrixValues{};
};

class TMuxerOptions final : public TPersistent {
 public:
  TMuxerOptions() = default;
  TMuxerOptions(const TMuxerOptions&) = delete;
  TMuxerOptions& operator=(const TMuxerOptions&) = delete;
  std::string ClassName() const override { return "TMuxerOptions"; }
  const TPropTable& Properties() const override;
  void Assign(const TPersistent& source) override;

  float MuxPreload = 0.5f;   // seconds
  float MuxMaxDelay = 0.7f;  // seconds
  TStrings AudioBitstreamFilters;
  TStrings SubtitleBitstreamFilters;
  TStrings VideoBitstreamFilters;
};

class TGrabOptions final : public TPersistent {
 public:
  TGrabOptions() = default;
  TGrabOptions(const TGrabOptions&) = delete;
  TGrabOptions& operator=(const TGrabOptions&) = delete;
  std::string ClassName() const override { return "TGrabOptions"; }
  const TPropTable& Properties() const override;
  void Assign(const TPersistent& source) override;

  int32_t VideoChannel = 0;
  std::string VideoStandard;
  bool InputSync = false;
};

class TFilterOptions final : public TPersistent {
 public:
  TFilterOptions() = default;
  TFilterOptions(const TFilterOptions&) = delete;
  TFilterOptions& operator=(const TFilterOptions&) = delete;
  std::string ClassName() const override { return "TFilterOptions"; }
  const TPropTable& Properties() const override;
  void Assign(const TPersistent& source) override;

  std::string VideoFilters;  // filter-graph text between decoded video and the scaler
};

class TAVConvertOptions final : public TPersistent {
 public:
  TAVConvertOptions() = default;
  TAVConvertOptions(const TAVConvertOptions&) = delete;
  TAVConvertOptions& operator=(const TAVConvertOptions&) = delete;
  std::string ClassName() const override { return "TAVConvertOptions"; }
  const TPropTable& Properties() const override;
  void Assign(const TPersistent& source) override;

  // Replaces the value of the CodecOptions line named Name (any letter case), removes it for an
  // empty Value, or appends "Name=Value".
  void SetCodecOption(const std::string& name, const std::string& value);

  TAudioOptions AudioOptions;
  TSubtitleOptions SubtitleOptions;
  TVideoOptions VideoOptions;
  TMuxerOptions MuxerOptions;
  TGrabOptions GrabOptions;
  TFilterOptions FilterOptions;
  TStrings MetaData;      // key=value lines written to every output file
  TStrings CodecOptions;  // name=value lines set by name before anything is opened
  std::string OutputFormat;
  std::string InputFormat;
  int64_t StartTime = 0;                        // microseconds
  int64_t RecordingTime = INT64_MAX;            // microseconds; the maximum means no limit
  int32_t ThreadCount = 1;
  TStrings StreamMaps;    // "file=stream" lines, one per output stream
};

}  // namespace vc::engine
