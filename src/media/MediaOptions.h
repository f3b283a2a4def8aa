#pragma once
// Options set by name, before anything is opened, and applied later to the contexts they belong
// to. A name is looked for where today's library keeps it: the generic codec options (per media
// type), the generic format options, the scaler options, and the private options of the encoders
// and the muxer the conversion will use. Values are checked when they are set, on option
// contexts of the right class, so a bad value is reported before the conversion starts.
#include <string>
#include <vector>

#include "media/AVHandles.h"
#include "media/LegacyOptions.h"

namespace vc::media {

// Dropped: an old name with no equivalent today; its log line has been written.
enum class TSetOptionResult { Set, Unknown, InvalidValue, Dropped };

class TMediaOptions final {
 public:
  TMediaOptions();
  TMediaOptions(const TMediaOptions&) = delete;
  TMediaOptions& operator=(const TMediaOptions&) = delete;

  // The encoders and muxer whose private options SetOption may set; any may be nullptr.
  void SetPrivateTargets(const AVCodec* video, const AVCodec* audio, const AVCodec* subtitle,
                         const AVOutputFormat* muxer);

  TSetOptionResult SetOption(const std::string& name, const std::string& value);

  // Generic codec options set for type whose flags hold every bit of mask (AV_OPT_FLAG_*), in the
  // order they were set, onto target.
  void ApplyCodecOptions(AVCodecContext* target, AVMediaType type, int mask) const;
  // Generic format options whose flags hold every bit of mask, as a dictionary for the opener.
  void FillFormatOptions(TDictionary& dict, int mask) const;
  // Private options of the encoder of type and of the muxer, as dictionaries for opening them.
  void FillEncoderPrivateOptions(AVMediaType type, TDictionary& dict) const;
  void FillMuxerPrivateOptions(TDictionary& dict) const;
  // The scaler flags ("sws_flags"; bicubic unless set).
  int ScalerFlags() const;
  // Names of every option set successfully, in order, duplicates kept.
  const std::vector<std::string>& OptionNames() const { return FNames; }

 private:
  enum class TTarget { Codec, Format, Scaler, EncoderPrivate, MuxerPrivate };
  struct TEntry {
    TTarget Target;
    int Type;  // AVMediaType for Codec and EncoderPrivate
    std::string Name;
    std::string Value;
  };
  TSetOptionResult setOne(const std::string& name, const std::string& value);
  // 1 set, 0 not found, -1 found but the value was refused.
  int setGeneric(const std::string& name, const std::string& value);
  // Private options of the chosen encoders and/or the muxer.
  int setPrivate(const std::string& name, const std::string& value, bool encoders, bool muxer);
  int setGenericCodec(const std::string& name, const std::string& value);
  TSetOptionResult setTranslated(TLegacyTarget target, const std::string& name, const std::string& value);
  void record(TTarget target, int type, const std::string& name, const std::string& value);

  TCodecContextPtr FCodec[AVMEDIA_TYPE_NB];         // generic options, one context per media type
  TOutputFormatPtr FFormat;                         // generic format options (no file is opened)
  TSwsPtr FScaler;
  TCodecContextPtr FPrivateCodec[AVMEDIA_TYPE_NB];  // the chosen encoders' private options
  TOutputFormatPtr FPrivateMuxer;                   // the chosen muxer's private options
  std::vector<TEntry> FEntries;
  std::vector<std::string> FNames;
};

}  // namespace vc::media
