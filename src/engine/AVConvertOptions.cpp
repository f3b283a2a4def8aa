#include "engine/AVConvertOptions.h"

#include "base/Format.h"
#include "base/Prompts.h"

namespace vc::engine {

using base::TPropKind;
using base::TPropTableBuilder;

// ---- TRational -------------------------------------------------------------------------------

const TPropTable& TRational::Properties() const {
  static const TPropTable table =
      TPropTableBuilder<TRational>().Field("num", &TRational::num, 25).Field("den", &TRational::den, 1).Build();
  return table;
}

void TRational::Assign(const TPersistent& source) {
  const auto* s = dynamic_cast<const TRational*>(&source);
  if (!s) AssignError(source);
  num = s->num;
  den = s->den;
}

// ---- TAudioOptions ---------------------------------------------------------------------------

void TAudioOptions::SetAudioSampleFmt(TAVAudioSampleFormat value) {
  if (value != TAVAudioSampleFormat::sfAuto) FAudioSampleFmt = value;
}

const TPropTable& TAudioOptions::Properties() const {
  using C = TAudioOptions;
  static const TPropTable table =
      TPropTableBuilder<C>()
          .Field("AudioChannels", &C::AudioChannels)
          .Field("AudioSampleRate", &C::AudioSampleRate)
          .Field("AudioVolume", &C::AudioVolume)
          .Field("AudioSyncMethod", &C::AudioSyncMethod)
          .Field("AudioDisable", &C::AudioDisable)
          .Prop("AudioSampleFmt", TPropKind::Enumeration, &C::AudioSampleFmt, &C::SetAudioSampleFmt)
          .Names({"sfAuto", "sfU8", "sfS16", "sfS32", "sfFLT", "sfDBL"})
          .Field("AudioStreamCopy", &C::AudioStreamCopy)
          .Field("EncoderAudioCodecName", &C::EncoderAudioCodecName)
          .Field("DecoderAudioCodecName", &C::DecoderAudioCodecName)
          .Field("AudioCodecTag", &C::AudioCodecTag)
          .Field("AudioLanguage", &C::AudioLanguage)
          .Field("AudioQScale", &C::AudioQScale)
          .Field("AudioDriftThreshold", &C::AudioDriftThreshold)
          .Field("Bitrate", &C::Bitrate)
          .Field("MaxFrames", &C::MaxFrames, 2147483647)
          .Build();
  return table;
}

void TAudioOptions::Assign(const TPersistent& source) {
  const auto* s = dynamic_cast<const TAudioOptions*>(&source);
  if (!s) AssignError(source);
  AudioDisable = s->AudioDisable;
  AudioChannels = s->AudioChannels;
  AudioVolume = s->AudioVolume;
  AudioSyncMethod = s->AudioSyncMethod;
  SetAudioSampleFmt(s->AudioSampleFmt());
  AudioSampleRate = s->AudioSampleRate;
  AudioStreamCopy = s->AudioStreamCopy;
  EncoderAudioCodecName = s->EncoderAudioCodecName;
  DecoderAudioCodecName = s->DecoderAudioCodecName;
  AudioCodecTag = s->AudioCodecTag;
  AudioLanguage = s->AudioLanguage;
  AudioQScale = s->AudioQScale;
  AudioDriftThreshold = s->AudioDriftThreshold;
  Bitrate = s->Bitrate;
  MaxFrames = s->MaxFrames;
}

// ---- TSubtitleOptions ------------------------------------------------------------------------

const TPropTable& TSubtitleOptions::Properties() const {
  using C = TSubtitleOptions;
  static const TPropTable table = TPropTableBuilder<C>()
                                      .Field("SubtitleLanguage", &C::SubtitleLanguage)
                                      .Field("SubtitleCodecName", &C::SubtitleCodecName)
                                      .Field("SubtitleDisable", &C::SubtitleDisable)
                                      .Field("SubtitleStreamCopy", &C::SubtitleStreamCopy)
                                      .Field("SubtitleCodecTag", &C::SubtitleCodecTag)
                                      .Build();
  return table;
}

void TSubtitleOptions::Assign(const TPersistent& source) {
  const auto* s = dynamic_cast<const TSubtitleOptions*>(&source);
  if (!s) AssignError(source);
  SubtitleLanguage = s->SubtitleLanguage;
  SubtitleCodecName = s->SubtitleCodecName;
  SubtitleDisable = s->SubtitleDisable;
  SubtitleStreamCopy = s->SubtitleStreamCopy;
  SubtitleCodecTag = s->SubtitleCodecTag;
}

// ---- TVideoOptions ---------------------------------------------------------------------------

void TVideoOptions::SetPass(int32_t value) {
  if (value < 0 || value > 2) {
    base::Prompts().ShowError("pass number can be only 0, 1 or 2");
    return;
  }
  FPass = value;
}

// Validates a quantisation matrix list; on success fills values and returns true.
static bool parseMatrix(const TStrings& lines, TQuantMatrix& values) {
  if (lines.Empty()) return true;
  if (lines.Count() != 64) {
    base::Prompts().ShowError("matrix element count should be equal 64");
    return false;
  }
  TQuantMatrix parsed{};
  for (int i = 0; i < 64; ++i) {
    int32_t value = 0;
    if (lines[i].find('.') != std::string::npos || !base::TryParseInt32(lines[i], value)) {
      base::Prompts().ShowError("Invalid matrix element");
      return false;
    }
    parsed[static_cast<size_t>(i)] = static_cast<uint16_t>(value);
  }
  values = parsed;
  return true;
}

void TVideoOptions::SetIntraMatrix(const TStrings& value) {
  if (parseMatrix(value, FIntraMatrixValues)) FIntraMatrix = value;
}

void TVideoOptions::SetInterMatrix(const TStrings& value) {
  if (parseMatrix(value, FInterMatrixValues)) FInterMatrix = value;
}

const TPropTable& TVideoOptions::Properties() const {
  using C = TVideoOptions;
  static const TPropTable table = TPropTableBuilder<C>()
                                      .Field("FrameWidth", &C::FrameWidth)
                                      .Field("FrameHeight", &C::FrameHeight)
                                      .Field("EncoderVideoCodecName", &C::EncoderVideoCodecName)
                                      .Field("DecoderVideoCodecName", &C::DecoderVideoCodecName)
                                      .Field("VideoDisable", &C::VideoDisable)
                                      .Field("VideoStreamCopy", &C::VideoStreamCopy)
                                      .Field("VideoCodecTag", &C::VideoCodecTag)
                                      .Field("VideoLanguage", &C::VideoLanguage)
                                      .Field("VideoGlobalHeader", &C::VideoGlobalHeader)
                                      .Field("IntraOnly", &C::IntraOnly)
                                      .Field("VideoQscale", &C::VideoQscale)
                                      .Field("SameQuality", &C::SameQuality)
                                      .Field("VideoRcOverrideString", &C::VideoRcOverrideString)
                                      .Field("IntraDcPrecision", &C::IntraDcPrecision, 8)
                                      .Field("VideoSyncMethod", &C::VideoSyncMethod)
                                      .Field("TopFieldFirst", &C::TopFieldFirst)
                                      .Field("ForceFPS", &C::ForceFPS)
                                      .ListProp("IntraMatrix", &C::IntraMatrix, &C::SetIntraMatrix)
                                      .ListProp("InterMatrix", &C::InterMatrix, &C::SetInterMatrix)
                                      .Field("FrameRate", &C::FrameRate)
                                      .Field("FrameAspectRatio", &C::FrameAspectRatio)
                                      .Field("MeThreshold", &C::MeThreshold)
                                      .Field("Deinterlace", &C::Deinterlace)
                                      .Prop("Pass", TPropKind::Integer, &C::Pass, &C::SetPass)
                                      .Field("MaxFrames", &C::MaxFrames)
                                      .Field("Bitrate", &C::Bitrate)
                                      .Field("ForceKeyFrames", &C::ForceKeyFrames)
                                      .Build();
  return table;
}

void TVideoOptions::Assign(const TPersistent& source) {
  const auto* s = dynamic_cast<const TVideoOptions*>(&source);
  if (!s) AssignError(source);
  FrameWidth = s->FrameWidth;
  FrameHeight = s->FrameHeight;
  EncoderVideoCodecName = s->EncoderVideoCodecName;
  DecoderVideoCodecName = s->DecoderVideoCodecName;
  VideoDisable = s->VideoDisable;
  VideoStreamCopy = s->VideoStreamCopy;
  VideoCodecTag = s->VideoCodecTag;
  VideoLanguage = s->VideoLanguage;
  VideoGlobalHeader = s->VideoGlobalHeader;
  IntraOnly = s->IntraOnly;
  VideoQscale = s->VideoQscale;
  SameQuality = s->SameQuality;
  VideoRcOverrideString = s->VideoRcOverrideString;
  IntraDcPrecision = s->IntraDcPrecision;
  VideoSyncMethod = s->VideoSyncMethod;
  TopFieldFirst = s->TopFieldFirst;
  // ForceFPS is copied too: a copy that dropped it would run the conversion at a snapped rate
  // the user turned off.
  ForceFPS = s->ForceFPS;
  SetInterMatrix(s->InterMatrix());
  SetIntraMatrix(s->IntraMatrix());
  PixelFormat = s->PixelFormat;
  FrameAspectRatio = s->FrameAspectRatio;
  MeThreshold = s->MeThreshold;
  Deinterlace = s->Deinterlace;
  SetPass(s->Pass());
  MaxFrames = s->MaxFrames;
  Bitrate = s->Bitrate;
  FrameRate.Assign(s->FrameRate);
  ForceKeyFrames = s->ForceKeyFrames;
}

// ---- TMuxerOptions ---------------------------------------------------------------------------

const TPropTable& TMuxerOptions::Properties() const {
  using C = TMuxerOptions;
  static const TPropTable table = TPropTableBuilder<C>()
                                      .Field("MuxPreload", &C::MuxPreload)
                                      .Field("MuxMaxDelay", &C::MuxMaxDelay)
                                      .Field("AudioBitstreamFilters", &C::AudioBitstreamFilters)
                                      .Field("SubtitleBitstreamFilters", &C::SubtitleBitstreamFilters)
                                      .Field("VideoBitstreamFilters", &C::VideoBitstreamFilters)
                                      .Build();
  return table;
}

void TMuxerOptions::Assign(const TPersistent& source) {
  const auto* s = dynamic_cast<const TMuxerOptions*>(&source);
  if (!s) AssignError(source);
  AudioBitstreamFilters = s->AudioBitstreamFilters;
  SubtitleBitstreamFilters = s->SubtitleBitstreamFilters;
  VideoBitstreamFilters = s->VideoBitstreamFilters;
  MuxPreload = s->MuxPreload;
  MuxMaxDelay = s->MuxMaxDelay;
}

// ---- TGrabOptions, TFilterOptions ------------------------------------------------------------

const TPropTable& TGrabOptions::Properties() const {
  using C = TGrabOptions;
  static const TPropTable table = TPropTableBuilder<C>()
                                      .Field("VideoChannel", &C::VideoChannel)
                                      .Field("VideoStandard", &C::VideoStandard)
                                      .Field("InputSync", &C::InputSync)
                                      .Build();
  return table;
}

void TGrabOptions::Assign(const TPersistent& source) {
  const auto* s = dynamic_cast<const TGrabOptions*>(&source);
  if (!s) AssignError(source);
  VideoChannel = s->VideoChannel;
  VideoStandard = s->VideoStandard;
  InputSync = s->InputSync;
}

const TPropTable& TFilterOptions::Properties() const {
  static const TPropTable table =
      TPropTableBuilder<TFilterOptions>().Field("VideoFilters", &TFilterOptions::VideoFilters).Build();
  return table;
}

void TFilterOptions::Assign(const TPersistent& source) {
  const auto* s = dynamic_cast<const TFilterOptions*>(&source);
  if (!s) AssignError(source);
  VideoFilters = s->VideoFilters;
}

// ---- TAVConvertOptions -----------------------------------------------------------------------

const TPropTable& TAVConvertOptions::Properties() const {
  using C = TAVConvertOptions;
  static const TPropTable table = TPropTableBuilder<C>()
                                      .Field("AudioOptions", &C::AudioOptions)
                                      .Field("SubtitleOptions", &C::SubtitleOptions)
                                      .Field("VideoOptions", &C::VideoOptions)
                                      .Field("MuxerOptions", &C::MuxerOptions)
                                      .Field("GrabOptions", &C::GrabOptions)
                                      .Field("FilterOptions", &C::FilterOptions)
                                      .Field("MetaData", &C::MetaData)
                                      .Field("CodecOptions", &C::CodecOptions)
                                      .Field("OutputFormat", &C::OutputFormat)
                                      .Field("InputFormat", &C::InputFormat)
                                      .Field("StartTime", &C::StartTime)
                                      .Field("RecordingTime", &C::RecordingTime)
                                      .Field("ThreadCount", &C::ThreadCount, 1)
                                      .Field("StreamMaps", &C::StreamMaps)
                                      .Build();
  return table;
}

void TAVConvertOptions::Assign(const TPersistent& source) {
  const auto* s = dynamic_cast<const TAVConvertOptions*>(&source);
  if (!s) AssignError(source);
  AudioOptions.Assign(s->AudioOptions);
  SubtitleOptions.Assign(s->SubtitleOptions);
  VideoOptions.Assign(s->VideoOptions);
  MuxerOptions.Assign(s->MuxerOptions);
  GrabOptions.Assign(s->GrabOptions);
  FilterOptions.Assign(s->FilterOptions);
  MetaData = s->MetaData;
  CodecOptions = s->CodecOptions;
  InputFormat = s->InputFormat;
  OutputFormat = s->OutputFormat;
  StartTime = s->StartTime;
  RecordingTime = s->RecordingTime;
  ThreadCount = s->ThreadCount;
  StreamMaps = s->StreamMaps;
}

void TAVConvertOptions::SetCodecOption(const std::string& name, const std::string& value) {
  const int i = CodecOptions.IndexOfName(name);
  if (i < 0) {
    CodecOptions.Add(base::Format("%s=%s", name.c_str(), value.c_str()));
  } else if (value.empty()) {
    CodecOptions.Delete(i);
  } else {
    CodecOptions[i] = CodecOptions.Names(i) + "=" + value;
  }
}

}  // namespace vc::engine
