#include "media/MediaOptions.h"

#include <utility>

#include "media/LegacyOptions.h"

extern "C" {
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

namespace vc::media {

namespace {

// The codec option flag each media type is searched with, as the option routine has always done:
// video and audio options by their flag, subtitle by its own, data and attachment take any.
constexpr int typeFlags[AVMEDIA_TYPE_NB] = {AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, 0,
                                            AV_OPT_FLAG_SUBTITLE_PARAM, 0};

// The library merged "b" (once video only) and "ab" onto one field for every media type; a video
// bit rate must not become the audio bit rate.
bool skipForType(const std::string& name, int type) { return name == "b" && type == AVMEDIA_TYPE_AUDIO; }

// 1 set, 0 the object has no such option, -1 the value was refused.
int trySet(void* object, const std::string& name, const std::string& value) {
  if (!object) return 0;
  const int rc = av_opt_set(object, name.c_str(), value.c_str(), 0);
  if (rc == AVERROR_OPTION_NOT_FOUND) return 0;
  return rc < 0 ? -1 : 1;
}

}  // namespace

TMediaOptions::TMediaOptions() {
  for (int type = 0; type < AVMEDIA_TYPE_NB; ++type) FCodec[type].reset(avcodec_alloc_context3(nullptr));
  FFormat.reset(avformat_alloc_context());
  FScaler.reset(sws_alloc_context());
}

void TMediaOptions::SetPrivateTargets(const AVCodec* video, const AVCodec* audio, const AVCodec* subtitle,
                                      const AVOutputFormat* muxer) {
  const AVCodec* codecs[AVMEDIA_TYPE_NB] = {video, audio, nullptr, subtitle, nullptr};
  for (int type = 0; type < AVMEDIA_TYPE_NB; ++type) {
    const AVCodec* codec = codecs[type];
    FPrivateCodec[type].reset(codec && codec->priv_class ? avcodec_alloc_context3(codec) : nullptr);
  }
  FPrivateMuxer.reset();
  if (muxer && muxer->priv_class) {
    AVFormatContext* context = nullptr;
    if (avformat_alloc_output_context2(&context, muxer, nullptr, nullptr) >= 0) FPrivateMuxer.reset(context);
  }
}

// Stored presets use option names and values of an older library generation; every name passes
// through the translation before it is set, and goes only where the translation sends it.
TSetOptionResult TMediaOptions::SetOption(const std::string& name, const std::string& value) {
  bool anySet = false;
  bool anyRefused = false;
  bool anyDropped = false;
  for (const TTranslatedOption& option : TranslateLegacyOption(name, value)) {
    TSetOptionResult result = TSetOptionResult::Unknown;
    switch (option.Target) {
      case TLegacyTarget::AsGiven:
        result = setOne(option.Name, option.Value);
        break;
      case TLegacyTarget::Dropped:
        av_log(nullptr, AV_LOG_WARNING, "%s\n", option.LogText.c_str());
        anyDropped = true;
        continue;
      default:
        result = setTranslated(option.Target, option.Name, option.Value);
        break;
    }
    anySet |= result == TSetOptionResult::Set;
    anyRefused |= result == TSetOptionResult::InvalidValue;
  }
  if (anyRefused) return TSetOptionResult::InvalidValue;
  if (anySet) return TSetOptionResult::Set;
  return anyDropped ? TSetOptionResult::Dropped : TSetOptionResult::Unknown;
}

TSetOptionResult TMediaOptions::setOne(const std::string& name, const std::string& value) {
  // Private options first: where an encoder has its own option of a generic name (libx264's
  // "profile"), its own is the one that understands the value.
  const int privateResult = setPrivate(name, value, true, true);
  const int genericResult = setGeneric(name, value);
  if (privateResult > 0 || genericResult > 0) {
    FNames.push_back(name);
    return TSetOptionResult::Set;
  }
  if (privateResult < 0 || genericResult < 0) return TSetOptionResult::InvalidValue;
  return TSetOptionResult::Unknown;
}

TSetOptionResult TMediaOptions::setTranslated(TLegacyTarget target, const std::string& name, const std::string& value) {
  int rc = 0;
  switch (target) {
    case TLegacyTarget::Codec:
      rc = setGenericCodec(name, value);
      break;
    case TLegacyTarget::EncoderPrivate:
      rc = setPrivate(name, value, true, false);
      break;
    case TLegacyTarget::Muxer:
      rc = setPrivate(name, value, false, true);
      break;
    case TLegacyTarget::Format:
      rc = trySet(FFormat.get(), name, value);
      if (rc > 0) record(TTarget::Format, 0, name, value);
      break;
    default:
      break;
  }
  if (rc > 0) {
    FNames.push_back(name);
    return TSetOptionResult::Set;
  }
  return rc < 0 ? TSetOptionResult::InvalidValue : TSetOptionResult::Unknown;
}

int TMediaOptions::setGenericCodec(const std::string& name, const std::string& value) {
  bool found = false;
  for (int type = 0; type < AVMEDIA_TYPE_NB; ++type) {
    if (skipForType(name, type)) continue;
    if (!av_opt_find(FCodec[type].get(), name.c_str(), nullptr, typeFlags[type], 0)) continue;
    found = true;
    if (trySet(FCodec[type].get(), name, value) < 0) return -1;
    record(TTarget::Codec, type, name, value);
  }
  return found ? 1 : 0;
}

int TMediaOptions::setGeneric(const std::string& name, const std::string& value) {
  if (const int rc = setGenericCodec(name, value); rc != 0) return rc;
  if (const int rc = trySet(FFormat.get(), name, value); rc != 0) {
    if (rc > 0) record(TTarget::Format, 0, name, value);
    return rc;
  }
  if (const int rc = trySet(FScaler.get(), name, value); rc != 0) {
    if (rc > 0) record(TTarget::Scaler, 0, name, value);
    return rc;
  }
  // "vb", "ab", "scodec"-style names: the first letter picks the media type.
  if (name.size() > 1) {
    int type = -1;
    if (name[0] == 'a') type = AVMEDIA_TYPE_AUDIO;
    if (name[0] == 'v') type = AVMEDIA_TYPE_VIDEO;
    if (name[0] == 's') type = AVMEDIA_TYPE_SUBTITLE;
    if (type >= 0) {
      const std::string rest = name.substr(1);
      const int rc = trySet(FCodec[type].get(), rest, value);
      if (rc > 0) record(TTarget::Codec, type, rest, value);
      return rc;
    }
  }
  return 0;
}

int TMediaOptions::setPrivate(const std::string& name, const std::string& value, bool encoders, bool muxer) {
  int result = 0;
  for (int type = 0; type < AVMEDIA_TYPE_NB && encoders; ++type) {
    AVCodecContext* context = FPrivateCodec[type].get();
    if (!context) continue;
    const int rc = trySet(context->priv_data, name, value);
    if (rc > 0) record(TTarget::EncoderPrivate, type, name, value);
    if (rc != 0 && result <= 0) result = rc;
  }
  if (muxer && FPrivateMuxer) {
    const int rc = trySet(FPrivateMuxer->priv_data, name, value);
    if (rc > 0) record(TTarget::MuxerPrivate, 0, name, value);
    if (rc != 0 && result <= 0) result = rc;
  }
  return result;
}

void TMediaOptions::record(TTarget target, int type, const std::string& name, const std::string& value) {
  FEntries.push_back({target, type, name, value});
}

void TMediaOptions::ApplyCodecOptions(AVCodecContext* target, AVMediaType type, int mask) const {
  for (const auto& entry : FEntries) {
    if (entry.Target != TTarget::Codec || entry.Type != type) continue;
    if (!av_opt_find(target, entry.Name.c_str(), nullptr, mask, 0)) continue;
    av_opt_set(target, entry.Name.c_str(), entry.Value.c_str(), 0);
  }
}

void TMediaOptions::FillFormatOptions(TDictionary& dict, int mask) const {
  for (const auto& entry : FEntries) {
    if (entry.Target != TTarget::Format) continue;
    if (!av_opt_find(FFormat.get(), entry.Name.c_str(), nullptr, mask, 0)) continue;
    dict.Set(entry.Name.c_str(), entry.Value.c_str());
  }
}

void TMediaOptions::FillEncoderPrivateOptions(AVMediaType type, TDictionary& dict) const {
  for (const auto& entry : FEntries)
    if (entry.Target == TTarget::EncoderPrivate && entry.Type == type) dict.Set(entry.Name.c_str(), entry.Value.c_str());
}

void TMediaOptions::FillMuxerPrivateOptions(TDictionary& dict) const {
  for (const auto& entry : FEntries)
    if (entry.Target == TTarget::MuxerPrivate) dict.Set(entry.Name.c_str(), entry.Value.c_str());
}

int TMediaOptions::ScalerFlags() const {
  int64_t flags = SWS_BICUBIC;
  if (FScaler) av_opt_get_int(FScaler.get(), "sws_flags", 0, &flags);
  return static_cast<int>(flags);
}

}  // namespace vc::media
